// SELECT and expressions into SQLite SQL over the catalog and data tables.
#include <set>

#include "sqlsim/engine.h"

namespace sqlsim {

namespace {

const std::set<std::string>& SysViews() {
  static const std::set<std::string> v = {
      "objects", "tables", "views", "procedures", "triggers", "columns", "indexes", "index_columns", "stats",
      "extended_properties", "foreign_keys", "foreign_key_columns", "check_constraints", "default_constraints",
      "key_constraints", "sql_modules", "schemas", "database_principals", "database_role_members", "types",
      "databases", "server_principals", "sql_logins"};
  return v;
}
const std::set<std::string>& SysTables() {
  static const std::set<std::string> v = {"sysobjects", "syscolumns", "systypes", "sysindexes", "sysindexkeys",
                                          "sysfilegroups", "sysforeignkeys", "sysconstraints", "syscomments",
                                          "sysusers", "sysdatabases"};
  return v;
}

std::string Lit(const std::string& s) {
  std::string r = "'";
  for (char c : s) {
    if (c == '\'') r += '\'';
    r += c;
  }
  return r + "'";
}

std::string JoinName(const std::vector<std::string>& parts) {
  std::string r;
  for (std::size_t i = 0; i < parts.size(); ++i) r += (i ? "." : "") + parts[i];
  return r;
}

struct Emitter {
  Engine& eng;
  Database& d;
  int viewDepth = 0;
  int propArg = 0;                     // inside an argument of a catalog function
  std::vector<std::string> scopes;     // the only source of each SELECT level, or "" when several
  std::vector<std::vector<std::pair<std::string, std::int64_t>>> tables;  // user tables of each level

  // Arguments of the catalog functions become parts of subqueries over the
  // catalog tables; an unqualified column must keep naming the query's own
  // source, so it is qualified with that source's alias.
  std::string Arg(const Expr& e) {
    ++propArg;
    std::string r = "(" + E(e) + ")";
    --propArg;
    return r;
  }

  std::string PropLiteral(const Expr& f, std::size_t i) {
    if (f.args.size() <= i || f.args[i]->kind != Expr::String)
      ThrowUnsupported(f.text + " with a property that is not a literal");
    return Upper(f.args[i]->text);
  }

  void NeedArgs(const Expr& f, std::size_t lo, std::size_t hi) {
    if (f.args.size() < lo || f.args.size() > hi)
      throw SqlError(174, "The " + Upper(f.text) + " function requires " + std::to_string(lo) + " argument(s).", 15);
  }

  std::string TypeTest(const std::string& id, const std::string& types) {
    return "(SELECT CASE WHEN trim(xtype) IN (" + types + ") THEN 1 ELSE 0 END FROM objects WHERE id = " + id + ")";
  }

