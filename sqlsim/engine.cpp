// Batches, control flow, variables, cursors, session settings and SELECT.
#include "sqlsim/engine.h"

#include <cstring>

namespace sqlsim {

namespace {
struct ReturnSignal {};
}  // namespace

std::string TrimType(const std::string& t) {
  std::string r = t;
  while (!r.empty() && r.back() == ' ') r.pop_back();
  return r;
}
std::string PadType(const std::string& t) { return t.size() == 1 ? t + " " : t; }

Engine::Engine() {
  Login sa;
  sa.name = "sa";
  logins.push_back(sa);
  CreateDatabase("master", defaultCollation);
  CreateDatabase("tempdb", defaultCollation);
  CreateDatabase("model", defaultCollation);
  CreateDatabase("msdb", defaultCollation);
  current = Find("master");
}

Engine::~Engine() = default;

Database* Engine::Find(const std::string& name) const {
  auto it = databases.find(FoldCase(name));
  return it == databases.end() ? nullptr : it->second.get();
}

Database& Engine::CreateDatabase(const std::string& name, const std::string& collation) {
  if (Find(name))
    throw SqlError(1801, "Database '" + name + "' already exists. Choose a different database name.");
  auto d = std::make_unique<Database>(*this, name, collation.empty() ? defaultCollation : collation);
  Database& ref = *d;
  databases[FoldCase(name)] = std::move(d);
  ref.X("INSERT INTO meta VALUES (0)");  // placeholder row removed below
  ref.X("DELETE FROM meta WHERE next_id = 0");
  (void)dbCounter_;
  RefreshServerTables();
  return ref;
}

void Engine::RefreshServerTables() {
  for (auto& [key, d] : databases) {
    d->X("DELETE FROM srv_databases");
    int id = 1;
    for (const char* sys : {"master", "tempdb", "model", "msdb"}) {
      if (Database* s = Find(sys))
        d->X("INSERT INTO srv_databases VALUES (?1, ?2, ?3)",
             {db::Value::Str(s->name()), db::Value::Int(id), db::Value::Str(s->collation())});
      ++id;
    }
    for (auto& [k2, other] : databases) {
      std::string n = FoldCase(other->name());
      if (n == "master" || n == "tempdb" || n == "model" || n == "msdb") continue;
      d->X("INSERT INTO srv_databases VALUES (?1, ?2, ?3)",
           {db::Value::Str(other->name()), db::Value::Int(id++), db::Value::Str(other->collation())});
    }
    d->X("DELETE FROM srv_principals");
    d->X("INSERT INTO srv_principals VALUES ('sysadmin', 3, 'R', 'SERVER_ROLE', 0, NULL),"
         " ('public', 2, 'R', 'SERVER_ROLE', 0, NULL),"
         " ('##MS_PolicyEventProcessingLogin##', 256, 'S', 'SQL_LOGIN', 1, 'master'),"
         " ('BUILTIN\\Administrators', 257, 'G', 'WINDOWS_GROUP', 0, 'master')");
    int pid = 1;
    for (const Login& l : logins) {
      d->X("INSERT INTO srv_principals VALUES (?1, ?2, 'S', 'SQL_LOGIN', 0, ?3)",
           {db::Value::Str(l.name), db::Value::Int(l.name == "sa" ? 1 : 260 + pid++),
            db::Value::Str(l.defaultDatabase.empty() ? "master" : l.defaultDatabase)});
    }
  }
}

Database& Engine::Cur() { return *current; }

// --- SELECT ---

static void BindAll(Engine& e, sqlite3_stmt* st) {
  int n = sqlite3_bind_parameter_count(st);
  for (int i = 1; i <= n; ++i) {
    const char* name = sqlite3_bind_parameter_name(st, i);
    if (!name) continue;
    if (name[0] == '?') {
      std::size_t k = std::strtoul(name + 1, nullptr, 10);
      if (k == 0 || k > e.params.size())
        throw SqlError(8178, "The parameterized query expects parameter #" + std::to_string(k) + ", which was not supplied.");
      BindValue(st, i, e.params[k - 1]);
    } else if (std::strncmp(name, "@v_", 3) == 0) {
      auto it = e.vars.find(std::string("@") + (name + 3));
      BindValue(st, i, it == e.vars.end() ? db::Value() : it->second.value);
    }
  }
}

static bool DeclIsDate(const char* t) {
  if (!t) return false;
  std::string u = Upper(t);
  return u == "DATETIME" || u == "DATE" || u == "SMALLDATETIME" || u == "DATETIME2" || u == "TIME";
}

db::ResultSet Engine::RunSelect(const Select& s) {
  Database& d = Cur();
  std::vector<bool> dates, anon;
  std::string sql = EmitSelect(*this, d, s, &dates, &anon);
  sqlite3_stmt* st = d.Prepare(sql);
  BindAll(*this, st);
  db::ResultSet rs;
  int n = sqlite3_column_count(st);
  std::vector<bool> isDate(n, false);
  for (int c = 0; c < n; ++c) {
    std::string name = sqlite3_column_name(st, c);
    if (name.rfind("__anon", 0) == 0) name.clear();
    rs.columns.push_back(name);
    isDate[c] = DeclIsDate(sqlite3_column_decltype(st, c)) || ((int)dates.size() == n && dates[c]);
  }
  int rc;
  while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
    std::vector<db::Value> row;
    row.reserve(n);
    for (int c = 0; c < n; ++c) row.push_back(ReadValue(st, c, isDate[c]));
    rs.rows.push_back(std::move(row));
  }
  sqlite3_reset(st);
  if (rc != SQLITE_DONE) {
    if (pendingError) {
      SqlError e = *pendingError;
      pendingError.reset();
      throw e;
    }
    throw SqlError(50001, std::string("The simulator could not run the query: ") + sqlite3_errmsg(d.handle()));
  }
  rowCount = (std::int64_t)rs.rows.size();
  return rs;
}

