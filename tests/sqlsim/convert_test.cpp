// Dates and money: CONVERT with a style (dates to text and back, money to
// text; the session language gives the month names) and date arithmetic.
#include <gtest/gtest.h>

#include "sqlsim/server.h"

namespace {

const char* kScript = R"SQL(CREATE DATABASE D
GO
USE D
GO
CREATE TABLE Zdarzenia (Id int NOT NULL PRIMARY KEY, Kiedy datetime NULL, Kwota money NULL)
GO
INSERT INTO Zdarzenia VALUES (1, '2021-04-03 14:05:09', 1234567.5), (2, '2009-11-20 09:30:00', -5)
GO
)SQL";

class Convert : public ::testing::Test {
 protected:
  void SetUp() override {
    s.Load(kScript);
    s.Execute("USE D");
  }
  // The text of one expression over row `id` of Zdarzenia.
  std::string One(const std::string& expr, int id = 1) {
    auto rs = s.Execute("SELECT " + expr + " FROM Zdarzenia WHERE Id = " + std::to_string(id));
    return rs.rows.at(0).at(0).AsString();
  }
  sqlsim::Server s;
};

TEST_F(Convert, DateStylesUnderPolishAndEnglish) {
  struct Case {
    const char* expr;
    const char* polish;
    const char* english;
  } cases[] = {
      {"CONVERT(varchar(30), Kiedy)", "IV  3 2021  2:05PM", "Apr  3 2021  2:05PM"},
      {"CAST(Kiedy AS varchar(30))", "IV  3 2021  2:05PM", "Apr  3 2021  2:05PM"},
      {"CONVERT(varchar(10), Kiedy, 112)", "20210403", "20210403"},
      {"CONVERT(varchar(6), Kiedy, 12)", "210403", "210403"},
      {"CONVERT(varchar(10), Kiedy, 104)", "03.04.2021", "03.04.2021"},
      {"CONVERT(varchar(10), Kiedy, 101)", "04/03/2021", "04/03/2021"},
      {"CONVERT(varchar(8), Kiedy, 3)", "03/04/21", "03/04/21"},
      {"CONVERT(varchar(30), Kiedy, 120)", "2021-04-03 14:05:09", "2021-04-03 14:05:09"},
      {"CONVERT(varchar(30), Kiedy, 121)", "2021-04-03 14:05:09.000", "2021-04-03 14:05:09.000"},
      {"CONVERT(varchar(30), Kiedy, 126)", "2021-04-03T14:05:09", "2021-04-03T14:05:09"},
      {"CONVERT(varchar(8), Kiedy, 108)", "14:05:09", "14:05:09"},
      {"CONVERT(varchar(30), Kiedy, 106)", "03 IV 2021", "03 Apr 2021"},
      {"CONVERT(varchar(30), Kiedy, 109)", "IV  3 2021  2:05:09:000PM", "Apr  3 2021  2:05:09:000PM"},
      {"CONVERT(varchar(30), CONVERT(datetime, '03.04.2021', 104), 112)", "20210403", "20210403"},
      {"CONVERT(varchar(30), CONVERT(datetime, '04/03/2021', 101), 112)", "20210403", "20210403"},
      {"CONVERT(varchar(20), Kwota, 1)", "1,234,567.50", "1,234,567.50"},
      {"CONVERT(varchar(20), Kwota, 2)", "1234567.5000", "1234567.5000"},
      {"CONVERT(varchar(20), Kwota)", "1234567.50", "1234567.50"},
  };
  for (const Case& c : cases) EXPECT_EQ(One(c.expr), c.polish) << c.expr;
  EXPECT_EQ(One("CONVERT(varchar(30), Kiedy, 100)", 2), "XI 20 2009  9:30AM");
  s.Execute("SET LANGUAGE us_english");
  for (const Case& c : cases) EXPECT_EQ(One(c.expr), c.english) << c.expr;
  EXPECT_EQ(One("CONVERT(varchar(20), Kwota, 1)", 2), "-5.00");
}

TEST_F(Convert, UnknownDateStyleIsRefused) {
  try {
    s.Execute("SELECT CONVERT(varchar(30), Kiedy, 99) FROM Zdarzenia");
    ADD_FAILURE() << "style 99 accepted";
  } catch (const sqlsim::SqlError& e) {
    EXPECT_EQ(e.messages().at(0).number, 281);
  }
}

TEST_F(Convert, DateArithmeticAndParts) {
  struct Case {
    const char* expr;
    const char* polish;   // DATEFIRST 1
    const char* english;  // DATEFIRST 7
  } cases[] = {
      {"CONVERT(varchar(30), DATEADD(day, 30, '2024-02-10'), 120)", "2024-03-11 00:00:00", "2024-03-11 00:00:00"},
      {"CONVERT(varchar(30), DATEADD(month, 1, '2024-01-31'), 120)", "2024-02-29 00:00:00", "2024-02-29 00:00:00"},
      {"CONVERT(varchar(30), DATEADD(yy, -1, '2024-02-29'), 120)", "2023-02-28 00:00:00", "2023-02-28 00:00:00"},
      {"CONVERT(varchar(30), DATEADD(hour, -13, Kiedy), 120)", "2021-04-03 01:05:09", "2021-04-03 01:05:09"},
      {"DATEDIFF(day, '2024-01-01', '2024-03-01')", "60", "60"},
      {"DATEDIFF(month, '2023-12-31', '2024-01-01')", "1", "1"},
      {"DATEDIFF(year, Kiedy, '2022-01-01')", "1", "1"},
      {"DATEDIFF(week, '2024-06-01', '2024-06-02')", "1", "1"},  // Saturday to Sunday, whatever DATEFIRST
      {"DATEDIFF(minute, '2024-01-01 23:59:59', '2024-01-02 00:00:00')", "1", "1"},
      {"DATEPART(weekday, '2024-06-02')", "7", "1"},  // a Sunday
      {"DATEPART(week, '2024-01-07')", "1", "2"},
      {"DATEPART(dy, '2024-03-01')", "61", "61"},
      {"DATEPART(quarter, Kiedy)", "2", "2"},
      {"ISNUMERIC('12.5') + ISNUMERIC('x') * 10", "1", "1"},
  };
  for (const Case& c : cases) EXPECT_EQ(One(c.expr), c.polish) << c.expr;
  s.Execute("SET LANGUAGE us_english");
  for (const Case& c : cases) EXPECT_EQ(One(c.expr), c.english) << c.expr;
  try {
    s.Execute("SELECT DATEADD(dzien, 1, Kiedy) FROM Zdarzenia");
    ADD_FAILURE() << "an unknown date part accepted";
  } catch (const sqlsim::SqlError& e) {
    EXPECT_EQ(e.messages().at(0).text, "'dzien' is not a recognized dateadd option.");
  }
}

}  // namespace
