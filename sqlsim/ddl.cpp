// Tables, columns, constraints, indexes and DROP.
#include <algorithm>
#include <map>
#include <set>

#include "sqlsim/engine.h"

namespace sqlsim {

using V = db::Value;

static std::string ObjKindWord(const std::string& x) {
  if (x == "U") return "table";
  if (x == "V") return "view";
  if (x == "P") return "procedure";
  if (x == "TR") return "trigger";
  if (x == "FN" || x == "TF" || x == "IF") return "function";
  return "object";
}

ObjInfo Engine::Table(const std::vector<std::string>& name) {
  auto o = Cur().Resolve(name);
  if (!o || o->xtype != "U") ThrowInvalidObject(name.back());
  return *o;
}

void Engine::CheckNameFree(Database& d, const std::string& name) {
  if (d.FindObject(name)) throw SqlError(2714, "There is already an object named '" + name + "' in the database.");
}

std::int64_t Engine::AddObject(Database& d, const std::string& name, const std::string& xtype, std::int64_t parent) {
  std::int64_t id = d.NewObjectId();
  d.X("INSERT INTO objects(id, name, xtype, parent_obj, crdate) VALUES (?1, ?2, ?3, ?4, datetime('now'))",
      {V::Int(id), V::Str(name), V::Str(PadType(xtype)), V::Int(parent)});
  return id;
}

void Engine::StoreComments(Database& d, std::int64_t id, const std::string& text) {
  d.X("DELETE FROM comments WHERE id = ?1", {V::Int(id)});
  // Chunks of up to 4000 characters.
  std::size_t i = 0, colid = 1;
  while (i < text.size() || colid == 1) {
    std::size_t j = i, n = 0;
    while (j < text.size() && n < 4000) {
      ++j;
      while (j < text.size() && (static_cast<unsigned char>(text[j]) & 0xC0) == 0x80) ++j;
      ++n;
    }
    d.X("INSERT INTO comments VALUES (?1, ?2, ?3)", {V::Int(id), V::Int((std::int64_t)colid), V::Str(text.substr(i, j - i))});
    ++colid;
    i = j;
    if (j >= text.size()) break;
  }
}

std::string Engine::AutoName(const std::string& prefix, const std::string& table, const std::string& second) {
  nameSeed_ = nameSeed_ * 1103515245u + 12345u;
  unsigned more = nameSeed_ * 2654435761u;
  char b[20];
  // Keys of SQL Server 2008 and later carry 16 hexadecimal digits.
  if ((prefix == "PK" || prefix == "UQ") && majorVersion >= 10) std::snprintf(b, sizeof b, "%08X%08X", nameSeed_, more);
  else std::snprintf(b, sizeof b, "%08X", nameSeed_);
  std::string r = prefix + "__" + Utf8Head(table, 9) + "__";
  if (!second.empty()) r += Utf8Head(second, prefix == "FK" ? 8 : 5) + "__";
  return r + b;
}

// --- normalised expression text (how the server stores defaults and checks) ---

namespace {
int Prec(const Expr& e) {
  if (e.kind == Expr::Binary) {
    const std::string& o = e.text;
    if (o == "OR") return 1;
    if (o == "AND") return 2;
    if (o == "=" || o == "<>" || o == "<" || o == ">" || o == "<=" || o == ">=") return 4;
    if (o == "+" || o == "-" || o == "&" || o == "|" || o == "^") return 5;
    return 6;
  }
  if (e.kind == Expr::Unary && e.text == "NOT") return 3;
  if (e.kind == Expr::In || e.kind == Expr::Like || e.kind == Expr::Between || e.kind == Expr::IsNull) return 4;
  return 9;
}
std::string Q(const std::string& s) {
  std::string r = "'";
  for (char c : s) {
    if (c == '\'') r += '\'';
    r += c;
  }
  return r + "'";
}
std::string Lower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = char(c + 32);
  return s;
}
std::string Norm(const Expr& e);
std::string Child(const Expr& c, int parent) {
  std::string s = Norm(c);
  return Prec(c) < parent ? "(" + s + ")" : s;
}
std::string Norm(const Expr& e) {
  switch (e.kind) {
    case Expr::Number: return "(" + e.text + ")";
    case Expr::String: return "(" + std::string(e.national ? "N" : "") + Q(e.text) + ")";
    case Expr::Null: return "NULL";
    case Expr::Column: return "[" + e.parts.back() + "]";
    case Expr::Paren: return Norm(*e.args[0]);
    case Expr::Unary: return (e.text == "NOT" ? "NOT " : e.text) + Child(*e.args[0], 9);
    case Expr::Binary: {
      int p = Prec(e);
      bool word = e.text == "AND" || e.text == "OR";
      return Child(*e.args[0], p) + (word ? " " + e.text + " " : e.text) + Child(*e.args[1], p + 1);
    }
    case Expr::Func: {
      std::string r = Lower(e.text) + "(";
      for (std::size_t i = 0; i < e.args.size(); ++i) r += (i ? "," : "") + Norm(*e.args[i]);
      return r + ")";
    }
    case Expr::IsNull: return Child(*e.args[0], 5) + (e.negated ? " IS NOT NULL" : " IS NULL");
    case Expr::Like: return Child(*e.args[0], 5) + (e.negated ? " not like " : " like ") + Norm(*e.args[1]);
    case Expr::In: {
      std::string r = Child(*e.args[0], 5) + (e.negated ? " NOT IN (" : " IN (");
      for (std::size_t i = 1; i < e.args.size(); ++i) r += (i > 1 ? "," : "") + Norm(*e.args[i]);
      return r + ")";
    }
    case Expr::Between:
      return Child(*e.args[0], 5) + (e.negated ? " NOT BETWEEN " : " BETWEEN ") + Norm(*e.args[1]) + " AND " + Norm(*e.args[2]);
    case Expr::Cast: return "CONVERT(" + ResolveType(e.type).Sql() + "," + Norm(*e.args[0]) + ")";
    default: ThrowUnsupported("this expression in a default or check constraint");
  }
}
}  // namespace

std::string Engine::NormalizeExpr(const ExprP& e, bool isDefault) {
  if (isDefault && (e->kind == Expr::Number || e->kind == Expr::String)) return Norm(*e);
  return "(" + Norm(*e) + ")";
}

// --- data tables ---

static std::string SqliteType(const ColType& t) {
  if (!t.info) return "TEXT";
  switch (t.info->cls) {
    case TypeClass::Int: case TypeClass::Bit: case TypeClass::Timestamp: return "INTEGER";
    case TypeClass::Decimal: case TypeClass::Money: case TypeClass::Float: return "REAL";
    case TypeClass::Date: return t.name == "date" ? "DATE" : "DATETIME";
    case TypeClass::Binary: return "BLOB";
    default: return "TEXT COLLATE CI";
  }
}

