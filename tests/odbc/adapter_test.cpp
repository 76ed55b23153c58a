// The SQL Server adapter against what this machine has: the FreeTDS driver
// with nothing listening, a missing driver, and the SQLite ODBC driver as a
// stand-in server for the statement path (binding, reading, errors).
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <regex>

#include "odbc/odbc_connection.h"

namespace {

class EnvVar {
 public:
  EnvVar(const char* name, const std::string& value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    setenv(name, value.c_str(), 1);
  }
  ~EnvVar() {
    if (old_)
      setenv(name_, old_->c_str(), 1);
    else
      unsetenv(name_);
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

// A local TCP port that nothing listens on: bound, then released.
int ClosedPort() {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
  socklen_t len = sizeof a;
  getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
  close(fd);
  return ntohs(a.sin_port);
}

db::ConnectParams Login(const std::string& source) {
  db::ConnectParams p;
  p.dataSource = source;
  p.userId = "SA";
  p.password = "x;y}";
  p.initialCatalog = "MASTER";
  p.language = "Polish";
  p.applicationName = "Orv-Zurararudud";
  p.connectTimeoutSeconds = 5;
  return p;
}

TEST(OdbcAdapter, RefusedConnectionIsUnreachableWithAClearMessage) {
  EnvVar driver("ZURARARUDUD_ODBC_DRIVER", "");
  auto conn = odbc::MakeServerConnection();
  try {
    conn->Open(Login("127.0.0.1," + std::to_string(ClosedPort())));
    FAIL() << "opened a connection to a closed port";
  } catch (const db::OleError& e) {
    EXPECT_EQ(e.code(), db::code::kUnreachable) << e.what();
    EXPECT_NE(std::string(e.what()).find("Unable to connect"), std::string::npos) << e.what();
    EXPECT_FALSE(e.ConnectionLost());
  }
  EXPECT_FALSE(conn->IsOpen());
  try {
    conn->Execute({"SELECT 1", {}, 600});
    FAIL() << "a closed connection ran a statement";
  } catch (const db::OleError& e) {
    EXPECT_EQ(e.code(), db::code::kUnreachable);
  }
}

TEST(OdbcAdapter, MissingDriverIsNoProvider) {
  for (const std::string name : {"/nonexistent/libnothing.so", "No Such ODBC Driver"}) {
    EnvVar driver("ZURARARUDUD_ODBC_DRIVER", name);
    auto conn = odbc::MakeServerConnection();
    try {
      conn->Open(Login("127.0.0.1,1433"));
      FAIL() << "opened through " << name;
    } catch (const db::OleError& e) {
      EXPECT_EQ(e.code(), db::code::kNoProvider) << e.what();
      EXPECT_NE(std::string(e.what()).find(name), std::string::npos) << e.what();
    }
    EXPECT_FALSE(conn->IsOpen());
  }
}

TEST(OdbcAdapter, DriverManagerVersionIsMajorDotMinor) {
  const auto v = odbc::DriverManagerVersionText();
  ASSERT_TRUE(v.has_value());
  EXPECT_TRUE(std::regex_match(*v, std::regex("[1-9][0-9]*\\.[0-9]+"))) << *v;
}

// --- the statement path, through the SQLite ODBC driver ---

const char* const kSqliteDriver = "/usr/lib/x86_64-linux-gnu/odbc/libsqlite3odbc.so";

class ThroughSqlite : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::filesystem::exists(kSqliteDriver)) GTEST_SKIP() << "libsqliteodbc is not installed";
    file_ = std::filesystem::temp_directory_path() / ("zr_odbc_" + std::to_string(getpid()) + ".db");
    std::filesystem::remove(file_);
    driver_.emplace("ZURARARUDUD_ODBC_DRIVER", kSqliteDriver);
    db::ConnectParams p;
    p.dataSource = "local";
    p.initialCatalog = file_.string();  // the stand-in's DATABASE is its file
    conn_ = odbc::MakeServerConnection();
    conn_->Open(p);
  }
  void TearDown() override {
    conn_.reset();
    std::filesystem::remove(file_);
  }
  db::ResultSet Run(const std::string& sql, std::vector<db::Value> params = {}) {
    return conn_->Execute({sql, std::move(params), 30});
  }