  // The subqueries below name their own tables zr_o, zr_c, zr_k: an alias
  // of the query's (o, c...) inside an argument must still mean the query's.
  std::string ObjectProperty(const Expr& f) {
    NeedArgs(f, 2, 2);
    std::string id = Arg(*f.args[0]);
    std::string p = PropLiteral(f, 1);
    if (p == "ISMSSHIPPED") return "(SELECT is_ms_shipped FROM objects WHERE id = " + id + ")";
    if (p == "ISUSERTABLE") return TypeTest(id, "'U'");
    if (p == "ISTABLE") return TypeTest(id, "'U','S'");
    if (p == "ISSYSTEMTABLE") return TypeTest(id, "'S'");
    if (p == "ISVIEW") return TypeTest(id, "'V'");
    if (p == "ISPROCEDURE") return TypeTest(id, "'P'");
    if (p == "ISTRIGGER") return TypeTest(id, "'TR'");
    if (p == "ISSCALARFUNCTION") return TypeTest(id, "'FN'");
    if (p == "ISTABLEFUNCTION") return TypeTest(id, "'TF','IF'");
    if (p == "ISINLINEFUNCTION") return TypeTest(id, "'IF'");
    if (p == "ISPRIMARYKEY") return TypeTest(id, "'PK'");
    if (p == "ISFOREIGNKEY") return TypeTest(id, "'F'");
    if (p == "ISCHECKCNST") return TypeTest(id, "'C'");
    if (p == "ISDEFAULTCNST") return TypeTest(id, "'D'");
    if (p == "ISUNIQUECNST") return TypeTest(id, "'UQ'");
    if (p == "ISCONSTRAINT") return TypeTest(id, "'PK','UQ','F','C','D'");
    if (p == "CNSTISDELETECASCADE") return "(SELECT del_cascade FROM fks WHERE constid = " + id + ")";
    if (p == "CNSTISUPDATECASCADE") return "(SELECT upd_cascade FROM fks WHERE constid = " + id + ")";
    if (p == "CNSTISNOTREPL") return "(SELECT not_repl FROM cons WHERE constid = " + id + " AND kind IN (3,4))";
    if (p == "CNSTISDISABLED") return "(SELECT disabled FROM cons WHERE constid = " + id + " AND kind IN (3,4))";
    if (p == "CNSTISCOLUMN") return "(SELECT CASE WHEN colid > 0 THEN 1 ELSE 0 END FROM cons WHERE constid = " + id + ")";
    if (p == "EXECISTRIGGERDISABLED") return "(SELECT disabled FROM objects WHERE id = " + id + " AND xtype = 'TR')";
    if (p == "ISSCHEMABOUND") return "(SELECT schemabound FROM objects WHERE id = " + id + ")";
    if (p == "ISENCRYPTED") return "(SELECT encrypted FROM objects WHERE id = " + id + ")";
    if (p == "OWNERID" || p == "SCHEMAID") return "(SELECT uid FROM objects WHERE id = " + id + ")";
    if (p == "TABLEHASIDENTITY")
      return "(SELECT EXISTS (SELECT 1 FROM columns zr_c WHERE zr_c.obj_id = zr_o.id AND zr_c.is_identity = 1) FROM objects zr_o WHERE zr_o.id = " + id + " AND zr_o.xtype = 'U')";
    if (p == "TABLEHASPRIMARYKEY")
      return "(SELECT EXISTS (SELECT 1 FROM objects zr_k WHERE zr_k.parent_obj = zr_o.id AND zr_k.xtype = 'PK') FROM objects zr_o WHERE zr_o.id = " + id + " AND zr_o.xtype = 'U')";
    return "NULL";
  }

  std::string ColumnProperty(const Expr& f) {
    NeedArgs(f, 3, 3);
    std::string id = Arg(*f.args[0]), col = Arg(*f.args[1]);
    std::string p = PropLiteral(f, 2);
    std::string what;
    if (p == "ISROWGUIDCOL") what = "is_rowguid";
    else if (p == "ISIDENTITY") what = "is_identity";
    else if (p == "ALLOWSNULL") what = "nullable";
    else if (p == "ISCOMPUTED") what = "CASE WHEN computed IS NULL THEN 0 ELSE 1 END";
    else if (p == "PRECISION") what = "prec";
    else if (p == "SCALE") what = "scale";
    else if (p == "COLUMNID") what = "colid";
    else if (p == "CHARMAXLEN") what = "max_length";
    else return "NULL";
    return "(SELECT " + what + " FROM columns WHERE obj_id = " + id + " AND name = " + col + ")";
  }

  std::string IndexProperty(const Expr& f) {
    NeedArgs(f, 3, 3);
    std::string id = Arg(*f.args[0]), ind = Arg(*f.args[1]);
    std::string p = PropLiteral(f, 2);
    std::string what;
    if (p == "ISUNIQUE") what = "is_unique";
    else if (p == "ISCLUSTERED") what = "is_clustered";
    else if (p == "ISSTATISTICS") what = "is_stat";
    else if (p == "ISAUTOSTATISTICS" || p == "ISHYPOTHETICAL" || p == "ISDISABLED" || p == "ISPADINDEX") what = "0";
    else if (p == "INDEXID") what = "indid";
    else return "NULL";
    return "(SELECT " + what + " FROM indexes WHERE obj_id = " + id + " AND name = " + ind + " AND indid > 0)";
  }

  std::string IndexKeyProperty(const Expr& f) {
    NeedArgs(f, 4, 4);
    std::string id = Arg(*f.args[0]), ind = Arg(*f.args[1]), key = Arg(*f.args[2]);
    std::string p = PropLiteral(f, 3);
    std::string what;
    if (p == "ISDESCENDING") what = "is_desc";
    else if (p == "COLUMNID") what = "colid";
    else return "NULL";
    return "(SELECT " + what + " FROM index_columns WHERE obj_id = " + id + " AND indid = " + ind +
           " AND key_ordinal = " + key + " AND is_included = 0)";
  }