// Copies a table's rows into a data table whose column `colid` is declared
// for `type`, keeping rowids and the unique indexes that enforce keys.
static void RebuildDataTable(Database& d, std::int64_t tid, int colid, const ColType& type) {
  std::string tbl = Database::DataTable(tid), tmp = tbl + "_rebuild";
  std::string decl, list;
  for (const ColInfo& c : d.Columns(tid)) {
    decl += (decl.empty() ? "" : ", ") + QuoteId(c.name) + " " + SqliteType(c.colid == colid ? type : c.type);
    list += (list.empty() ? "" : ", ") + QuoteId(c.name);
  }
  std::vector<std::string> indexes;
  for (auto& r : d.Q("SELECT sql FROM sqlite_master WHERE type = 'index' AND tbl_name = ?1 AND sql IS NOT NULL", {V::Str(tbl)}))
    indexes.push_back(r[0].AsString());
  d.Script("CREATE TABLE " + QuoteId(tmp) + " (" + decl + ");\nINSERT INTO " + QuoteId(tmp) + " (rowid, " + list +
           ") SELECT rowid, " + list + " FROM " + QuoteId(tbl) + ";\nDROP TABLE " + QuoteId(tbl) + ";\nALTER TABLE " +
           QuoteId(tmp) + " RENAME TO " + QuoteId(tbl) + ";");
  for (const std::string& sql : indexes) d.Script(sql);
}

// How 5074 names an index that depends on a column: a key's index is the
// constraint ("object"), statistics are "statistics".
static std::string DependentKind(const db::Value& isKey, const db::Value& isStat) {
  if (isStat.AsInteger()) return "The statistics '";
  return isKey.AsInteger() ? "The object '" : "The index '";
}

static void InsertColumn(Database& d, std::int64_t tid, int colid, const ColumnDef& c, const ColType& t) {
  const TypeInfo* ti = t.info;
  bool ch = ti && (ti->cls == TypeClass::Char || (ti->cls == TypeClass::Lob && t.name != "image"));
  std::string coll = ch ? (c.collation.empty() ? d.collation() : c.collation) : "";
  int nullable = c.nullable == -1 ? !(c.identity) : c.nullable;
  if (ti && ti->cls == TypeClass::Timestamp && c.nullable == -1) nullable = 0;
  int xusertype = t.userType == "sysname" ? 256 : ti->xtype;
  d.X("INSERT INTO columns VALUES (?1,?2,?3,?4,?5,?6,?7,?8,?9,?10,?11,?12,?13,?14,?15,?16,?17)",
      {V::Int(tid), V::Int(colid), V::Str(c.name), V::Str(t.name), V::Str(t.userType.empty() ? t.name : t.userType),
       V::Int(ti->xtype), V::Int(xusertype), V::Int(t.maxLength), V::Int(t.prec), V::Int(t.scale), V::Int(nullable),
       V::Int(c.identity), c.identity ? V::Int(c.seed) : V(), c.identity ? V::Int(c.incr) : V(), V::Int(c.rowguid),
       coll.empty() ? V() : V::Str(coll), V()});
}

static void CheckColumnRules(Database& d, std::int64_t tid, const ColumnDef& c, const ColType& t, const std::string& table) {
  if (c.identity) {
    if (t.info->cls != TypeClass::Int && !(t.info->cls == TypeClass::Decimal && t.scale == 0))
      throw SqlError(2749, "Identity column '" + c.name + "' must be of data type int, bigint, smallint, tinyint, or decimal or numeric with a scale of 0, and constrained to be nonnullable.");
    if (!d.Q("SELECT 1 FROM columns WHERE obj_id = ?1 AND is_identity = 1", {V::Int(tid)}).empty())
      throw SqlError(2744, "Multiple identity columns specified for table '" + table + "'. Only one identity column per table is allowed.");
  }
  if (c.rowguid && t.name != "uniqueidentifier")
    throw SqlError(2761, "The ROWGUIDCOL property can only be specified on the uniqueidentifier data type.");
  if (t.info->cls == TypeClass::Timestamp &&
      !d.Q("SELECT 1 FROM columns WHERE obj_id = ?1 AND type = 'timestamp'", {V::Int(tid)}).empty())
    throw SqlError(2738, "A table can only have one timestamp column. Because table '" + table + "' already has one, the column '" + c.name + "' cannot be added.");
  if (d.Column(tid, c.name))
    throw SqlError(2705, "Column names in each table must be unique. Column name '" + c.name + "' in table '" + table + "' is specified more than once.");
}

void Engine::CreateTable(const Stmt& s) {
  Database& d = Cur();
  const std::string& name = s.name.back();
  if (name.size() && name[0] == '#') ThrowUnsupported("temporary tables");
  CheckNameFree(d, name);
  if (s.columns.empty()) throw SqlError(102, "Incorrect syntax near ')'.", 15);
  std::int64_t tid = AddObject(d, name, "U", 0);
  int colid = 0;
  std::string cols;
  std::vector<ConstraintDef> cons;
  for (const ColumnDef& c : s.columns) {
    if (c.computed) ThrowUnsupported("computed columns");
    ColType t = ResolveType(c.type);
    CheckColumnRules(d, tid, c, t, name);
    InsertColumn(d, tid, ++colid, c, t);
    cols += (cols.empty() ? "" : ", ") + QuoteId(c.name) + " " + SqliteType(t);
    for (const ConstraintDef& k : c.constraints) cons.push_back(k);
  }
  d.Script("CREATE TABLE " + QuoteId(Database::DataTable(tid)) + " (" + cols + ")");
  d.X("INSERT INTO indexes(obj_id, indid, name) VALUES (?1, 0, NULL)", {V::Int(tid)});
  ObjInfo t{tid, name, "U", 0};
  for (const ConstraintDef& k : cons) AddConstraint(d, t, k, false, true);
  for (const ConstraintDef& k : s.constraints) AddConstraint(d, t, k, false, true);
}

static std::int64_t RowCount(Database& d, std::int64_t tid) {
  return d.Q("SELECT count(*) FROM " + QuoteId(Database::DataTable(tid)))[0][0].AsInteger();
}

static int NewIndid(Database& d, std::int64_t tid, bool clustered) {
  if (clustered) return 1;
  auto r = d.Q("SELECT max(indid) FROM indexes WHERE obj_id = ?1", {V::Int(tid)});
  std::int64_t m = r[0][0].IsNull() ? 1 : r[0][0].AsInteger();
  return (int)std::max<std::int64_t>(2, m + 1);
}

