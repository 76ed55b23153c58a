#include "odbc/odbc_connection.h"

#include <sql.h>
#include <sqlext.h>
#include <sqlucode.h>

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "odbc/batch.h"
#include "odbc/connection_string.h"
#include "odbc/decimal.h"
#include "odbc/errors.h"
#include "odbc/wide.h"

namespace odbc {
namespace {

static_assert(sizeof(SQLWCHAR) == sizeof(char16_t), "SQLWCHAR must be a UTF-16 unit");

// The server's severity, a driver-specific diagnostic field (Microsoft's
// driver and FreeTDS know it; through some managers it is unavailable).
constexpr SQLSMALLINT kDiagSeverity = -1151;

std::vector<SQLWCHAR> Wide(const std::string& s) {
  const std::u16string u = Utf8ToUtf16(s);
  std::vector<SQLWCHAR> w(u.begin(), u.end());
  w.push_back(0);
  return w;
}

std::string Narrow(const SQLWCHAR* p, std::size_t n) {
  std::u16string u(p, p + n);
  return Utf16ToUtf8(u);
}

// An ODBC handle freed when it goes out of scope.
class Handle {
 public:
  Handle() = default;
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  ~Handle() { Reset(); }
  void Reset() {
    if (h_) SQLFreeHandle(type_, h_);
    h_ = SQL_NULL_HANDLE;
  }
  // Allocates a handle of `type` under `parent`; false when the manager refuses.
  bool Alloc(SQLSMALLINT type, SQLHANDLE parent) {
    Reset();
    type_ = type;
    return SQL_SUCCEEDED(SQLAllocHandle(type, parent, &h_));
  }
  SQLHANDLE get() const { return h_; }
  SQLSMALLINT type() const { return type_; }
  explicit operator bool() const { return h_ != SQL_NULL_HANDLE; }

