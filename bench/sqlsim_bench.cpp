// Catalog queries against a generated schema of 2,000 tables.
#include <benchmark/benchmark.h>

#include <string>

#include "schema/stored_queries.h"
#include "sqlsim/server.h"

namespace {

std::string BigScript() {
    std::string script = "CREATE DATABASE BIG\nGO\nUSE BIG\nGO\n";
    for (int t = 0; t < 2000; ++t) {
      std::string n = "Tabela" + std::to_string(t);
      script += "CREATE TABLE " + n + " (Id int NOT NULL IDENTITY(1, 1), Nazwa nvarchar(40) NOT NULL, Kwota decimal(12, 2) NULL" +
                (t ? ", IdNad int NULL" : "") + ", CONSTRAINT PK_" + n + " PRIMARY KEY (Id))\n" +
                "ALTER TABLE " + n + " ADD CONSTRAINT DF_" + n + " DEFAULT (0) FOR Kwota\n" +
                "CREATE INDEX IX_" + n + " ON " + n + " (Nazwa)\n";
      if (t) script += "ALTER TABLE " + n + " ADD CONSTRAINT FK_" + n + " FOREIGN KEY (IdNad) REFERENCES Tabela0 (Id)\n";
      script += "GO\n";
    }
  return script;
}

sqlsim::Server& Big() {
  static sqlsim::Server* s = [] {
    auto* srv = new sqlsim::Server;
    srv->Load(BigScript());
    srv->Execute("USE BIG");
    return srv;
  }();
  return *s;
}

std::int64_t IdOf(const std::string& name) {
  return Big().Execute("SELECT id FROM sysobjects WHERE name = ?", {db::Value::Str(name)}).rows.at(0).at(0).AsInteger();
}

void BM_ColumnDef2005(benchmark::State& st) {
  std::int64_t id = IdOf("Tabela1234");
  const char* q =
      "select so.id, sc.column_id AS colorder, sc.name, st.name as type, CASE WHEN st.name = 'NVARCHAR' OR st.name = 'NCHAR' "
      "OR st.name = 'NTEXT' THEN ROUND(sc.max_length / 2,0) ELSE sc.max_length END AS length, "
      "COLUMNPROPERTY(so.id, sc.name,'IsRowGuidCol') AS IsRowGUID, sc.precision As xprec, sc.scale AS xscale, "
      "sc.collation_name AS collation, CASE WHEN SC.is_identity = 1 THEN IDENT_INCR(so.name) ELSE NULL END AS IDENT, "
      "CASE WHEN SC.is_identity = 1 THEN IDENT_SEED(so.name) ELSE NULL END AS IDENTSEED, CAST(sc.is_nullable AS INTEGER) as nullable "
      "from sysobjects so, sys.columns sc, systypes st where so.id=sc.object_id and so.xtype ='U' and sc.user_type_id=st.xusertype "
      "and so.id = ? order by sc.column_id";
  for (auto _ : st) benchmark::DoNotOptimize(Big().Execute(q, {db::Value::Int(id)}));
}
BENCHMARK(BM_ColumnDef2005);

void BM_Indexes2005(benchmark::State& st) {
  std::int64_t id = IdOf("Tabela1234");
  const char* q =
      "SELECT so.ID, si.name as indname, IsPrimaryKey = CASE WHEN (SELECT xtype FROM sysobjects WHERE name=si.name) = 'PK' then 1 ELSE 0 END, "
      "sg.groupname, INDEXPROPERTY( so.id , si.name , 'IsUnique' ) AS IsUnique, INDEXPROPERTY( so.id , si.name , 'IsClustered' ) AS IsClustered "
      "FROM sysobjects so,sysindexes si, sysfilegroups sg WHERE (si.indid > 0 and si.indid < 255) and (so.id=si.id) and (sg.groupid = si.groupid) "
      "and (so.xtype ='U') and (OBJECTPROPERTY(so.id,'IsMSShipped') = 0) and (si.status & 64) = 0 "
      "and so.id not in (select major_id from sys.extended_properties where class=7) and so.id = ? ORDER BY si.name";
  for (auto _ : st) benchmark::DoNotOptimize(Big().Execute(q, {db::Value::Int(id)}));
}
BENCHMARK(BM_Indexes2005);

void BM_ForeignKeysForTable(benchmark::State& st) {
  const char* q =
      "SELECT sf.constid, so.name as fkeyname, sof.name as fname, scf.name as fcolname, sor.name as rname, scr.name as rcolname, sf.keyno "
      "FROM sysforeignkeys sf, syscolumns scf, syscolumns scr, sysobjects sof, sysobjects sor, sysobjects so "
      "WHERE sf.fkey = scf.colid and sf.fkeyid = scf.id and sf.rkey = scr.colid and sf.rkeyid = scr.id "
      "and sof.id = sf.fkeyid and sor.id = sf.rkeyid and so.id = sf.constid and ((sof.name = ?) or (sor.name = ?)) "
      "and OBJECTPROPERTY(sf.fkeyid,'IsMSShipped') = 0 ORDER BY sf.constid, sf.fkeyid, sf.rkeyid, sf.keyno";
  for (auto _ : st)
    benchmark::DoNotOptimize(Big().Execute(q, {db::Value::Str("Tabela1234"), db::Value::Str("Tabela1234")}));
}
BENCHMARK(BM_ForeignKeysForTable);

void BM_HelpText(benchmark::State& st) {
  static bool made = false;
  if (!made) {
    Big().Execute("CREATE VIEW vTabela AS SELECT Id, Nazwa FROM Tabela77");
    made = true;
  }
  for (auto _ : st) benchmark::DoNotOptimize(Big().Execute("exec sp_helptext 'vTabela'"));
}
BENCHMARK(BM_HelpText);

}  // namespace

