#include "sqlsim/database.h"

#include <cstring>

#include "sqlsim/engine.h"
#include "sqlsim/errors.h"

namespace sqlsim {

std::string QuoteId(const std::string& s) {
  std::string r = "\"";
  for (char c : s) {
    if (c == '"') r += '"';
    r += c;
  }
  return r + "\"";
}

void BindValue(sqlite3_stmt* st, int i, const db::Value& v) {
  switch (v.kind()) {
    case db::Value::Kind::Null: sqlite3_bind_null(st, i); break;
    case db::Value::Kind::Integer: sqlite3_bind_int64(st, i, v.AsInteger()); break;
    case db::Value::Kind::Float: sqlite3_bind_double(st, i, v.AsFloat()); break;
    case db::Value::Kind::Text: {
      std::string s = v.AsString();
      sqlite3_bind_text(st, i, s.data(), (int)s.size(), SQLITE_TRANSIENT);
      break;
    }
    case db::Value::Kind::DateTime: {
      std::string s = DateText(v.AsDateTime());
      sqlite3_bind_text(st, i, s.data(), (int)s.size(), SQLITE_TRANSIENT);
      break;
    }
  }
}

db::Value ReadValue(sqlite3_stmt* st, int c, bool dateColumn) {
  switch (sqlite3_column_type(st, c)) {
    case SQLITE_INTEGER: return db::Value::Int(sqlite3_column_int64(st, c));
    case SQLITE_FLOAT: return db::Value::Real(sqlite3_column_double(st, c));
    case SQLITE_NULL: return db::Value();
    default: {
      const char* p = reinterpret_cast<const char*>(sqlite3_column_text(st, c));
      std::string s(p ? p : "", sqlite3_column_bytes(st, c));
      if (dateColumn) {
        db::DateTime d;
        if (ParseDateText(s, false, &d)) return db::Value::Date(d);
      }
      return db::Value::Str(std::move(s));
    }
  }
}

Database::Database(Engine& engine, std::string name, std::string collation)
    : engine_(engine), name_(std::move(name)), collation_(std::move(collation)) {
  if (sqlite3_open(":memory:", &db_) != SQLITE_OK) throw SqlError(1802, "CREATE DATABASE failed.");
  // Double-quoted text is never a string literal in emitted SQL.
  sqlite3_db_config(db_, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
  sqlite3_db_config(db_, SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
  RegisterFunctions(*this);
  Script(CatalogSchemaSql());
  std::vector<Row> none;
  for (const TypeInfo* t = AllTypes(); t->name; ++t) {
    bool ch = t->cls == TypeClass::Char || (t->cls == TypeClass::Lob && std::string(t->name) != "image");
    int len = t->length;
    if (t->cls == TypeClass::Char || t->cls == TypeClass::Binary) len = t->unicode ? 8000 : 8000;
    if (t->cls == TypeClass::Decimal) len = 17;
    X("INSERT INTO types VALUES (?1,?2,?3,?4,?5,?6,?7,?8)",
      {db::Value::Str(t->name), db::Value::Int(t->xtype), db::Value::Int(t->xtype), db::Value::Int(len),
       db::Value::Int(t->cls == TypeClass::Decimal ? 38 : t->prec), db::Value::Int(t->scale),
       db::Value::Int(t->variable), ch ? db::Value::Str(collation_) : db::Value()});
  }
  X("INSERT INTO types VALUES ('sysname',231,256,256,0,0,1,?1)", {db::Value::Str(collation_)});
}

Database::~Database() {
  for (auto& [k, st] : cache_) sqlite3_finalize(st);
  sqlite3_close(db_);
}

void Database::Script(const std::string& sql) {
  char* err = nullptr;
  if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &err) != SQLITE_OK) {
    std::string m = err ? err : "?";
    sqlite3_free(err);
    throw SqlError(50001, "Internal catalog error: " + m);
  }
}

sqlite3_stmt* Database::Prepare(const std::string& sql) {
  auto it = cache_.find(sql);
  if (it != cache_.end()) {
    sqlite3_reset(it->second);
    sqlite3_clear_bindings(it->second);
    return it->second;
  }
  sqlite3_stmt* st = nullptr;
  if (sqlite3_prepare_v2(db_, sql.c_str(), (int)sql.size(), &st, nullptr) != SQLITE_OK) {
    std::string m = sqlite3_errmsg(db_);
    sqlite3_finalize(st);
    auto after = [&](const char* prefix) {
      std::string n = m.substr(std::strlen(prefix));
      std::size_t dot = n.rfind('.');
      return dot == std::string::npos ? n : n.substr(dot + 1);
    };
    if (m.rfind("no such column: ", 0) == 0) ThrowInvalidColumn(after("no such column: "));
    if (m.rfind("ambiguous column name: ", 0) == 0)
      throw SqlError(209, "Ambiguous column name '" + after("ambiguous column name: ") + "'.");
    if (m.rfind("no such table: ", 0) == 0) ThrowInvalidObject(after("no such table: "));
    throw SqlError(50001, "The simulator could not run the statement: " + m);
  }
  if (cache_.size() > 2000) {
    for (auto& [k, s] : cache_) sqlite3_finalize(s);
    cache_.clear();
  }
  cache_[sql] = st;
  return st;
}

std::vector<Row> Database::Q(const std::string& sql, const std::vector<db::Value>& args) {
  sqlite3_stmt* st = Prepare(sql);
  for (std::size_t i = 0; i < args.size(); ++i) BindValue(st, int(i + 1), args[i]);
  std::vector<Row> rows;
  int rc;
  while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
    Row r;
    int n = sqlite3_column_count(st);
    for (int c = 0; c < n; ++c) r.push_back(ReadValue(st, c, false));
    rows.push_back(std::move(r));
  }
  sqlite3_reset(st);
  if (rc != SQLITE_DONE) {
    if (engine_.pendingError) {
      SqlError e = *engine_.pendingError;
      engine_.pendingError.reset();
      throw e;
    }
    throw SqlError(50001, std::string("Internal catalog error: ") + sqlite3_errmsg(db_));
  }
  return rows;
}