  std::string Ident(const Expr& f, const char* what) {
    NeedArgs(f, 1, 1);
    return std::string("(SELECT zr_c.") + what +
           " FROM objects zr_o JOIN columns zr_c ON zr_c.obj_id = zr_o.id AND zr_c.is_identity = 1 WHERE zr_o.name = tsql_objname" +
           Arg(*f.args[0]) + " AND zr_o.xtype = 'U')";
  }

  std::string Func(const Expr& f) {
    const std::string& n = f.text;
    if (f.parts.size() > 1) ThrowUnsupported("user-defined function " + JoinName(f.parts));
    auto all = [&](const char* name) {
      std::string r = std::string(name) + "(";
      for (std::size_t i = 0; i < f.args.size(); ++i) r += (i ? ", " : "") + E(*f.args[i]);
      return r + ")";
    };
    if (n == "OBJECTPROPERTY") return ObjectProperty(f);
    if (n == "COLUMNPROPERTY") return ColumnProperty(f);
    if (n == "INDEXPROPERTY") return IndexProperty(f);
    if (n == "INDEXKEY_PROPERTY") return IndexKeyProperty(f);
    if (n == "IDENT_SEED") return Ident(f, "seed");
    if (n == "IDENT_INCR") return Ident(f, "incr");
    if (n == "IDENT_CURRENT") {
      NeedArgs(f, 1, 1);
      return "(SELECT ident_cur FROM objects WHERE name = tsql_objname" + Arg(*f.args[0]) + " AND xtype = 'U')";
    }
    if (n == "COL_NAME") {
      NeedArgs(f, 2, 2);
      return "(SELECT name FROM columns WHERE obj_id = " + Arg(*f.args[0]) + " AND colid = " + Arg(*f.args[1]) + ")";
    }
    if (n == "COL_LENGTH") {
      NeedArgs(f, 2, 2);
      return "(SELECT zr_c.max_length FROM objects zr_o JOIN columns zr_c ON zr_c.obj_id = zr_o.id WHERE zr_o.name = tsql_objname" +
             Arg(*f.args[0]) + " AND zr_c.name = " + Arg(*f.args[1]) + ")";
    }
    if (n == "OBJECT_ID") {
      NeedArgs(f, 1, 2);
      return "(SELECT id FROM objects WHERE name = tsql_objname" + Arg(*f.args[0]) + " ORDER BY id LIMIT 1)";
    }
    if (n == "OBJECT_NAME") {
      NeedArgs(f, 1, 2);
      return "(SELECT name FROM objects WHERE id = " + Arg(*f.args[0]) + ")";
    }
    if (n == "USER_NAME") {
      if (f.args.empty()) return "'dbo'";
      return "(SELECT name FROM principals WHERE uid = " + Arg(*f.args[0]) + ")";
    }
    if (n == "USER_ID") {
      if (f.args.empty()) return "1";
      return "(SELECT uid FROM principals WHERE name = " + Arg(*f.args[0]) + ")";
    }
    if (n == "SCHEMA_NAME") return f.args.empty() ? "'dbo'" : "(CASE " + Arg(*f.args[0]) + " WHEN 1 THEN 'dbo' WHEN 4 THEN 'sys' WHEN 3 THEN 'INFORMATION_SCHEMA' END)";
    if (n == "SCHEMA_ID") return "1";
    if (n == "DB_NAME") return "tsql_db_name()";
    if (n == "DB_ID") return "(SELECT database_id FROM srv_databases WHERE name = tsql_db_name())";
    if (n == "SUSER_SNAME" || n == "SUSER_NAME" || n == "SYSTEM_USER") return Lit(eng.loginName);
    if (n == "HOST_NAME") return "'SIM'";
    if (n == "APP_NAME") return "'sim'";
    if (n == "SERVERPROPERTY") {
      NeedArgs(f, 1, 1);
      return "tsql_serverproperty(" + E(*f.args[0]) + ")";
    }
    if (n == "ISNULL") {
      NeedArgs(f, 2, 2);
      return all("ifnull");
    }
    if (n == "COALESCE") return all("coalesce");
    if (n == "NULLIF") return all("nullif");
    if (n == "GETDATE" || n == "CURRENT_TIMESTAMP" || n == "SYSDATETIME" || n == "GETUTCDATE") return "tsql_getdate()";
    if (n == "ROUND") {
      NeedArgs(f, 2, 3);
      return all("tsql_round");
    }
    if (n == "CHARINDEX") {
      NeedArgs(f, 2, 3);
      return all("tsql_charindex");
    }
    if (n == "SUBSTRING") {
      NeedArgs(f, 3, 3);
      return all("tsql_substring");
    }
    if (n == "LEFT") return all("tsql_left");
    if (n == "RIGHT") return all("tsql_right");
    if (n == "LEN") return all("tsql_len");
    if (n == "DATALENGTH") return all("tsql_datalength");
    if (n == "UPPER") return all("tsql_upper");
    if (n == "LOWER") return all("tsql_lower");
    if (n == "LTRIM") return "ltrim(" + E(*f.args.at(0)) + ", ' ')";
    if (n == "RTRIM") return "rtrim(" + E(*f.args.at(0)) + ", ' ')";
    if (n == "REPLACE") return all("replace");
    if (n == "ABS") return all("abs");
    if (n == "FLOOR") return all("tsql_floor");
    if (n == "CEILING") return all("tsql_ceiling");
    if (n == "NEWID") return "tsql_newid()";
    if (n == "REPLICATE") return all("tsql_replicate");
    if (n == "SPACE") return "tsql_replicate(' ', " + E(*f.args.at(0)) + ")";
    if (n == "DATEADD" || n == "DATEDIFF" || n == "DATEPART") {
      NeedArgs(f, n == "DATEPART" ? 2 : 3, n == "DATEPART" ? 2 : 3);
      const Expr& p = *f.args[0];
      std::string part = p.kind == Expr::Column && p.parts.size() == 1 ? DatePartName(p.parts[0]) : "";
      if (part.empty())
        throw SqlError(155, "'" + (p.parts.empty() ? p.text : p.parts.back()) + "' is not a recognized " + FoldCase(n) + " option.", 15);
      std::string r = "tsql_" + FoldCase(n) + "(" + Lit(part);
      for (std::size_t i = 1; i < f.args.size(); ++i) r += ", " + E(*f.args[i]);
      return r + ")";
    }
    if (n == "SCOPE_IDENTITY") return eng.lastIdentity ? std::to_string(*eng.lastIdentity) : "NULL";
    if (n == "ISNUMERIC") {
      NeedArgs(f, 1, 1);
      return all("tsql_isnumeric");
    }
    if (n == "YEAR") return all("tsql_year");
    if (n == "MONTH") return all("tsql_month");
    if (n == "DAY") return all("tsql_day");
    if (n == "COUNT" || n == "SUM" || n == "MIN" || n == "MAX" || n == "AVG") {
      if (f.args.size() == 1 && f.args[0]->kind == Expr::Star) return n + "(*)";
      return all(n.c_str());
    }
    throw SqlError(195, "'" + f.parts.back() + "' is not a recognized built-in function name.", 15);
  }