BENCHMARK_MAIN();

// Every stored catalog query of the program, loaded and bound through the
// program's own query object as the run does, for one table of the schema.
void BM_StoredQuery(benchmark::State& st) {
  static std::unique_ptr<db::Connection> conn = [] {
    auto c = sqlsim::MakeSimConnectionFromText(BigScript());
    db::ConnectParams p;
    p.dataSource = "sim:big";
    p.userId = "sa";
    p.initialCatalog = "MASTER";
    c->Open(p);
    db::Query use(*c);
    use.Add("USE BIG");
    use.ExecSQL();
    return c;
  }();
  static const std::int64_t id = [] {
    db::Query q(*conn);
    q.Add("SELECT id FROM sysobjects WHERE name = 'Tabela1234'");
    q.Open();
    return q.Field("id").AsInteger();
  }();
  const schema::StoredQuery& item = schema::StoredQueryAt(schema::LMDSL_SQL(), static_cast<int>(st.range(0)));
  st.SetLabel(item.name);
  db::Query q(*conn);
  schema::LoadStoredQuery(q, schema::LMDSL_SQL(), item.position);
  for (const std::string& n : q.ParamNames()) {
    std::string l = n;
    for (char& ch : l) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    if (l == "objid_sql") q.SetParam(n, db::Value::Int(id));
    else if (l.rfind("ftablename", 0) == 0) q.SetParam(n, db::Value::Str("Tabela1234"));
    else if (l.rfind("fcolname", 0) == 0) q.SetParam(n, db::Value::Str("IdNad"));
    else if (l == "indname") q.SetParam(n, db::Value::Str("IX_Tabela1234"));
    else q.SetParam(n, db::Value::Str("Tabela1234"));
  }
  for (auto _ : st) {
    q.Open();
    benchmark::DoNotOptimize(q.RecordCount());
    q.Close();
  }
}
BENCHMARK(BM_StoredQuery)->DenseRange(0, 13);
