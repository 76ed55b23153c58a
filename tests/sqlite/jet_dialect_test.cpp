#include "sqlite/jet_dialect.h"

#include <gtest/gtest.h>

#include "sqlite/select_shape.h"

namespace {

struct Case {
  const char* in;
  const char* out;
};

TEST(JetDialect, RewritesOnlyDoubleQuotedTextsAndTop) {
  const Case cases[] = {
      {R"(SELECT * FROM tblObjects WHERE (xtype ="U") and Priorytet = 1)",
       R"(SELECT * FROM tblObjects WHERE (xtype ='U') and Priorytet = 1)"},
      {R"(WHERE INDNAME = "O'Brien")", R"(WHERE INDNAME = 'O''Brien')"},
      {R"(WHERE a = "say ""hi""")", R"(WHERE a = 'say "hi"')"},
      {R"(WHERE a = 'keep "this"' AND [b "c"] = 1)", R"(WHERE a = 'keep "this"' AND [b "c"] = 1)"},
      {"SELECT a -- \"comment\"\r\nFROM t", "SELECT a -- \"comment\"\r\nFROM t"},
      {"SELECT TOP 1 * from toolSysVersion", "SELECT * from toolSysVersion LIMIT 1"},
      {"select distinct top 5 a FROM t ORDER BY a", "select distinct a FROM t ORDER BY a LIMIT 5"},
      {"SELECT * FROM (SELECT TOP 2 ID FROM t ORDER BY ID) x WHERE x.ID > 0",
       "SELECT * FROM (SELECT ID FROM t ORDER BY ID LIMIT 2) x WHERE x.ID > 0"},
      {"SELECT TOP 3 a\r\nFROM t -- last", "SELECT a\r\nFROM t LIMIT 3 -- last"},
      {"SELECT TOP 1 a FROM t; SELECT b FROM u", "SELECT a FROM t LIMIT 1; SELECT b FROM u"},
      {"SELECT TOP FROM t", "SELECT TOP FROM t"},
      {"SELECT a FROM t WHERE b Is Null Or c = 'x' AND d = ?", "SELECT a FROM t WHERE b Is Null Or c = 'x' AND d = ?"},
  };
  for (const auto& c : cases) EXPECT_EQ(sqlite::JetToSqlite(c.in), c.out) << c.in;
}

std::string Tables(const sqlite::SelectShape& s) {
  std::string out;
  for (const auto& t : s.tables) out += (out.empty() ? "" : ",") + t.table + (t.alias.empty() ? "" : " " + t.alias);
  return out;
}

TEST(SelectShape, FindsTheTablesOfTheFromClause) {
  struct ShapeCase {
    const char* sql;
    bool keyable;
    const char* tables;
  };
  const ShapeCase cases[] = {
      {"SELECT tblColumnDef.*, tblCheck_And_Default.Type As IsDefValue, tblCheck_And_Default.Text \r\n"
       "FROM tblColumnDef LEFT JOIN tblCheck_And_Default ON (tblColumnDef.Name = tblCheck_And_Default.ColName) AND "
       "(tblColumnDef.ID = tblCheck_And_Default.id) \r\nWHERE (tblColumnDef.ID = 1) ORDER BY tblColumnDef.ColOrder",
       true, "tblColumnDef,tblCheck_And_Default"},
      {"SELECT \ttblForeignKeys.id, tblObjects_1.Name AS fName\r\nFROM \ttblObjects AS tblObjects_2 \r\n"
       "\tINNER JOIN (tblObjects AS tblObjects_1 \r\n\tINNER JOIN tblForeignKeys ON tblObjects_1.id = "
       "tblForeignKeys.fkeyid) ON tblObjects_2.id = tblForeignKeys.rkeyid \r\nWHERE tblForeignKeys.id = ?",
       true, "tblObjects tblObjects_2,tblObjects tblObjects_1,tblForeignKeys"},
      {"SELECT * FROM t a, [u v] AS b WHERE a.x = b.x", true, "t a,u v b"},
      {"SELECT * FROM (SELECT * FROM t) x JOIN u ON x.a = u.a", true, "u"},
      {"SELECT * FROM main.t ORDER BY 1", true, "t"},
      {"SELECT DISTINCT a FROM t", false, ""},
      {"SELECT a, count(*) FROM t GROUP BY a", false, ""},
      {"SELECT a FROM t UNION SELECT a FROM u", false, ""},
      {"SELECT 1", false, ""},
      {"UPDATE t SET a = 1", false, ""},
  };
  for (const auto& c : cases) {
    auto shape = sqlite::AnalyzeSelect(c.sql);
    EXPECT_EQ(shape.keyable, c.keyable) << c.sql;
    if (c.keyable) {
      EXPECT_EQ(Tables(shape), c.tables) << c.sql;
      EXPECT_EQ(std::string(c.sql).compare(shape.fromPos, 4, "FROM"), 0) << c.sql;
    }
  }
}

}  // namespace
