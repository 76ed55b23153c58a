// One simulated database: its catalog and rows, kept in an SQLite
// in-memory database.
//
// The catalog lives in plain tables (objects, columns, indexes, keys,
// constraints, module texts, principals, extended properties) indexed on
// what the catalog queries filter and join on; the system tables and
// catalog views (sysobjects, sys.columns...) are SQLite views over them.
// Every text column compares without regard to case (collation CI, which
// also ignores trailing blanks as SQL Server does). A user table's rows are
// in an SQLite table named u_<object id>. Because all of it is SQLite, a
// rolled-back transaction undoes DDL and data alike.
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "db/db.h"
#include "sqlsim/ast.h"
#include "sqlsim/types.h"

namespace sqlsim {

class Engine;
using Row = std::vector<db::Value>;

struct ObjInfo {
  std::int64_t id = 0;
  std::string name;
  std::string xtype;  // trimmed: "U", "PK", "FN"...
  std::int64_t parent = 0;
};

struct ColInfo {
  int colid = 0;
  std::string name;
  ColType type;
  bool nullable = true;
  bool identity = false;
  std::int64_t seed = 0, incr = 0;
  bool rowguid = false;
  std::string collation;
  std::string computed;
};

class Database {
 public:
  Database(Engine& engine, std::string name, std::string collation);
  ~Database();
  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;

  sqlite3* handle() const { return db_; }
  const std::string& name() const { return name_; }
  const std::string& collation() const { return collation_; }
  Engine& engine() { return engine_; }

  // Runs a catalog statement with values bound to ?1.., through a cache of
  // prepared statements. Q returns the rows; X returns nothing.
  std::vector<Row> Q(const std::string& sql, const std::vector<db::Value>& args = {});
  void X(const std::string& sql, const std::vector<db::Value>& args = {});
  void Script(const std::string& sql);  // several statements, no values
  sqlite3_stmt* Prepare(const std::string& sql);  // cached; reset before use

  std::int64_t NewObjectId();
  std::optional<ObjInfo> FindObject(const std::string& name) const;
  std::optional<ObjInfo> ObjectById(std::int64_t id) const;
  // The object named by a multi-part name in this database (schema dbo or
  // none); nullopt when absent.
  std::optional<ObjInfo> Resolve(const std::vector<std::string>& parts) const;
  std::vector<ColInfo> Columns(std::int64_t tableId) const;
  std::optional<ColInfo> Column(std::int64_t tableId, const std::string& name) const;

  // The parsed SELECT of a view, cached by id and text.
  SelectP ViewSelect(std::int64_t id);
  void ForgetView(std::int64_t id) { views_.erase(id); }
  void ForgetAllViews() { views_.clear(); }

  static std::string DataTable(std::int64_t id) { return "u_" + std::to_string(id); }

 private:
  void CreateSchema();
  Engine& engine_;
  std::string name_, collation_;
  sqlite3* db_ = nullptr;
  std::map<std::string, sqlite3_stmt*> cache_;
  std::map<std::int64_t, SelectP> views_;
};

// Binds a value to a prepared statement (dates as text).
void BindValue(sqlite3_stmt* st, int index, const db::Value& v);
// Reads a result column; `dateColumn` turns stored date text into a DateTime.
db::Value ReadValue(sqlite3_stmt* st, int col, bool dateColumn);
// Quotes an SQLite identifier.
std::string QuoteId(const std::string& s);
// UTF-8 case folding used by the CI collation and LIKE.
std::string FoldCase(const std::string& s);

}  // namespace sqlsim