// Adds an index to the catalog and, when unique, to the data table.
static int AddIndex(Engine& e, Database& d, const ObjInfo& t, const std::string& name, bool unique, bool clustered,
                    const std::vector<std::pair<std::string, bool>>& cols, const std::vector<std::string>& include,
                    bool pk, bool uq, bool stat, const std::string& fg, bool isCreateIndex) {
  (void)e;
  std::int64_t group = 1;
  if (!fg.empty()) {
    auto g = d.Q("SELECT groupid FROM filegroups WHERE groupname = ?1", {V::Str(fg)});
    if (g.empty()) throw SqlError(1921, "Invalid filegroup '" + fg + "' specified.");
    group = g[0][0].AsInteger();
  }
  if (!d.Q("SELECT 1 FROM indexes WHERE obj_id = ?1 AND name = ?2", {V::Int(t.id), V::Str(name)}).empty())
    throw SqlError(1913, "The operation failed because an index or statistics with name '" + name + "' already exists on table '" + t.name + "'.");
  if (clustered && !d.Q("SELECT 1 FROM indexes WHERE obj_id = ?1 AND indid = 1", {V::Int(t.id)}).empty())
    throw SqlError(1902, "Cannot create more than one clustered index on table '" + t.name + "'. Drop the existing clustered index '" +
                             d.Q("SELECT name FROM indexes WHERE obj_id = ?1 AND indid = 1", {V::Int(t.id)})[0][0].AsString() + "' before creating another.");
  std::vector<int> colids;
  for (auto& [c, desc] : cols) {
    auto ci = d.Column(t.id, c);
    if (!ci) {
      if (isCreateIndex) throw SqlError(1911, "Column name '" + c + "' does not exist in the target table or view.");
      throw SqlError(1911, "Column name '" + c + "' does not exist in the target table or view.").Then(1750, "Could not create constraint. See previous errors.");
    }
    // Large values (text, ntext, image, xml and the MAX types) cannot be keys.
    bool large = ci->type.info && (ci->type.info->cls == TypeClass::Lob || ci->type.info->cls == TypeClass::Xml || ci->type.maxLength == -1);
    if (large && !stat) {
      SqlError e1919(1919, "Column '" + ci->name + "' in table '" + t.name + "' is of a type that is invalid for use as a key column in an index.");
      if (!isCreateIndex) e1919.Then(1750, "Could not create constraint. See previous errors.");
      throw e1919;
    }
    if (pk && ci->nullable)
      throw SqlError(8111, "Cannot define PRIMARY KEY constraint on nullable column in table '" + t.name + "'.").Then(1750, "Could not create constraint. See previous errors.");
    colids.push_back(ci->colid);
  }
  int indid = NewIndid(d, t.id, clustered);
  if (clustered) d.X("DELETE FROM indexes WHERE obj_id = ?1 AND indid = 0", {V::Int(t.id)});
  d.X("INSERT INTO indexes VALUES (?1,?2,?3,?4,?5,?6,?7,?8,?9)",
      {V::Int(t.id), V::Int(indid), V::Str(name), V::Int(unique), V::Int(clustered), V::Int(pk), V::Int(uq), V::Int(stat), V::Int(group)});
  int pos = 0;
  for (std::size_t i = 0; i < cols.size(); ++i)
    d.X("INSERT INTO index_columns VALUES (?1,?2,?3,?4,?5,?6,0,?7)",
        {V::Int(t.id), V::Int(indid), V::Int(++pos), V::Int(colids[i]), V::Int((int)i + 1), V::Int(cols[i].second), V::Int(stat)});
  for (const std::string& c : include) {
    auto ci = d.Column(t.id, c);
    if (!ci) throw SqlError(1911, "Column name '" + c + "' does not exist in the target table or view.");
    d.X("INSERT INTO index_columns VALUES (?1,?2,?3,?4,0,0,1,0)", {V::Int(t.id), V::Int(indid), V::Int(++pos), V::Int(ci->colid)});
  }
  if (unique) {
    // SQL Server's unique keys treat NULLs as equal (one NULL per key);
    // SQLite's treat them as distinct, so NULL is indexed as a marker that
    // no value of a column equals.
    std::string list;
    for (auto& [c, desc] : cols)
      list += (list.empty() ? "" : ", ") + std::string("coalesce(") + QuoteId(c) + ", X'00A05A524E554C4C00') COLLATE CI";
    char* err = nullptr;
    std::string sql = "CREATE UNIQUE INDEX " + QuoteId("x_" + std::to_string(t.id) + "_" + std::to_string(indid)) + " ON " +
                      QuoteId(Database::DataTable(t.id)) + " (" + list + ")";
    if (sqlite3_exec(d.handle(), sql.c_str(), nullptr, nullptr, &err) != SQLITE_OK) {
      sqlite3_free(err);
      SqlError e2(1505, "The CREATE UNIQUE INDEX statement terminated because a duplicate key was found for the object name 'dbo." +
                           t.name + "' and the index name '" + name + "'.");
      if (!isCreateIndex) e2.Then(1750, "Could not create constraint. See previous errors.");
      e2.Then(3621, "The statement has been terminated.", 10);
      throw e2;
    }
  }
  return indid;
}

// Whether a new cascading key from table `from` (referenced) to `to`
// (referencing) would close a cycle or make a second cascade path between
// two tables: some table that already reaches `from` (or `from` itself)
// already reaches `to` or a table `to` reaches. `flag` names the action.
static bool CascadeConflict(Database& d, const char* flag, std::int64_t from, std::int64_t to) {
  std::multimap<std::int64_t, std::int64_t> down, up;
  for (auto& e : d.Q(std::string("SELECT rkeyid, fkeyid FROM fks WHERE ") + flag + " = 1")) {
    down.emplace(e[0].AsInteger(), e[1].AsInteger());
    up.emplace(e[1].AsInteger(), e[0].AsInteger());
  }
  auto reach = [](const std::multimap<std::int64_t, std::int64_t>& g, std::set<std::int64_t> seen) {
    std::vector<std::int64_t> work(seen.begin(), seen.end());
    while (!work.empty()) {
      std::int64_t n = work.back();
      work.pop_back();
      for (auto [it, end] = g.equal_range(n); it != end; ++it)
        if (seen.insert(it->second).second) work.push_back(it->second);
    }
    return seen;
  };
  std::set<std::int64_t> reached = reach(down, reach(up, {from}));  // from what reaches `from`
  for (std::int64_t n : reach(down, {to}))
    if (reached.count(n)) return true;
  return false;
}

