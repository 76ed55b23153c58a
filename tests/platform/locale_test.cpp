#include "app/locale.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

// Every test starts from and leaves the program's formats.
class Formats : public ::testing::Test {
 protected:
  void SetUp() override { app::ApplyLocaleFormats(); }
  void TearDown() override {
    app::Formats().longTimeFormat = "HH:mm:ss";
    app::ApplyLocaleFormats();
  }
};

TEST_F(Formats, TableValues) {
  app::FormatSettings& f = app::Formats();
  f.decimalSeparator = '.';
  f.shortDateFormat = "yyyy/MM/dd";
  f.dateSeparator = '/';
  f.longTimeFormat = "H:mm";
  app::ApplyLocaleFormats();
  EXPECT_EQ(f.currencyFormat, 3);
  EXPECT_EQ(f.negCurrFormat, 15);
  EXPECT_EQ(f.thousandSeparator, '.');
  EXPECT_EQ(f.decimalSeparator, ',');
  EXPECT_EQ(f.currencyDecimals, 2);
  EXPECT_EQ(f.dateSeparator, '-');
  EXPECT_EQ(f.shortDateFormat, "dd-MM-yyyy");
  EXPECT_EQ(f.longDateFormat, "d MMMM yyyy");
  EXPECT_EQ(f.timeSeparator, ':');
  EXPECT_EQ(f.shortTimeFormat, "HH:mm:ss");
  EXPECT_FALSE(f.updateFormatSettings);
  EXPECT_EQ(f.hintHidePause, 10000);
  EXPECT_EQ(f.longTimeFormat, "H:mm");  // the system's long time format is left alone
}

TEST_F(Formats, DatesAndTimes) {
  const db::DateTime t{2026, 12, 9, 9, 5, 3};
  EXPECT_EQ(app::FormatShortDate(t), "09-12-2026");
  EXPECT_EQ(app::FormatLongTime(t), "09:05:03");
  EXPECT_EQ(app::DateTimeToStr(t), "09-12-2026 09:05:03");
  EXPECT_EQ(app::DateTimeToStr({2026, 12, 9, 0, 0, 0}), "09-12-2026");  // midnight: no time
  EXPECT_EQ(app::DateTimeToStr({2026, 1, 31, 0, 0, 1}), "31-01-2026 00:00:01");
  EXPECT_EQ(app::FormatDateTime(app::Formats().longDateFormat, t), "9 grudnia 2026");
  EXPECT_EQ(app::FormatDateTime("dddd, d MMM yy 'o' H:m:s", t), "środa, 9 gru 26 o 9:5:3");
  EXPECT_EQ(app::FormatDateTime("MMMM yyyy", {2026, 3, 1, 0, 0, 0}), "marzec 2026");
  EXPECT_EQ(app::FormatDateTime("dd/MM/yyyy hh:nn", t), "09-12-2026 09:nn");
}

TEST_F(Formats, StrToFloatUsesTheCommaOnly) {
  const std::pair<const char*, double> good[] = {{"2,1", 2.1}, {" 2,8 ", 2.8}, {"-0,5", -0.5},  {"+3", 3},
                                                 {"10", 10},   {",5", 0.5},    {"1,5E3", 1500}, {"2e-1", 0.2}};
  for (const auto& [text, v] : good) EXPECT_DOUBLE_EQ(app::StrToFloat(text), v) << text;
  for (const char* bad : {"2.1", "2,8,1", "", " ", "abc", "1.000,5", "2,1x", "e5", "1E", "-", "1e999"}) {
    double v = 42;
    EXPECT_FALSE(app::TryStrToFloat(bad, v)) << bad;
    EXPECT_EQ(v, 42) << bad;
    EXPECT_THROW(app::StrToFloat(bad), std::invalid_argument) << bad;
  }
  app::Formats().decimalSeparator = '.';
  EXPECT_DOUBLE_EQ(app::StrToFloat("2.1"), 2.1);
}

TEST_F(Formats, FloatToStr) {
  const std::pair<double, const char*> cases[] = {
      {2.5, "2,5"},       {2, "2"},           {-0.125, "-0,125"},        {1e20, "1E20"},
      {1.5e-7, "1,5E-7"}, {0.1 + 0.2, "0,3"}, {123456.789, "123456,789"}};
  for (const auto& [v, text] : cases) EXPECT_EQ(app::FloatToStr(v), text) << v;
}

}  // namespace