db::Value Engine::Eval(const ExprP& e) {
  if (!e) return db::Value();
  Database& d = Cur();
  std::string sql = "SELECT " + EmitExpr(*this, d, *e);
  sqlite3_stmt* st = d.Prepare(sql);
  BindAll(*this, st);
  int rc = sqlite3_step(st);
  db::Value v;
  if (rc == SQLITE_ROW) {
    bool date = e->kind == Expr::Cast && FindType(e->type.name) && FindType(e->type.name)->cls == TypeClass::Date;
    if (e->kind == Expr::Func && e->text == "GETDATE") date = true;
    v = ReadValue(st, 0, date);
  }
  sqlite3_reset(st);
  if (rc != SQLITE_ROW) {
    if (pendingError) {
      SqlError err = *pendingError;
      pendingError.reset();
      throw err;
    }
    throw SqlError(50001, std::string("The simulator could not evaluate: ") + sqlite3_errmsg(d.handle()));
  }
  return v;
}

static bool Truth(Engine& e, const ExprP& cond) {
  auto c = std::make_shared<Expr>();
  c->kind = Expr::Case;
  c->args = {cond, std::make_shared<Expr>()};
  c->args[1]->kind = Expr::Number;
  c->args[1]->text = "1";
  c->caseElse = std::make_shared<Expr>();
  c->caseElse->kind = Expr::Number;
  c->caseElse->text = "0";
  return e.Eval(c).AsInteger() != 0;
}

static db::Value ToVarType(Engine& e, const Variable& v, const db::Value& x) {
  ColType t = ResolveType(v.type);
  ConvertContext cc;
  cc.dayFirst = e.dayFirst;
  return ConvertValue(x, "", t, true, false, cc);
}

// --- batches ---