void Engine::AddConstraint(Database& d, const ObjInfo& t, const ConstraintDef& c, bool noCheck, bool inCreate) {
  (void)inCreate;
  auto fail1750 = [](SqlError e) -> SqlError { return e.Then(1750, "Could not create constraint. See previous errors."); };
  std::string name = c.name;
  switch (c.kind) {
    case ConstraintDef::PrimaryKey:
    case ConstraintDef::Unique: {
      bool pk = c.kind == ConstraintDef::PrimaryKey;
      if (name.empty()) name = AutoName(pk ? "PK" : "UQ", t.name);
      if (d.FindObject(name)) throw fail1750(SqlError(2714, "There is already an object named '" + name + "' in the database."));
      if (pk && !d.Q("SELECT 1 FROM objects WHERE parent_obj = ?1 AND xtype = 'PK'", {V::Int(t.id)}).empty())
        throw fail1750(SqlError(1779, "Table '" + t.name + "' already has a primary key defined on it."));
      bool clustered = c.clusteredSet ? c.clustered
                                      : (pk && d.Q("SELECT 1 FROM indexes WHERE obj_id = ?1 AND indid = 1", {V::Int(t.id)}).empty());
      std::int64_t id = AddObject(d, name, pk ? "PK" : "UQ", t.id);
      d.X("INSERT INTO cons(constid, tbl, colid, kind) VALUES (?1, ?2, 0, ?3)", {V::Int(id), V::Int(t.id), V::Int(pk ? 1 : 2)});
      AddIndex(*this, d, t, name, true, clustered, c.cols, {}, pk, !pk, false, c.filegroup, false);
      break;
    }
    case ConstraintDef::ForeignKey: {
      if (name.empty()) name = AutoName("FK", t.name, c.refTable.back());
      if (d.FindObject(name)) throw fail1750(SqlError(2714, "There is already an object named '" + name + "' in the database."));
      auto r = d.Resolve(c.refTable);
      if (!r || r->xtype != "U")
        throw fail1750(SqlError(1767, "Foreign key '" + name + "' references invalid table '" + c.refTable.back() + "'."));
      std::vector<int> fcols, rcols;
      for (auto& [fc, desc] : c.cols) {
        auto ci = d.Column(t.id, fc);
        if (!ci) throw fail1750(SqlError(1769, "Foreign key '" + name + "' references invalid column '" + fc + "' in referencing table '" + t.name + "'."));
        fcols.push_back(ci->colid);
      }
      std::vector<std::string> refCols = c.refCols;
      std::int64_t rindid = -1;
      if (refCols.empty()) {
        auto pkr = d.Q("SELECT i.indid FROM indexes i WHERE i.obj_id = ?1 AND i.is_pk = 1", {V::Int(r->id)});
        if (pkr.empty())
          throw fail1750(SqlError(1773, "Foreign key '" + name + "' has implicit reference to object '" + r->name + "' on which there is no primary key defined."));
        for (auto& row : d.Q("SELECT c.name FROM index_columns ic JOIN columns c ON c.obj_id = ic.obj_id AND c.colid = ic.colid WHERE ic.obj_id = ?1 AND ic.indid = ?2 AND ic.is_included = 0 ORDER BY ic.key_ordinal",
                             {V::Int(r->id), pkr[0][0]}))
          refCols.push_back(row[0].AsString());
      }
      for (const std::string& rc : refCols) {
        auto ci = d.Column(r->id, rc);
        if (!ci) throw fail1750(SqlError(1770, "Foreign key '" + name + "' references invalid column '" + rc + "' in referenced table '" + r->name + "'."));
        rcols.push_back(ci->colid);
      }
      if (rcols.size() != fcols.size())
        throw fail1750(SqlError(8139, "Number of referencing columns in foreign key differs from number of referenced columns, table '" + t.name + "'."));
      // A unique index of the referenced table on exactly these columns.
      std::vector<int> sorted = rcols;
      std::sort(sorted.begin(), sorted.end());
      for (auto& ix : d.Q("SELECT indid FROM indexes WHERE obj_id = ?1 AND is_unique = 1 AND indid > 0", {V::Int(r->id)})) {
        std::vector<int> key;
        for (auto& k : d.Q("SELECT colid FROM index_columns WHERE obj_id = ?1 AND indid = ?2 AND is_included = 0", {V::Int(r->id), ix[0]}))
          key.push_back((int)k[0].AsInteger());
        std::sort(key.begin(), key.end());
        if (key == sorted) {
          rindid = ix[0].AsInteger();
          break;
        }
      }
      if (rindid < 0)
        throw fail1750(SqlError(1776, "There are no primary or candidate keys in the referenced table '" + r->name +
                                          "' that match the referencing column list in the foreign key '" + name + "'."));
      for (std::size_t i = 0; i < fcols.size(); ++i) {
        auto fc = d.Columns(t.id), rc = d.Columns(r->id);
        ColInfo a = *d.Column(t.id, c.cols[i].first), b = *d.Column(r->id, refCols[i]);
        // Key columns pair with columns of the same type, length, precision and scale.
        if (a.type.name != b.type.name)
          throw fail1750(SqlError(1778, "Column '" + r->name + "." + b.name + "' is not the same data type as referencing column '" + t.name + "." + a.name + "' in foreign key '" + name + "'."));
        bool decimal = a.type.info && a.type.info->cls == TypeClass::Decimal;
        if (a.type.maxLength != b.type.maxLength || (decimal && (a.type.prec != b.type.prec || a.type.scale != b.type.scale)))
          throw fail1750(SqlError(1753, "Column '" + r->name + "." + b.name + "' is not the same length" + (decimal ? " or scale" : "") +
                                            " as referencing column '" + t.name + "." + a.name + "' in foreign key '" + name +
                                            "'. Columns participating in a foreign key relationship must be defined with the same length" +
                                            (decimal ? " and scale." : ".")));
      }
      if ((c.deleteCascade && CascadeConflict(d, "del_cascade", r->id, t.id)) ||
          (c.updateCascade && CascadeConflict(d, "upd_cascade", r->id, t.id)))
        throw fail1750(SqlError(1785, "Introducing FOREIGN KEY constraint '" + name + "' on table '" + t.name +
                                          "' may cause cycles or multiple cascade paths. Specify ON DELETE NO ACTION or ON UPDATE NO ACTION, or modify other FOREIGN KEY constraints."));
      std::int64_t id = AddObject(d, name, "F", t.id);
      d.X("INSERT INTO fks VALUES (?1,?2,?3,?4,?5,?6)", {V::Int(id), V::Int(t.id), V::Int(r->id), V::Int(rindid), V::Int(c.deleteCascade), V::Int(c.updateCascade)});
      for (std::size_t i = 0; i < fcols.size(); ++i)
        d.X("INSERT INTO fk_cols VALUES (?1,?2,?3,?4)", {V::Int(id), V::Int((int)i + 1), V::Int(fcols[i]), V::Int(rcols[i])});
      d.X("INSERT INTO cons(constid, tbl, colid, kind, disabled, not_repl) VALUES (?1, ?2, 0, 3, 0, ?3)", {V::Int(id), V::Int(t.id), V::Int(c.notForRepl)});
      if (!noCheck) CheckTableData(d, t.id, "ALTER TABLE");
      break;
    }
    case ConstraintDef::Check:
    case ConstraintDef::Default: {
      bool check = c.kind == ConstraintDef::Check;
      if (name.empty()) name = AutoName(check ? "CK" : "DF", t.name, c.column);
      if (d.FindObject(name)) throw fail1750(SqlError(2714, "There is already an object named '" + name + "' in the database."));
      int colid = 0;
      if (!c.column.empty()) {
        auto ci = d.Column(t.id, c.column);
        if (!ci) throw SqlError(1752, "Column '" + c.column + "' in table '" + t.name + "' is invalid for creating a default constraint.").Then(1750, "Could not create constraint. See previous errors.");
        colid = ci->colid;
        if (!check && !d.Q("SELECT 1 FROM cons WHERE tbl = ?1 AND colid = ?2 AND kind = 5", {V::Int(t.id), V::Int(colid)}).empty())
          throw fail1750(SqlError(1781, "Column already has a DEFAULT bound to it."));
        if (!check && ci->identity)
          throw fail1750(SqlError(1754, "Defaults cannot be created on columns with an IDENTITY attribute. Table '" + t.name + "', column '" + ci->name + "'."));
      } else if (!check) {
        throw SqlError(102, "Incorrect syntax near 'DEFAULT'.", 15);
      }
      std::string text = NormalizeExpr(c.expr, !check);
      // The expression must compile against the table.
      std::string probe = "SELECT " + EmitExpr(*this, d, *c.expr) + " FROM " + QuoteId(Database::DataTable(t.id)) + " LIMIT 0";
      if (!check) probe = "SELECT " + EmitExpr(*this, d, *c.expr);
      try {
        d.Prepare(probe);
      } catch (SqlError& e) {
        if (!check) throw SqlError(128, "The name is not permitted in this context. Valid expressions are constants, constant expressions, and (in some contexts) variables. Column names are not permitted.", 15);
        throw;
      }
      std::int64_t id = AddObject(d, name, check ? "C" : "D", t.id);
      d.X("INSERT INTO cons(constid, tbl, colid, kind, definition, not_repl) VALUES (?1, ?2, ?3, ?4, ?5, ?6)",
          {V::Int(id), V::Int(t.id), V::Int(colid), V::Int(check ? 4 : 5), V::Str(text), V::Int(c.notForRepl)});
      StoreComments(d, id, text);
      if (check && !noCheck) CheckTableData(d, t.id, "ALTER TABLE");
      break;
    }
  }
}

