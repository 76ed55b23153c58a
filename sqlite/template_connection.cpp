#include "sqlite/template_connection.h"

#include <sqlite3.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>

#include "sqlite/jet_dialect.h"
#include "sqlite/select_shape.h"
#include "sqlite/sql_scan.h"

namespace sqlite {

namespace {

using db::OleError;
using db::Value;
namespace code = db::code;

struct StmtDeleter {
  void operator()(sqlite3_stmt* s) const { sqlite3_finalize(s); }
};
using StmtPtr = std::unique_ptr<sqlite3_stmt, StmtDeleter>;

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

std::string QuoteName(const std::string& name) {
  std::string out = "\"";
  for (char c : name) {
    if (c == '"') out += '"';
    out += c;
  }
  return out + "\"";
}

std::string FirstLine(const std::string& text) {
  std::size_t b = 0;
  while (b < text.size() && static_cast<unsigned char>(text[b]) <= 32) ++b;
  std::size_t e = text.find_first_of("\r\n", b);
  return text.substr(b, e == std::string::npos ? std::string::npos : e - b);
}

// The one table of native failures to OLE DB codes.
std::uint32_t MapCode(int rc) {
  switch (rc & 0xff) {
    case SQLITE_CONSTRAINT:
      return code::kIntegrity;
    case SQLITE_CANTOPEN:
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
    case SQLITE_IOERR:
      return code::kUnreachable;
    default:
      return code::kCommandError;
  }
}

bool IsDateDecl(const char* decl) {
  if (!decl) return false;
  std::string d = Upper(decl);
  return d == "DATE" || d == "DATETIME" || d == "TIMESTAMP";
}

Value ReadColumn(sqlite3_stmt* s, int i) {
  switch (sqlite3_column_type(s, i)) {
    case SQLITE_INTEGER:
      return Value::Int(sqlite3_column_int64(s, i));
    case SQLITE_FLOAT:
      return Value::Real(sqlite3_column_double(s, i));
    case SQLITE_NULL:
      return Value::Null();
    case SQLITE_TEXT: {
      const char* p = reinterpret_cast<const char*>(sqlite3_column_text(s, i));
      std::string text(p ? p : "", static_cast<std::size_t>(sqlite3_column_bytes(s, i)));
      db::DateTime dt;
      if (IsDateDecl(sqlite3_column_decltype(s, i)) && ParseDateText(text, &dt)) return Value::Date(dt);
      return Value::Str(std::move(text));
    }
    default: {
      const char* p = static_cast<const char*>(sqlite3_column_blob(s, i));
      return Value::Str(std::string(p ? p : "", static_cast<std::size_t>(sqlite3_column_bytes(s, i))));
    }
  }
}

int Bind(sqlite3_stmt* s, int index, const Value& v) {
  switch (v.kind()) {
    case Value::Kind::Null:
      return sqlite3_bind_null(s, index);
    case Value::Kind::Integer:
      return sqlite3_bind_int64(s, index, v.AsInteger());
    case Value::Kind::Float:
      return sqlite3_bind_double(s, index, v.AsFloat());
    case Value::Kind::Text: {
      std::string t = v.AsString();
      return sqlite3_bind_text(s, index, t.data(), static_cast<int>(t.size()), SQLITE_TRANSIENT);
    }
    case Value::Kind::DateTime: {
      db::DateTime d = v.AsDateTime();
      char buf[32];
      std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", d.year, d.month, d.day, d.hour, d.minute,
                    d.second);
      return sqlite3_bind_text(s, index, buf, -1, SQLITE_TRANSIENT);
    }
  }
  return SQLITE_MISUSE;
}

OleError OpenFailure(const std::string& path, const std::string& why) {
  return OleError(code::kUnreachable, "Cannot open the template file '" + path + "': " + why);
}

// Length of the first complete statement of `text` (up to and including
// its ';'), or 0 when the text holds no further complete statement.
std::size_t StatementEnd(const std::string& text) {
  for (const auto& t : scan::Tokenize(text))
    if (scan::IsPunct(text, t, ';') && sqlite3_complete(text.substr(0, t.end).c_str())) return t.end;
  return 0;
}

// The name of a result column. SQLite turns a parenthesised join into a
// subquery and names a column that two of its tables share "id:1"; the
// statement wrote a plain column reference, so its name is the column's.
std::string ResultName(const char* name, const char* origin) {
  std::string n = name ? name : "";
  std::size_t colon = n.rfind(':');
  if (!origin || colon == std::string::npos || colon + 1 == n.size()) return n;
  for (std::size_t i = colon + 1; i < n.size(); ++i)
    if (!std::isdigit(static_cast<unsigned char>(n[i]))) return n;
  std::string stem = n.substr(0, colon);
  return db::EqualsNoCase(stem, origin) ? stem : n;
}

// A hidden result column added to learn the rowid of one base table.
struct KeyColumn {
  std::string table;  // canonical table name, the key of ResultSet::rowKeys
};

}  // namespace

