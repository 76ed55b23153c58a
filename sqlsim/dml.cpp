// INSERT, UPDATE, DELETE and the rules on table data (NOT NULL, keys, checks).
#include <cstring>

#include "sqlsim/engine.h"

namespace sqlsim {

using V = db::Value;

static SqlError Conflict(const std::string& stmt, const std::string& kind, const std::string& cons, const std::string& dbn,
                         const std::string& table, const std::string& col) {
  return SqlError(547, "The " + stmt + " statement conflicted with the " + kind + " constraint \"" + cons +
                           "\". The conflict occurred in database \"" + dbn + "\", table \"dbo." + table + "\"" +
                           (col.empty() ? std::string(".") : ", column '" + col + "'."))
      .Then(3621, "The statement has been terminated.", 10);
}

static bool Touches(const std::vector<std::string>* cols, const std::string& name) {
  if (!cols) return true;
  for (const std::string& c : *cols)
    if (FoldCase(c) == FoldCase(name)) return true;
  return false;
}

static std::string OrphanSql(Database& d, std::int64_t constid, std::int64_t fkeyid, std::int64_t rkeyid, std::string* firstCol,
                             std::int64_t minRowid = 0, const std::vector<std::string>* cols = nullptr, bool childSide = true,
                             bool* touched = nullptr) {
  std::string present = minRowid > 0 ? " AND c.rowid > " + std::to_string(minRowid) : "", match;
  if (touched) *touched = false;
  for (auto& r : d.Q("SELECT fc.name, rc.name FROM fk_cols k JOIN columns fc ON fc.obj_id = ?2 AND fc.colid = k.fkey"
                     " JOIN columns rc ON rc.obj_id = ?3 AND rc.colid = k.rkey WHERE k.constid = ?1 ORDER BY k.keyno",
                     {V::Int(constid), V::Int(fkeyid), V::Int(rkeyid)})) {
    if (firstCol->empty()) *firstCol = r[1].AsString();
    if (touched && Touches(cols, childSide ? r[0].AsString() : r[1].AsString())) *touched = true;
    present += " AND c." + QuoteId(r[0].AsString()) + " IS NOT NULL";
    match += (match.empty() ? "" : " AND ") + std::string("p.") + QuoteId(r[1].AsString()) + " = c." + QuoteId(r[0].AsString());
  }
  return "SELECT 1 FROM " + QuoteId(Database::DataTable(fkeyid)) + " c WHERE 1" + present + " AND NOT EXISTS (SELECT 1 FROM " +
         QuoteId(Database::DataTable(rkeyid)) + " p WHERE " + match + ") LIMIT 1";
}

void Engine::CheckTableData(Database& d, std::int64_t tid, const char* stmtKind, std::int64_t minRowid,
                            const std::vector<std::string>* cols) {
  auto t = d.ObjectById(tid);
  std::string tbl = QuoteId(Database::DataTable(tid));
  std::string rows = minRowid > 0 ? " AND rowid > " + std::to_string(minRowid) : "";
  for (auto& c : d.Q("SELECT name FROM columns WHERE obj_id = ?1 AND nullable = 0", {V::Int(tid)}))
    if (Touches(cols, c[0].AsString()) &&
        !d.Q("SELECT 1 FROM " + tbl + " WHERE " + QuoteId(c[0].AsString()) + " IS NULL" + rows + " LIMIT 1").empty())
      throw SqlError(515, "Cannot insert the value NULL into column '" + c[0].AsString() + "', table '" + d.name() + ".dbo." +
                              t->name + "'; column does not allow nulls. " + (std::strcmp(stmtKind, "INSERT") == 0 ? "INSERT" : "UPDATE") + " fails.")
          .Then(3621, "The statement has been terminated.", 10);
  for (auto& f : d.Q("SELECT f.constid, f.rkeyid, o.name FROM fks f JOIN cons k ON k.constid = f.constid JOIN objects o ON o.id = f.constid"
                     " WHERE f.fkeyid = ?1 AND k.disabled = 0", {V::Int(tid)})) {
    std::string col;
    bool touched = false;
    std::string sql = OrphanSql(d, f[0].AsInteger(), tid, f[1].AsInteger(), &col, minRowid, cols, true, &touched);
    if (touched && !d.Q(sql).empty()) {
      auto r = d.ObjectById(f[1].AsInteger());
      throw Conflict(stmtKind, "FOREIGN KEY", f[2].AsString(), d.name(), r ? r->name : "", col);
    }
  }
  for (auto& k : d.Q("SELECT k.definition, o.name, k.colid FROM cons k JOIN objects o ON o.id = k.constid WHERE k.tbl = ?1 AND k.kind = 4 AND k.disabled = 0",
                     {V::Int(tid)})) {
    if (cols) {
      bool hit = false;
      for (const std::string& c : *cols) hit = hit || FoldCase(k[0].AsString()).find("[" + FoldCase(c) + "]") != std::string::npos;
      if (!hit) continue;
    }
    ExprP e = ParseExpression(k[0].AsString());
    std::string sql = "SELECT 1 FROM " + tbl + " AS " + QuoteId(t->name) + " WHERE NOT (" + EmitExpr(*this, d, *e) + ")" +
                      (minRowid > 0 ? " AND " + QuoteId(t->name) + ".rowid > " + std::to_string(minRowid) : "") + " LIMIT 1";
    if (!d.Q(sql).empty()) {
      std::string col;
      if (k[2].AsInteger() > 0) col = d.Q("SELECT name FROM columns WHERE obj_id = ?1 AND colid = ?2", {V::Int(tid), k[2]})[0][0].AsString();
      throw Conflict(stmtKind, "CHECK", k[1].AsString(), d.name(), t->name, col);
    }
  }
}

void Engine::CheckReferencing(Database& d, std::int64_t tid, const char* stmtKind, const std::vector<std::string>* cols) {
  for (auto& f : d.Q("SELECT f.constid, f.fkeyid, o.name FROM fks f JOIN cons k ON k.constid = f.constid JOIN objects o ON o.id = f.constid"
                     " WHERE f.rkeyid = ?1 AND k.disabled = 0", {V::Int(tid)})) {
    std::string col;
    bool touched = false;
    std::string sql = OrphanSql(d, f[0].AsInteger(), f[1].AsInteger(), tid, &col, 0, cols, false, &touched);
    if (touched && !d.Q(sql).empty()) {
      auto c = d.ObjectById(f[1].AsInteger());
      std::string fcol = d.Q("SELECT c.name FROM fk_cols k JOIN columns c ON c.obj_id = ?2 AND c.colid = k.fkey WHERE k.constid = ?1 ORDER BY k.keyno LIMIT 1",
                             {f[0], f[1]})[0][0].AsString();
      throw Conflict(stmtKind, "REFERENCE", f[2].AsString(), d.name(), c ? c->name : "", fcol);
    }
  }
}

// Maps SQLite's unique-index failure to 2627 or 2601.
static SqlError DuplicateKey(Database& d, const ObjInfo& t, const std::string& msg) {
  for (auto& ix : d.Q("SELECT name, is_pk, is_uq, indid FROM indexes WHERE obj_id = ?1 AND is_unique = 1", {V::Int(t.id)})) {
    std::string cols;
    for (auto& c : d.Q("SELECT c.name FROM index_columns ic JOIN columns c ON c.obj_id = ic.obj_id AND c.colid = ic.colid"
                       " WHERE ic.obj_id = ?1 AND ic.indid = ?2 AND ic.is_included = 0 ORDER BY ic.key_ordinal", {V::Int(t.id), ix[3]}))
      cols += (cols.empty() ? "" : ", ") + Database::DataTable(t.id) + "." + c[0].AsString();
    std::string own = "'x_" + std::to_string(t.id) + "_" + ix[3].AsString() + "'";
    if (msg.find(own) == std::string::npos && msg.find(cols) == std::string::npos) continue;
    if (ix[1].AsInteger() || ix[2].AsInteger())
      return SqlError(2627, std::string("Violation of ") + (ix[1].AsInteger() ? "PRIMARY KEY" : "UNIQUE KEY") + " constraint '" +
                                ix[0].AsString() + "'. Cannot insert duplicate key in object 'dbo." + t.name + "'.", 14)
          .Then(3621, "The statement has been terminated.", 10);
    return SqlError(2601, "Cannot insert duplicate key row in object 'dbo." + t.name + "' with unique index '" + ix[0].AsString() + "'.", 14)
        .Then(3621, "The statement has been terminated.", 10);
  }
  return SqlError(2627, "Cannot insert duplicate key in object 'dbo." + t.name + "'.", 14);
}

void Engine::Insert(const Stmt& s) {
  Database& d = Cur();
  auto o = d.Resolve(s.name);
  if (!o) ThrowInvalidObject(s.name.back());
  if (o->xtype != "U") ThrowUnsupported("INSERT into a view");
  ObjInfo t = *o;
  std::vector<ColInfo> cols = d.Columns(t.id);
  std::vector<int> target;  // index into cols
  if (s.names.empty()) {
    for (std::size_t i = 0; i < cols.size(); ++i)
      if (!cols[i].identity && cols[i].type.name != "timestamp") target.push_back((int)i);
  } else {
    for (const std::string& n : s.names) {
      int k = -1;
      for (std::size_t i = 0; i < cols.size(); ++i)
        if (FoldCase(cols[i].name) == FoldCase(n)) k = (int)i;
      if (k < 0) ThrowInvalidColumn(n);
      target.push_back(k);
    }
  }
  bool identityOn = identityInsert && *identityInsert == t.id && identityInsertDb == &d;
  for (int k : target) {
    if (cols[k].identity && !identityOn)
      throw SqlError(544, "Cannot insert explicit value for identity column in table '" + t.name + "' when IDENTITY_INSERT is set to OFF.");
    if (cols[k].type.name == "timestamp")
      throw SqlError(273, "Cannot insert an explicit value into a timestamp column. Use INSERT with a column list to exclude the timestamp column, or insert a DEFAULT into the timestamp column.");
  }
  if (identityOn && s.names.empty())
    throw SqlError(8101, "An explicit value for the identity column in table '" + t.name + "' can only be specified when a column list is used and IDENTITY_INSERT is ON.");
  std::vector<std::vector<V>> rows;
  if (s.select) {
    for (auto& r : RunSelect(*s.select).rows) {
      if (r.size() != target.size())
        throw SqlError(120, "The select list for the INSERT statement contains " + std::string(r.size() < target.size() ? "fewer" : "more") + " items than the insert list. The number of SELECT values must match the number of INSERT columns.", 15);
      rows.push_back(r);
    }
  } else {
    for (const auto& r : s.rows) {
      if (!r.empty() && r.size() != target.size())
        throw SqlError(r.size() < target.size() ? 109 : 110,
                       std::string("There are ") + (r.size() < target.size() ? "more" : "fewer") +
                           " columns in the INSERT statement than values specified in the VALUES clause. The number of values in the VALUES clause must match the number of columns specified in the INSERT statement.", 15);
      std::vector<V> vals;
      for (const ExprP& e : r) vals.push_back(e ? Eval(e) : V());
      rows.push_back(vals);
    }
  }
  ConvertContext cc;
  cc.dayFirst = dayFirst;
  std::string collist, marks;
  for (std::size_t i = 0; i < cols.size(); ++i) {
    collist += (i ? ", " : "") + QuoteId(cols[i].name);
    marks += (i ? ", ?" : "?") + std::to_string(i + 1);
  }
  std::string sql = "INSERT INTO " + QuoteId(Database::DataTable(t.id)) + " (" + collist + ") VALUES (" + marks + ")";
  std::int64_t inserted = 0;
  std::int64_t rowidBefore = d.Q("SELECT coalesce(max(rowid), 0) FROM " + QuoteId(Database::DataTable(t.id)))[0][0].AsInteger();
  for (const auto& r : rows) {
    std::vector<V> full(cols.size());
    std::vector<bool> given(cols.size(), false);
    for (std::size_t i = 0; i < target.size() && i < r.size(); ++i) {
      bool isDefault = !s.select && s.rows[&r - &rows[0]].size() > i && !s.rows[&r - &rows[0]][i];
      if (isDefault) continue;
      full[target[i]] = r[i];
      given[target[i]] = true;
    }
    for (std::size_t i = 0; i < cols.size(); ++i) {
      const ColInfo& c = cols[i];
      if (given[i]) {
        full[i] = ConvertValue(full[i], "", c.type, true, true, cc);
        if (c.identity) {
          auto cur = d.Q("SELECT ident_cur FROM objects WHERE id = ?1", {V::Int(t.id)})[0][0];
          if (cur.IsNull() || (c.incr > 0 ? full[i].AsInteger() > cur.AsInteger() : full[i].AsInteger() < cur.AsInteger()))
            d.X("UPDATE objects SET ident_cur = ?1 WHERE id = ?2", {full[i], V::Int(t.id)});
          lastIdentity = full[i].AsInteger();
        }
        continue;
      }
      if (c.identity) {
        auto cur = d.Q("SELECT ident_cur FROM objects WHERE id = ?1", {V::Int(t.id)})[0][0];
        std::int64_t v = cur.IsNull() ? c.seed : cur.AsInteger() + c.incr;
        d.X("UPDATE objects SET ident_cur = ?1 WHERE id = ?2", {V::Int(v), V::Int(t.id)});
        full[i] = V::Int(v);
        lastIdentity = v;
        continue;
      }
      if (c.type.name == "timestamp") {
        full[i] = V::Int(d.NewObjectId());
        continue;
      }
      auto def = d.Q("SELECT definition FROM cons WHERE tbl = ?1 AND colid = ?2 AND kind = 5", {V::Int(t.id), V::Int(c.colid)});
      if (!def.empty()) full[i] = ConvertValue(Eval(ParseExpression(def[0][0].AsString())), "", c.type, true, true, cc);
    }
    for (std::size_t i = 0; i < cols.size(); ++i)
      if (full[i].IsNull() && !cols[i].nullable)
        throw SqlError(515, "Cannot insert the value NULL into column '" + cols[i].name + "', table '" + d.name() + ".dbo." + t.name +
                                "'; column does not allow nulls. INSERT fails.")
            .Then(3621, "The statement has been terminated.", 10);
    sqlite3_stmt* st = d.Prepare(sql);
    for (std::size_t i = 0; i < full.size(); ++i) BindValue(st, int(i + 1), full[i]);
    int rc = sqlite3_step(st);
    sqlite3_reset(st);
    if (rc != SQLITE_DONE) {
      std::string msg = sqlite3_errmsg(d.handle());
      if (pendingError) {
        SqlError e = *pendingError;
        pendingError.reset();
        throw e;
      }
      if ((rc & 0xFF) == SQLITE_CONSTRAINT) throw DuplicateKey(d, t, msg);
      throw SqlError(50001, "The simulator could not insert the row: " + msg);
    }
    ++inserted;
  }
  if (!loading && inserted > 0) CheckTableData(d, t.id, "INSERT", rowidBefore);
  rowCount = inserted;
}

void Engine::Update(const Stmt& s) {
  Database& d = Cur();
  ObjInfo t = Table(s.name);
  std::string sets;
  for (std::size_t i = 0; i < s.names.size(); ++i) {
    auto c = d.Column(t.id, s.names[i]);
    if (!c) ThrowInvalidColumn(s.names[i]);
    if (c->identity) throw SqlError(8102, "Cannot update identity column '" + c->name + "'.");
    if (c->type.name == "timestamp") throw SqlError(272, "Cannot update a timestamp column.");
    std::string e = EmitExpr(*this, d, *s.exprs[i]);
    sets += (i ? ", " : "") + QuoteId(c->name) + " = tsql_store(" + e + ", '" + c->type.name + "', " +
            std::to_string(c->type.maxLength) + ", " + std::to_string(c->type.prec) + ", " + std::to_string(c->type.scale) + ")";
  }
  std::string sql = "UPDATE " + QuoteId(Database::DataTable(t.id)) + " AS " + QuoteId(t.name) + " SET " + sets;
  if (s.cond) sql += " WHERE " + EmitExpr(*this, d, *s.cond);
  sqlite3_stmt* st = d.Prepare(sql);
  int n = sqlite3_bind_parameter_count(st);
  for (int i = 1; i <= n; ++i) {
    const char* name = sqlite3_bind_parameter_name(st, i);
    if (name && name[0] == '?') {
      std::size_t k = std::strtoul(name + 1, nullptr, 10);
      if (k >= 1 && k <= params.size()) BindValue(st, i, params[k - 1]);
    } else if (name && std::strncmp(name, "@v_", 3) == 0) {
      auto it = vars.find(std::string("@") + (name + 3));
      if (it != vars.end()) BindValue(st, i, it->second.value);
    }
  }
  int rc = sqlite3_step(st);
  sqlite3_reset(st);
  if (rc != SQLITE_DONE) {
    std::string msg = sqlite3_errmsg(d.handle());
    if (pendingError) {
      SqlError e = *pendingError;
      pendingError.reset();
      throw e.Then(3621, "The statement has been terminated.", 10);
    }
    if ((rc & 0xFF) == SQLITE_CONSTRAINT) throw DuplicateKey(d, t, msg);
    throw SqlError(50001, "The simulator could not update: " + msg);
  }
  rowCount = sqlite3_changes(d.handle());
  CheckTableData(d, t.id, "UPDATE", 0, &s.names);
  CheckReferencing(d, t.id, "UPDATE", &s.names);
}

void Engine::Delete(const Stmt& s) {
  Database& d = Cur();
  ObjInfo t = Table(s.name);
  std::string sql = "DELETE FROM " + QuoteId(Database::DataTable(t.id)) + " AS " + QuoteId(t.name);
  if (s.cond) sql += " WHERE " + EmitExpr(*this, d, *s.cond);
  sqlite3_stmt* st = d.Prepare(sql);
  int n = sqlite3_bind_parameter_count(st);
  for (int i = 1; i <= n; ++i) {
    const char* name = sqlite3_bind_parameter_name(st, i);
    if (name && name[0] == '?') {
      std::size_t k = std::strtoul(name + 1, nullptr, 10);
      if (k >= 1 && k <= params.size()) BindValue(st, i, params[k - 1]);
    } else if (name && std::strncmp(name, "@v_", 3) == 0) {
      auto it = vars.find(std::string("@") + (name + 3));
      if (it != vars.end()) BindValue(st, i, it->second.value);
    }
  }
  int rc = sqlite3_step(st);
  sqlite3_reset(st);
  if (rc != SQLITE_DONE) throw SqlError(50001, std::string("The simulator could not delete: ") + sqlite3_errmsg(d.handle()));
  rowCount = sqlite3_changes(d.handle());
  CascadeDeletes(d, t.id, 0);
  CheckReferencing(d, t.id, "DELETE");
}

// ON DELETE CASCADE: removes the rows of referencing tables whose parent row
// is gone, then follows their own cascading keys.
void Engine::CascadeDeletes(Database& d, std::int64_t tid, int depth) {
  if (depth > 32) throw SqlError(217, "Maximum stored procedure, function, trigger, or view nesting level exceeded (limit 32).");
  for (auto& f : d.Q("SELECT f.constid, f.fkeyid FROM fks f JOIN cons k ON k.constid = f.constid"
                     " WHERE f.rkeyid = ?1 AND f.del_cascade = 1 AND k.disabled = 0", {V::Int(tid)})) {
    std::string col;
    std::string orphans = OrphanSql(d, f[0].AsInteger(), f[1].AsInteger(), tid, &col);
    // OrphanSql selects "1 ... LIMIT 1"; turn it into the set of child rowids.
    std::string rowids = "SELECT c.rowid" + orphans.substr(std::string("SELECT 1").size());
    rowids = rowids.substr(0, rowids.size() - std::string(" LIMIT 1").size());
    d.X("DELETE FROM " + QuoteId(Database::DataTable(f[1].AsInteger())) + " WHERE rowid IN (" + rowids + ")");
    if (sqlite3_changes(d.handle()) > 0 && f[1].AsInteger() != tid) CascadeDeletes(d, f[1].AsInteger(), depth + 1);
  }
}

}  // namespace sqlsim
