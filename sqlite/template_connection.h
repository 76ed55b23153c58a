// The template adapter: a db::Connection over a single-file SQLite 3
// database holding the template tables.
//
// Statements arrive in the Jet dialect and pass through JetToSqlite first.
// Values read: INTEGER -> Value::Int, REAL -> Real, TEXT -> Str (a column
// declared DATE, DATETIME or TIMESTAMP whose text parses as a date gives
// Value::Date), NULL -> Null, BLOB -> Str of its bytes.
// Every SELECT also reports, per column, the base table and column it reads
// (when it reads one) and, per row, the rowid of the row of each table that
// the FROM clause names once; UpdateRow writes through those keys.
#pragma once

#include <memory>
#include <string>

#include "db/db.h"

struct sqlite3;

namespace sqlite {

class TemplateConnection : public db::Connection {
 public:
  TemplateConnection() = default;
  ~TemplateConnection() override;
  TemplateConnection(const TemplateConnection&) = delete;
  TemplateConnection& operator=(const TemplateConnection&) = delete;

  // Opens the file named by params.dataSource (other fields are ignored).
  // The file must exist and begin with the SQLite 3 header; it is opened for
  // reading and writing and never created. Throws OleError: kAlreadyOpen
  // when open; kUnreachable (0x80004005) naming the file when it is missing,
  // not a regular file, unreadable or not a SQLite 3 database.
  void Open(const db::ConnectParams& params) override;
  void Close() override;
  bool IsOpen() const override { return db_ != nullptr; }

  // BEGIN / COMMIT / ROLLBACK. Throw OleError (kCommandError) when refused.
  void BeginTrans() override;
  void CommitTrans() override;
  void RollbackTrans() override;

  // Runs every statement of the text in turn, binding st.params in marker
  // order across them. A failure (SQL error, missing table or column) is
  // raised after the remaining statements ran, as OleError: kCommandError
  // (kIntegrity for a violated constraint) with SQLite's message and the
  // first line of the statement text.
  db::ResultSet Execute(const db::Statement& st) override;

  // Writes `changes` (column names of `rs`) into the base rows that row
  // `row` came from: one UPDATE ... WHERE rowid per base table, all or
  // nothing. Throws OleError (kCommandError) when a column reads no base
  // column, when the base row is not known (a table named twice in FROM, an
  // unmatched outer join) or when it no longer exists.
  void UpdateRow(const db::ResultSet& rs, std::size_t row,
                 const std::vector<std::pair<std::string, db::Value>>& changes) override;

  // The file this connection has open ("" when closed).
  const std::string& Path() const { return path_; }

 private:
  void ExecPlain(const char* sql);
  std::string RowidName(const std::string& table);
  std::string CanonicalTable(const std::string& schema, const std::string& table);

  sqlite3* db_ = nullptr;
  std::string path_;
};

// A new, closed template connection.
std::unique_ptr<db::Connection> MakeTemplateConnection();

// Parses "YYYY-MM-DD", "YYYY-MM-DD HH:MM[:SS]" (also with 'T'), and
// "DD-MM-YYYY" with an optional time; false when the text is none of these
// or names no valid date.
bool ParseDateText(const std::string& text, db::DateTime* out);

}  // namespace sqlite