 private:
  SQLSMALLINT type_ = SQL_HANDLE_ENV;
  SQLHANDLE h_ = SQL_NULL_HANDLE;
};

std::vector<DiagRecord> Diagnostics(const Handle& h) {
  std::vector<DiagRecord> out;
  if (!h) return out;
  for (SQLSMALLINT i = 1; i < 64; ++i) {
    SQLWCHAR state[6] = {0};
    SQLINTEGER native = 0;
    std::vector<SQLWCHAR> text(1024);
    SQLSMALLINT len = 0;
    SQLRETURN rc =
        SQLGetDiagRecW(h.type(), h.get(), i, state, &native, text.data(), static_cast<SQLSMALLINT>(text.size()), &len);
    if (rc == SQL_NO_DATA || !SQL_SUCCEEDED(rc)) break;
    if (len >= static_cast<SQLSMALLINT>(text.size())) {
      text.resize(static_cast<std::size_t>(len) + 1);
      SQLGetDiagRecW(h.type(), h.get(), i, state, &native, text.data(), static_cast<SQLSMALLINT>(text.size()), &len);
    }
    DiagRecord r;
    r.sqlstate = Narrow(state, 5);
    r.native = native;
    r.message = Narrow(text.data(), std::min<std::size_t>(static_cast<std::size_t>(len), text.size() - 1));
    SQLINTEGER severity = -1;
    if (SQL_SUCCEEDED(SQLGetDiagField(h.type(), h.get(), i, kDiagSeverity, &severity, SQL_IS_INTEGER, nullptr)))
      r.severity = static_cast<int>(severity);
    out.push_back(std::move(r));
  }
  return out;
}

[[noreturn]] void Fail(const Handle& h, Phase phase, const std::string& what) {
  throw MakeOleError(Diagnostics(h), phase, what);
}

// Storage for one bound parameter; it must stay put until the batch is done.
struct ParamBuf {
  SQLLEN ind = 0;
  std::int64_t i = 0;
  double d = 0;
  SQL_TIMESTAMP_STRUCT ts{};
  std::vector<SQLWCHAR> w;
};

void BindParams(const Handle& st, const std::vector<db::Value>& params, std::vector<ParamBuf>& bufs) {
  bufs.assign(params.size(), ParamBuf{});
  for (std::size_t k = 0; k < params.size(); ++k) {
    const db::Value& v = params[k];
    ParamBuf& b = bufs[k];
    const SQLUSMALLINT n = static_cast<SQLUSMALLINT>(k + 1);
    SQLRETURN rc = SQL_SUCCESS;
    switch (v.kind()) {
      case db::Value::Kind::Integer:
        b.i = v.AsInteger();
        rc = SQLBindParameter(st.get(), n, SQL_PARAM_INPUT, SQL_C_SBIGINT, SQL_BIGINT, 0, 0, &b.i, 0, &b.ind);
        break;
      case db::Value::Kind::Float:
        b.d = v.AsFloat();
        rc = SQLBindParameter(st.get(), n, SQL_PARAM_INPUT, SQL_C_DOUBLE, SQL_DOUBLE, 0, 0, &b.d, 0, &b.ind);
        break;
      case db::Value::Kind::DateTime: {
        const db::DateTime t = v.AsDateTime();
        b.ts.year = static_cast<SQLSMALLINT>(t.year);
        b.ts.month = static_cast<SQLUSMALLINT>(t.month);
        b.ts.day = static_cast<SQLUSMALLINT>(t.day);
        b.ts.hour = static_cast<SQLUSMALLINT>(t.hour);
        b.ts.minute = static_cast<SQLUSMALLINT>(t.minute);
        b.ts.second = static_cast<SQLUSMALLINT>(t.second);
        rc = SQLBindParameter(st.get(), n, SQL_PARAM_INPUT, SQL_C_TYPE_TIMESTAMP, SQL_TYPE_TIMESTAMP, 23, 3, &b.ts, 0,
                              &b.ind);
        break;
      }
      case db::Value::Kind::Text:
      case db::Value::Kind::Null: {
        b.w = Wide(v.IsNull() ? std::string() : v.AsString());
        const SQLULEN chars = b.w.size() - 1;
        b.ind = v.IsNull() ? SQL_NULL_DATA : static_cast<SQLLEN>(chars * sizeof(SQLWCHAR));
        // Always a varying wide text (nvarchar, nvarchar(max) when long):
        // the long legacy type cannot be compared with "=".
        rc = SQLBindParameter(st.get(), n, SQL_PARAM_INPUT, SQL_C_WCHAR, SQL_WVARCHAR, chars == 0 ? 1 : chars, 0,
                              b.w.data(), static_cast<SQLLEN>(b.w.size() * sizeof(SQLWCHAR)), &b.ind);
        break;
      }
    }
    if (!SQL_SUCCEEDED(rc)) Fail(st, Phase::Connected, "Parameter " + std::to_string(n) + " cannot be bound");
  }
}

struct Column {
  std::string name;
  SQLSMALLINT type = 0;
  SQLULEN size = 0;
  SQLSMALLINT digits = 0;
};

// Reads a character or binary column in pieces; false for NULL.
bool ReadLong(const Handle& st, SQLUSMALLINT col, SQLSMALLINT ctype, std::vector<unsigned char>& out) {
  out.clear();
  unsigned char buf[8192];
  const std::size_t term = ctype == SQL_C_WCHAR ? sizeof(SQLWCHAR) : ctype == SQL_C_CHAR ? 1 : 0;
  for (;;) {
    SQLLEN ind = 0;
    SQLRETURN rc = SQLGetData(st.get(), col, ctype, buf, sizeof buf, &ind);
    if (rc == SQL_NO_DATA) break;
    if (!SQL_SUCCEEDED(rc)) Fail(st, Phase::Connected, "Column " + std::to_string(col) + " cannot be read");
    if (ind == SQL_NULL_DATA) return false;
    std::size_t got = sizeof buf - term;
    if (rc == SQL_SUCCESS && ind != SQL_NO_TOTAL && static_cast<std::size_t>(ind) < got)
      got = static_cast<std::size_t>(ind);
    out.insert(out.end(), buf, buf + got);
    if (rc == SQL_SUCCESS) break;
  }
  return true;
}

db::Value ReadValue(const Handle& st, SQLUSMALLINT col, const Column& c) {
  SQLLEN ind = 0;
  switch (c.type) {
    case SQL_BIT:
    case SQL_TINYINT:
    case SQL_SMALLINT:
    case SQL_INTEGER:
    case SQL_BIGINT: {
      std::int64_t v = 0;
      if (!SQL_SUCCEEDED(SQLGetData(st.get(), col, SQL_C_SBIGINT, &v, 0, &ind)))
        Fail(st, Phase::Connected, "Column " + c.name + " cannot be read");
      return ind == SQL_NULL_DATA ? db::Value::Null() : db::Value::Int(v);
    }
    case SQL_REAL:
    case SQL_FLOAT:
    case SQL_DOUBLE: {
      double v = 0;
      if (!SQL_SUCCEEDED(SQLGetData(st.get(), col, SQL_C_DOUBLE, &v, 0, &ind)))
        Fail(st, Phase::Connected, "Column " + c.name + " cannot be read");
      return ind == SQL_NULL_DATA ? db::Value::Null() : db::Value::Real(v);
    }
    case SQL_DECIMAL:
    case SQL_NUMERIC: {
      std::vector<unsigned char> raw;
      if (!ReadLong(st, col, SQL_C_CHAR, raw)) return db::Value::Null();
      return DecimalValue(std::string(raw.begin(), raw.end()), c.digits);
    }
    case SQL_TYPE_DATE:
    case SQL_TYPE_TIMESTAMP:
    case SQL_DATETIME: {
      SQL_TIMESTAMP_STRUCT ts{};
      if (!SQL_SUCCEEDED(SQLGetData(st.get(), col, SQL_C_TYPE_TIMESTAMP, &ts, sizeof ts, &ind)))
        Fail(st, Phase::Connected, "Column " + c.name + " cannot be read");
      if (ind == SQL_NULL_DATA) return db::Value::Null();
      return db::Value::Date({ts.year, ts.month, ts.day, ts.hour, ts.minute, ts.second});
    }
    case SQL_BINARY:
    case SQL_VARBINARY:
    case SQL_LONGVARBINARY: {
      std::vector<unsigned char> raw;
      if (!ReadLong(st, col, SQL_C_BINARY, raw)) return db::Value::Null();
      std::string hex = "0x";
      char two[3];
      for (unsigned char b : raw) {
        std::snprintf(two, sizeof two, "%02X", b);
        hex += two;
      }
      return db::Value::Str(hex);
    }
    default: {
      std::vector<unsigned char> raw;
      if (!ReadLong(st, col, SQL_C_WCHAR, raw)) return db::Value::Null();
      std::u16string u(raw.size() / 2, u'\0');
      std::memcpy(u.data(), raw.data(), u.size() * 2);
      return db::Value::Str(Utf16ToUtf8(u));
    }
  }
}

void FetchAll(const Handle& st, SQLSMALLINT ncols, db::ResultSet& rs) {
  std::vector<Column> cols(static_cast<std::size_t>(ncols));
  for (SQLSMALLINT k = 0; k < ncols; ++k) {
    SQLWCHAR name[512];
    SQLSMALLINT len = 0, nullable = 0;
    Column& c = cols[static_cast<std::size_t>(k)];
    if (!SQL_SUCCEEDED(SQLDescribeColW(st.get(), static_cast<SQLUSMALLINT>(k + 1), name, 512, &len, &c.type, &c.size,
                                       &c.digits, &nullable)))
      Fail(st, Phase::Connected, "The result cannot be described");
    c.name = Narrow(name, std::min<std::size_t>(static_cast<std::size_t>(len), 511));
    rs.columns.push_back(c.name);
  }
  for (;;) {
    SQLRETURN rc = SQLFetch(st.get());
    if (rc == SQL_NO_DATA) break;
    if (!SQL_SUCCEEDED(rc) || (rc == SQL_SUCCESS_WITH_INFO && HasError(Diagnostics(st))))
      Fail(st, Phase::Connected, "A row cannot be fetched");
    std::vector<db::Value> row;
    row.reserve(cols.size());
    for (std::size_t k = 0; k < cols.size(); ++k)
      row.push_back(ReadValue(st, static_cast<SQLUSMALLINT>(k + 1), cols[k]));
    rs.rows.push_back(std::move(row));
  }
}

// The results of one executed statement handle.
class StatementCursor : public BatchCursor {
 public:
  explicit StatementCursor(const Handle& st) : st_(st) {}
  Step StepOf(SQLRETURN rc) {
    Step step;
    if (rc == SQL_NO_DATA) return step;
    step.status = rc == SQL_SUCCESS ? Step::Ok : rc == SQL_SUCCESS_WITH_INFO ? Step::OkWithInfo : Step::Error;
    if (rc != SQL_SUCCESS) step.diag = Diagnostics(st_);
    return step;
  }
  int ColumnCount() override {
    SQLSMALLINT n = 0;
    return SQL_SUCCEEDED(SQLNumResultCols(st_.get(), &n)) ? n : 0;
  }
  void Fetch(db::ResultSet& into) override { FetchAll(st_, static_cast<SQLSMALLINT>(ColumnCount()), into); }
  Step MoreResults() override { return StepOf(SQLMoreResults(st_.get())); }