db::ResultSet Engine::RunBatch(const std::string& text, const std::vector<db::Value>& ps) {
  ++roundTrips;
  if (trace) trace(text);
  infoMessages.clear();
  vars.clear();
  fetchStatus = -1;
  params = ps;
  std::string key = (quotedIdentifier ? "1" : "0") + text;
  auto hit = parsed_.find(key);
  if (hit == parsed_.end()) {
    if (parsed_.size() > 500) parsed_.clear();
    hit = parsed_.emplace(key, std::make_shared<Batch>(ParseBatch(text, quotedIdentifier))).first;
  }
  std::shared_ptr<Batch> keep = hit->second;
  const Batch& b = *keep;
  if ((int)ps.size() < b.paramCount)
    throw SqlError(8178, "The parameterized query expects parameter #" + std::to_string(ps.size() + 1) + ", which was not supplied.");
  db::ResultSet first;
  bool have = false;
  try {
    RunStatements(b.stmts, text, &first, &have);
  } catch (const ReturnSignal&) {
  }
  // Cursors declared LOCAL or left open end with the batch.
  for (auto it = cursors.begin(); it != cursors.end();) it = cursors.erase(it);
  return first;
}

void Engine::RunStatements(const std::vector<StmtP>& stmts, const std::string& text, db::ResultSet* first,
                           bool* haveFirst) {
  for (const StmtP& s : stmts) {
    ++statements;
    RunOne(*s, text, first, haveFirst);
  }
}

static bool NeedsSavepoint(Stmt::Kind k) {
  switch (k) {
    case Stmt::CreateTable: case Stmt::CreateIndex: case Stmt::CreateModule: case Stmt::AlterTable:
    case Stmt::Drop: case Stmt::DropIndex: case Stmt::Insert: case Stmt::Update: case Stmt::Delete:
    case Stmt::Grant: case Stmt::CreateRole: case Stmt::CreateUser: case Stmt::EnableTrigger: case Stmt::Exec:
      return true;
    default:
      return false;
  }
}