void Engine::CreateIndex(const Stmt& s) {
  Database& d = Cur();
  ObjInfo t = Table(s.index.table);
  if (s.index.statistics) {
    AddIndex(*this, d, t, s.index.name, false, false, s.index.cols, {}, false, false, true, "", true);
    return;
  }
  AddIndex(*this, d, t, s.index.name, s.index.unique, s.index.clustered, s.index.cols, s.index.include, false, false, false,
           s.index.filegroup, true);
}

static void DropIndexRow(Database& d, std::int64_t tid, std::int64_t indid) {
  bool clustered = indid == 1;
  d.X("DELETE FROM index_columns WHERE obj_id = ?1 AND indid = ?2", {V::Int(tid), V::Int(indid)});
  d.X("DELETE FROM indexes WHERE obj_id = ?1 AND indid = ?2", {V::Int(tid), V::Int(indid)});
  d.Script("DROP INDEX IF EXISTS " + QuoteId("x_" + std::to_string(tid) + "_" + std::to_string(indid)));
  if (clustered) d.X("INSERT INTO indexes(obj_id, indid, name) VALUES (?1, 0, NULL)", {V::Int(tid)});
}

void Engine::DropIndex(const Stmt& s) {
  Database& d = Cur();
  for (const auto& row : s.rows) {
    std::vector<std::string> tn;
    for (std::size_t i = 0; i + 1 < row.size(); ++i) tn.push_back(row[i]->text);
    std::string in = row.back()->text;
    auto t = d.Resolve(tn);
    if (!t || t->xtype != "U")
      throw SqlError(3701, "Cannot drop the index '" + tn.back() + "." + in + "', because it does not exist or you do not have permission.", 11);
    auto r = d.Q("SELECT indid, is_pk, is_uq FROM indexes WHERE obj_id = ?1 AND name = ?2 AND indid > 0", {V::Int(t->id), V::Str(in)});
    if (r.empty())
      throw SqlError(3701, "Cannot drop the index '" + t->name + "." + in + "', because it does not exist or you do not have permission.", 11);
    if (r[0][1].AsInteger() || r[0][2].AsInteger())
      throw SqlError(3723, "An explicit DROP INDEX is not allowed on index '" + t->name + "." + in + "'. It is being used for " +
                               (r[0][1].AsInteger() ? "PRIMARY KEY" : "UNIQUE KEY") + " constraint enforcement.");
    DropIndexRow(d, t->id, r[0][0].AsInteger());
  }
}

// Drops one constraint of table t; raises 3728/3725.
static void DropConstraint(Engine& e, Database& d, const ObjInfo& t, const std::string& name) {
  auto o = d.FindObject(name);
  if (!o || o->parent != t.id || (o->xtype != "PK" && o->xtype != "UQ" && o->xtype != "F" && o->xtype != "C" && o->xtype != "D"))
    throw SqlError(3728, "'" + name + "' is not a constraint.").Then(3727, "Could not drop constraint. See previous errors.", 16);
  if (o->xtype == "PK" || o->xtype == "UQ") {
    auto ix = d.Q("SELECT indid FROM indexes WHERE obj_id = ?1 AND name = ?2", {V::Int(t.id), V::Str(o->name)});
    if (!ix.empty()) {
      auto refs = d.Q("SELECT o.name, f.fkeyid FROM fks f JOIN objects o ON o.id = f.constid WHERE f.rkeyid = ?1 AND f.rindid = ?2",
                      {V::Int(t.id), ix[0][0]});
      if (!refs.empty()) {
        auto ft = d.ObjectById(refs[0][1].AsInteger());
        throw SqlError(3725, "The constraint '" + o->name + "' is being referenced by table '" + (ft ? ft->name : "") +
                                 "', foreign key constraint '" + refs[0][0].AsString() + "'.")
            .Then(3727, "Could not drop constraint. See previous errors.", 16);
      }
      DropIndexRow(d, t.id, ix[0][0].AsInteger());
    }
  }
  if (o->xtype == "F") {
    d.X("DELETE FROM fk_cols WHERE constid = ?1", {V::Int(o->id)});
    d.X("DELETE FROM fks WHERE constid = ?1", {V::Int(o->id)});
  }
  d.X("DELETE FROM cons WHERE constid = ?1", {V::Int(o->id)});
  d.X("DELETE FROM comments WHERE id = ?1", {V::Int(o->id)});
  d.X("DELETE FROM objects WHERE id = ?1", {V::Int(o->id)});
  (void)e;
}

