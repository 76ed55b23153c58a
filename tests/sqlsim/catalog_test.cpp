// Catalog queries of the program, run word for word against a small fixture.
#include <gtest/gtest.h>

#include "sqlsim/server.h"
#include "tests/sqlsim/fixture.h"

using db::Value;

namespace {

class Catalog : public simtest::ShopTest {
 protected:
  db::ResultSet Q(const std::string& sql, std::vector<Value> p = {}) {
    try {
      return s.Execute(sql, p);
    } catch (const sqlsim::SqlError& e) {
      ADD_FAILURE() << sqlsim::FormatMessages(e.messages());
      return {};
    }
  }
  std::int64_t Id(const std::string& name) {
    auto r = Q("SELECT id FROM sysobjects WHERE name = '" + name + "'");
    return r.rows.empty() ? -1 : r.rows[0][0].AsInteger();
  }
  static const Value& F(const db::ResultSet& rs, std::size_t row, const std::string& col) {
    for (std::size_t i = 0; i < rs.columns.size(); ++i)
      if (db::EqualsNoCase(rs.columns[i], col)) return rs.rows.at(row).at(i);
    throw std::runtime_error("no column " + col);
  }
};

const char* kColumnDef2005 =
    "select \tso.id, sc.column_id AS colorder, sc.name, st.name as type, \r\n"
    "\tCASE\t\r\n\tWHEN st.name = 'NVARCHAR' OR st.name = 'NCHAR' OR st.name = 'NTEXT' THEN ROUND(sc.max_length / 2,0) \r\n"
    "\tELSE sc.max_length\t\r\n\tEND AS length, \r\n"
    "\tCOLUMNPROPERTY(so.id, sc.name,'IsRowGuidCol') AS IsRowGUID, \r\n"
    "\tsc.precision As xprec, sc.scale AS xscale, sc.collation_name AS collation, \r\n"
    "\tCASE WHEN SC.is_identity = 1 THEN IDENT_INCR(so.name) ELSE NULL END AS IDENT, \r\n"
    "\tCASE WHEN SC.is_identity = 1 THEN IDENT_SEED(so.name) ELSE NULL END AS IDENTSEED, \r\n"
    "\tCAST(sc.is_nullable AS INTEGER) as nullable \r\n"
    "from \tsysobjects so, sys.columns sc, systypes st \r\n"
    "where \tso.id=sc.object_id and so.xtype ='U' and sc.user_type_id=st.xusertype \r\n"
    "\tand so.id =  ?\r\n\r\norder by sc.column_id";

const char* kColumnDef =
    "select \tso.id, sc.colorder, sc.name, st.name as type,\r\n\tCASE\t\r\n"
    "\t\tWHEN st.name = 'NVARCHAR' OR st.name = 'NCHAR' OR st.name = 'NTEXT' THEN ROUND(sc.Length / 2,0)\r\n"
    "\t\tELSE sc.length\t\r\n\tEND AS length, \r\n"
    "\tCOLUMNPROPERTY(so.id, sc.name,'IsRowGuidCol') As IsRowGUID,\r\n"
    "\tsc.xprec, sc.xscale, sc.collation, \r\n\t\r\n"
    "\tCASE \r\n\t\tWHEN SC.autoval IS NOT NULL THEN IDENT_INCR(so.name) \r\n\t\tELSE NULL \r\n\tEND AS IDENT,\r\n\t\r\n"
    "\tCASE\t\r\n\t\tWHEN sc.autoval IS NOT NULL THEN IDENT_SEED(so.name) \r\n\t\tELSE NULL \r\n\tEND AS IDENTSEED,\r\n\t\r\n"
    "\tsc.isnullable as nullable from \tsysobjects so,\tsyscolumns sc,\r\n"
    "\tsystypes st where so.id=sc.id and so.xtype ='U' and sc.xusertype=st.xusertype\r\n\tand so.id = ?";

TEST_F(Catalog, ColumnDefBothFormsAgree) {
  std::int64_t id = Id("Klienci");
  auto a = Q(kColumnDef2005, {Value::Int(id)});
  auto b = Q(kColumnDef, {Value::Int(id)});
  ASSERT_EQ(a.rows.size(), 6u);
  ASSERT_EQ(b.rows.size(), 6u);
  // Id int identity(1,1) not null
  EXPECT_EQ(F(a, 0, "name").AsString(), "Id");
  EXPECT_EQ(F(a, 0, "type").AsString(), "int");
  EXPECT_EQ(F(a, 0, "length").AsInteger(), 4);
  EXPECT_EQ(F(a, 0, "xprec").AsInteger(), 10);
  EXPECT_EQ(F(a, 0, "IDENT").AsInteger(), 1);
  EXPECT_EQ(F(a, 0, "IDENTSEED").AsInteger(), 1);
  EXPECT_EQ(F(a, 0, "nullable").AsInteger(), 0);
  EXPECT_TRUE(F(a, 0, "collation").IsNull());
  // Nazwa nvarchar(40): 80 bytes halved to 40 characters; database collation.
  EXPECT_EQ(F(a, 1, "length").AsInteger(), 40);
  EXPECT_EQ(F(a, 1, "collation").AsString(), "Polish_CI_AS");
  EXPECT_TRUE(F(a, 1, "IDENT").IsNull());
  // nvarchar(max) reads 0 after halving; varchar(10) 10.
  EXPECT_EQ(F(a, 2, "length").AsInteger(), 0);
  EXPECT_EQ(F(a, 2, "nullable").AsInteger(), 1);
  EXPECT_EQ(F(a, 3, "length").AsInteger(), 10);
  EXPECT_EQ(F(a, 4, "IsRowGUID").AsInteger(), 1);
  EXPECT_EQ(F(a, 3, "IsRowGUID").AsInteger(), 0);
  EXPECT_EQ(F(a, 5, "xprec").AsInteger(), 12);
  EXPECT_EQ(F(a, 5, "xscale").AsInteger(), 2);
  EXPECT_EQ(F(a, 5, "length").AsInteger(), 9);
  for (std::size_t r = 0; r < 6; ++r)
    for (const char* c : {"name", "type", "length", "IsRowGUID", "xprec", "xscale", "collation", "IDENT", "IDENTSEED", "nullable"})
      EXPECT_EQ(F(a, r, c), F(b, r, c)) << r << " " << c;
}

TEST_F(Catalog, ForeignKeyQueries) {
  std::int64_t fk = Id("FK_Zam_Klienci");
  auto rs = Q("SELECT\tsf.constid, sof.name as fname, scf.name as fcolname, sor.name as rname, \r\n"
              "\tscr.name as rcolname, sf.keyno, \r\n"
              "\tOBJECTPROPERTY(sf.constid,'CnstIsDeleteCascade') AS IsDeleteCascade, \r\n"
              "\tOBJECTPROPERTY(sf.constid,'CnstIsUpdateCascade') AS IsUpdateCascade, \r\n"
              "\tOBJECTPROPERTY(sf.constid,'CnstIsNotRepl') AS IsNotForRepl,\r\n"
              "\tOBJECTPROPERTY(sf.constid,'CnstIsDisabled') AS CnstIsDisabled\r\n"
              "FROM \r\n\tsysforeignkeys sf, syscolumns scf, syscolumns scr, sysobjects sof, sysobjects sor \r\n"
              "WHERE \tsf.fkey = scf.colid and sf.fkeyid = scf.id and sf.rkey = scr.colid and sf.rkeyid = scr.id \r\n"
              "\tand sof.id = sf.fkeyid and sor.id = sf.rkeyid and sf.constid = ?\r\n"
              "\tand OBJECTPROPERTY(sf.fkeyid,'IsMSShipped') = 0 \r\n"
              "ORDER BY sf.constid, sf.fkeyid, sf.rkeyid, sf.keyno",
              {Value::Int(fk)});
  ASSERT_EQ(rs.rows.size(), 1u);
  EXPECT_EQ(F(rs, 0, "fname").AsString(), "Zam");
  EXPECT_EQ(F(rs, 0, "fcolname").AsString(), "IdKlienta");
  EXPECT_EQ(F(rs, 0, "rname").AsString(), "Klienci");
  EXPECT_EQ(F(rs, 0, "rcolname").AsString(), "Id");
  EXPECT_EQ(F(rs, 0, "IsDeleteCascade").AsInteger(), 1);
  EXPECT_EQ(F(rs, 0, "IsUpdateCascade").AsInteger(), 0);
  EXPECT_EQ(F(rs, 0, "CnstIsDisabled").AsInteger(), 0);
  s.Execute("ALTER TABLE [Zam] NOCHECK CONSTRAINT FK_Zam_Klienci");
  auto dis = Q("SELECT OBJECTPROPERTY(?,'CnstIsDisabled') AS d", {Value::Int(fk)});
  EXPECT_EQ(dis.rows[0][0].AsInteger(), 1);

  const char* forTable =
      "SELECT\tsf.constid, so.name as fkeyname, sof.name as fname, scf.name as fcolname, sor.name as rname, \r\n"
      "\tscr.name as rcolname, sf.keyno\r\n"
      "FROM \tsysforeignkeys sf, syscolumns scf, syscolumns scr, sysobjects sof, sysobjects sor, sysobjects so \r\n"
      "WHERE \tsf.fkey = scf.colid and sf.fkeyid = scf.id and sf.rkey = scr.colid and sf.rkeyid = scr.id \r\n"
      "\tand sof.id = sf.fkeyid and sor.id = sf.rkeyid \r\n\tand so.id = sf.constid\r\n"
      "\tand ((sof.name = ?) or (sor.name = ?))\r\n"
      "\tand OBJECTPROPERTY(sf.fkeyid,'IsMSShipped') = 0 \r\n"
      "ORDER BY sf.constid, sf.fkeyid, sf.rkeyid, sf.keyno";
  // Either side of the key finds it; names compare without regard to case.
  EXPECT_EQ(Q(forTable, {Value::Str("KLIENCI"), Value::Str("KLIENCI")}).rows.size(), 1u);
  EXPECT_EQ(Q(forTable, {Value::Str("zam"), Value::Str("zam")}).rows.size(), 1u);
  EXPECT_EQ(Q(forTable, {Value::Str("toolSysVersion"), Value::Str("toolSysVersion")}).rows.size(), 0u);
}

TEST_F(Catalog, IndexesAndKeys) {
  std::int64_t id = Id("Klienci");
  const char* idx2005 =
      "SELECT\tso.ID, si.name as indname, \r\n\tIsPrimaryKey =\tCASE \r\n"
      "\t\t\t\tWHEN (SELECT xtype FROM sysobjects WHERE name=si.name) = 'PK' then 1 \r\n\t\t\t\tELSE 0\t\r\n\t\t\tEND, \r\n"
      "\tsg.groupname, INDEXPROPERTY( so.id , si.name , 'IsUnique' ) AS IsUnique,\r\n"
      "\tINDEXPROPERTY( so.id , si.name , 'IsClustered' ) AS IsClustered \r\n"
      "FROM \tsysobjects so,sysindexes si, sysfilegroups sg \r\n\r\n"
      "WHERE \t(si.indid > 0 and si.indid < 255) and (so.id=si.id) and (sg.groupid = si.groupid) and (so.xtype ='U') and (OBJECTPROPERTY(so.id,'IsMSShipped') = 0)\r\n"
      "\tand (si.status & 64) = 0  \r\n"
      "\tand so.id not in (select major_id from sys.extended_properties where class=7)\r\n"
      "\tand so.id =  ?\r\nORDER BY si.name";
  auto rs = Q(idx2005, {Value::Int(id)});
  ASSERT_EQ(rs.rows.size(), 2u);
  EXPECT_EQ(F(rs, 0, "indname").AsString(), "IX_Klienci_Nazwa");
  EXPECT_EQ(F(rs, 0, "IsPrimaryKey").AsInteger(), 0);
  EXPECT_EQ(F(rs, 0, "IsUnique").AsInteger(), 1);
  EXPECT_EQ(F(rs, 0, "IsClustered").AsInteger(), 0);
  EXPECT_EQ(F(rs, 1, "indname").AsString(), "PK_Klienci");
  EXPECT_EQ(F(rs, 1, "IsPrimaryKey").AsInteger(), 1);
  EXPECT_EQ(F(rs, 1, "IsClustered").AsInteger(), 1);
  EXPECT_EQ(F(rs, 1, "groupname").AsString(), "PRIMARY");
  // Statistics are left out; an index property of class 7 hides every index.
  s.Execute("CREATE STATISTICS st_Kod ON Klienci (Kod)");
  EXPECT_EQ(Q(idx2005, {Value::Int(id)}).rows.size(), 2u);
  s.Execute("EXEC sp_addextendedproperty @name=N'x', @value=N'y', @level0type=N'SCHEMA', @level0name=N'dbo', "
            "@level1type=N'TABLE', @level1name=N'Klienci', @level2type=N'INDEX', @level2name=N'PK_Klienci'");
  EXPECT_EQ(Q(idx2005, {Value::Int(id)}).rows.size(), 0u);
}

TEST_F(Catalog, IndexKeys2005ListsKeyAndIncludedColumns) {
  std::int64_t id = Id("Klienci");
  const char* keys =
      "SELECT i.object_id as id, i.name AS indname, CAST(ic.is_descending_key AS SMALLINT) As IsDescending \r\n"
      "\t,ic.key_ordinal AS Keyno \r\n\t,COL_NAME(ic.object_id,ic.column_id) AS colname\r\n"
      "        \t,ic.index_column_id AS IndexColumnID \r\n"
      "        \t,CAST(ic.is_included_column AS SMALLINT) AS IsIncluded \r\n"
      "        \tFROM sys.indexes AS i \r\n\tINNER JOIN sys.index_columns AS ic \r\n"
      "\tON i.object_id = ic.object_id AND i.index_id = ic.index_id \r\n"
      "WHERE i.object_id = ?\r\n\tand i.name = ?\r\n"
      "        \tand i.object_id not in (select major_id from sys.extended_properties) \r\n"
      "        \tORDER BY ic.index_column_id";
  auto rs = Q(keys, {Value::Int(id), Value::Str("ix_klienci_nazwa")});
  ASSERT_EQ(rs.rows.size(), 2u);
  EXPECT_EQ(F(rs, 0, "colname").AsString(), "Nazwa");
  EXPECT_EQ(F(rs, 0, "IsDescending").AsInteger(), 1);
  EXPECT_EQ(F(rs, 0, "Keyno").AsInteger(), 1);
  EXPECT_EQ(F(rs, 0, "IsIncluded").AsInteger(), 0);
  EXPECT_EQ(F(rs, 1, "colname").AsString(), "Kod");
  EXPECT_EQ(F(rs, 1, "IsIncluded").AsInteger(), 1);
  EXPECT_EQ(F(rs, 1, "Keyno").AsInteger(), 0);
  // The older form: key columns only, with INDEXKEY_PROPERTY.
  auto old = Q("select\tso.id, si.name as indname, \r\n"
               "\tINDEXKEY_PROPERTY(so.id,si.indid,sk.keyno,'IsDescending') AS IsDescending, \r\n"
               "\tsk.keyno, sc.name as colname \r\n"
               "from \tsysobjects so,sysindexes si, sysindexkeys sk, syscolumns sc \r\n"
               "where \t(si.indid > 0 and si.indid < 255) \r\n\tand so.id=si.id \r\n\tand so.id=sk.id \r\n"
               "\tand so.id=sc.id \r\n\tand si.indid=sk.indid \r\n\tand sk.colid=sc.colid \r\n\tand so.xtype ='U' \r\n"
               "\tand so.id = ?\r\n\tand \r\n\tsi.name = ?\r\norder by\t\r\n\tso.name, si.name, sk.colid",
               {Value::Int(Id("Zam")), Value::Str("PK_Zam")});
  ASSERT_EQ(old.rows.size(), 2u);
  EXPECT_EQ(F(old, 0, "colname").AsString(), "Nr");
  EXPECT_EQ(F(old, 1, "colname").AsString(), "Poz");
  EXPECT_EQ(F(old, 1, "IsDescending").AsInteger(), 0);
}

TEST_F(Catalog, ConstraintsOfATableAndOfAColumn) {
  std::int64_t zam = Id("Zam");
  auto rs = Q("select\tss.id, so.name,\tso.type, (select name from syscolumns where id = ss.id and colid = ss.colid) AS colname, \r\n"
              "sc.text from \tsysconstraints ss, sysobjects so, syscomments sc where ss.constid = so.id \r\n"
              "and so.type in ('C', 'D') and ss.constid = sc.id and ss.id = " + std::to_string(zam) + " ORDER BY so.name");
  ASSERT_EQ(rs.rows.size(), 2u);
  EXPECT_EQ(F(rs, 0, "name").AsString(), "CK_Zam_Ilosc");
  EXPECT_EQ(F(rs, 0, "text").AsString(), "([Ilosc]>=(0))");
  EXPECT_TRUE(F(rs, 0, "colname").IsNull());
  EXPECT_EQ(F(rs, 1, "name").AsString(), "DF_Zam_Ilosc");
  EXPECT_EQ(F(rs, 1, "text").AsString(), "((0))");
  EXPECT_EQ(F(rs, 1, "colname").AsString(), "Ilosc");
  auto forCol = Q("select so.name \r\nfrom \r\n\tsysobjects so, sysconstraints sc, syscolumns ss \r\nwhere \r\n"
                  "\tso.type IN ('D','C') \r\n\tand so.id = sc.constid \r\n\tand sc.colid = ss.colid \r\n"
                  "\tand sc.id = ss.id\r\n\tand ss.name = ?\r\n\tand sc.id = ?",
                  {Value::Str("ilosc"), Value::Int(zam)});
  ASSERT_EQ(forCol.rows.size(), 1u);  // the table-level check has colid 0
  EXPECT_EQ(forCol.rows[0][0].AsString(), "DF_Zam_Ilosc");
}

TEST_F(Catalog, StoredExpressionForms) {
  struct Case {
    const char* written;
    const char* stored;
  } cases[] = {{"DEFAULT 0", "(0)"}, {"DEFAULT (0)", "((0)"
                                                       ")"},
               {"DEFAULT ((0))", "((0))"}, {"DEFAULT getdate()", "(getdate())"}, {"DEFAULT N'x'", "(N'x')"}};
  int n = 0;
  for (const Case& c : cases) {
    std::string name = "DF_T" + std::to_string(++n);
    s.Execute("CREATE TABLE T" + std::to_string(n) + " (a int NULL, b datetime NULL, c nvarchar(5) NULL)");
    std::string col = std::string(c.written).find("getdate") != std::string::npos ? "b" : std::string(c.written).find("N'") != std::string::npos ? "c" : "a";
    s.Execute("ALTER TABLE [T" + std::to_string(n) + "] WITH NOCHECK ADD CONSTRAINT " + name + "\r\n " + c.written + " FOR " + col);
    auto rs = Q("SELECT definition FROM sys.default_constraints WHERE name = '" + name + "'");
    ASSERT_EQ(rs.rows.size(), 1u) << c.written;
    EXPECT_EQ(rs.rows[0][0].AsString(), c.stored) << c.written;
  }
}

TEST_F(Catalog, ObjectListsBothForms) {
  auto modern = Q("SELECT o.object_id AS id, o.name, o.type AS xtype \r\nFROM sys.objects o LEFT OUTER JOIN sys.extended_properties ep \r\n"
                  "ON o.[object_id] = ep.major_id AND ep.class_desc = 'OBJECT_OR_COLUMN' \r\n"
                  "AND ep.[name] = 'microsoft_database_tools_support' \r\n"
                  "WHERE o.is_ms_shipped = 0 AND ep.major_id IS NULL \r\nAND o.type = 'U' ORDER BY o.name ");
  ASSERT_EQ(modern.rows.size(), 3u);
  EXPECT_EQ(modern.rows[0][1].AsString(), "Klienci");
  EXPECT_EQ(modern.rows[2][1].AsString(), "Zam");
  s.Execute("EXEC sp_addextendedproperty @name=N'microsoft_database_tools_support', @value=1, @level0type=N'SCHEMA', "
            "@level0name=N'dbo', @level1type=N'TABLE', @level1name=N'toolSysVersion'");
  EXPECT_EQ(Q("SELECT o.object_id AS id, o.name, o.type AS xtype \r\nFROM sys.objects o LEFT OUTER JOIN sys.extended_properties ep \r\n"
              "ON o.[object_id] = ep.major_id AND ep.class_desc = 'OBJECT_OR_COLUMN' \r\n"
              "AND ep.[name] = 'microsoft_database_tools_support' \r\n"
              "WHERE o.is_ms_shipped = 0 AND ep.major_id IS NULL \r\nAND o.type = 'U' ORDER BY o.name ").rows.size(), 2u);
  auto old = Q("SELECT * FROM sysobjects WHERE (OBJECTPROPERTY(id, 'IsMSShipped') = 0) And (xtype = 'P')");
  ASSERT_EQ(old.rows.size(), 1u);
  EXPECT_EQ(F(old, 0, "name").AsString(), "pLista");
  EXPECT_EQ(Q("SELECT * FROM sysobjects WHERE (OBJECTPROPERTY(id, 'IsMSShipped') = 0) And (xtype = 'FN')").rows.size(), 1u);
  EXPECT_EQ(Q("SELECT * FROM sysobjects WHERE (OBJECTPROPERTY(id, 'IsMSShipped') = 0) And (xtype = 'TR')").rows.size(), 1u);
}

TEST_F(Catalog, VersionsAndDatabases) {
  auto v = Q("select CAST(SUBSTRING(CAST(SERVERPROPERTY('ProductVersion') AS VARCHAR),1,CHARINDEX('.',CAST(SERVERPROPERTY('ProductVersion') AS VARCHAR))-1) AS INTEGER) AS VerNo, @@Version AS VerType");
  ASSERT_EQ(v.rows.size(), 1u);
  EXPECT_EQ(F(v, 0, "VerNo"), Value::Int(15));
  EXPECT_NE(F(v, 0, "VerType").AsString().find("15.0.2000.5"), std::string::npos);
  auto info = Q("exec sp_server_info");
  bool found = false;
  for (auto& r : info.rows)
    if (r[1].AsString() == "SYS_SPROC_VERSION") {
      EXPECT_EQ(r[2].AsString(), "15.00.2000");
      found = true;
    }
  EXPECT_TRUE(found);
  auto dbs = Q("SELECT NAME AS DATABASE_NAME FROM SYS.DATABASES ORDER BY NAME");
  std::vector<std::string> names;
  for (auto& r : dbs.rows) names.push_back(r[0].AsString());
  EXPECT_EQ(names, (std::vector<std::string>{"master", "model", "msdb", "SHOP", "tempdb"}));
  auto ver = Q("SELECT * from toolSysVersion WHERE DEL=0");
  ASSERT_EQ(ver.rows.size(), 1u);
  EXPECT_EQ(F(ver, 0, "NrPodrzedny_2").AsInteger(), 3);
  EXPECT_EQ(F(ver, 0, "Aktualizacja").AsDateTime(), (db::DateTime{2025, 3, 1, 0, 0, 0}));
}

}  // namespace