 private:
  const Handle& st_;
};

class OdbcConnection : public db::Connection {
 public:
  ~OdbcConnection() override { Close(); }

  void Open(const db::ConnectParams& params) override {
    if (open_) throw db::OleError(db::code::kAlreadyOpen, "Operation is not allowed when the object is open.");
    if (!env_.Alloc(SQL_HANDLE_ENV, SQL_NULL_HANDLE))
      throw db::OleError(db::code::kNoProvider, "The ODBC driver manager cannot be used");
    SQLSetEnvAttr(env_.get(), SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    if (!dbc_.Alloc(SQL_HANDLE_DBC, env_.get())) Fail(env_, Phase::Connecting, "No ODBC connection handle");
    SQLSetConnectAttr(dbc_.get(), SQL_ATTR_LOGIN_TIMEOUT,
                      reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(params.connectTimeoutSeconds)), 0);

    const char* extra = std::getenv("ZURARARUDUD_ODBC_OPTIONS");
    const DriverChoice driver = DriverFromEnvironment();
    std::vector<SQLWCHAR> text = Wide(BuildConnectionString(params, driver, extra ? extra : ""));
    SQLWCHAR out[1024];
    SQLSMALLINT outLen = 0;
    SQLRETURN rc =
        SQLDriverConnectW(dbc_.get(), nullptr, text.data(), SQL_NTS, out, 1024, &outLen, SQL_DRIVER_NOPROMPT);
    std::fill(text.begin(), text.end(), 0);  // the password is in there
    if (!SQL_SUCCEEDED(rc)) {
      std::vector<DiagRecord> diag = Diagnostics(dbc_);
      dbc_.Reset();
      env_.Reset();
      throw MakeOleError(diag, Phase::Connecting,
                         "The server cannot be reached through the ODBC driver " + driver.driver);
    }
    open_ = true;
  }