void Engine::RunOne(const Stmt& s, const std::string& text, db::ResultSet* first, bool* haveFirst) {
  bool sp = NeedsSavepoint(s.kind);
  Database* spDb = current;
  if (sp) spDb->Script("SAVEPOINT stmt");
  try {
    switch (s.kind) {
      case Stmt::Query: {
        db::ResultSet rs = RunSelect(*s.select);
        if (!*haveFirst) {
          *first = std::move(rs);
          *haveFirst = true;
        }
        break;
      }
      case Stmt::Use: {
        Database* d = Find(s.name2);
        if (!d) throw SqlError(911, "Database '" + s.name2 + "' does not exist. Make sure that the name is entered correctly.");
        current = d;
        infoMessages.push_back({5701, 10, "Changed database context to '" + d->name() + "'."});
        break;
      }
      case Stmt::SetOption: {
        const std::string& o = s.names[0];
        static const char* accepted[] = {"NOCOUNT", "ANSI_WARNINGS", "ANSI_PADDING", "ARITHABORT",
                                         "CONCAT_NULL_YIELDS_NULL", "XACT_ABORT", "NUMERIC_ROUNDABORT",
                                         "TRANSACTION", "LOCK_TIMEOUT", "DEADLOCK_PRIORITY", "TEXTSIZE",
                                         "ROWCOUNT", "DATEFIRST", "ANSI_NULL_DFLT_ON", "ANSI_NULL_DFLT_OFF",
                                         "CURSOR_CLOSE_ON_COMMIT", "IMPLICIT_TRANSACTIONS", "STATISTICS",
                                         "SHOWPLAN_TEXT", "ANSI_DEFAULTS"};
        for (const std::string& name : s.names) {
          if (name == "QUOTED_IDENTIFIER") quotedIdentifier = s.flag;
          else if (name == "ANSI_NULLS") ansiNulls = s.flag;
        }
        if (o == "DATEFORMAT") {
          std::string f = FoldCase(s.name2);
          if (f != "dmy" && f != "mdy" && f != "ymd" && f != "ydm" && f != "myd" && f != "dym")
            throw SqlError(2741, "SET DATEFORMAT date order '" + s.name2 + "' is invalid.");
          dayFirst = f[0] == 'd';
        } else if (o == "LANGUAGE") {
          std::string l = FoldCase(s.name2);
          if (l != "polish" && l != "us_english" && l != "english" && l != "polski")
            throw SqlError(2732, "Error number 2732: language '" + s.name2 + "' is not supported by the simulator.");
          dayFirst = l == "polish" || l == "polski";
          dateFirst = dayFirst ? 1 : 7;
          language = dayFirst ? "polski" : "us_english";  // the name @@LANGUAGE gives
          infoMessages.push_back({5703, 10, "Changed language setting to " + language + "."});
        } else if (o == "DATEFIRST") {
          int n = std::atoi(s.name2.c_str());
          if (n < 1 || n > 7) throw SqlError(1005, "SET DATEFIRST " + s.name2 + " is out of range.");  // 1 to 7
          dateFirst = n;
        } else if (o != "QUOTED_IDENTIFIER" && o != "ANSI_NULLS") {
          bool ok = false;
          for (const char* a : accepted) ok = ok || o == a;
          if (!ok) ThrowUnsupported("SET " + o);
        }
        break;
      }
      case Stmt::SetVar: {
        auto it = vars.find(s.name2);
        if (it == vars.end()) throw SqlError(137, "Must declare the scalar variable \"" + s.name2 + "\".", 15);
        db::Value v = Eval(s.exprs[0]);
        if (s.flag) {
          auto add = std::make_shared<Expr>();
          add->kind = Expr::Binary;
          add->text = "+";
          auto a = std::make_shared<Expr>();
          a->kind = Expr::Var;
          a->text = s.name2;
          add->args = {a, s.exprs[0]};
          v = Eval(add);
        }
        it->second.value = ToVarType(*this, it->second, v);
        break;
      }
      case Stmt::Declare:
        for (std::size_t i = 0; i < s.names.size(); ++i) {
          if (vars.count(s.names[i]))
            throw SqlError(134, "The variable name '" + s.names[i] + "' has already been declared. Variable names must be unique within a query batch or stored procedure.", 15);
          ResolveType(s.types[i]);
          Variable v{s.types[i], db::Value()};
          if (s.exprs[i]) v.value = ToVarType(*this, v, Eval(s.exprs[i]));
          vars[s.names[i]] = v;
        }
        break;
      case Stmt::DeclareCursor: {
        std::string key = FoldCase(s.name2);
        if (cursors.count(key)) throw SqlError(16915, "A cursor with the name '" + s.name2 + "' already exists.");
        cursors[key] = Cursor{s.select, false, {}, 0};
        break;
      }
      case Stmt::Open: case Stmt::Close: case Stmt::Deallocate: case Stmt::Fetch: {
        auto it = cursors.find(FoldCase(s.name2));
        if (it == cursors.end()) throw SqlError(16916, "A cursor with the name '" + s.name2 + "' does not exist.");
        Cursor& c = it->second;
        if (s.kind == Stmt::Open) {
          if (c.open) throw SqlError(16905, "The cursor is already open.");
          c.rows = RunSelect(*c.select).rows;
          c.pos = 0;
          c.open = true;
        } else if (s.kind == Stmt::Close) {
          if (!c.open) throw SqlError(16917, "Cursor is not open.");
          c.open = false;
        } else if (s.kind == Stmt::Deallocate) {
          cursors.erase(it);
        } else {
          if (!c.open) throw SqlError(16917, "Cursor is not open.");
          if (s.keyword != "NEXT") ThrowUnsupported("FETCH " + s.keyword);
          if (c.pos >= c.rows.size()) {
            fetchStatus = -1;
            break;
          }
          const Row& r = c.rows[c.pos++];
          if (!s.names.empty() && s.names.size() != r.size())
            throw SqlError(16924, "Cursorfetch: The number of variables declared in the INTO list must match that of selected columns.");
          for (std::size_t i = 0; i < s.names.size(); ++i) {
            auto v = vars.find(s.names[i]);
            if (v == vars.end()) throw SqlError(137, "Must declare the scalar variable \"" + s.names[i] + "\".", 15);
            v->second.value = ToVarType(*this, v->second, r[i]);
          }
          fetchStatus = 0;
        }
        break;
      }
      case Stmt::While: {
        long guard = 0;
        while (Truth(*this, s.cond)) {
          if (++guard > 1000000) ThrowUnsupported("a WHILE loop of more than a million passes");
          RunOne(*s.body[0], text, first, haveFirst);
        }
        break;
      }
      case Stmt::If:
        if (Truth(*this, s.cond)) RunOne(*s.body[0], text, first, haveFirst);
        else if (s.body.size() > 1) RunOne(*s.body[1], text, first, haveFirst);
        break;
      case Stmt::Block:
        for (const StmtP& b : s.body) RunOne(*b, text, first, haveFirst);
        break;
      case Stmt::ExecString: {
        std::string inner = Eval(s.exprs[0]).AsString();
        if (++depth > 16) {
          --depth;
          throw SqlError(217, "Maximum stored procedure, function, trigger, or view nesting level exceeded (limit 32).");
        }
        auto saved = std::move(vars);
        vars.clear();
        try {
          Batch b = ParseBatch(inner, quotedIdentifier);
          RunStatements(b.stmts, inner, first, haveFirst);
        } catch (...) {
          vars = std::move(saved);
          --depth;
          throw;
        }
        vars = std::move(saved);
        --depth;
        break;
      }
      case Stmt::Exec: {
        bool rows = false;
        db::ResultSet rs = ExecProc(s, &rows);
        if (rows && !*haveFirst) {
          *first = std::move(rs);
          *haveFirst = true;
        }
        break;
      }
      case Stmt::Print: {
        db::Value v = Eval(s.exprs[0]);
        infoMessages.push_back({0, 0, v.IsNull() ? "" : v.AsString()});
        break;
      }
      case Stmt::Return: throw ReturnSignal{};
      case Stmt::CreateDatabase: CreateDatabase(s.name2, s.keyword); break;
      case Stmt::CreateTable: CreateTable(s); break;
      case Stmt::CreateIndex: CreateIndex(s); break;
      case Stmt::CreateModule: CreateModule(s, text); break;
      case Stmt::CreateRole: case Stmt::CreateLogin: case Stmt::CreateUser: CreatePrincipal(s); break;
      case Stmt::AlterTable: AlterTable(s); break;
      case Stmt::Drop: DropObjects(s); break;
      case Stmt::DropIndex: DropIndex(s); break;
      case Stmt::Insert: Insert(s); break;
      case Stmt::Update: Update(s); break;
      case Stmt::Delete: Delete(s); break;
      case Stmt::Grant: Grant(s); break;
      case Stmt::SetIdentityInsert: SetIdentityInsert(s); break;
      case Stmt::EnableTrigger: EnableTriggers(s); break;
      case Stmt::Begin:
        if (tranCount == 0) Cur().Script("BEGIN");
        ++tranCount;
        break;
      case Stmt::Commit:
        if (tranCount == 0) throw SqlError(3902, "The COMMIT TRANSACTION request has no corresponding BEGIN TRANSACTION.");
        if (--tranCount == 0) Cur().Script("COMMIT");
        break;
      case Stmt::Rollback:
        if (tranCount == 0) throw SqlError(3903, "The ROLLBACK TRANSACTION request has no corresponding BEGIN TRANSACTION.");
        tranCount = 0;
        Cur().Script("ROLLBACK");
        break;
      case Stmt::Noop: break;
    }
  } catch (...) {
    if (sp) {
      spDb->Script("ROLLBACK TO stmt");
      spDb->Script("RELEASE stmt");
      spDb->ForgetAllViews();
    }
    throw;
  }
  if (sp) spDb->Script("RELEASE stmt");
}

}  // namespace sqlsim
