#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "sqlite/temp_template.h"
#include "sqlite/template_builder.h"

namespace {

using db::Value;
namespace fs = std::filesystem;

db::ResultSet Query(db::Connection& c, const std::string& sql) {
  db::Statement st;
  st.text = sql;
  return c.Execute(st);
}

std::string BuildError(const testutil::TempDir& dir, const std::string& script, const std::string& out) {
  dir.Write("d.sql", script);
  try {
    sqlite::BuildTemplate(dir.File("d.sql"), dir.File(out));
  } catch (const std::runtime_error& e) {
    return e.what();
  }
  return "";
}

TEST(TemplateBuilder, BuildsTheDescribedTemplateWithFreshFlags) {
  testutil::TempDir dir;
  auto conn = testutil::OpenSmallTemplate(dir.File("t.mdb"));
  // Names compare without regard to case, as the template statements expect.
  auto rs = Query(*conn, "SELECT ID FROM tblObjects WHERE Name = 'KLIENCI' AND xtype = 'u'");
  ASSERT_EQ(rs.rows.size(), 1u);
  EXPECT_EQ(rs.rows[0][0], Value::Int(1));
  // Work-state columns start at 0 when the description leaves them out.
  rs =
      Query(*conn,
            "SELECT (SELECT SUM(Sprawdzone + ObiektIstnieje) FROM tblObjects) + (SELECT SUM(Sprawdzone + PoleIstnieje) "
            "FROM tblColumnDef) + (SELECT SUM(Sprawdzone + IndeksIstnieje) FROM tblIndexes) + (SELECT "
            "SUM(Sprawdzone + ObiektIstnieje) FROM tblCheck_And_Default)");
  EXPECT_EQ(rs.rows.at(0).at(0), Value::Int(0));
  // Identity and collation columns hold NULL where the description says so.
  // (In template statements "..." is a text; the column is [Collate].)
  rs = Query(*conn, "SELECT IdentityInc, [Collate] FROM tblColumnDef WHERE ID = 1 AND Name = 'Id'");
  EXPECT_EQ(rs.rows.at(0).at(0), Value::Int(1));
  EXPECT_TRUE(rs.rows.at(0).at(1).IsNull());
  rs = Query(*conn, "SELECT IdentityInc, [Collate] FROM tblColumnDef WHERE ID = 1 AND Name = 'Nazwa'");
  EXPECT_TRUE(rs.rows.at(0).at(0).IsNull());
  EXPECT_EQ(rs.rows.at(0).at(1), Value::Str("Polish_CI_AS"));
}

TEST(TemplateBuilder, NeverOverwritesUnlessTold) {
  testutil::TempDir dir;
  dir.Write("t.mdb", "precious");
  EXPECT_THROW(sqlite::BuildTemplate(testutil::SmallScript(), dir.File("t.mdb")), std::runtime_error);
  EXPECT_EQ(fs::file_size(dir.File("t.mdb")), 8u);
  sqlite::BuildTemplate(testutil::SmallScript(), dir.File("t.mdb"), true);
  auto conn = sqlite::MakeTemplateConnection();
  db::ConnectParams p;
  p.dataSource = dir.File("t.mdb");
  conn->Open(p);
  EXPECT_EQ(Query(*conn, "SELECT count(*) FROM tblObjects").rows.at(0).at(0), Value::Int(6));
}

TEST(TemplateBuilder, BadDescriptionsAreRefusedWithTheirLineAndLeaveNoFile) {
  testutil::TempDir dir;
  struct Case {
    const char* script;
    const char* expect;
  };
  const Case cases[] = {
      {"-- objects\nINSERT INTO tblObjects (ID, Name, xtype) VALUES (1, 'A', 'U');\n\nINSERT INTO tblNope VALUES "
       "(1);\n",
       "d.sql:4: no such table: tblNope"},
      {"INSERT INTO tblObjects (ID, Name, xtype) VALUES (1, 'A', 'U');\nDROP TABLE tblObjects;\n",
       "d.sql:2: only INSERT, UPDATE and DELETE"},
      {"INSERT INTO tblObjects (ID, Name, xtype) VALUES (1, 'A', 'U'), (1, 'B', 'V');\n", "d.sql:1: UNIQUE"},
      {"INSERT INTO tblObjects (ID, Name, xtype, Sprawdzone) VALUES (1, 'A', 'U', 1);\n",
       "tblObjects.Sprawdzone is set in 1 row(s)"},
      {"INSERT INTO tblIndexes (ID, indname, IndeksIstnieje) VALUES (1, 'PK', 1);\n", "tblIndexes.IndeksIstnieje"},
  };
  for (const auto& c : cases) {
    std::string err = BuildError(dir, c.script, "bad.mdb");
    EXPECT_NE(err.find(c.expect), std::string::npos) << "got: " << err;
    EXPECT_FALSE(fs::exists(dir.File("bad.mdb"))) << c.script;
    EXPECT_FALSE(fs::exists(dir.File("bad.mdb.part"))) << c.script;
  }
  EXPECT_THROW(sqlite::BuildTemplate(dir.File("no-such.sql"), dir.File("x.mdb")), std::runtime_error);
  EXPECT_FALSE(fs::exists(dir.File("x.mdb")));
}

TEST(TemplateBuilderTool, BuildsRefusesAndForces) {
  const std::string tool = std::string(ZR_BINARY_DIR) + "/tools/zr-template";
  if (!fs::exists(tool)) GTEST_SKIP() << "zr-template is not built";
  testutil::TempDir dir;
  const std::string out = dir.File("t.mdb");
  const std::string base = tool + " " + testutil::SmallScript() + " " + out + " >/dev/null 2>&1";
  EXPECT_EQ(std::system(base.c_str()), 0);
  ASSERT_TRUE(fs::exists(out));
  EXPECT_NE(std::system(base.c_str()), 0);  // exists: refused
  EXPECT_EQ(std::system((tool + " --force " + testutil::SmallScript() + " " + out + " >/dev/null 2>&1").c_str()), 0);
  EXPECT_NE(std::system((tool + " " + out + " >/dev/null 2>&1").c_str()), 0);  // usage
}

}  // namespace