bool ParseDateText(const std::string& text, db::DateTime* out) {
  int a = 0, b = 0, c = 0, h = 0, mi = 0, se = 0, used = 0;
  db::DateTime d;
  const char* s = text.c_str();
  int n = 0;
  if (std::sscanf(s, "%4d-%2d-%2d%n", &a, &b, &c, &n) == 3 && n == 10) {
    d.year = a, d.month = b, d.day = c;
  } else if (std::sscanf(s, "%2d-%2d-%4d%n", &a, &b, &c, &n) == 3 && n == 10) {
    d.day = a, d.month = b, d.year = c;
  } else {
    return false;
  }
  used = n;
  if (text[used] == ' ' || text[used] == 'T') {
    int m = 0;
    if (std::sscanf(s + used + 1, "%2d:%2d%n", &h, &mi, &m) != 2 || m != 5) return false;
    used += 1 + m;
    if (text[used] == ':') {
      if (std::sscanf(s + used + 1, "%2d%n", &se, &m) != 1 || m != 2) return false;
      used += 1 + m;
      if (text[used] == '.')
        for (++used; std::isdigit(static_cast<unsigned char>(text[used]));) ++used;
    }
  }
  while (used < static_cast<int>(text.size()) && static_cast<unsigned char>(text[used]) <= 32) ++used;
  if (used != static_cast<int>(text.size())) return false;
  static const int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (d.year < 1 || d.month < 1 || d.month > 12 || d.day < 1 || d.day > kDays[d.month - 1]) return false;
  bool leap = (d.year % 4 == 0 && d.year % 100 != 0) || d.year % 400 == 0;
  if (d.month == 2 && d.day == 29 && !leap) return false;
  if (h > 23 || mi > 59 || se > 59 || h < 0 || mi < 0 || se < 0) return false;
  d.hour = h, d.minute = mi, d.second = se;
  *out = d;
  return true;
}

TemplateConnection::~TemplateConnection() {
  Close();
}

void TemplateConnection::Open(const db::ConnectParams& params) {
  if (db_) throw OleError(code::kAlreadyOpen, "The template connection is already open.");
  std::string path = params.dataSource;
  while (!path.empty() && static_cast<unsigned char>(path.front()) <= 32) path.erase(path.begin());
  while (!path.empty() && static_cast<unsigned char>(path.back()) <= 32) path.pop_back();
  if (path.empty()) throw OleError(code::kUnreachable, "Cannot open the template: no file name was given.");

  std::error_code ec;
  auto st = std::filesystem::status(path, ec);
  if (st.type() == std::filesystem::file_type::not_found) throw OpenFailure(path, "the file does not exist.");
  if (ec) throw OpenFailure(path, ec.message() + ".");
  if (st.type() != std::filesystem::file_type::regular) throw OpenFailure(path, "it is not a regular file.");

  char header[16] = {};
  {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw OpenFailure(path, std::string("the file cannot be read (") + std::strerror(errno) + ").");
    in.read(header, sizeof header);
    if (in.gcount() != static_cast<std::streamsize>(sizeof header) || std::memcmp(header, "SQLite format 3", 16) != 0)
      throw OpenFailure(path, "it is not a SQLite 3 database.");
  }

  sqlite3* handle = nullptr;
  int rc = sqlite3_open_v2(path.c_str(), &handle, SQLITE_OPEN_READWRITE, nullptr);
  if (rc == SQLITE_OK) {
    // The header alone does not prove the rest of the file is sound.
    char* err = nullptr;
    rc = sqlite3_exec(handle, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, &err);
    sqlite3_free(err);
  }
  if (rc != SQLITE_OK) {
    std::string why = handle ? sqlite3_errmsg(handle) : sqlite3_errstr(rc);
    sqlite3_close_v2(handle);
    throw OpenFailure(path, why + ".");
  }
  sqlite3_busy_timeout(handle, 5000);
  db_ = handle;
  path_ = path;
}