  // The type an expression is known to have ("" when unknown): a column of
  // a table in scope, a cast, GETDATE().
  std::string SourceType(const Expr& e) {
    const Expr& u = Unparen(e);
    if (u.kind == Expr::Cast) {
      const TypeInfo* ti = FindType(u.type.name);
      return ti ? ti->name : "";
    }
    if (u.kind == Expr::Func)
      return u.text == "GETDATE" || u.text == "CURRENT_TIMESTAMP" || u.text == "GETUTCDATE" || u.text == "SYSDATETIME" || u.text == "DATEADD"
                 ? "datetime" : "";
    if (u.kind != Expr::Column) return "";
    std::string col = u.parts.back(), q = u.parts.size() > 1 ? FoldCase(u.parts[u.parts.size() - 2]) : "";
    for (auto level = tables.rbegin(); level != tables.rend(); ++level)
      for (auto& [alias, id] : *level)
        if (q.empty() || q == alias)
          if (auto c = d.Column(id, col)) return c->type.name;
    return "";
  }

  // The user tables a SELECT level reads, by alias.
  void CollectTables(const TableRef& t, std::vector<std::pair<std::string, std::int64_t>>* out) {
    if (t.kind == TableRef::Join) {
      CollectTables(*t.left, out);
      CollectTables(*t.right, out);
    } else if (t.kind == TableRef::Named) {
      if (auto o = d.Resolve(t.name); o && o->xtype == "U")
        out->emplace_back(FoldCase(t.alias.empty() ? t.name.back() : t.alias), o->id);
    }
  }

