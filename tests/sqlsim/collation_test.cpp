// Text order and equality of the simulated Polish_CI_AS collation.
#include <gtest/gtest.h>

#include "sqlsim/server.h"

namespace {

TEST(Collation, PolishOrderIgnoringCaseNotAccents) {
  sqlsim::Server s;
  s.Load("CREATE DATABASE D\nGO\nUSE D\nGO\nCREATE TABLE S (N nvarchar(20) NOT NULL)\nGO\n"
         "INSERT INTO S VALUES (N'Łódź'), (N'lody'), (N'Zebra'), (N'Żaba'), (N'źdźbło'), (N'ala'), (N'Ąbc'), (N'azot'),"
         " (N'éclair'), (N'ecru'), (N'Ecole'), (N'_x'), (N'10'), (N'Oko'), (N'óśmy'), (N'ozon'), (N'zz'), (N'ćma'), (N'cz')\nGO\n");
  s.Execute("USE D");
  std::string order;
  for (auto& r : s.Execute("SELECT N FROM S ORDER BY N").rows) order += r[0].AsString() + " ";
  // Punctuation, digits, letters; each Polish letter after its base letter
  // (z < ź < ż); other accents sort with their letter.
  EXPECT_EQ(order, "_x 10 ala azot Ąbc cz ćma éclair Ecole ecru lody Łódź Oko ozon óśmy Zebra zz źdźbło Żaba ");
  struct Eq {
    const char* a;
    const char* b;
    bool equal;
  } cases[] = {
      {"ŁÓDŹ", "łódź", true}, {"Lodz", "Łódź", false}, {"e", "é", false}, {"abc", "ABC   ", true}, {"ab", "ab c", false},
  };
  for (const Eq& c : cases) {
    auto rs = s.Execute(std::string("SELECT CASE WHEN N'") + c.a + "' = N'" + c.b + "' THEN 1 ELSE 0 END");
    EXPECT_EQ(rs.rows.at(0).at(0).AsInteger(), c.equal ? 1 : 0) << c.a << " / " << c.b;
  }
}

}  // namespace
