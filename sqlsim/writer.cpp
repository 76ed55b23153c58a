// The canonical script of a server: deterministic, objects in name order.
#include <algorithm>
#include <cstdio>
#include <set>

#include "sqlsim/engine.h"
#include "sqlsim/server.h"

namespace sqlsim {

using V = db::Value;

namespace {
std::string B(const std::string& n) {
  std::string r = "[";
  for (char c : n) {
    if (c == ']') r += ']';
    r += c;
  }
  return r + "]";
}
std::string N(const std::string& s) {
  std::string r = "N'";
  for (char c : s) {
    if (c == '\'') r += '\'';
    r += c;
  }
  return r + "'";
}
std::string ValueSql(const V& v, const ColInfo& c) {
  switch (v.kind()) {
    case V::Kind::Null: return "NULL";
    case V::Kind::Integer: return std::to_string(v.AsInteger());
    case V::Kind::Float: {
      char b[64];
      std::snprintf(b, sizeof b, "%.17g", v.AsFloat());
      return b;
    }
    case V::Kind::DateTime: {
      db::DateTime d = v.AsDateTime();
      char b[40];
      std::snprintf(b, sizeof b, "'%04d%02d%02d %02d:%02d:%02d'", d.year, d.month, d.day, d.hour, d.minute, d.second);
      return b;
    }
    case V::Kind::Text: {
      if (c.type.info && c.type.info->cls == TypeClass::Date) {
        db::DateTime d;
        if (ParseDateText(v.AsString(), false, &d)) return ValueSql(V::Date(d), c);
      }
      return N(v.AsString());
    }
  }
  return "NULL";
}
std::string StripOuter(const std::string& s) {
  if (s.size() >= 2 && s.front() == '(' && s.back() == ')') return s.substr(1, s.size() - 2);
  return s;
}
std::string ColumnSql(const ColInfo& c, const std::string& dbColl) {
  std::string r = B(c.name) + " " + c.type.Sql();
  if (!c.collation.empty() && FoldCase(c.collation) != FoldCase(dbColl)) r += " COLLATE " + c.collation;
  if (c.identity) r += " IDENTITY(" + std::to_string(c.seed) + ", " + std::to_string(c.incr) + ")";
  if (c.rowguid) r += " ROWGUIDCOL";
  r += c.nullable ? " NULL" : " NOT NULL";
  return r;
}
}  // namespace

static void WriteDatabase(Engine& eng, Database& d, std::string& o) {
  const char* NL = "\r\n";
  o += "CREATE DATABASE " + B(d.name());
  if (FoldCase(d.collation()) != FoldCase(eng.defaultCollation)) o += " COLLATE " + d.collation();
  o += std::string(NL) + "GO" + NL + "USE " + B(d.name()) + NL + "GO" + NL;
  for (auto& r : d.Q("SELECT name, issqlrole, login FROM principals WHERE fixed = 0 ORDER BY issqlrole DESC, name")) {
    if (r[1].AsInteger()) o += "CREATE ROLE " + B(r[0].AsString()) + NL;
    else o += "CREATE USER " + B(r[0].AsString()) + " FOR LOGIN " + B(r[2].AsString()) + NL;
  }
  for (auto& r : d.Q("SELECT rp.name, mp.name FROM role_members m JOIN principals rp ON rp.uid = m.role_uid"
                     " JOIN principals mp ON mp.uid = m.member_uid ORDER BY rp.name, mp.name"))
    o += "EXEC sp_addrolemember " + N(r[0].AsString()) + ", " + N(r[1].AsString()) + NL;
  o += std::string("GO") + NL;
  auto tables = d.Q("SELECT id, name FROM objects WHERE xtype = 'U' AND is_ms_shipped = 0 ORDER BY name");
  for (auto& t : tables) {
    std::int64_t id = t[0].AsInteger();
    auto cols = d.Columns(id);
    o += "CREATE TABLE " + B(t[1].AsString()) + " (";
    for (std::size_t i = 0; i < cols.size(); ++i) o += std::string(i ? "," : "") + NL + "  " + ColumnSql(cols[i], d.collation());
    o += std::string(NL) + ")" + NL + "GO" + NL;
  }
  auto keyList = [&](std::int64_t id, std::int64_t indid, int included, bool directions = true) {
    std::string r;
    for (auto& c : d.Q("SELECT c.name, ic.is_desc FROM index_columns ic JOIN columns c ON c.obj_id = ic.obj_id AND c.colid = ic.colid"
                       " WHERE ic.obj_id = ?1 AND ic.indid = ?2 AND ic.is_included = ?3 ORDER BY ic.index_column_id",
                       {V::Int(id), V::Int(indid), V::Int(included)}))
      r += (r.empty() ? "" : ", ") + B(c[0].AsString()) + (included || !directions ? "" : (c[1].AsInteger() ? " DESC" : " ASC"));
    return r;
  };
  for (auto& t : tables) {
    std::int64_t id = t[0].AsInteger();
    std::string tn = B(t[1].AsString());
    for (auto& k : d.Q("SELECT o.name, i.indid, i.is_pk, i.is_clustered, g.groupname FROM indexes i JOIN objects o ON o.parent_obj = i.obj_id AND o.name = i.name"
                       " AND o.xtype IN ('PK','UQ') JOIN filegroups g ON g.groupid = i.groupid WHERE i.obj_id = ?1 ORDER BY o.name", {V::Int(id)}))
      o += "ALTER TABLE " + tn + " ADD CONSTRAINT " + B(k[0].AsString()) + (k[2].AsInteger() ? " PRIMARY KEY" : " UNIQUE") +
           (k[3].AsInteger() ? " CLUSTERED" : " NONCLUSTERED") + " (" + keyList(id, k[1].AsInteger(), 0) + ") ON " + B(k[4].AsString()) + NL;
    for (auto& k : d.Q("SELECT o.name, k.definition, c.name FROM cons k JOIN objects o ON o.id = k.constid"
                       " LEFT JOIN columns c ON c.obj_id = k.tbl AND c.colid = k.colid WHERE k.tbl = ?1 AND k.kind = 5 ORDER BY o.name", {V::Int(id)}))
      o += "ALTER TABLE " + tn + " ADD CONSTRAINT " + B(k[0].AsString()) + " DEFAULT " + StripOuter(k[1].AsString()) + " FOR " + B(k[2].AsString()) + NL;
    for (auto& k : d.Q("SELECT i.name, i.indid, i.is_unique, i.is_clustered, g.groupname, i.is_stat FROM indexes i JOIN filegroups g ON g.groupid = i.groupid"
                       " WHERE i.obj_id = ?1 AND i.indid > 0 AND i.is_pk = 0 AND i.is_uq = 0 ORDER BY i.name", {V::Int(id)})) {
      if (k[5].AsInteger()) {
        o += "CREATE STATISTICS " + B(k[0].AsString()) + " ON " + tn + " (" + keyList(id, k[1].AsInteger(), 0, false) + ")" + NL;
        continue;
      }
      o += std::string("CREATE ") + (k[2].AsInteger() ? "UNIQUE " : "") + (k[3].AsInteger() ? "CLUSTERED" : "NONCLUSTERED") + " INDEX " +
           B(k[0].AsString()) + " ON " + tn + " (" + keyList(id, k[1].AsInteger(), 0) + ")";
      std::string inc = keyList(id, k[1].AsInteger(), 1);
      if (!inc.empty()) o += " INCLUDE (" + inc + ")";
      o += " ON " + B(k[4].AsString()) + NL;
    }
    o += std::string("GO") + NL;
  }
  for (auto& t : tables) {
    std::int64_t id = t[0].AsInteger();
    auto cols = d.Columns(id);
    std::string list, sel, order;
    bool ident = false;
    std::vector<ColInfo> used;
    for (auto& c : cols) {
      if (c.type.name == "timestamp") continue;
      used.push_back(c);
      ident = ident || c.identity;
      list += (list.empty() ? "" : ", ") + B(c.name);
      sel += (sel.empty() ? "" : ", ") + QuoteId(c.name);
    }
    for (std::size_t i = 1; i <= used.size(); ++i) order += (i > 1 ? ", " : "") + std::to_string(i);
    auto rows = d.Q("SELECT " + sel + " FROM " + QuoteId(Database::DataTable(id)) + " ORDER BY " + order);
    if (rows.empty()) continue;
    std::string tn = B(t[1].AsString());
    if (ident) o += "SET IDENTITY_INSERT " + tn + " ON" + NL;
    for (auto& r : rows) {
      o += "INSERT INTO " + tn + " (" + list + ") VALUES (";
      for (std::size_t i = 0; i < r.size(); ++i) o += (i ? ", " : "") + ValueSql(r[i], used[i]);
      o += std::string(")") + NL;
    }
    if (ident) o += "SET IDENTITY_INSERT " + tn + " OFF" + NL;
    o += std::string("GO") + NL;
  }
  // Checks and foreign keys after the rows, so that the rows a real server
  // loads are not checked against them (they hold what the database held).
  for (auto& t : tables) {
    std::int64_t id = t[0].AsInteger();
    std::string tn = B(t[1].AsString());
    for (auto& k : d.Q("SELECT o.name, k.definition, k.disabled FROM cons k JOIN objects o ON o.id = k.constid"
                       " WHERE k.tbl = ?1 AND k.kind = 4 ORDER BY o.name", {V::Int(id)})) {
      o += "ALTER TABLE " + tn + " WITH NOCHECK ADD CONSTRAINT " + B(k[0].AsString()) + " CHECK " + k[1].AsString() + NL;
      if (k[2].AsInteger()) o += "ALTER TABLE " + tn + " NOCHECK CONSTRAINT " + B(k[0].AsString()) + NL;
    }
    for (auto& f : d.Q("SELECT o.name, f.constid, r.name, f.del_cascade, f.upd_cascade, k.not_repl, k.disabled FROM fks f"
                       " JOIN objects o ON o.id = f.constid JOIN objects r ON r.id = f.rkeyid JOIN cons k ON k.constid = f.constid"
                       " WHERE f.fkeyid = ?1 ORDER BY o.name", {V::Int(id)})) {
      std::string fc, rc;
      for (auto& p : d.Q("SELECT a.name, b.name FROM fk_cols k JOIN fks f ON f.constid = k.constid JOIN columns a ON a.obj_id = f.fkeyid AND a.colid = k.fkey"
                         " JOIN columns b ON b.obj_id = f.rkeyid AND b.colid = k.rkey WHERE k.constid = ?1 ORDER BY k.keyno", {f[1]})) {
        fc += (fc.empty() ? "" : ", ") + B(p[0].AsString());
        rc += (rc.empty() ? "" : ", ") + B(p[1].AsString());
      }
      o += "ALTER TABLE " + tn + " WITH NOCHECK ADD CONSTRAINT " + B(f[0].AsString()) + " FOREIGN KEY (" + fc + ") REFERENCES " +
           B(f[2].AsString()) + " (" + rc + ")" + (f[3].AsInteger() ? " ON DELETE CASCADE" : "") +
           (f[4].AsInteger() ? " ON UPDATE CASCADE" : "") + (f[5].AsInteger() ? " NOT FOR REPLICATION" : "") + NL;
      if (f[6].AsInteger()) o += "ALTER TABLE " + tn + " NOCHECK CONSTRAINT " + B(f[0].AsString()) + NL;
    }
  }
  o += std::string("GO") + NL;
  // Modules: functions, views (after the views they name), procedures, triggers.
  auto mods = d.Q("SELECT o.id, o.name, o.xtype, m.definition, o.disabled, p.name FROM objects o JOIN modules m ON m.obj_id = o.id"
                  " LEFT JOIN objects p ON p.id = o.parent_obj ORDER BY CASE trim(o.xtype) WHEN 'FN' THEN 1 WHEN 'IF' THEN 1 WHEN 'TF' THEN 1"
                  " WHEN 'V' THEN 2 WHEN 'P' THEN 3 ELSE 4 END, o.name");
  std::vector<bool> done(mods.size(), false);
  std::set<std::string> pendingViews;
  for (auto& m : mods)
    if (TrimType(m[2].AsString()) == "V") pendingViews.insert(FoldCase(m[1].AsString()));
  for (std::size_t pass = 0; pass <= mods.size(); ++pass) {
    for (std::size_t i = 0; i < mods.size(); ++i) {
      if (done[i]) continue;
      std::string x = TrimType(mods[i][2].AsString());
      if (x == "V" && pass < mods.size()) {
        std::string text = FoldCase(mods[i][3].AsString());
        bool blocked = false;
        for (const std::string& v : pendingViews)
          if (v != FoldCase(mods[i][1].AsString()) && text.find(v) != std::string::npos) blocked = true;
        if (blocked) continue;
      }
      bool viewsLeft = false;
      for (std::size_t j = 0; j < mods.size(); ++j)
        if (!done[j] && j != i && TrimType(mods[j][2].AsString()) == "V") viewsLeft = true;
      if (x != "V" && x != "FN" && x != "IF" && x != "TF" && viewsLeft && pass < mods.size()) continue;
      done[i] = true;
      pendingViews.erase(FoldCase(mods[i][1].AsString()));
      o += mods[i][3].AsString() + NL + "GO" + NL;
      if (x == "TR" && mods[i][4].AsInteger())
        o += "DISABLE TRIGGER " + B(mods[i][1].AsString()) + " ON " + B(mods[i][5].AsString()) + NL + "GO" + NL;
    }
  }
  for (auto& g : d.Q("SELECT o.name, p.name, g.perm FROM permissions g JOIN objects o ON o.id = g.obj_id JOIN principals p ON p.uid = g.uid ORDER BY o.name, p.name, g.perm"))
    o += "GRANT " + g[2].AsString() + " ON [dbo]." + B(g[0].AsString()) + " TO " + B(g[1].AsString()) + NL;
  for (auto& e : d.Q("SELECT x.class, x.major_id, x.minor_id, x.name, x.value FROM extprops x ORDER BY x.class, x.major_id, x.minor_id, x.name")) {
    int cls = (int)e[0].AsInteger();
    std::string lv = "";
    if (cls == 1 || cls == 7) {
      auto ob = d.ObjectById(e[1].AsInteger());
      if (!ob) continue;
      std::string kind = ob->xtype == "U" ? "TABLE" : ob->xtype == "V" ? "VIEW" : ob->xtype == "P" ? "PROCEDURE" : ob->xtype == "TR" ? "TRIGGER" : "FUNCTION";
      lv = ", @level0type=N'SCHEMA', @level0name=N'dbo', @level1type=N'" + kind + "', @level1name=" + N(ob->name);
      if (cls == 1 && e[2].AsInteger() > 0) {
        auto cn = d.Q("SELECT name FROM columns WHERE obj_id = ?1 AND colid = ?2", {e[1], e[2]});
        if (!cn.empty()) lv += ", @level2type=N'COLUMN', @level2name=" + N(cn[0][0].AsString());
      } else if (cls == 7) {
        auto in = d.Q("SELECT name FROM indexes WHERE obj_id = ?1 AND indid = ?2", {e[1], e[2]});
        if (!in.empty()) lv += ", @level2type=N'INDEX', @level2name=" + N(in[0][0].AsString());
      }
    } else if (cls == 3) {
      lv = ", @level0type=N'SCHEMA', @level0name=N'dbo'";
    }
    o += "EXEC sp_addextendedproperty @name=" + N(e[3].AsString()) + ", @value=" + (e[4].IsNull() ? std::string("NULL") : N(e[4].AsString())) + lv + NL;
  }
  o += std::string("GO") + NL;
}

std::string Server::Canonical() const {
  Engine& e = *engine_;
  std::string o;
  const char* NL = "\r\n";
  o += "-- sim: version " + std::to_string(dirs_.version) + NL;
  if (dirs_.refuseLogin) o += std::string("-- sim: refuse-login") + NL;
  if (!dirs_.login.empty()) o += "-- sim: login \"" + dirs_.login + "\" \"" + dirs_.password + "\"" + NL;
  for (const FailureRule& f : dirs_.failures)
    o += "-- sim: fail " + std::to_string(f.nth) + " \"" + f.match + "\" " + std::to_string(f.number) + " \"" + f.message + "\"" + NL;
  if (dirs_.loseConnectionAfter >= 0) o += "-- sim: lose-connection-after " + std::to_string(dirs_.loseConnectionAfter) + NL;
  if (dirs_.latencyMs > 0) o += "-- sim: latency-ms " + std::to_string(dirs_.latencyMs) + NL;
  std::vector<const sqlsim::Login*> ls;
  for (const sqlsim::Login& l : e.logins)
    if (l.name != "sa") ls.push_back(&l);
  std::sort(ls.begin(), ls.end(), [](const sqlsim::Login* a, const sqlsim::Login* b) { return FoldCase(a->name) < FoldCase(b->name); });
  for (const sqlsim::Login* l : ls)
    o += "CREATE LOGIN " + B(l->name) + " WITH PASSWORD = " + N(l->password) +
         (l->defaultDatabase.empty() ? "" : ", DEFAULT_DATABASE = " + B(l->defaultDatabase)) + NL;
  bool anyGrant = false;
  for (const sqlsim::Login* l : ls)
    if (l->viewServerState) {
      o += "GRANT VIEW SERVER STATE TO " + B(l->name) + NL;
      anyGrant = true;
    }
  (void)anyGrant;
  o += std::string("GO") + NL;
  std::vector<Database*> dbs;
  for (auto& [k, d] : e.databases) {
    if (k == "master" || k == "tempdb" || k == "model" || k == "msdb") continue;
    dbs.push_back(d.get());
  }
  std::sort(dbs.begin(), dbs.end(), [](Database* a, Database* b) { return FoldCase(a->name()) < FoldCase(b->name()); });
  for (Database* d : dbs) WriteDatabase(e, *d, o);
  return o;
}

}  // namespace sqlsim