namespace {

// The catalog functions' own lookups must not capture a query's aliases:
// "o" and "c" below are the query's, whatever the functions use inside.
TEST_F(Catalog, FunctionArgumentsKeepTheQuerysAliases) {
  auto rs = Q("SELECT o.name, IDENT_INCR(o.name) AS i, IDENT_SEED(o.name) AS s, COL_LENGTH(o.name, c.name) AS l,"
              " OBJECTPROPERTY(o.id, 'TableHasIdentity') AS h, OBJECTPROPERTY(o.id, 'TableHasPrimaryKey') AS k"
              " FROM sysobjects o, syscolumns c WHERE c.id = o.id AND c.colid = 1 AND o.name IN ('Klienci', 'toolSysVersion')"
              " ORDER BY o.name");
  ASSERT_EQ(rs.rows.size(), 2u);
  EXPECT_EQ(F(rs, 0, "i").AsInteger(), 1);
  EXPECT_EQ(F(rs, 0, "l").AsInteger(), 4);  // Klienci.Id int
  EXPECT_EQ(F(rs, 0, "h").AsInteger(), 1);
  EXPECT_EQ(F(rs, 0, "k").AsInteger(), 1);
  EXPECT_TRUE(F(rs, 1, "i").IsNull());  // toolSysVersion has no identity
  EXPECT_TRUE(F(rs, 1, "s").IsNull());
  EXPECT_EQ(F(rs, 1, "l").AsInteger(), 4);  // NrGlowny int
  EXPECT_EQ(F(rs, 1, "h").AsInteger(), 0);
  EXPECT_EQ(F(rs, 1, "k").AsInteger(), 0);
}

}  // namespace