  std::string Cast(const Expr& c) {
    TypeSpec ts = c.type;
    const TypeInfo* ti = FindType(ts.name);
    if (ti && (ti->cls == TypeClass::Char || ti->cls == TypeClass::Binary) && !ts.hasLength) {
      ts.hasLength = true;
      ts.length = 30;
    }
    ColType t = ResolveType(ts);
    std::string r = "tsql_cast(" + E(*c.args[0]) + ", '" + t.name + "', " + std::to_string(t.maxLength) + ", " +
                    std::to_string(t.prec) + ", " + std::to_string(t.scale);
    // Dates are kept as text and money as a number: CONVERT needs to be
    // told what it converts from, and with which style.
    std::string from = SourceType(*c.args[0]);
    const TypeInfo* fi = from.empty() ? nullptr : FindType(from);
    if (fi && fi->cls != TypeClass::Date && fi->cls != TypeClass::Money) from.clear();
    if (c.args.size() > 1 || !from.empty())
      r += ", " + (c.args.size() > 1 ? E(*c.args[1]) : std::string("NULL")) + ", " + Lit(from);
    return r + ")";
  }

  std::string SysVar(const std::string& v) {
    if (v == "@@VERSION") return "tsql_version()";
    if (v == "@@FETCH_STATUS") return std::to_string(eng.fetchStatus);
    if (v == "@@ROWCOUNT") return std::to_string(eng.rowCount);
    if (v == "@@IDENTITY" || v == "@@SCOPE_IDENTITY")
      return eng.lastIdentity ? std::to_string(*eng.lastIdentity) : "NULL";
    if (v == "@@ERROR") return "0";
    if (v == "@@TRANCOUNT") return std::to_string(eng.tranCount);
    if (v == "@@SERVERNAME" || v == "@@SERVICENAME") return "'SIM'";
    if (v == "@@SPID") return "51";
    if (v == "@@LANGUAGE") return Lit(eng.language);
    throw SqlError(137, "Must declare the scalar variable \"" + v + "\".", 15);
  }

  std::string E(const Expr& e) {
    switch (e.kind) {
      case Expr::Number:
        if (e.text.size() > 2 && (e.text[1] == 'x' || e.text[1] == 'X')) return "X'" + e.text.substr(2) + "'";
        return e.text;
      case Expr::String: return Lit(e.text) + " COLLATE CI";
      case Expr::Null: return "NULL";
      case Expr::Column: {
        std::size_t n = e.parts.size();
        if (n == 1) {
          if (propArg > 0 && !scopes.empty() && !scopes.back().empty())
            return QuoteId(scopes.back()) + "." + QuoteId(e.parts[0]);
          return QuoteId(e.parts[0]);
        }
        return QuoteId(e.parts[n - 2]) + "." + QuoteId(e.parts[n - 1]);
      }
      case Expr::Star: return e.parts.empty() ? "*" : QuoteId(e.parts.back()) + ".*";
      case Expr::Var: {
        if (!eng.vars.count(e.text)) throw SqlError(137, "Must declare the scalar variable \"" + e.text + "\".", 15);
        return "@v_" + e.text.substr(1);
      }
      case Expr::SysVar: return SysVar(e.text);
      case Expr::Param: return "?" + std::to_string(e.param + 1);
      case Expr::Unary:
        if (e.text == "NOT") return "NOT (" + E(*e.args[0]) + ")";
        return e.text + "(" + E(*e.args[0]) + ")";
      case Expr::Binary: {
        const std::string& op = e.text;
        if (op == "+") return "tsql_add(" + E(*e.args[0]) + ", " + E(*e.args[1]) + ")";
        if (op == "^") return "tsql_xor(" + E(*e.args[0]) + ", " + E(*e.args[1]) + ")";
        return "(" + E(*e.args[0]) + " " + op + " " + E(*e.args[1]) + ")";
      }
      case Expr::Func: return Func(e);
      case Expr::Case: {
        std::string r = "CASE";
        if (e.caseOperand) r += " " + E(*e.caseOperand);
        for (std::size_t i = 0; i + 1 < e.args.size(); i += 2)
          r += " WHEN " + E(*e.args[i]) + " THEN " + E(*e.args[i + 1]);
        if (e.caseElse) r += " ELSE " + E(*e.caseElse);
        return r + " END";
      }
      case Expr::Cast: return Cast(e);
      case Expr::In: {
        std::string r = "(" + E(*e.args[0]) + (e.negated ? " NOT IN (" : " IN (");
        if (e.sub) r += SelectSql(*e.sub, nullptr, nullptr);
        for (std::size_t i = 1; i < e.args.size(); ++i) r += (i > 1 ? ", " : "") + E(*e.args[i]);
        return r + "))";
      }
      case Expr::Like: {
        std::string r = "(" + E(*e.args[0]) + (e.negated ? " NOT LIKE " : " LIKE ") + E(*e.args[1]);
        if (e.args.size() > 2) r += " ESCAPE " + E(*e.args[2]);
        return r + ")";
      }
      case Expr::Between:
        return "(" + E(*e.args[0]) + (e.negated ? " NOT BETWEEN " : " BETWEEN ") + E(*e.args[1]) + " AND " +
               E(*e.args[2]) + ")";
      case Expr::IsNull: return "(" + E(*e.args[0]) + (e.negated ? " IS NOT NULL)" : " IS NULL)");
      case Expr::Exists: return "EXISTS (" + SelectSql(*e.sub, nullptr, nullptr) + ")";
      case Expr::Subquery: return "(" + SelectSql(*e.sub, nullptr, nullptr) + ")";
      case Expr::Paren: return "(" + E(*e.args[0]) + ")";
    }
    return "NULL";
  }