static void DropTable(Engine& e, Database& d, const ObjInfo& t) {
  auto refs = d.Q("SELECT o.name FROM fks f JOIN objects o ON o.id = f.constid WHERE f.rkeyid = ?1 AND f.fkeyid <> ?1", {V::Int(t.id)});
  if (!refs.empty())
    throw SqlError(3726, "Could not drop object '" + t.name + "' because it is referenced by a FOREIGN KEY constraint.");
  auto bound = d.Q("SELECT o.name FROM objects o JOIN modules m ON m.obj_id = o.id WHERE o.schemabound = 1 AND m.definition LIKE ?1",
                   {V::Str("%" + t.name + "%")});
  if (!bound.empty())
    throw SqlError(3729, "Cannot DROP TABLE '" + t.name + "' because it is being referenced by object '" + bound[0][0].AsString() + "'.");
  for (auto& c : d.Q("SELECT name FROM objects WHERE parent_obj = ?1 AND xtype = 'F'", {V::Int(t.id)}))
    DropConstraint(e, d, t, c[0].AsString());
  for (auto& c : d.Q("SELECT id FROM objects WHERE parent_obj = ?1", {V::Int(t.id)})) {
    d.X("DELETE FROM cons WHERE constid = ?1", {c[0]});
    d.X("DELETE FROM comments WHERE id = ?1", {c[0]});
    d.X("DELETE FROM modules WHERE obj_id = ?1", {c[0]});
    d.X("DELETE FROM permissions WHERE obj_id = ?1", {c[0]});
  }
  d.X("DELETE FROM objects WHERE parent_obj = ?1", {V::Int(t.id)});
  for (auto& ix : d.Q("SELECT indid FROM indexes WHERE obj_id = ?1", {V::Int(t.id)}))
    d.Script("DROP INDEX IF EXISTS " + QuoteId("x_" + std::to_string(t.id) + "_" + ix[0].AsString()));
  d.X("DELETE FROM index_columns WHERE obj_id = ?1", {V::Int(t.id)});
  d.X("DELETE FROM indexes WHERE obj_id = ?1", {V::Int(t.id)});
  d.X("DELETE FROM columns WHERE obj_id = ?1", {V::Int(t.id)});
  d.X("DELETE FROM extprops WHERE major_id = ?1", {V::Int(t.id)});
  d.X("DELETE FROM permissions WHERE obj_id = ?1", {V::Int(t.id)});
  d.X("DELETE FROM objects WHERE id = ?1", {V::Int(t.id)});
  d.Script("DROP TABLE " + QuoteId(Database::DataTable(t.id)));
  if (e.identityInsert && *e.identityInsert == t.id) e.identityInsert.reset();
}

void Engine::DropObjects(const Stmt& s) {
  Database& d = Cur();
  const std::string& k = s.keyword;
  for (const auto& row : s.rows) {
    std::vector<std::string> parts;
    for (auto& p : row) parts.push_back(p->text);
    std::string name = parts.back();
    if (k == "DATABASE") {
      Database* db2 = Find(name);
      if (!db2) throw SqlError(3701, "Cannot drop the database '" + name + "', because it does not exist or you do not have permission.", 11);
      if (db2 == current) throw SqlError(3702, "Cannot drop database \"" + name + "\" because it is currently in use.");
      databases.erase(FoldCase(name));
      RefreshServerTables();
      continue;
    }
    if (k == "LOGIN") {
      auto it = std::find_if(logins.begin(), logins.end(), [&](const Login& l) { return FoldCase(l.name) == FoldCase(name); });
      if (it == logins.end()) throw SqlError(15151, "Cannot drop the login '" + name + "', because it does not exist or you do not have permission.");
      logins.erase(it);
      RefreshServerTables();
      continue;
    }
    if (k == "ROLE" || k == "USER") {
      auto r = d.Q("SELECT uid FROM principals WHERE name = ?1 AND fixed = 0 AND issqlrole = ?2", {V::Str(name), V::Int(k == "ROLE")});
      if (r.empty()) throw SqlError(15151, "Cannot drop the " + std::string(k == "ROLE" ? "role" : "user") + " '" + name + "', because it does not exist or you do not have permission.");
      d.X("DELETE FROM role_members WHERE role_uid = ?1 OR member_uid = ?1", {r[0][0]});
      d.X("DELETE FROM permissions WHERE uid = ?1", {r[0][0]});
      d.X("DELETE FROM principals WHERE uid = ?1", {r[0][0]});
      continue;
    }
    if (k == "STATISTICS") {
      if (parts.size() < 2) ThrowSyntax(name);
      auto t = d.Resolve(std::vector<std::string>(parts.begin(), parts.end() - 1));
      auto r = t ? d.Q("SELECT indid FROM indexes WHERE obj_id = ?1 AND name = ?2 AND is_stat = 1", {V::Int(t->id), V::Str(name)})
                 : std::vector<Row>{};
      if (r.empty()) throw SqlError(3701, "Cannot drop the statistics '" + name + "', because it does not exist or you do not have permission.", 11);
      DropIndexRow(d, t->id, r[0][0].AsInteger());
      continue;
    }
    std::string want = k == "TABLE" ? "U" : k == "VIEW" ? "V" : k == "PROCEDURE" ? "P" : k == "TRIGGER" ? "TR" : "FN";
    auto o = d.Resolve(parts);
    bool match = o && (o->xtype == want || (want == "FN" && (o->xtype == "TF" || o->xtype == "IF")));
    if (!match) {
      if (s.flag) continue;
      std::string word = k == "TABLE" ? "table" : k == "VIEW" ? "view" : k == "PROCEDURE" ? "procedure" : k == "TRIGGER" ? "trigger" : "function";
      throw SqlError(3701, "Cannot drop the " + word + " '" + name + "', because it does not exist or you do not have permission.", 11);
    }
    if (want == "U") {
      DropTable(*this, d, *o);
      continue;
    }
    auto bound = d.Q("SELECT o.name FROM objects o JOIN modules m ON m.obj_id = o.id WHERE o.schemabound = 1 AND o.id <> ?2 AND m.definition LIKE ?1",
                     {V::Str("%" + o->name + "%"), V::Int(o->id)});
    if (!bound.empty())
      throw SqlError(3729, "Cannot DROP " + Upper(ObjKindWord(o->xtype)) + " '" + o->name + "' because it is being referenced by object '" + bound[0][0].AsString() + "'.");
    for (auto& tr : d.Q("SELECT id FROM objects WHERE parent_obj = ?1 AND xtype = 'TR'", {V::Int(o->id)})) {
      d.X("DELETE FROM modules WHERE obj_id = ?1", {tr[0]});
      d.X("DELETE FROM comments WHERE id = ?1", {tr[0]});
      d.X("DELETE FROM objects WHERE id = ?1", {tr[0]});
    }
    d.X("DELETE FROM modules WHERE obj_id = ?1", {V::Int(o->id)});
    d.X("DELETE FROM comments WHERE id = ?1", {V::Int(o->id)});
    d.X("DELETE FROM permissions WHERE obj_id = ?1", {V::Int(o->id)});
    d.X("DELETE FROM extprops WHERE major_id = ?1", {V::Int(o->id)});
    d.X("DELETE FROM objects WHERE id = ?1", {V::Int(o->id)});
    d.ForgetView(o->id);
  }
}

// --- ALTER TABLE ---