  std::filesystem::path file_;
  std::optional<EnvVar> driver_;
  std::unique_ptr<db::Connection> conn_;
};

TEST_F(ThroughSqlite, ParametersAndValuesRoundTrip) {
  Run("CREATE TABLE t (a INTEGER, b TEXT, c REAL, d TIMESTAMP)");
  const db::DateTime when{2026, 12, 9, 14, 5, 33};
  const std::string polish = "Zażółć gęślą jaźń ĄĘŁŃÓŚŹŻ \xF0\x9F\x98\x80";
  EXPECT_TRUE(Run("INSERT INTO t VALUES (?, ?, ?, ?)",
                  {db::Value::Int(5000000000LL), db::Value::Str(polish), db::Value::Real(2.5), db::Value::Date(when)})
                  .columns.empty());
  Run("INSERT INTO t VALUES (?, ?, ?, ?)",
      {db::Value::Int(-1), db::Value::Null(), db::Value::Null(), db::Value::Null()});
  const std::string longText(20000, 'x');
  Run("INSERT INTO t (a, b) VALUES (?, ?)", {db::Value::Int(2), db::Value::Str(longText)});

  const db::ResultSet rs = Run("SELECT a, b, c, d FROM t ORDER BY a DESC");
  ASSERT_EQ(rs.columns, (std::vector<std::string>{"a", "b", "c", "d"}));
  ASSERT_EQ(rs.rows.size(), 3u);
  EXPECT_EQ(rs.rows[0][0], db::Value::Int(5000000000LL));
  EXPECT_EQ(rs.rows[0][1], db::Value::Str(polish));
  EXPECT_EQ(rs.rows[0][2], db::Value::Real(2.5));
  EXPECT_EQ(rs.rows[0][3], db::Value::Date(when));
  EXPECT_EQ(rs.rows[1][1], db::Value::Str(longText));
  for (int k = 1; k < 4; ++k) EXPECT_TRUE(rs.rows[2][k].IsNull()) << k;
}

TEST_F(ThroughSqlite, RejectedStatementKeepsTheDriversText) {
  try {
    Run("SELECT * FROM missing_table");
    FAIL() << "no error";
  } catch (const db::OleError& e) {
    EXPECT_EQ(e.code(), db::code::kCommandError);
    EXPECT_NE(std::string(e.what()).find("missing_table"), std::string::npos) << e.what();
    EXPECT_FALSE(e.ConnectionLost());
  }
  EXPECT_TRUE(conn_->IsOpen());
  EXPECT_EQ(Run("SELECT 7").rows.at(0).at(0), db::Value::Int(7));  // still usable
}

TEST_F(ThroughSqlite, SecondOpenIsRefusedAndCloseIsRepeatable) {
  try {
    conn_->Open(db::ConnectParams{});
    FAIL() << "opened twice";
  } catch (const db::OleError& e) {
    EXPECT_EQ(e.code(), db::code::kAlreadyOpen);
  }
  conn_->Close();
  conn_->Close();
  EXPECT_FALSE(conn_->IsOpen());
}

TEST_F(ThroughSqlite, RollbackUndoesAndCommitKeeps) {
  Run("CREATE TABLE t (a INTEGER)");
  conn_->BeginTrans();
  Run("INSERT INTO t VALUES (1)");
  conn_->RollbackTrans();
  conn_->BeginTrans();
  Run("INSERT INTO t VALUES (2)");
  conn_->CommitTrans();
  const db::ResultSet rs = Run("SELECT a FROM t");
  ASSERT_EQ(rs.rows.size(), 1u);
  EXPECT_EQ(rs.rows[0][0], db::Value::Int(2));
}

}  // namespace
