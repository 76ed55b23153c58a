// The simulated server's engine: databases, logins, the session state of
// the one connection, and the statement executor. Internal to sqlsim; the
// public face is sqlsim/server.h.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "db/db.h"
#include "sqlsim/ast.h"
#include "sqlsim/database.h"
#include "sqlsim/errors.h"
#include "sqlsim/parser.h"

namespace sqlsim {

struct Login {
  std::string name;
  std::string password;
  std::string defaultDatabase;
  bool viewServerState = false;
};

struct Variable {
  TypeSpec type;
  db::Value value;
};

struct Cursor {
  SelectP select;
  bool open = false;
  std::vector<Row> rows;
  std::size_t pos = 0;
};

class Engine {
 public:
  Engine();
  ~Engine();

  // --- server model ---
  int majorVersion = 15;
  std::string defaultCollation = "Polish_CI_AS";
  std::map<std::string, std::unique_ptr<Database>> databases;  // key: upper-cased name
  std::vector<Login> logins;                                   // SQL logins, sa first
  Database* current = nullptr;
  Database* Find(const std::string& name) const;
  Database& CreateDatabase(const std::string& name, const std::string& collation);
  void RefreshServerTables();  // copies databases and logins into every database

  // --- session ---
  bool quotedIdentifier = true;
  bool ansiNulls = true;
  bool dayFirst = true;
  int dateFirst = 1;  // first day of the week, 1 Monday .. 7 Sunday (Polish 1, us_english 7)
  std::string language = "polski";  // the session language by its server name
  std::string loginName = "sa";
  std::optional<std::int64_t> identityInsert;  // table id
  Database* identityInsertDb = nullptr;
  int tranCount = 0;
  std::int64_t rowCount = 0;
  std::optional<std::int64_t> lastIdentity;
  std::vector<SqlMessage> infoMessages;  // severity 10 messages of the last batch

  // --- one batch ---
  std::map<std::string, Variable> vars;  // upper-cased names
  std::map<std::string, Cursor> cursors;
  int fetchStatus = -1;
  std::vector<db::Value> params;
  std::optional<SqlError> pendingError;  // raised inside an SQLite function
  int depth = 0;
  bool loading = false;

  // Runs a batch; returns its first result that has columns.
  db::ResultSet RunBatch(const std::string& text, const std::vector<db::Value>& params);
  // Runs statements of an already parsed batch (EXEC of a string too).
  void RunStatements(const std::vector<StmtP>& stmts, const std::string& text, db::ResultSet* first, bool* haveFirst);
  void RunOne(const Stmt& s, const std::string& text, db::ResultSet* first, bool* haveFirst);

  // --- queries ---
  db::ResultSet RunSelect(const Select& s);
  // Value of one expression, evaluated by SQLite in the current database.
  db::Value Eval(const ExprP& e);
  Database& Cur();

  // --- statements (executor files) ---
  void CreateTable(const Stmt& s);
  void AlterTable(const Stmt& s);
  void CreateIndex(const Stmt& s);
  void DropIndex(const Stmt& s);
  void DropObjects(const Stmt& s);
  void CreateModule(const Stmt& s, const std::string& text);
  void Insert(const Stmt& s);
  void Update(const Stmt& s);
  void Delete(const Stmt& s);
  void Grant(const Stmt& s);
  void SetIdentityInsert(const Stmt& s);
  void EnableTriggers(const Stmt& s);
  db::ResultSet ExecProc(const Stmt& s, bool* hasRows);
  void CreatePrincipal(const Stmt& s);

  // --- catalog helpers shared by the executor files ---
  ObjInfo Table(const std::vector<std::string>& name);  // a user table, else 208 (or 4902)
  std::int64_t AddObject(Database& d, const std::string& name, const std::string& xtype, std::int64_t parent);
  void CheckNameFree(Database& d, const std::string& name);  // 2714
  void StoreComments(Database& d, std::int64_t id, const std::string& text);
  void AddConstraint(Database& d, const ObjInfo& t, const ConstraintDef& c, bool noCheck, bool inCreate);
  void AddColumnToTable(Database& d, const ObjInfo& t, const ColumnDef& c, std::vector<ConstraintDef>* extra);
  // NOT NULL, FOREIGN KEY and CHECK rules on the rows of a table: only rows
  // with rowid above `minRowid`, only rules on `cols` when given.
  void CheckTableData(Database& d, std::int64_t tableId, const char* stmtKind, std::int64_t minRowid = 0,
                      const std::vector<std::string>* cols = nullptr);
  void CheckReferencing(Database& d, std::int64_t tableId, const char* stmtKind,
                        const std::vector<std::string>* cols = nullptr);  // rows that point to it
  void CascadeDeletes(Database& d, std::int64_t tableId, int depth);
  // A name for an unnamed constraint as SQL Server makes one: PK/UQ__table__hex,
  // FK__table__referenced table__hex, DF/CK__table__column__hex (parts cut to
  // 9, 8 and 5 characters). Deterministic for one server.
  std::string AutoName(const std::string& prefix, const std::string& table, const std::string& second = "");
  std::string NormalizeExpr(const ExprP& e, bool isDefault);  // stored form of a default or check

  // --- observability ---
  std::uint64_t roundTrips = 0, statements = 0;
  std::function<void(const std::string&)> trace;

 private:
  std::int64_t dbCounter_ = 4;
  unsigned nameSeed_ = 0x1A2B3C4D;
  std::map<std::string, std::shared_ptr<Batch>> parsed_;  // parsed batches by text
};

// SQLite user functions and the CI collation for one database.
void RegisterFunctions(Database& d);
// SQL text of the catalog tables and system views.
const char* CatalogSchemaSql();
// Emits SQLite SQL for a SELECT; `dateCols` receives the result columns
// whose values are dates, `anon` those that have no name.
std::string EmitSelect(Engine& eng, Database& d, const Select& s, std::vector<bool>* dateCols,
                       std::vector<bool>* anon);
std::string EmitExpr(Engine& eng, Database& d, const Expr& e);

// The canonical name of a date part as DATEADD/DATEDIFF/DATEPART take it
// ("yy" -> "year"); "" for a name that is none.
std::string DatePartName(const std::string& written);

// Trims a two-letter type code ("U " -> "U").
std::string TrimType(const std::string& t);
std::string PadType(const std::string& t);

}  // namespace sqlsim