  std::string Source(const TableRef& t) {
    switch (t.kind) {
      case TableRef::Join: {
        std::string r = Source(*t.left) + " " + (t.joinType == "CROSS" ? "CROSS" : t.joinType) + " JOIN " + Source(*t.right);
        if (t.on) r += " ON " + E(*t.on);
        return r;
      }
      case TableRef::Derived: {
        if (t.alias.empty()) throw SqlError(102, "Incorrect syntax near ')'.", 15);
        return "(" + SelectSql(*t.sub, nullptr, nullptr) + ") AS " + QuoteId(t.alias);
      }
      case TableRef::Named: break;
    }
    const auto& p = t.name;
    std::string last = p.back();
    std::string alias = QuoteId(t.alias.empty() ? last : t.alias);
    std::string schema = p.size() >= 2 ? FoldCase(p[p.size() - 2]) : "";
    if (p.size() >= 3 && !p[p.size() - 3].empty()) {
      Database* other = eng.Find(p[p.size() - 3]);
      if (!other) throw SqlError(911, "Database '" + p[p.size() - 3] + "' does not exist. Make sure that the name is entered correctly.");
      if (other != &d) ThrowUnsupported("a query across databases");
    }
    if (schema == "sys") {
      std::string v = FoldCase(last);
      if (SysViews().count(v)) return "sys_" + v + " AS " + alias;
      if (SysTables().count(v)) return "v_" + v + " AS " + alias;
      ThrowInvalidObject(JoinName(p));
    }
    if (schema == "information_schema") ThrowUnsupported("INFORMATION_SCHEMA views");
    if (auto o = d.Resolve(p)) {
      if (o->xtype == "U") return QuoteId(Database::DataTable(o->id)) + " AS " + alias;
      if (o->xtype == "V") {
        if (viewDepth > 16) ThrowUnsupported("views nested this deep");
        SelectP vs = d.ViewSelect(o->id);
        if (!vs) ThrowInvalidObject(JoinName(p));
        ++viewDepth;
        std::string inner = SelectSql(*vs, nullptr, nullptr);
        --viewDepth;
        return "(" + inner + ") AS " + alias;
      }
      if (o->xtype == "IF" || o->xtype == "TF") ThrowUnsupported("table-valued functions in FROM");
    }
    if (schema.empty() || schema == "dbo") {
      std::string v = FoldCase(last);
      if (SysTables().count(v)) return "v_" + v + " AS " + alias;
    }
    ThrowInvalidObject(JoinName(p));
  }

  // The select list; `names` receives each item's output name ("" for *).
  std::string Items(const Select& s, std::vector<bool>* dateCols, std::vector<bool>* anon, std::vector<std::string>* names) {
    std::string r;
    for (std::size_t i = 0; i < s.items.size(); ++i) {
      const SelectItem& it = s.items[i];
      if (i) r += ", ";
      r += E(*it.expr);
      bool isDate = false;
      if (it.expr->kind == Expr::Cast) {
        const TypeInfo* ti = FindType(it.expr->type.name);
        isDate = ti && ti->cls == TypeClass::Date;
      } else if (it.expr->kind == Expr::Func && (it.expr->text == "GETDATE" || it.expr->text == "CURRENT_TIMESTAMP" || it.expr->text == "DATEADD")) {
        isDate = true;
      }
      bool anonymous = false;
      std::string name;
      if (it.hasAlias) {
        name = it.alias;
      } else if (it.expr->kind == Expr::Column) {
        name = it.expr->parts.back();
      } else if (it.expr->kind != Expr::Star) {
        name = "__anon" + std::to_string(i);
        anonymous = true;
      }
      if (!name.empty()) r += " AS " + QuoteId(name);
      if (names) names->push_back(name);
      if (it.expr->kind != Expr::Star) {
        if (dateCols) dateCols->push_back(isDate);
        if (anon) anon->push_back(anonymous);
      }
    }
    return r;
  }

