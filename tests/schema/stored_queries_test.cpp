#include "schema/stored_queries.h"

#include <gtest/gtest.h>

#include <utility>

namespace {

using schema::LMDSL_ACC;
using schema::LMDSL_SQL;

std::vector<std::string> Markers(const schema::StoredQuery& item) {
  std::string text;
  for (const auto& l : item.lines) text += l + "\r\n";
  return db::ParseParamMarkers(text, nullptr);
}

struct ItemCase {
  int position;
  const char* name;
  std::size_t lines;
  std::vector<std::string> markers;
  std::vector<std::pair<std::size_t, std::string>> exact;  // line index -> text, tabs and blanks included
};

void CheckItems(const std::vector<schema::StoredQuery>& coll, const std::vector<ItemCase>& cases) {
  ASSERT_EQ(coll.size(), cases.size());
  for (std::size_t i = 0; i < cases.size(); ++i) {
    const auto& c = cases[i];
    const auto& item = coll[i];
    EXPECT_EQ(item.position, c.position);
    EXPECT_EQ(item.name, c.name);
    EXPECT_EQ(item.lines.size(), c.lines) << c.name;
    EXPECT_EQ(Markers(item), c.markers) << c.name;
    for (const auto& [idx, text] : c.exact) {
      ASSERT_LT(idx, item.lines.size()) << c.name;
      EXPECT_EQ(item.lines[idx], text) << c.name << " line " << idx;
    }
    EXPECT_EQ(&schema::StoredQueryAt(coll, c.position), &item);
  }
}

TEST(StoredQueries, CatalogItemsAreExact) {
  const std::string fkHead =
      "SELECT\tsf.constid, so.name as fkeyname, sof.name as fname, scf.name as fcolname, sor.name as rname, ";
  const std::string fkOrder = "ORDER BY sf.constid, sf.fkeyid, sf.rkeyid, sf.keyno";
  CheckItems(
      LMDSL_SQL(),
      {
          {0,
           "Foreignkeys",
           12,
           {"objID_SQL"},
           {{0, "SELECT\tsf.constid, sof.name as fname, scf.name as fcolname, sor.name as rname, "},
            {5, "\tOBJECTPROPERTY(sf.constid,'CnstIsDisabled') AS CnstIsDisabled"},
            {8, "WHERE \tsf.fkey = scf.colid and sf.fkeyid = scf.id and sf.rkey = scr.colid and sf.rkeyid = scr.id "},
            {11, fkOrder}}},
          {1,
           "FKeysForColumn",
           9,
           {"fcolname1", "ftablename1", "fcolname2", "ftablename2"},
           {{0, fkHead},
            {6,
             "\tand ((scf.name = :fcolname1 and sof.name = :ftablename1) or (scr.name = :fcolname2 and sor.name = "
             ":ftablename2))"},
            {8, fkOrder}}},
          {2,
           "ColumnDef",
           21,
           {"objID_SQL"},
           {{0, "select \tso.id, sc.colorder, sc.name, st.name as type,"},
            {2, "\t\tWHEN st.name = 'NVARCHAR' OR st.name = 'NCHAR' OR st.name = 'NTEXT' THEN ROUND(sc.Length / 2,0)"},
            {3, "\t\tELSE sc.length\t"},
            {20, "\tand so.id = :objID_SQL"}}},
          {3,
           "DefaultForCol",
           10,
           {"fcolname", "objID_SQL"},
           {{0, "select so.name "}, {4, "\tso.type IN ('D','C') "}, {9, "\tand sc.id = :objID_SQL"}}},
          {4,
           "Indexes",
           13,
           {"objID_SQL"},
           {{0, "SELECT\tso.ID, si.name as indname, "},
            {8, ""},
            {9,
             "WHERE \t(si.indid > 0 and si.indid < 255) and (so.id=si.id) and (sg.groupid = si.groupid) and "
             "(so.xtype ='U') and (OBJECTPROPERTY(so.id,'IsMSShipped') = 0)"},
            {10, "\tand (si.status & 64) = 0  "},
            {12, "ORDER BY si.name"}}},
          {5,
           "IndexesForColumn",
           25,
           {"objID_SQL", "fcolName"},
           {{0, "SELECT\tso.id, si.name as indname, "},
            {19, "\tand so.id = :objID_SQL"},
            {23, "\t\t, si.name"},
            {24, "\t\t, sk.colid"}}},
          {6,
           "Role",
           2,
           {},
           {{0, "select 'RoleName' = name from sysusers where issqlrole =1 and islogin=0 "},
            {1, "and not (uid >= 16384 and uid <= 16393) and uid<>0 order By name"}}},
          {7, "TablesAndViews", 4, {}, {}},
          {8, "ProcAndFunctions", 4, {}, {}},
          {9,
           "IndexKeys",
           16,
           {"objID_SQL", "indname"},
           {{0, "select\tso.id, si.name as indname, "}, {14, "order by\t"}, {15, "\tso.name, si.name, sk.colid"}}},
          {10,
           "FKesyForTable",
           9,
           {"ftablename1", "ftablename2"},
           {{0, fkHead}, {6, "\tand ((sof.name = :ftablename1) or (sor.name = :ftablename2))"}, {8, fkOrder}}},
          {11,
           "ColumnDef2005",
           15,
           {"objID_SQL"},
           {{0, "select \tso.id, sc.column_id AS colorder, sc.name, st.name as type, "},
            {12, "\tand so.id =  :objID_SQL"},
            {13, ""},
            {14, "order by sc.column_id"}}},
          {12,
           "Indexes2005",
           14,
           {"objID_SQL"},
           {{10, "\tand (si.status & 64) = 0  "},
            {11, "\tand so.id not in (select major_id from sys.extended_properties where class=7)"},
            {13, "ORDER BY si.name"}}},
          {13,
           "IndexKeys2005",
           12,
           {"objID_SQL", "indname"},
           {{0, "SELECT i.object_id as id, i.name AS indname, CAST(ic.is_descending_key AS SMALLINT) As IsDescending "},
            {3, "        \t,ic.index_column_id AS IndexColumnID "},
            {10, "        \tand i.object_id not in (select major_id from sys.extended_properties) "},
            {11, "        \tORDER BY ic.index_column_id"}}},
      });
}

TEST(StoredQueries, TemplateItemsAreExact) {
  CheckItems(LMDSL_ACC(),
             {
                 {0, "MaxPriorytet", 1, {}, {{0, "select max(priorytet) as MaxPriorytet from tblObjects"}}},
                 {1,
                  "ForeignKeys",
                  9,
                  {"objID_ACC"},
                  {{0, "SELECT \ttblForeignKeys.id, tblObjects_1.Name AS fName, "},
                   {3, "\ttblForeignKeys.IsNotForRepl, \ttblForeignKeys.IsDisabled"},
                   {4, "FROM \ttblObjects AS tblObjects_2 "},
                   {6,
                    "\tINNER JOIN tblForeignKeys ON tblObjects_1.id = tblForeignKeys.fkeyid) ON tblObjects_2.id = "
                    "tblForeignKeys.rkeyid "},
                   {7, "WHERE tblForeignKeys.id = :objID_ACC"},
                   {8, "ORDER BY tblObjects_1.Name, tblObjects_2.Name, tblForeignKeys.keyno"}}},
             });
  EXPECT_THROW(schema::StoredQueryAt(LMDSL_ACC(), 2), std::out_of_range);
}

// A connection that only counts what reaches it; loading must not run anything.
class NoConnection : public db::Connection {
 public:
  void Open(const db::ConnectParams&) override {}
  void Close() override {}
  bool IsOpen() const override { return true; }
  void BeginTrans() override {}
  void CommitTrans() override {}
  void RollbackTrans() override {}
  db::ResultSet Execute(const db::Statement& st) override {
    last = st;
    db::ResultSet rs;
    rs.columns = {"x"};
    rs.rows = {{db::Value::Int(1)}};
    return rs;
  }
  db::Statement last;
};

TEST(StoredQueries, LoadingReplacesTextAndParametersAndTurnsMarkersOn) {
  NoConnection conn;
  db::Query q(conn);
  q.SetParamCheck(true);
  q.Add("SELECT :old");
  q.SetParam("old", db::Value::Int(7));
  q.SetParamCheck(false);
  q.Open();
  ASSERT_TRUE(q.Active());

  schema::LoadStoredQuery(q, LMDSL_SQL(), schema::sql_item::kIndexKeys2005);
  EXPECT_FALSE(q.Active());
  EXPECT_TRUE(q.ParamCheck());
  EXPECT_EQ(q.Lines(), LMDSL_SQL()[13].lines);
  EXPECT_EQ(q.ParamNames(), (std::vector<std::string>{"objID_SQL", "indname"}));
  EXPECT_THROW(q.SetParam("old", db::Value::Int(1)), db::OleError);
  q.SetParam("ObjID_SQL", db::Value::Int(42));  // names match without regard to case
  q.SetParam("INDNAME", db::Value::Str("PK_X"));
  q.Open();
  EXPECT_EQ(conn.last.params, (std::vector<db::Value>{db::Value::Int(42), db::Value::Str("PK_X")}));
  EXPECT_EQ(conn.last.text.find(":objID_SQL"), std::string::npos);

  EXPECT_THROW(schema::LoadStoredQuery(q, LMDSL_SQL(), 14), std::out_of_range);
  EXPECT_EQ(q.Lines(), LMDSL_SQL()[13].lines);  // an unknown position leaves the query alone
}

TEST(StoredQueries, ListingShowsEveryItemAsStored) {
  const std::string list = schema::ListQueries();
  std::string expected = "-- LMDSL_SQL 3 DefaultForCol (10 lines)\n";
  for (const auto& l : LMDSL_SQL()[3].lines) expected += l + "\n";
  expected += "\n-- LMDSL_SQL 4 Indexes (13 lines)\n";
  EXPECT_NE(list.find(expected), std::string::npos);
  EXPECT_NE(list.find("\n\tand so.id =  :objID_SQL\n\norder by sc.column_id\n"), std::string::npos);
  EXPECT_EQ(
      list.find("-- LMDSL_ACC 1 ForeignKeys (9 lines)\nSELECT \ttblForeignKeys.id, tblObjects_1.Name AS fName, \n"),
      list.find("-- LMDSL_ACC 1"));
  EXPECT_NE(list.find("-- LMDSL_ACC 1"), std::string::npos);
  EXPECT_EQ(list.find("-- LMDSL_SQL 0 Foreignkeys (12 lines)\n"), 0u);
  for (int pos = 0; pos < 14; ++pos)
    EXPECT_NE(list.find("-- LMDSL_SQL " + std::to_string(pos) + " " + LMDSL_SQL()[pos].name + " ("), std::string::npos);
  EXPECT_NE(list.find("-- LMDSL_ACC 0 MaxPriorytet (1 lines)\nselect max(priorytet) as MaxPriorytet from tblObjects\n"),
            std::string::npos);
}

}  // namespace
