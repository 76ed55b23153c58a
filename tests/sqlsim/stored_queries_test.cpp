// The program's own stored catalog queries, loaded and bound through its
// query object as a run does, against the shared fixture; the answers are
// worked out from SQL Server's catalog.
#include <gtest/gtest.h>

#include "schema/stored_queries.h"
#include "sqlsim/server.h"
#include "tests/sqlsim/fixture.h"

using db::Value;

namespace {

class StoredQueries : public ::testing::Test {
 protected:
  void SetUp() override {
    conn = sqlsim::MakeSimConnectionFromText(simtest::kScript, &server);
    db::ConnectParams p;
    p.dataSource = "sim:fixture";
    p.userId = "sa";
    p.initialCatalog = "SHOP";
    conn->Open(p);
    // A second index on Zam, statistics on the same column, a user.
    Run("CREATE INDEX IX_Zam_Klienta ON Zam (IdKlienta, Data DESC)");
    Run("CREATE STATISTICS st_Zam_Klienta ON Zam (IdKlienta)");
    Run("CREATE USER [app] FOR LOGIN [app]");
  }
  void Run(const std::string& sql) {
    db::Query q(*conn);
    q.Add(sql);
    q.ExecSQL();
  }
  std::int64_t Id(const std::string& name) {
    return server->Execute("SELECT id FROM sysobjects WHERE name = ?", {Value::Str(name)}).rows.at(0).at(0).AsInteger();
  }
  // Rows of stored query `item` with its markers bound by name, as text:
  // the named fields of each row joined by "|", rows by ";".
  std::string Rows(int item, const std::vector<std::pair<std::string, Value>>& params, const std::vector<std::string>& fields) {
    db::Query q(*conn);
    schema::LoadStoredQuery(q, schema::LMDSL_SQL(), item);
    for (auto& [n, v] : params) q.SetParam(n, v);
    q.Open();
    std::string r;
    for (q.First(); !q.Eof(); q.Next()) {
      for (std::size_t i = 0; i < fields.size(); ++i) r += (i ? "|" : "") + q.Field(fields[i]).AsString();
      r += ";";
    }
    return r;
  }
  std::unique_ptr<db::Connection> conn;
  sqlsim::Server* server = nullptr;
};

TEST_F(StoredQueries, ForeignKeysOfAColumnFromEitherSide) {
  using schema::sql_item::kFKeysForColumn;
  const std::vector<std::string> f = {"fkeyname", "fname", "fcolname", "rname", "rcolname", "keyno"};
  auto both = [](const char* col, const char* table) {
    return std::vector<std::pair<std::string, Value>>{{"fcolname1", Value::Str(col)}, {"ftablename1", Value::Str(table)},
                                                      {"fcolname2", Value::Str(col)}, {"ftablename2", Value::Str(table)}};
  };
  const std::string fk = "FK_Zam_Klienci|Zam|IdKlienta|Klienci|Id|1;";
  EXPECT_EQ(Rows(kFKeysForColumn, both("IdKlienta", "Zam"), f), fk);
  EXPECT_EQ(Rows(kFKeysForColumn, both("id", "KLIENCI"), f), fk);
  EXPECT_EQ(Rows(kFKeysForColumn, both("Nr", "Zam"), f), "");
  EXPECT_EQ(Rows(kFKeysForColumn, both("Id", "Zam"), f), "");
}

TEST_F(StoredQueries, IndexesOfAColumnLeaveStatisticsOut) {
  using schema::sql_item::kIndexesForColumn;
  const std::vector<std::string> f = {"indname", "colname", "IsUnique", "IsPrimaryKey"};
  std::int64_t zam = Id("Zam");
  EXPECT_EQ(Rows(kIndexesForColumn, {{"objID_SQL", Value::Int(zam)}, {"fcolName", Value::Str("IdKlienta")}}, f),
            "IX_Zam_Klienta|IdKlienta|0|0;");
  EXPECT_EQ(Rows(kIndexesForColumn, {{"objID_SQL", Value::Int(zam)}, {"fcolName", Value::Str("Poz")}}, f), "PK_Zam|Poz|1|1;");
  // The table's own index list leaves the statistics out too.
  EXPECT_EQ(Rows(schema::sql_item::kIndexes, {{"objID_SQL", Value::Int(zam)}}, {"indname", "IsPrimaryKey", "IsUnique", "IsClustered"}),
            "IX_Zam_Klienta|0|0|0;PK_Zam|1|1|1;");
}

TEST_F(StoredQueries, KeysOfAnIndexInColumnOrder) {
  // IdKlienta is column 3 of Zam, Data column 5: ordered by column, keyno kept.
  EXPECT_EQ(Rows(schema::sql_item::kIndexKeys, {{"objID_SQL", Value::Int(Id("Zam"))}, {"indname", Value::Str("IX_Zam_Klienta")}},
                 {"colname", "keyno", "IsDescending"}),
            "IdKlienta|1|0;Data|2|1;");
}

TEST_F(StoredQueries, RolesAreTheDatabaseRolesOnly) {
  // Not public, not the fixed roles, not users.
  EXPECT_EQ(Rows(schema::sql_item::kRole, {}, {"RoleName"}), "Kasjer;");
}

}  // namespace