  std::string From(const Select& s) {
    std::string r;
    for (std::size_t i = 0; i < s.from.size(); ++i) r += (i ? ", " : "") + Source(*s.from[i]);
    return r;
  }

  static const Expr& Unparen(const Expr& e) { return e.kind == Expr::Paren ? Unparen(*e.args[0]) : e; }

  static void Flatten(const ExprP& e, const char* op, std::vector<ExprP>* out) {
    const Expr& u = Unparen(*e);
    if (u.kind == Expr::Binary && u.text == op) {
      Flatten(u.args[0], op, out);
      Flatten(u.args[1], op, out);
    } else {
      out->push_back(e);
    }
  }

  // Qualifiers of the column references in an expression; false when it
  // holds something that rules the rewrite out (aggregates, unqualified
  // columns, subqueries).
  static bool Qualifiers(const Expr& e, std::set<std::string>* q) {
    if (e.kind == Expr::Column) {
      if (e.parts.size() < 2) return false;
      q->insert(FoldCase(e.parts[e.parts.size() - 2]));
    }
    if (e.kind == Expr::Func && (e.text == "COUNT" || e.text == "SUM" || e.text == "MIN" || e.text == "MAX" || e.text == "AVG"))
      return false;
    if (e.sub) return false;
    for (auto& a : e.args)
      if (a && !Qualifiers(*a, q)) return false;
    if (e.caseOperand && !Qualifiers(*e.caseOperand, q)) return false;
    if (e.caseElse && !Qualifiers(*e.caseElse, q)) return false;
    return true;
  }

  static bool HasAggregate(const Expr& e) {
    if (e.kind == Expr::Func && (e.text == "COUNT" || e.text == "SUM" || e.text == "MIN" || e.text == "MAX" || e.text == "AVG"))
      return true;
    for (auto& a : e.args)
      if (a && HasAggregate(*a)) return true;
    return (e.caseOperand && HasAggregate(*e.caseOperand)) || (e.caseElse && HasAggregate(*e.caseElse));
  }