void TemplateConnection::Close() {
  if (!db_) return;
  sqlite3_close_v2(db_);
  db_ = nullptr;
  path_.clear();
}

void TemplateConnection::ExecPlain(const char* sql) {
  if (!db_) throw OleError(code::kUnreachable, "The template connection is not open.");
  char* err = nullptr;
  int rc = sqlite3_exec(db_, sql, nullptr, nullptr, &err);
  if (rc != SQLITE_OK) {
    std::string msg = err ? err : sqlite3_errstr(rc);
    sqlite3_free(err);
    throw OleError(code::kCommandError, msg + "; statement: " + sql);
  }
}

void TemplateConnection::BeginTrans() {
  ExecPlain("BEGIN");
}
void TemplateConnection::CommitTrans() {
  ExecPlain("COMMIT");
}
void TemplateConnection::RollbackTrans() {
  ExecPlain("ROLLBACK");
}

std::string TemplateConnection::CanonicalTable(const std::string& schema, const std::string& table) {
  if (!schema.empty() && Upper(schema) != "MAIN") return "";
  sqlite3_stmt* raw = nullptr;
  if (sqlite3_prepare_v2(db_, "SELECT name FROM sqlite_master WHERE type = 'table' AND name = ?1 COLLATE NOCASE", -1,
                         &raw, nullptr) != SQLITE_OK)
    return "";
  StmtPtr s(raw);
  sqlite3_bind_text(raw, 1, table.c_str(), -1, SQLITE_TRANSIENT);
  if (sqlite3_step(raw) != SQLITE_ROW) return "";
  return reinterpret_cast<const char*>(sqlite3_column_text(raw, 0));
}

std::string TemplateConnection::RowidName(const std::string& table) {
  // A column of the table may shadow a rowid alias (tblObjectText has a
  // column ROWID): take the first alias that no column uses.
  sqlite3_stmt* raw = nullptr;
  std::string sql = "PRAGMA table_info(" + QuoteName(table) + ")";
  if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &raw, nullptr) != SQLITE_OK) return "";
  StmtPtr s(raw);
  std::vector<std::string> cols;
  while (sqlite3_step(raw) == SQLITE_ROW)
    cols.push_back(Upper(reinterpret_cast<const char*>(sqlite3_column_text(raw, 1))));
  for (const char* alias : {"rowid", "_rowid_", "oid"}) {
    bool used = false;
    for (const auto& c : cols) used = used || c == Upper(alias);
    if (!used) return alias;
  }
  return "";
}