  void Close() override {
    if (dbc_) {
      if (open_) {
        if (inTrans_) SQLEndTran(SQL_HANDLE_DBC, dbc_.get(), SQL_ROLLBACK);
        SQLDisconnect(dbc_.get());
      }
      dbc_.Reset();
    }
    env_.Reset();
    open_ = false;
    inTrans_ = false;
  }

  bool IsOpen() const override { return open_; }

  void BeginTrans() override {
    Live();
    if (!SQL_SUCCEEDED(
            SQLSetConnectAttr(dbc_.get(), SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_OFF), 0)))
      Fail(dbc_, Phase::Connected, "A transaction cannot be started");
    inTrans_ = true;
  }
  void CommitTrans() override { EndTrans(SQL_COMMIT); }
  void RollbackTrans() override { EndTrans(SQL_ROLLBACK); }

  db::ResultSet Execute(const db::Statement& s) override {
    Live();
    Handle st;
    if (!st.Alloc(SQL_HANDLE_STMT, dbc_.get())) Fail(dbc_, Phase::Connected, "No ODBC statement handle");
    SQLSetStmtAttr(st.get(), SQL_ATTR_QUERY_TIMEOUT,
                   reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(s.timeoutSeconds < 0 ? 0 : s.timeoutSeconds)), 0);
    std::vector<ParamBuf> bufs;
    BindParams(st, s.params, bufs);

    std::vector<SQLWCHAR> text = Wide(s.text);
    StatementCursor cursor(st);
    return DrainBatch(cursor, cursor.StepOf(SQLExecDirectW(st.get(), text.data(), SQL_NTS)));
  }

 private:
  void Live() const {
    if (!open_) throw db::OleError(db::code::kUnreachable, "Operation is not allowed when the object is closed.");
  }

  void EndTrans(SQLSMALLINT how) {
    Live();
    SQLRETURN rc = SQLEndTran(SQL_HANDLE_DBC, dbc_.get(), how);
    std::optional<db::OleError> failure;
    if (!SQL_SUCCEEDED(rc)) failure = MakeOleError(Diagnostics(dbc_), Phase::Connected, "The transaction failed");
    SQLSetConnectAttr(dbc_.get(), SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_ON), 0);
    inTrans_ = false;
    if (failure) throw *failure;
  }

  Handle env_, dbc_;
  bool open_ = false;
  bool inTrans_ = false;
};

}  // namespace

std::unique_ptr<db::Connection> MakeServerConnection() {
  return std::make_unique<OdbcConnection>();
}

std::optional<std::string> DriverManagerVersionText() {
  Handle env, dbc;
  if (!env.Alloc(SQL_HANDLE_ENV, SQL_NULL_HANDLE)) return std::nullopt;
  SQLSetEnvAttr(env.get(), SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
  if (!dbc.Alloc(SQL_HANDLE_DBC, env.get())) return std::nullopt;
  SQLCHAR buf[64] = {0};
  SQLSMALLINT len = 0;
  if (!SQL_SUCCEEDED(SQLGetInfo(dbc.get(), SQL_DM_VER, buf, sizeof buf, &len))) return std::nullopt;
  // "03.52.0002.0011": the major number without leading zeros, the minor as given.
  const std::string text(reinterpret_cast<const char*>(buf));
  const std::size_t dot = text.find('.');
  if (dot == std::string::npos || dot == 0) return std::nullopt;
  const std::size_t dot2 = text.find('.', dot + 1);
  const std::string minor = text.substr(dot + 1, dot2 == std::string::npos ? std::string::npos : dot2 - dot - 1);
  if (minor.empty()) return std::nullopt;
  for (char c : text.substr(0, dot) + minor)
    if (c < '0' || c > '9') return std::nullopt;
  return std::to_string(std::atoi(text.substr(0, dot).c_str())) + "." + minor;
}

}  // namespace odbc