  // SQLite uses an index for an OR only when every branch is on one table.
  // A join filtered by "a.x = ? OR b.y = ?" would scan the whole join, so
  // such a query is run as one branch per alternative, each excluding the
  // rows of the branches before it, under one outer ORDER BY: the same rows
  // in the same order, each branch able to start from an index.
  bool SplitOr(const Select& s, std::vector<bool>* dateCols, std::vector<bool>* anon, std::string* out) {
    if (!s.where || s.unionNext || s.distinct || !s.groupBy.empty() || s.having || s.topPercent) return false;
    if (s.from.size() < 2 && !(s.from.size() == 1 && s.from[0]->kind == TableRef::Join)) return false;
    std::set<std::string> seen;
    for (auto& it : s.items) {
      if (it.expr->kind == Expr::Star || HasAggregate(*it.expr)) return false;
      std::string n = FoldCase(it.hasAlias ? it.alias : it.expr->kind == Expr::Column ? it.expr->parts.back() : "");
      if (!n.empty() && !seen.insert(n).second) return false;
    }
    std::vector<ExprP> conj;
    Flatten(s.where, "AND", &conj);
    std::size_t pick = conj.size();
    std::vector<ExprP> alts;
    for (std::size_t i = 0; i < conj.size() && pick == conj.size(); ++i) {
      std::vector<ExprP> d;
      Flatten(conj[i], "OR", &d);
      if (d.size() < 2 || d.size() > 4) continue;
      std::set<std::string> first;
      bool ok = Qualifiers(*d[0], &first) && !first.empty(), differ = false;
      for (std::size_t k = 1; ok && k < d.size(); ++k) {
        std::set<std::string> q;
        ok = Qualifiers(*d[k], &q) && !q.empty();
        differ = differ || q != first;
      }
      if (ok && differ) {
        pick = i;
        alts = d;
      }
    }
    if (pick == conj.size()) return false;

    std::vector<std::string> names;
    std::string items = Items(s, dateCols, anon, &names);
    std::string hidden, order;
    for (std::size_t i = 0; i < s.orderBy.size(); ++i) {
      const Expr& o = Unparen(*s.orderBy[i].first);
      std::string col;
      if (o.kind == Expr::Number) {
        std::size_t k = std::stoul(o.text);
        if (k < 1 || k > names.size()) return false;
        col = names[k - 1];
      } else if (o.kind == Expr::Column && o.parts.size() == 1) {
        for (auto& n : names)
          if (FoldCase(n) == FoldCase(o.parts[0])) col = n;
      }
      if (col.empty()) {
        col = "__order" + std::to_string(i);
        hidden += ", " + E(o) + " AS " + QuoteId(col);
      }
      order += (i ? ", " : "") + QuoteId(col) + " COLLATE CI" + (s.orderBy[i].second ? " DESC" : "");
    }
    std::string rest;
    for (std::size_t i = 0; i < conj.size(); ++i)
      if (i != pick) rest += "(" + E(*conj[i]) + ") AND ";
    std::string from = From(s), branches, before;
    for (std::size_t k = 0; k < alts.size(); ++k) {
      std::string alt = "(" + E(*alts[k]) + ")";
      branches += (k ? " UNION ALL " : "") + std::string("SELECT ") + items + hidden + " FROM " + from + " WHERE " + rest +
                  alt + before;
      before += " AND " + alt + " IS NOT TRUE";
    }
    std::string outer;
    for (auto& n : names) outer += (outer.empty() ? "" : ", ") + QuoteId(n);
    *out = "SELECT " + outer + " FROM (" + branches + ")";
    if (!order.empty()) *out += " ORDER BY " + order;
    if (s.top) *out += " LIMIT " + E(*s.top);
    return true;
  }

  std::string SelectSql(const Select& s, std::vector<bool>* dateCols, std::vector<bool>* anon) {
    std::string single;
    if (s.from.size() == 1 && s.from[0]->kind != TableRef::Join)
      single = s.from[0]->alias.empty() && s.from[0]->kind == TableRef::Named ? s.from[0]->name.back() : s.from[0]->alias;
    scopes.push_back(single);
    tables.emplace_back();
    for (auto& f : s.from) CollectTables(*f, &tables.back());
    struct Pop {
      std::vector<std::string>& v;
      std::vector<std::vector<std::pair<std::string, std::int64_t>>>& t;
      ~Pop() {
        v.pop_back();
        t.pop_back();
      }
    } pop{scopes, tables};
    std::string split;
    if (SplitOr(s, dateCols, anon, &split)) return split;
    std::string r = "SELECT ";
    if (s.distinct) r += "DISTINCT ";
    r += Items(s, dateCols, anon, nullptr);
    if (!s.from.empty()) r += " FROM " + From(s);
    if (s.where) r += " WHERE " + E(*s.where);
    if (!s.groupBy.empty()) {
      r += " GROUP BY ";
      for (std::size_t i = 0; i < s.groupBy.size(); ++i) r += (i ? ", " : "") + E(*s.groupBy[i]);
    }
    if (s.having) r += " HAVING " + E(*s.having);
    if (s.unionNext) r += (s.unionAll ? " UNION ALL " : " UNION ") + SelectSql(*s.unionNext, nullptr, nullptr);
    if (!s.orderBy.empty()) {
      r += " ORDER BY ";
      for (std::size_t i = 0; i < s.orderBy.size(); ++i)
        r += (i ? ", " : "") + E(*s.orderBy[i].first) + (s.orderBy[i].second ? " DESC" : "");
    }
    if (s.top) {
      if (s.topPercent) ThrowUnsupported("TOP ... PERCENT");
      r += " LIMIT " + E(*s.top);
    }
    return r;
  }
};

}  // namespace

std::string EmitSelect(Engine& eng, Database& d, const Select& s, std::vector<bool>* dateCols,
                       std::vector<bool>* anon) {
  Emitter em{eng, d, 0, 0, {}, {}};
  return em.SelectSql(s, dateCols, anon);
}

std::string EmitExpr(Engine& eng, Database& d, const Expr& e) {
  Emitter em{eng, d, 0, 0, {}, {}};
  return em.E(e);
}

}  // namespace sqlsim