db::ResultSet TemplateConnection::Execute(const db::Statement& st) {
  if (!db_) throw OleError(code::kUnreachable, "The template connection is not open.");
  const std::string text = JetToSqlite(st.text);
  const std::string origin = FirstLine(st.text);
  db::ResultSet result;
  bool haveResult = false;
  std::optional<OleError> firstError;
  auto fail = [&](int rc, const std::string& msg) {
    if (!firstError) firstError.emplace(MapCode(rc), msg + "; statement: " + origin);
  };

  std::size_t paramPos = 0;
  const char* p = text.c_str();
  const char* end = p + text.size();
  while (p < end) {
    sqlite3_stmt* raw = nullptr;
    const char* tail = nullptr;
    int rc = sqlite3_prepare_v2(db_, p, static_cast<int>(end - p), &raw, &tail);
    if (rc != SQLITE_OK) {
      fail(rc, sqlite3_errmsg(db_));
      // Go on after the end of the statement that failed to compile.
      std::size_t next = StatementEnd(std::string(p, end));
      if (next == 0) break;
      p += next;
      continue;
    }
    const std::string sub(p, static_cast<std::size_t>(tail - p));
    p = tail;
    if (!raw) continue;  // only blanks or comments
    StmtPtr stmt(raw);

    // A SELECT that delivers our result gets hidden rowid columns, one per
    // table that its FROM names once.
    std::vector<KeyColumn> keys;
    const bool wantsRows = !haveResult && sqlite3_column_count(raw) > 0;
    if (wantsRows) {
      SelectShape shape = AnalyzeSelect(sub);
      if (shape.keyable) {
        std::map<std::string, int> uses;
        std::vector<std::string> canon;
        for (const auto& t : shape.tables) {
          canon.push_back(CanonicalTable(t.schema, t.table));
          ++uses[Upper(canon.back())];
        }
        std::string extra;
        for (std::size_t i = 0; i < shape.tables.size(); ++i) {
          if (canon[i].empty() || uses[Upper(canon[i])] != 1) continue;
          std::string rowid = RowidName(canon[i]);
          if (rowid.empty()) continue;
          const auto& t = shape.tables[i];
          std::string ref = !t.alias.empty()   ? QuoteName(t.alias)
                            : t.schema.empty() ? QuoteName(t.table)
                                               : QuoteName(t.schema) + "." + QuoteName(t.table);
          extra += ", " + ref + "." + rowid + " AS \"__zr_key_" + std::to_string(keys.size()) + "\"";
          keys.push_back({canon[i]});
        }
        if (!keys.empty()) {
          std::string augmented = sub.substr(0, shape.fromPos) + extra + " " + sub.substr(shape.fromPos);
          sqlite3_stmt* aug = nullptr;
          if (sqlite3_prepare_v2(db_, augmented.c_str(), -1, &aug, nullptr) == SQLITE_OK && aug &&
              sqlite3_column_count(aug) == sqlite3_column_count(raw) + static_cast<int>(keys.size())) {
            stmt.reset(aug);
            raw = aug;
          } else {
            sqlite3_finalize(aug);  // our reading of the statement was wrong: run it unkeyed
            keys.clear();
          }
        }
      }
    }

    const int nparams = sqlite3_bind_parameter_count(raw);
    bool bound = true;
    for (int i = 1; i <= nparams; ++i) {
      if (paramPos >= st.params.size()) {
        fail(SQLITE_ERROR, "no value given for parameter " + std::to_string(paramPos + 1));
        bound = false;
        break;
      }
      if (Bind(raw, i, st.params[paramPos++]) != SQLITE_OK) {
        fail(SQLITE_ERROR, sqlite3_errmsg(db_));
        bound = false;
        break;
      }
    }
    if (!bound) continue;

    const int total = sqlite3_column_count(raw);
    const int visible = total - static_cast<int>(keys.size());
    if (wantsRows) {
      haveResult = true;
      for (int c = 0; c < visible; ++c) {
        const char* name = sqlite3_column_name(raw, c);
        const char* table = sqlite3_column_table_name(raw, c);
        const char* column = sqlite3_column_origin_name(raw, c);
        result.columns.push_back(ResultName(name, column));
        result.baseTable.push_back(table ? table : "");
        result.baseColumn.push_back(column ? column : "");
      }
    }
    while ((rc = sqlite3_step(raw)) == SQLITE_ROW) {
      if (!wantsRows) continue;
      std::vector<Value> row;
      row.reserve(static_cast<std::size_t>(visible));
      for (int c = 0; c < visible; ++c) row.push_back(ReadColumn(raw, c));
      std::map<std::string, std::int64_t> rowKeys;
      for (std::size_t k = 0; k < keys.size(); ++k) {
        int c = visible + static_cast<int>(k);
        if (sqlite3_column_type(raw, c) != SQLITE_NULL) rowKeys[keys[k].table] = sqlite3_column_int64(raw, c);
      }
      result.rows.push_back(std::move(row));
      result.rowKeys.push_back(std::move(rowKeys));
    }
    if (rc != SQLITE_DONE) fail(rc, sqlite3_errmsg(db_));
  }
  if (firstError) throw *firstError;
  return result;
}

