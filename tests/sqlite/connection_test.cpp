#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "sqlite/temp_template.h"
#include "sqlite/template_connection.h"

namespace {

using db::OleError;
using db::Value;

db::ConnectParams At(const std::string& path) {
  db::ConnectParams p;
  p.provider = "Microsoft.Jet.OLEDB.4.0";
  p.dataSource = path;
  p.userId = "Admin";
  return p;
}

db::ResultSet Exec(db::Connection& c, const std::string& sql, std::vector<Value> params = {}) {
  db::Statement st;
  st.text = sql;
  st.params = std::move(params);
  return c.Execute(st);
}

TEST(TemplateOpen, RefusesWhatIsNoTemplateFileAndCreatesNothing) {
  testutil::TempDir dir;
  dir.Write("empty.mdb", "");
  dir.Write("text.mdb", "this is a text file, not a database\n");
  dir.Write("torn.mdb", std::string("SQLite format 3\0", 16) + std::string(2000, '\x5a'));
  std::filesystem::create_directory(dir.File("folder.mdb"));
  struct Case {
    std::string file;
    const char* why;
  };
  const Case cases[] = {
      {"missing.mdb", "does not exist"},
      {"empty.mdb", "not a SQLite 3 database"},
      {"text.mdb", "not a SQLite 3 database"},
      {"folder.mdb", "not a regular file"},
      {"torn.mdb", ""},
  };
  for (const auto& c : cases) {
    sqlite::TemplateConnection conn;
    const std::string path = dir.File(c.file);
    try {
      conn.Open(At(path));
      ADD_FAILURE() << c.file << " opened";
    } catch (const OleError& e) {
      EXPECT_EQ(e.code(), db::code::kUnreachable) << c.file;
      EXPECT_NE(std::string(e.what()).find("'" + path + "'"), std::string::npos) << e.what();
      EXPECT_NE(std::string(e.what()).find(c.why), std::string::npos) << e.what();
    }
    EXPECT_FALSE(conn.IsOpen());
  }
  EXPECT_FALSE(std::filesystem::exists(dir.File("missing.mdb")));
  EXPECT_EQ(std::filesystem::file_size(dir.File("empty.mdb")), 0u);
}

TEST(TemplateOpen, UnreadableFileIsReported) {
  if (::geteuid() == 0) GTEST_SKIP() << "permissions do not bind root";
  testutil::TempDir dir;
  sqlite::BuildTemplate(testutil::SmallScript(), dir.File("t.mdb"));
  ::chmod(dir.File("t.mdb").c_str(), 0);
  sqlite::TemplateConnection conn;
  try {
    conn.Open(At(dir.File("t.mdb")));
    ADD_FAILURE() << "opened an unreadable file";
  } catch (const OleError& e) {
    EXPECT_EQ(e.code(), db::code::kUnreachable);
    EXPECT_NE(std::string(e.what()).find("cannot be read"), std::string::npos) << e.what();
  }
}

TEST(TemplateOpen, OpensOnceAndClosesCleanly) {
  testutil::TempDir dir;
  auto conn = testutil::OpenSmallTemplate(dir.File("t.mdb"));
  EXPECT_TRUE(conn->IsOpen());
  try {
    conn->Open(At(dir.File("t.mdb")));
    ADD_FAILURE() << "second open accepted";
  } catch (const OleError& e) {
    EXPECT_EQ(e.code(), db::code::kAlreadyOpen);
  }
  conn->Close();
  conn->Close();
  EXPECT_FALSE(conn->IsOpen());
  EXPECT_THROW(Exec(*conn, "SELECT 1"), OleError);
  conn->Open(At("  " + dir.File("t.mdb") + " "));  // blanks around the name are not part of it
  EXPECT_EQ(Exec(*conn, "SELECT count(*) AS n FROM tblObjects").rows.at(0).at(0), Value::Int(6));
}

TEST(TemplateExecute, FailuresCarryTheMessageAndTheFirstLine) {
  testutil::TempDir dir;
  auto conn = testutil::OpenSmallTemplate(dir.File("t.mdb"));
  struct Case {
    const char* sql;
    const char* message;
  };
  const Case cases[] = {
      {"SELECT * FROM tblMissing\r\nWHERE ID = 1", "no such table: tblMissing"},
      {"SELECT NoSuchColumn FROM tblObjects\r\nORDER BY ID", "no such column: NoSuchColumn"},
      {"SELEKT * FROM tblObjects\r\nWHERE 1", "syntax error"},
  };
  for (const auto& c : cases) {
    try {
      Exec(*conn, c.sql);
      ADD_FAILURE() << c.sql;
    } catch (const OleError& e) {
      const std::string msg = e.what();
      EXPECT_EQ(e.code(), db::code::kCommandError) << msg;
      EXPECT_NE(msg.find(c.message), std::string::npos) << msg;
      const std::string first = std::string(c.sql).substr(0, std::string(c.sql).find('\r'));
      EXPECT_NE(msg.find(first), std::string::npos) << msg;
      EXPECT_EQ(msg.find("WHERE"), std::string::npos) << "only the first line: " << msg;
    }
  }
}

TEST(TemplateExecute, BatchRunsToItsEndAndRaisesTheFirstFailure) {
  testutil::TempDir dir;
  auto conn = testutil::OpenSmallTemplate(dir.File("t.mdb"));
  try {
    Exec(*conn,
         "UPDATE tblObjects SET Priorytet = 7 WHERE ID = 1; UPDATE tblMissing SET a = 1; "
         "UPDATE tblObjects SET Priorytet = 8 WHERE ID = 2");
    ADD_FAILURE() << "batch with a failing statement succeeded";
  } catch (const OleError& e) {
    EXPECT_NE(std::string(e.what()).find("tblMissing"), std::string::npos) << e.what();
  }
  auto rs = Exec(*conn, "SELECT Priorytet FROM tblObjects WHERE ID IN (1, 2) ORDER BY ID");
  EXPECT_EQ(rs.rows.at(0).at(0), Value::Int(7));
  EXPECT_EQ(rs.rows.at(1).at(0), Value::Int(8));
}

TEST(TemplateExecute, ValuesKeepTheirKinds) {
  testutil::TempDir dir;
  auto conn = testutil::OpenSmallTemplate(dir.File("t.mdb"));
  Exec(*conn, "CREATE TABLE tv (i INTEGER, r REAL, t TEXT, n INTEGER, d DATETIME, d2 DATE)");
  Exec(*conn, "INSERT INTO tv VALUES (?, ?, ?, ?, ?, ?)",
       {Value::Int(42), Value::Real(2.5), Value::Str("zażółć"), Value::Null(), Value::Str("2026-12-09 13:45:10"),
        Value::Str("not a date")});
  auto rs = Exec(*conn, "SELECT * FROM tv");
  ASSERT_EQ(rs.rows.size(), 1u);
  const auto& r = rs.rows[0];
  EXPECT_EQ(r[0], Value::Int(42));
  EXPECT_EQ(r[1], Value::Real(2.5));
  EXPECT_EQ(r[2], Value::Str("zażółć"));
  EXPECT_TRUE(r[3].IsNull());
  EXPECT_EQ(r[4], Value::Date({2026, 12, 9, 13, 45, 10}));
  EXPECT_EQ(r[5], Value::Str("not a date"));  // a date column with other text reads as text

  // A date parameter is stored so that it reads back as the same date.
  Exec(*conn, "UPDATE tv SET d = ?", {Value::Date({2027, 1, 31, 0, 0, 0})});
  EXPECT_EQ(Exec(*conn, "SELECT d FROM tv").rows.at(0).at(0), Value::Date({2027, 1, 31, 0, 0, 0}));
  EXPECT_EQ(Exec(*conn, "SELECT Aktualizacja FROM toolSysVersion").rows.at(0).at(0).AsString(), "09-12-2026");
}

TEST(TemplateExecute, DateTextsParseOnlyWhenValid) {
  struct Case {
    const char* text;
    bool ok;
    db::DateTime when;
  };
  const Case cases[] = {
      {"2026-12-09", true, {2026, 12, 9, 0, 0, 0}},
      {"2026-12-09 07:05", true, {2026, 12, 9, 7, 5, 0}},
      {"2026-12-09T07:05:09.250", true, {2026, 12, 9, 7, 5, 9}},
      {"09-12-2026", true, {2026, 12, 9, 0, 0, 0}},
      {"2024-02-29", true, {2024, 2, 29, 0, 0, 0}},
      {"2023-02-29", false, {}},
      {"2026-13-01", false, {}},
      {"2026-12-09 25:00", false, {}},
      {"2026-12-09x", false, {}},
      {"", false, {}},
  };
  for (const auto& c : cases) {
    db::DateTime d;
    EXPECT_EQ(sqlite::ParseDateText(c.text, &d), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(d, c.when) << c.text;
    }
  }
}

TEST(TemplateExecute, JetStatementsRunThroughTheDialectLayer) {
  testutil::TempDir dir;
  auto conn = testutil::OpenSmallTemplate(dir.File("t.mdb"));
  auto rs = Exec(*conn, "SELECT TOP 2 Name FROM tblObjects WHERE xtype = \"u\" OR xtype = \"F\" ORDER BY ID");
  ASSERT_EQ(rs.rows.size(), 2u);
  EXPECT_EQ(rs.rows[0][0], Value::Str("Klienci"));
  EXPECT_EQ(rs.rows[1][0], Value::Str("Zam"));
  // Parameters arrive as positional ? values.
  auto q = conn->CreateQuery();
  q->SetParamCheck(true);
  q->Add("SELECT Name FROM tblObjects WHERE ID = :id AND Name <> \":notAParam\"");
  q->SetParam("ID", Value::Int(5));
  q->Open();
  ASSERT_EQ(q->RecordCount(), 1);
  EXPECT_EQ(q->Field("name"), Value::Str("pDodajKlienta"));
}

TEST(TemplateExecute, TransactionsCommitAndRollBack) {
  testutil::TempDir dir;
  auto conn = testutil::OpenSmallTemplate(dir.File("t.mdb"));
  auto prio = [&] { return Exec(*conn, "SELECT Priorytet FROM tblObjects WHERE ID = 4").rows.at(0).at(0).AsInteger(); };
  conn->BeginTrans();
  Exec(*conn, "UPDATE tblObjects SET Priorytet = 9 WHERE ID = 4");
  conn->RollbackTrans();
  EXPECT_EQ(prio(), 2);
  conn->BeginTrans();
  Exec(*conn, "UPDATE tblObjects SET Priorytet = 9 WHERE ID = 4");
  conn->CommitTrans();
  EXPECT_EQ(prio(), 9);
  EXPECT_THROW(conn->CommitTrans(), OleError);
}

}  // namespace