void Engine::AddColumnToTable(Database& d, const ObjInfo& t, const ColumnDef& c, std::vector<ConstraintDef>* extra) {
  if (c.computed) ThrowUnsupported("computed columns");
  ColType ty = ResolveType(c.type);
  CheckColumnRules(d, t.id, c, ty, t.name);
  const ConstraintDef* def = nullptr;
  for (const ConstraintDef& k : c.constraints)
    if (k.kind == ConstraintDef::Default) def = &k;
  bool notNull = c.nullable == 0 || (c.nullable == -1 && c.identity);
  std::int64_t rows = RowCount(d, t.id);
  if (notNull && rows > 0 && !def && !c.identity && ty.info->cls != TypeClass::Timestamp)
    throw SqlError(4901, "ALTER TABLE only allows columns to be added that can contain nulls, or have a DEFAULT definition specified, or the column being added is an identity or timestamp column, or alternatively if none of the previous conditions are satisfied the table must be empty to allow addition of this column. Column '" +
                             c.name + "' cannot be added to non-empty table '" + t.name + "' because it does not satisfy these conditions.");
  int colid = (int)d.Q("SELECT coalesce(max(colid), 0) + 1 FROM columns WHERE obj_id = ?1", {V::Int(t.id)})[0][0].AsInteger();
  InsertColumn(d, t.id, colid, c, ty);
  d.Script("ALTER TABLE " + QuoteId(Database::DataTable(t.id)) + " ADD COLUMN " + QuoteId(c.name) + " " + SqliteType(ty));
  if (rows > 0) {
    std::string tbl = QuoteId(Database::DataTable(t.id));
    if (c.identity) {
      std::int64_t v = c.seed;
      for (auto& r : d.Q("SELECT rowid FROM " + tbl + " ORDER BY rowid")) {
        d.X("UPDATE " + tbl + " SET " + QuoteId(c.name) + " = ?1 WHERE rowid = ?2", {V::Int(v), r[0]});
        v += c.incr;
      }
      d.X("UPDATE objects SET ident_cur = ?1 WHERE id = ?2", {V::Int(v - c.incr), V::Int(t.id)});
    } else if (def && (notNull || def->withValues)) {
      ConvertContext cc;
      cc.dayFirst = dayFirst;
      db::Value v = ConvertValue(Eval(def->expr), "", ty, true, true, cc);
      d.X("UPDATE " + tbl + " SET " + QuoteId(c.name) + " = ?1", {v});
    }
  }
  for (const ConstraintDef& k : c.constraints) extra->push_back(k);
}