void Database::X(const std::string& sql, const std::vector<db::Value>& args) { Q(sql, args); }

std::int64_t Database::NewObjectId() {
  std::int64_t id = Q("SELECT next_id FROM meta")[0][0].AsInteger();
  X("UPDATE meta SET next_id = next_id + 16");
  return id;
}

static ObjInfo ToObj(const Row& r) {
  ObjInfo o;
  o.id = r[0].AsInteger();
  o.name = r[1].AsString();
  o.xtype = TrimType(r[2].AsString());
  o.parent = r[3].AsInteger();
  return o;
}

std::optional<ObjInfo> Database::FindObject(const std::string& name) const {
  auto rows = const_cast<Database*>(this)->Q(
      "SELECT id, name, xtype, parent_obj FROM objects WHERE name = ?1 AND is_ms_shipped = 0 ORDER BY id LIMIT 1",
      {db::Value::Str(name)});
  if (rows.empty()) return std::nullopt;
  return ToObj(rows[0]);
}

std::optional<ObjInfo> Database::ObjectById(std::int64_t id) const {
  auto rows = const_cast<Database*>(this)->Q("SELECT id, name, xtype, parent_obj FROM objects WHERE id = ?1",
                                             {db::Value::Int(id)});
  if (rows.empty()) return std::nullopt;
  return ToObj(rows[0]);
}

std::optional<ObjInfo> Database::Resolve(const std::vector<std::string>& parts) const {
  if (parts.empty()) return std::nullopt;
  if (parts.size() >= 2) {
    const std::string& schema = parts[parts.size() - 2];
    if (!schema.empty() && FoldCase(schema) != "dbo") return std::nullopt;
  }
  if (parts.size() >= 3) {
    const std::string& dbn = parts[parts.size() - 3];
    if (!dbn.empty() && FoldCase(dbn) != FoldCase(name_)) return std::nullopt;
  }
  return FindObject(parts.back());
}

static ColInfo ToCol(const Row& r) {
  ColInfo c;
  c.colid = (int)r[0].AsInteger();
  c.name = r[1].AsString();
  c.type.name = r[2].AsString();
  c.type.info = FindType(c.type.name);
  std::string ut = r[3].AsString();
  if (FoldCase(ut) != FoldCase(c.type.name)) c.type.userType = ut;
  c.type.maxLength = (int)r[4].AsInteger();
  c.type.prec = (int)r[5].AsInteger();
  c.type.scale = (int)r[6].AsInteger();
  c.nullable = r[7].AsInteger() != 0;
  c.identity = r[8].AsInteger() != 0;
  c.seed = r[9].AsInteger();
  c.incr = r[10].AsInteger();
  c.rowguid = r[11].AsInteger() != 0;
  c.collation = r[12].AsString();
  c.computed = r[13].AsString();
  return c;
}

std::vector<ColInfo> Database::Columns(std::int64_t tableId) const {
  std::vector<ColInfo> out;
  for (auto& r : const_cast<Database*>(this)->Q(
           "SELECT colid, name, type, utype, max_length, prec, scale, nullable, is_identity, seed, incr, is_rowguid,"
           " collation, computed FROM columns WHERE obj_id = ?1 ORDER BY colid",
           {db::Value::Int(tableId)}))
    out.push_back(ToCol(r));
  return out;
}

std::optional<ColInfo> Database::Column(std::int64_t tableId, const std::string& name) const {
  auto rows = const_cast<Database*>(this)->Q(
      "SELECT colid, name, type, utype, max_length, prec, scale, nullable, is_identity, seed, incr, is_rowguid,"
      " collation, computed FROM columns WHERE obj_id = ?1 AND name = ?2",
      {db::Value::Int(tableId), db::Value::Str(name)});
  if (rows.empty()) return std::nullopt;
  return ToCol(rows[0]);
}

SelectP Database::ViewSelect(std::int64_t id) {
  auto it = views_.find(id);
  if (it != views_.end()) return it->second;
  auto rows = Q("SELECT definition FROM modules WHERE obj_id = ?1", {db::Value::Int(id)});
  if (rows.empty()) return nullptr;
  Batch b = ParseBatch(rows[0][0].AsString(), false);
  if (b.stmts.empty() || !b.stmts[0]->select) return nullptr;
  views_[id] = b.stmts[0]->select;
  return b.stmts[0]->select;
}

}  // namespace sqlsim