void TemplateConnection::UpdateRow(const db::ResultSet& rs, std::size_t row,
                                   const std::vector<std::pair<std::string, Value>>& changes) {
  if (!db_) throw OleError(code::kUnreachable, "The template connection is not open.");
  if (row >= rs.rows.size() || row >= rs.rowKeys.size())
    throw OleError(code::kCommandError, "Either BOF or EOF is True, or the current record has been deleted");

  // Group the changes by base table, keeping their order.
  std::vector<std::pair<std::string, std::vector<std::pair<std::string, Value>>>> groups;
  for (const auto& [field, value] : changes) {
    std::size_t idx = rs.columns.size();
    for (std::size_t c = 0; c < rs.columns.size() && idx == rs.columns.size(); ++c)
      if (db::EqualsNoCase(rs.columns[c], field)) idx = c;
    if (idx == rs.columns.size()) throw OleError(code::kCommandError, "Field '" + field + "' not found");
    const std::string table = idx < rs.baseTable.size() ? rs.baseTable[idx] : "";
    const std::string column = idx < rs.baseColumn.size() ? rs.baseColumn[idx] : "";
    if (table.empty() || column.empty())
      throw OleError(code::kCommandError, "Field '" + field + "' cannot be changed: it is not a column of a table");
    if (!rs.rowKeys[row].count(table))
      throw OleError(code::kCommandError, "Field '" + field + "' cannot be changed: the row of table " + table +
                                              " that it comes from is not known");
    auto g = groups.begin();
    while (g != groups.end() && g->first != table) ++g;
    if (g == groups.end()) g = groups.insert(groups.end(), {table, {}});
    g->second.emplace_back(column, value);
  }
  if (groups.empty()) return;

  const bool several = groups.size() > 1;
  if (several) ExecPlain("SAVEPOINT zr_post");
  try {
    for (const auto& [table, cols] : groups) {
      std::string rowid = RowidName(table);
      std::string sql = "UPDATE " + QuoteName(table) + " SET ";
      for (std::size_t i = 0; i < cols.size(); ++i) sql += (i ? ", " : "") + QuoteName(cols[i].first) + " = ?";
      sql += " WHERE " + rowid + " = ?";
      sqlite3_stmt* raw = nullptr;
      if (rowid.empty() || sqlite3_prepare_v2(db_, sql.c_str(), -1, &raw, nullptr) != SQLITE_OK)
        throw OleError(code::kCommandError, std::string(sqlite3_errmsg(db_)) + "; statement: " + sql);
      StmtPtr s(raw);
      int i = 1;
      for (const auto& c : cols) Bind(raw, i++, c.second);
      sqlite3_bind_int64(raw, i, rs.rowKeys[row].at(table));
      int rc = sqlite3_step(raw);
      if (rc != SQLITE_DONE) throw OleError(MapCode(rc), std::string(sqlite3_errmsg(db_)) + "; statement: " + sql);
      if (sqlite3_changes(db_) != 1)
        throw OleError(code::kCommandError, "The row of table " + table + " to be changed no longer exists");
    }
  } catch (...) {
    if (several) {
      sqlite3_exec(db_, "ROLLBACK TO zr_post; RELEASE zr_post", nullptr, nullptr, nullptr);
    }
    throw;
  }
  if (several) ExecPlain("RELEASE zr_post");
}

std::unique_ptr<db::Connection> MakeTemplateConnection() {
  return std::make_unique<TemplateConnection>();
}

}  // namespace sqlite