void Engine::AlterTable(const Stmt& s) {
  Database& d = Cur();
  ObjInfo t = Table(s.name);
  const std::string& k = s.keyword;
  if (k == "ADD") {
    std::vector<ConstraintDef> extra;
    for (const ColumnDef& c : s.columns) AddColumnToTable(d, t, c, &extra);
    for (const ConstraintDef& c : extra) AddConstraint(d, t, c, false, false);
    for (const ConstraintDef& c : s.constraints) {
      bool noCheck = s.name2 == "WITH NOCHECK";
      if (c.kind == ConstraintDef::ForeignKey && c.cols.empty()) ThrowSyntax("REFERENCES");
      AddConstraint(d, t, c, noCheck, false);
      if (noCheck && (c.kind == ConstraintDef::ForeignKey || c.kind == ConstraintDef::Check)) {
        // WITH NOCHECK leaves the constraint untrusted but enabled.
      }
    }
    return;
  }
  if (k == "CHECKCNST") {
    std::vector<Row> targets;
    if (s.flag2) {
      targets = d.Q("SELECT constid FROM cons WHERE tbl = ?1 AND kind IN (3, 4)", {V::Int(t.id)});
    } else {
      for (const std::string& n : s.names) {
        auto r = d.Q("SELECT k.constid FROM cons k JOIN objects o ON o.id = k.constid WHERE k.tbl = ?1 AND o.name = ?2 AND k.kind IN (3, 4)",
                     {V::Int(t.id), V::Str(n)});
        if (r.empty())
          throw SqlError(4917, "Constraint '" + n + "' does not exist.").Then(4916, "Could not enable or disable the constraint. See previous errors.");
        targets.push_back(r[0]);
      }
    }
    for (auto& r : targets) d.X("UPDATE cons SET disabled = ?1 WHERE constid = ?2", {V::Int(s.flag), r[0]});
    // Existing rows are tested only under WITH CHECK.
    if (!s.flag && s.name2 == "WITH CHECK") CheckTableData(d, t.id, "ALTER TABLE");
    return;
  }
  if (k == "TRIGGER") {
    Stmt e = s;
    EnableTriggers(e);
    return;
  }
  if (k == "DROP") {
    for (const std::string& item : s.names) {
      std::string n = item.substr(2);
      if (item[0] == 'K') {
        DropConstraint(*this, d, t, n);
        continue;
      }
      auto c = d.Column(t.id, n);
      if (!c) throw SqlError(4924, "ALTER TABLE DROP COLUMN failed because column '" + n + "' does not exist in table '" + t.name + "'.");
      SqlError deps(std::vector<SqlMessage>{});
      for (auto& r : d.Q("SELECT DISTINCT i.name, i.is_pk OR i.is_uq, i.is_stat FROM index_columns ic JOIN indexes i ON i.obj_id = ic.obj_id AND i.indid = ic.indid WHERE ic.obj_id = ?1 AND ic.colid = ?2",
                         {V::Int(t.id), V::Int(c->colid)}))
        deps.Then(5074, DependentKind(r[1], r[2]) + r[0].AsString() + "' is dependent on column '" + c->name + "'.");
      for (auto& r : d.Q("SELECT o.name FROM cons k JOIN objects o ON o.id = k.constid WHERE k.tbl = ?1 AND k.colid = ?2",
                         {V::Int(t.id), V::Int(c->colid)}))
        deps.Then(5074, "The object '" + r[0].AsString() + "' is dependent on column '" + c->name + "'.");
      for (auto& r : d.Q("SELECT DISTINCT o.name FROM fk_cols fc JOIN fks f ON f.constid = fc.constid JOIN objects o ON o.id = f.constid WHERE (f.fkeyid = ?1 AND fc.fkey = ?2) OR (f.rkeyid = ?1 AND fc.rkey = ?2)",
                         {V::Int(t.id), V::Int(c->colid)}))
        deps.Then(5074, "The object '" + r[0].AsString() + "' is dependent on column '" + c->name + "'.");
      for (auto& r : d.Q("SELECT o.name, k.definition FROM cons k JOIN objects o ON o.id = k.constid WHERE k.tbl = ?1 AND k.kind = 4 AND k.colid = 0",
                         {V::Int(t.id)}))
        if (FoldCase(r[1].AsString()).find("[" + FoldCase(c->name) + "]") != std::string::npos)
          deps.Then(5074, "The object '" + r[0].AsString() + "' is dependent on column '" + c->name + "'.");
      if (!deps.messages().empty()) {
        deps.Then(4922, "ALTER TABLE DROP COLUMN " + c->name + " failed because one or more objects access this column.");
        throw deps;
      }
      if (d.Columns(t.id).size() == 1)
        throw SqlError(4923, "ALTER TABLE DROP COLUMN failed because '" + c->name + "' is the only data column in table '" + t.name + "'. A table must have at least one data column.");
      d.X("DELETE FROM columns WHERE obj_id = ?1 AND colid = ?2", {V::Int(t.id), V::Int(c->colid)});
      d.Script("ALTER TABLE " + QuoteId(Database::DataTable(t.id)) + " DROP COLUMN " + QuoteId(c->name));
    }
    return;
  }
  if (k == "ADDROWGUID" || k == "DROPROWGUID") {
    auto c = d.Column(t.id, s.name2);
    if (!c) throw SqlError(4924, "ALTER TABLE ALTER COLUMN failed because column '" + s.name2 + "' does not exist in table '" + t.name + "'.");
    if (k == "ADDROWGUID") {
      if (c->type.name != "uniqueidentifier") throw SqlError(2761, "The ROWGUIDCOL property can only be specified on the uniqueidentifier data type.");
      if (!d.Q("SELECT 1 FROM columns WHERE obj_id = ?1 AND is_rowguid = 1", {V::Int(t.id)}).empty())
        throw SqlError(4925, "ALTER TABLE ALTER COLUMN ADD ROWGUIDCOL failed because a column already exists in table '" + t.name + "' with ROWGUIDCOL property.");
    } else if (!c->rowguid) {
      throw SqlError(4926, "ALTER TABLE ALTER COLUMN DROP ROWGUIDCOL failed because a column does not exist in table '" + t.name + "' with ROWGUIDCOL property.");
    }
    d.X("UPDATE columns SET is_rowguid = ?1 WHERE obj_id = ?2 AND colid = ?3", {V::Int(k == "ADDROWGUID"), V::Int(t.id), V::Int(c->colid)});
    return;
  }
  if (k == "ALTERCOL") {
    const ColumnDef& nc = s.columns[0];
    auto c = d.Column(t.id, nc.name);
    if (!c) throw SqlError(4924, "ALTER TABLE ALTER COLUMN failed because column '" + nc.name + "' does not exist in table '" + t.name + "'.");
    ColType to = ResolveType(nc.type);
    if (c->type.name == "timestamp") throw SqlError(4928, "Cannot alter column '" + c->name + "' because it is 'timestamp'.");
    if (c->rowguid) throw SqlError(4928, "Cannot alter column '" + c->name + "' because it is 'ROWGUIDCOL'.");
    if (int ref = AlterConversionRefusal(c->type, to)) {
      if (ref == 4927) throw SqlError(4927, "Cannot alter column '" + c->name + "' to be data type " + to.name + ".");
      if (ref == 257)
        throw SqlError(257, "Implicit conversion from data type " + c->type.name + " to " + to.name + " is not allowed. Use the CONVERT function to run this query.");
      throw SqlError(529, "Explicit conversion from data type " + c->type.name + " to " + to.name + " is not allowed.");
    }
    bool sameType = c->type.name == to.name;
    bool growVar = sameType && c->type.info->variable && (to.maxLength == -1 || (c->type.maxLength != -1 && to.maxLength >= c->type.maxLength));
    bool sizeOnly = sameType;
    SqlError deps(std::vector<SqlMessage>{});
    auto unchanged = sameType && to.maxLength == c->type.maxLength && to.prec == c->type.prec && to.scale == c->type.scale;
    for (auto& r : d.Q("SELECT DISTINCT i.name, i.is_pk, i.is_stat, i.is_uq FROM index_columns ic JOIN indexes i ON i.obj_id = ic.obj_id AND i.indid = ic.indid WHERE ic.obj_id = ?1 AND ic.colid = ?2",
                       {V::Int(t.id), V::Int(c->colid)}))
      if (!(growVar && !r[1].AsInteger()) && !(unchanged && !r[1].AsInteger()))
        deps.Then(5074, DependentKind(V::Int(r[1].AsInteger() || r[3].AsInteger()), r[2]) + r[0].AsString() + "' is dependent on column '" + c->name + "'.");
    for (auto& r : d.Q("SELECT DISTINCT o.name FROM fk_cols fc JOIN fks f ON f.constid = fc.constid JOIN objects o ON o.id = f.constid WHERE (f.fkeyid = ?1 AND fc.fkey = ?2) OR (f.rkeyid = ?1 AND fc.rkey = ?2)",
                       {V::Int(t.id), V::Int(c->colid)}))
      if (!unchanged) deps.Then(5074, "The object '" + r[0].AsString() + "' is dependent on column '" + c->name + "'.");
    for (auto& r : d.Q("SELECT o.name, k.kind FROM cons k JOIN objects o ON o.id = k.constid WHERE k.tbl = ?1 AND k.colid = ?2 AND k.kind IN (4, 5)",
                       {V::Int(t.id), V::Int(c->colid)}))
      if ((r[1].AsInteger() == 5 && !sizeOnly) || (r[1].AsInteger() == 4 && !growVar && !unchanged))
        deps.Then(5074, "The object '" + r[0].AsString() + "' is dependent on column '" + c->name + "'.");
    if (!deps.messages().empty()) {
      deps.Then(4922, "ALTER TABLE ALTER COLUMN " + c->name + " failed because one or more objects access this column.");
      throw deps;
    }
    bool nullable = nc.nullable != 0;
    std::string tbl = QuoteId(Database::DataTable(t.id));
    ConvertContext cc;
    cc.dayFirst = dayFirst;
    // Every value is converted before anything changes, so a failing
    // conversion leaves the table as it was.
    std::vector<std::pair<db::Value, db::Value>> converted;  // rowid, new value
    for (auto& r : d.Q("SELECT rowid, " + QuoteId(c->name) + " FROM " + tbl)) {
      db::Value v = r[1];
      if (c->type.info->cls == TypeClass::Date && v.kind() == db::Value::Kind::Text) {
        db::DateTime dt;
        if (ParseDateText(v.AsString(), false, &dt)) v = db::Value::Date(dt);
      }
      if (v.IsNull() && !nullable)
        throw SqlError(515, "Cannot insert the value NULL into column '" + c->name + "', table '" + d.name() + ".dbo." + t.name + "'; column does not allow nulls. UPDATE fails.")
            .Then(3621, "The statement has been terminated.", 10);
      converted.emplace_back(r[0], ConvertValue(v, c->type.name, to, true, true, cc));
    }
    // A new storage class needs a new data table: SQLite keeps a column's
    // declared affinity, and an int kept as text would add like text.
    if (SqliteType(c->type) != SqliteType(to)) RebuildDataTable(d, t.id, c->colid, to);
    for (auto& [rowid, nv] : converted)
      d.X("UPDATE " + tbl + " SET " + QuoteId(c->name) + " = ?1 WHERE rowid = ?2", {nv, rowid});
    const TypeInfo* ti = to.info;
    bool ch = ti->cls == TypeClass::Char || (ti->cls == TypeClass::Lob && to.name != "image");
    std::string coll = ch ? (nc.collation.empty() ? d.collation() : nc.collation) : "";
    d.X("UPDATE columns SET type = ?1, utype = ?2, xtype = ?3, xusertype = ?4, max_length = ?5, prec = ?6, scale = ?7, nullable = ?8, collation = ?9 WHERE obj_id = ?10 AND colid = ?11",
        {V::Str(to.name), V::Str(to.userType.empty() ? to.name : to.userType), V::Int(ti->xtype), V::Int(to.userType == "sysname" ? 256 : ti->xtype),
         V::Int(to.maxLength), V::Int(to.prec), V::Int(to.scale), V::Int(nullable), coll.empty() ? V() : V::Str(coll), V::Int(t.id), V::Int(c->colid)});
    return;
  }
  ThrowUnsupported("ALTER TABLE " + k);
}

}  // namespace sqlsim
