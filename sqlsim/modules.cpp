// Views, procedures, functions, triggers; principals, grants and system procedures.
#include <algorithm>

#include "sqlsim/compile.h"
#include "sqlsim/engine.h"

namespace sqlsim {

using V = db::Value;

void Engine::CreateModule(const Stmt& s, const std::string& text) {
  Database& d = Cur();
  const std::string& name = s.name.back();
  std::string def = text;
  if (s.alter) {
    // The stored text is the batch with its word ALTER spelled CREATE.
    def = text.substr(0, s.alterPos) + "CREATE" + text.substr(s.alterPos + 5);
  }
  std::int64_t parent = 0;
  if (s.moduleType == "TR") {
    // A trigger needs its table; on a view only INSTEAD OF triggers are allowed.
    auto t = d.Resolve(s.parent);
    if (!t || !(t->xtype == "U" || (t->xtype == "V" && s.keyword == "INSTEAD OF"))) {
      std::string written;
      for (const std::string& part : s.parent) written += (written.empty() ? "" : ".") + part;
      throw SqlError(8197, "The object '" + written + "' does not exist or is invalid for this operation.");
    }
    parent = t->id;
  }
  if (s.moduleType == "V" && !loading) {
    // A view must compile against the objects it names (a saved one is
    // taken as it is: its table may have lost a column since).
    std::string probe = EmitSelect(*this, d, *s.select, nullptr, nullptr);
    d.Prepare("SELECT * FROM (" + probe + ") LIMIT 0");
  }
  auto existing = d.Resolve(s.name);
  if (s.alter) {
    if (!existing) ThrowInvalidObject(name);
    bool fn = [](const std::string& t) { return t == "FN" || t == "TF" || t == "IF"; }(s.moduleType);
    bool same = existing->xtype == s.moduleType || (fn && (existing->xtype == "FN" || existing->xtype == "TF" || existing->xtype == "IF"));
    if (!same) throw SqlError(2010, "Cannot perform alter on '" + name + "' because it is an incompatible object type.");
  } else if (existing) {
    throw SqlError(2714, "There is already an object named '" + name + "' in the database.");
  }
  // A saved server may hold modules that no longer compile (a column dropped
  // after them); loading it takes them as they are.
  if (s.moduleType != "V" && !loading) CompileModule(*this, d, s);
  if (s.alter) {
    d.X("UPDATE objects SET xtype = ?1, parent_obj = ?2, schemabound = ?3, encrypted = ?4 WHERE id = ?5",
        {V::Str(PadType(s.moduleType)), V::Int(parent ? parent : existing->parent), V::Int(s.flag), V::Int(s.flag2), V::Int(existing->id)});
    d.X("UPDATE modules SET definition = ?1 WHERE obj_id = ?2", {V::Str(def), V::Int(existing->id)});
    StoreComments(d, existing->id, def);
    d.ForgetView(existing->id);
    return;
  }
  std::int64_t id = AddObject(d, name, s.moduleType, parent);
  d.X("UPDATE objects SET schemabound = ?1, encrypted = ?2 WHERE id = ?3", {V::Int(s.flag), V::Int(s.flag2), V::Int(id)});
  d.X("INSERT INTO modules VALUES (?1, ?2)", {V::Int(id), V::Str(def)});
  StoreComments(d, id, def);
}

void Engine::CreatePrincipal(const Stmt& s) {
  Database& d = Cur();
  if (s.kind == Stmt::CreateLogin) {
    for (const Login& l : logins)
      if (FoldCase(l.name) == FoldCase(s.name2))
        throw SqlError(15025, "The server principal '" + s.name2 + "' already exists.");
    Login l;
    l.name = s.name2;
    l.password = s.keyword;
    if (!s.names.empty()) l.defaultDatabase = s.names[0];
    logins.push_back(l);
    RefreshServerTables();
    return;
  }
  if (!d.Q("SELECT 1 FROM principals WHERE name = ?1", {V::Str(s.name2)}).empty())
    throw SqlError(15023, "User, group, or role '" + s.name2 + "' already exists in the current database.");
  bool role = s.kind == Stmt::CreateRole;
  if (!role && !s.keyword.empty()) {
    bool found = std::any_of(logins.begin(), logins.end(), [&](const Login& l) { return FoldCase(l.name) == FoldCase(s.keyword); });
    if (!found) throw SqlError(15007, "'" + s.keyword + "' is not a valid login or you do not have permission.");
  }
  std::int64_t uid = d.Q("SELECT coalesce(max(uid), 4) + 1 FROM principals WHERE uid < 16384")[0][0].AsInteger();
  d.X("INSERT INTO principals VALUES (?1, ?2, ?3, ?4, ?5, 0)",
      {V::Int(uid), V::Str(s.name2), V::Int(role), V::Int(!role), role ? V() : V::Str(s.keyword.empty() ? s.name2 : s.keyword)});
}

void Engine::Grant(const Stmt& s) {
  Database& d = Cur();
  if (s.name.empty()) {
    // Server-level permission, for example VIEW SERVER STATE.
    if (s.keyword != "VIEW SERVER STATE") ThrowUnsupported("GRANT " + s.keyword);
    if (FoldCase(current->name()) != "master")
      throw SqlError(4613, "Grantor does not have GRANT permission.");
    for (const std::string& p : s.names) {
      auto it = std::find_if(logins.begin(), logins.end(), [&](const Login& l) { return FoldCase(l.name) == FoldCase(p); });
      if (it == logins.end())
        throw SqlError(15151, "Cannot find the login '" + p + "', because it does not exist or you do not have permission.");
      it->viewServerState = true;
    }
    return;
  }
  auto o = d.Resolve(s.name);
  if (!o) throw SqlError(15151, "Cannot find the object '" + s.name.back() + "', because it does not exist or you do not have permission.");
  for (const std::string& p : s.names) {
    auto u = d.Q("SELECT uid FROM principals WHERE name = ?1", {V::Str(p)});
    if (u.empty()) throw SqlError(15151, "Cannot find the user '" + p + "', because it does not exist or you do not have permission.");
    std::string perms = s.keyword;
    std::size_t start = 0;
    while (start <= perms.size()) {
      std::size_t comma = perms.find(',', start);
      std::string one = perms.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
      if (one == "EXECUTE" && o->xtype != "P" && o->xtype != "FN")
        throw SqlError(4606, "Granted or revoked privilege EXECUTE is not compatible with object.");
      d.X("INSERT OR IGNORE INTO permissions VALUES (?1, ?2, ?3)", {V::Int(o->id), u[0][0], V::Str(one)});
      if (comma == std::string::npos) break;
      start = comma + 1;
    }
  }
}

void Engine::EnableTriggers(const Stmt& s) {
  Database& d = Cur();
  ObjInfo t = Table(s.name);
  if (s.flag2) {
    d.X("UPDATE objects SET disabled = ?1 WHERE parent_obj = ?2 AND xtype = 'TR'", {V::Int(!s.flag), V::Int(t.id)});
    return;
  }
  for (const std::string& n : s.names) {
    auto r = d.Q("SELECT id FROM objects WHERE parent_obj = ?1 AND xtype = 'TR' AND name = ?2", {V::Int(t.id), V::Str(n)});
    if (r.empty()) throw SqlError(3701, "Cannot find the object \"" + n + "\" because it does not exist or you do not have permissions.", 11);
    d.X("UPDATE objects SET disabled = ?1 WHERE id = ?2", {V::Int(!s.flag), r[0][0]});
  }
}

void Engine::SetIdentityInsert(const Stmt& s) {
  Database& d = Cur();
  ObjInfo t = Table(s.name);
  if (d.Q("SELECT 1 FROM columns WHERE obj_id = ?1 AND is_identity = 1", {V::Int(t.id)}).empty())
    throw SqlError(8106, "Table '" + t.name + "' does not have the identity property. Cannot perform SET operation.");
  if (s.flag) {
    if (identityInsert && (*identityInsert != t.id || identityInsertDb != &d)) {
      auto other = identityInsertDb ? identityInsertDb->ObjectById(*identityInsert) : std::nullopt;
      throw SqlError(8107, "IDENTITY_INSERT is already ON for table '" + (other ? other->name : std::string()) +
                               "'. Cannot perform SET operation for table '" + t.name + "'.");
    }
    identityInsert = t.id;
    identityInsertDb = &d;
  } else if (identityInsert && *identityInsert == t.id) {
    identityInsert.reset();
    identityInsertDb = nullptr;
  }
}

// --- system procedures ---

static std::vector<std::string> HelpTextRows(const std::string& def) {
  std::vector<std::string> rows;
  std::string cur;
  std::size_t chars = 0;
  auto flush = [&]() {
    rows.push_back(cur);
    cur.clear();
    chars = 0;
  };
  for (std::size_t i = 0; i < def.size(); ++i) {
    unsigned char c = def[i];
    bool lead = (c & 0xC0) != 0x80;
    if (lead && chars == 255) flush();
    cur += char(c);
    if (lead) ++chars;
    if (c == '\n') flush();
  }
  if (!cur.empty()) flush();
  return rows;
}

db::ResultSet Engine::ExecProc(const Stmt& s, bool* hasRows) {
  Database& d = Cur();
  std::string proc = FoldCase(s.name.back());
  std::vector<db::Value> args;
  for (const ExprP& e : s.exprs) args.push_back(e && e->kind != Expr::Null ? Eval(e) : db::Value());
  auto named = [&](const std::string& n, std::size_t pos) -> db::Value {
    for (std::size_t i = 0; i < s.names.size(); ++i)
      if (FoldCase(s.names[i]) == FoldCase(n)) return args[i];
    if (pos < args.size() && s.names[pos].empty()) return args[pos];
    return db::Value();
  };
  db::ResultSet rs;
  if (proc == "sp_helptext") {
    std::string objname = named("@objname", 0).AsString();
    // [db].[schema].[name] into its parts, brackets removed.
    std::vector<std::string> parts;
    std::string curp;
    bool br = false;
    for (char c : objname) {
      if (c == '[' && !br) br = true;
      else if (c == ']' && br) br = false;
      else if (c == '.' && !br) {
        parts.push_back(curp);
        curp.clear();
      } else curp += c;
    }
    parts.push_back(curp);
    auto o = d.Resolve(parts);
    if (!o)
      throw SqlError(15009, "The object '" + objname + "' does not exist in database '" + d.name() + "' or is invalid for this operation.");
    if (!d.Q("SELECT 1 FROM objects WHERE id = ?1 AND encrypted = 1", {V::Int(o->id)}).empty()) {
      // Information only, and no rows.
      infoMessages.push_back({15471, 10, "The text for object '" + objname + "' is encrypted."});
      *hasRows = false;
      return rs;
    }
    auto m = d.Q("SELECT definition FROM modules WHERE obj_id = ?1", {V::Int(o->id)});
    std::string def;
    if (!m.empty()) def = m[0][0].AsString();
    else if (o->xtype == "C" || o->xtype == "D") def = d.Q("SELECT definition FROM cons WHERE constid = ?1", {V::Int(o->id)})[0][0].AsString();
    else throw SqlError(15197, "There is no text for object '" + objname + "'.");
    rs.columns = {"Text"};
    for (const std::string& r : HelpTextRows(def)) rs.rows.push_back({V::Str(r)});
    *hasRows = true;
    return rs;
  }
  if (proc == "sp_server_info") {
    char ver[32];
    std::snprintf(ver, sizeof ver, "%02d.00.%s", majorVersion, majorVersion <= 8 ? "2039" : majorVersion == 9 ? "1399" : "2000");
    rs.columns = {"attribute_id", "attribute_name", "attribute_value"};
    std::vector<std::tuple<int, std::string, std::string>> a = {
        {1, "DBMS_NAME", "Microsoft SQL Server"},
        {2, "DBMS_VER", std::string("Microsoft SQL Server ") + ver},
        {10, "OWNER_TERM", "owner"},
        {11, "TABLE_TERM", "table"},
        {12, "MAX_OWNER_NAME_LENGTH", "128"},
        {16, "IDENTIFIER_CASE", "MIXED"},
        {18, "COLLATION_SEQ", "charset=cp1250 collation=" + d.collation()},
        {500, "SYS_SPROC_VERSION", ver}};
    for (auto& [id, n, v] : a) rs.rows.push_back({V::Int(id), V::Str(n), V::Str(v)});
    *hasRows = true;
    return rs;
  }
  if (proc == "sp_addrolemember") {
    std::string role = named("@rolename", 0).AsString(), member = named("@membername", 1).AsString();
    auto r = d.Q("SELECT uid FROM principals WHERE name = ?1 AND issqlrole = 1", {V::Str(role)});
    auto m = d.Q("SELECT uid FROM principals WHERE name = ?1", {V::Str(member)});
    if (r.empty() || m.empty())
      throw SqlError(15410, "User or role '" + (r.empty() ? role : member) + "' does not exist in this database.");
    if (r[0][0].AsInteger() == 0) throw SqlError(15405, "Cannot use the reserved user or role name 'public'.");
    d.X("INSERT OR IGNORE INTO role_members VALUES (?1, ?2)", {r[0][0], m[0][0]});
    return rs;
  }
  if (proc == "sp_droprolemember") {
    std::string role = named("@rolename", 0).AsString(), member = named("@membername", 1).AsString();
    d.X("DELETE FROM role_members WHERE role_uid = (SELECT uid FROM principals WHERE name = ?1) AND member_uid = (SELECT uid FROM principals WHERE name = ?2)",
        {V::Str(role), V::Str(member)});
    return rs;
  }
  if (proc == "sp_msforeachtable") {
    std::string cmd = named("@command1", 0).AsString();
    auto tables = d.Q("SELECT name FROM objects WHERE xtype = 'U' AND is_ms_shipped = 0 ORDER BY name");
    for (auto& t : tables) {
      std::string one, q = "[dbo].[" + t[0].AsString() + "]";
      for (char c : cmd) {
        if (c == '?') one += q;
        else one += c;
      }
      Batch b = ParseBatch(one, quotedIdentifier);
      db::ResultSet ignored;
      bool have = true;
      RunStatements(b.stmts, one, &ignored, &have);
    }
    return rs;
  }
  if (proc == "sp_addextendedproperty" || proc == "sp_dropextendedproperty") {
    std::string pname = named("@name", 0).AsString();
    bool add = proc == "sp_addextendedproperty";
    db::Value value = add ? named("@value", 1) : db::Value();
    std::size_t base = add ? 2 : 1;
    std::string l0t = Upper(named("@level0type", base).AsString()), l1t = Upper(named("@level1type", base + 2).AsString()),
                l2t = Upper(named("@level2type", base + 4).AsString());
    std::string l1n = named("@level1name", base + 3).AsString(), l2n = named("@level2name", base + 5).AsString();
    int cls = 0;
    std::int64_t major = 0, minor = 0;
    if (!l0t.empty()) {
      if (l0t != "SCHEMA" && l0t != "USER") ThrowUnsupported("extended property on " + l0t);
      cls = 3;
      major = 1;
      if (!l1t.empty()) {
        auto o = d.FindObject(l1n);
        if (!o) throw SqlError(15135, "Object is invalid. Extended properties are not permitted on 'dbo." + l1n + "', or the object does not exist.");
        cls = 1;
        major = o->id;
        if (!l2t.empty()) {
          if (l2t == "COLUMN") {
            auto c = d.Column(o->id, l2n);
            if (!c) throw SqlError(15135, "Object is invalid. Extended properties are not permitted on 'dbo." + l1n + "." + l2n + "', or the object does not exist.");
            minor = c->colid;
          } else if (l2t == "INDEX" || l2t == "CONSTRAINT") {
            auto r = d.Q("SELECT indid FROM indexes WHERE obj_id = ?1 AND name = ?2", {V::Int(o->id), V::Str(l2n)});
            if (l2t == "INDEX") {
              if (r.empty()) throw SqlError(15135, "Object is invalid. Extended properties are not permitted on 'dbo." + l1n + "." + l2n + "', or the object does not exist.");
              cls = 7;
              minor = r[0][0].AsInteger();
            } else {
              auto k = d.FindObject(l2n);
              if (!k) throw SqlError(15135, "Object is invalid.");
              major = k->id;
            }
          } else {
            ThrowUnsupported("extended property on " + l2t);
          }
        }
      }
    }
    if (add) {
      if (!d.Q("SELECT 1 FROM extprops WHERE class = ?1 AND major_id = ?2 AND minor_id = ?3 AND name = ?4",
               {V::Int(cls), V::Int(major), V::Int(minor), V::Str(pname)}).empty())
        throw SqlError(15233, "Property cannot be added. Property '" + pname + "' already exists for 'dbo." + l1n + "'.");
      d.X("INSERT INTO extprops VALUES (?1, ?2, ?3, ?4, ?5)", {V::Int(cls), V::Int(major), V::Int(minor), V::Str(pname), value});
    } else {
      d.X("DELETE FROM extprops WHERE class = ?1 AND major_id = ?2 AND minor_id = ?3 AND name = ?4",
          {V::Int(cls), V::Int(major), V::Int(minor), V::Str(pname)});
    }
    return rs;
  }
  if (proc == "sp_rename") ThrowUnsupported("sp_rename");
  auto o = d.Resolve(s.name);
  if (o && o->xtype == "P") ThrowUnsupported("running user procedure " + o->name);
  throw SqlError(2812, "Could not find stored procedure '" + s.name.back() + "'.");
}

}  // namespace sqlsim
