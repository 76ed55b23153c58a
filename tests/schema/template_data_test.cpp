// The template helpers and statements on a real template built from
// tests/data/templates/small.sql.
#include "schema/template_data.h"

#include <gtest/gtest.h>

#include <functional>

#include "schema/stored_queries.h"
#include "sqlite/temp_template.h"

namespace {

using db::Value;
using testutil::Changes;
using testutil::TakeSnapshot;

class TemplateData : public ::testing::Test {
 protected:
  void SetUp() override { dm2 = std::make_unique<schema::TDM2>(testutil::OpenSmallTemplate(dir.File("t.mdb"))); }
  void Sql(const std::string& text) {
    db::Statement st;
    st.text = text;
    dm2->ADO_CNN2.Execute(st);
  }
  // The values of one column over all rows of an opened query.
  static std::vector<std::string> Column(db::Query& q, const std::string& field) {
    std::vector<std::string> out;
    for (q.First(); !q.Eof(); q.Next()) out.push_back(q.Field(field).AsString());
    q.First();
    return out;
  }
  std::vector<std::string> Run(db::Query& q, const schema::Lines& lines, const std::string& field) {
    schema::OpenTemplateQuery(q, lines);
    return Column(q, field);
  }
  testutil::TempDir dir;
  std::unique_ptr<schema::TDM2> dm2;
};

using Names = std::vector<std::string>;

TEST_F(TemplateData, AlreadyUsedFollowsTheObjectFlags) {
  EXPECT_FALSE(schema::TemplateAlreadyUsed(*dm2));
  schema::OpenObjectsTable(*dm2);
  ASSERT_TRUE(dm2->ADOT_Objects->Locate("Name", "vklienci"));
  schema::WriteFlags(*dm2->ADOT_Objects, {{"Sprawdzone", 1}});
  EXPECT_TRUE(schema::TemplateAlreadyUsed(*dm2));
  Sql("DELETE FROM tblObjects");
  EXPECT_FALSE(schema::TemplateAlreadyUsed(*dm2));  // empty table: the sum is NULL
  Sql("DROP TABLE tblObjects");
  EXPECT_FALSE(schema::TemplateAlreadyUsed(*dm2));  // any failure counts as not used
}

TEST_F(TemplateData, ObjectTableKeepsStoredOrderForNamesDifferingInCase) {
  Sql("INSERT INTO tblObjects (ID, Name, xtype, Priorytet) VALUES (0, 'ZAM', 'V', 1)");
  schema::OpenObjectsTable(*dm2);
  EXPECT_EQ(Column(*dm2->ADOT_Objects, "ID"), (Names{"1", "2", "3", "4", "5", "6", "0"}));
  ASSERT_TRUE(dm2->ADOT_Objects->Locate("Name", "zam"));
  EXPECT_EQ(dm2->ADOT_Objects->Field("xtype"), Value::Str("U"));  // the first in table order
}

TEST_F(TemplateData, VersionAndHighestPriority) {
  auto v = schema::ReadTemplateVersion(*dm2);
  EXPECT_TRUE(v.found);
  EXPECT_EQ(v.NrGlowny, 5);
  EXPECT_EQ(v.NrPodrzedny_1, 12);
  EXPECT_EQ(v.NrPodrzedny_2, 3);
  EXPECT_EQ(v.Aktualizacja, "09-12-2026");
  EXPECT_EQ(schema::MaxPriority(*dm2), 3);  // the unknown-type object counts too
  EXPECT_EQ(dm2->ADOQ_Misc->Lines(), schema::LMDSL_ACC()[0].lines);

  Sql("DELETE FROM toolSysVersion; DELETE FROM tblObjects");
  v = schema::ReadTemplateVersion(*dm2);
  EXPECT_FALSE(v.found);
  EXPECT_EQ(v.NrGlowny + v.NrPodrzedny_1 + v.NrPodrzedny_2, 0);
  EXPECT_EQ(v.Aktualizacja, "");
  EXPECT_EQ(schema::MaxPriority(*dm2), 0);

  Sql("DROP TABLE toolSysVersion; DROP TABLE tblObjects");
  EXPECT_THROW(schema::ReadTemplateVersion(*dm2), db::OleError);
  try {
    schema::MaxPriority(*dm2);
    ADD_FAILURE() << "no error without tblObjects";
  } catch (const db::OleError& e) {
    EXPECT_EQ(e.code(), db::code::kCommandError);
    EXPECT_NE(std::string(e.what()).find("tblObjects"), std::string::npos);
    EXPECT_EQ(dm2->ADOQ_Misc->Lines(), schema::LMDSL_ACC()[0].lines);  // kept for the report
  }
}

TEST_F(TemplateData, ObjectStatementsReturnWhatTheyShould) {
  auto& q = *dm2->ADOQ_Objects;
  EXPECT_EQ(Run(q, schema::MissingObjectsSql("U", 1), "Name"), (Names{"Klienci", "Zam"}));
  EXPECT_EQ(Run(q, schema::MissingObjectsSql("V", 1), "Name"), Names{});
  EXPECT_EQ(Run(q, schema::MissingObjectsSql("V", 2), "Name"), Names{"vKlienci"});
  EXPECT_EQ(Run(q, schema::MissingObjectsSql("XX", 3), "id"), Names{"6"});
  Sql("UPDATE tblObjects SET ObiektIstnieje = 1 WHERE ID = 1");
  EXPECT_EQ(Run(q, schema::MissingObjectsSql("U", 1), "Name"), Names{"Zam"});
  // Text lines come by ROWID whatever the stored order.
  EXPECT_EQ(Run(*dm2->ADOQ_ObjectText, schema::ObjectTextSql(5), "Text"),
            (Names{"CREATE PROCEDURE pDodajKlienta @Nazwa NVARCHAR(100) AS",
                   "  INSERT INTO Klienci (Nazwa) VALUES (@Nazwa)"}));
  EXPECT_EQ(Run(*dm2->ADOQ_ObjectText, schema::ObjectTextSql(4), "text").at(0), "CREATE VIEW vKlienci AS\r\n");
}

TEST_F(TemplateData, ColumnStatementsJoinTheirConstraints) {
  auto& q = *dm2->ADOQ_ColumnDef;
  EXPECT_EQ(Run(q, schema::ColumnsSql(1), "Name"), (Names{"Id", "Nazwa", "Kraj", "Kraj", "Notatka"}));
  EXPECT_EQ(Column(q, "IsDefValue").size(), 5u);
  ASSERT_TRUE(q.Locate("Name", "nazwa"));
  EXPECT_TRUE(q.Field("IsDefValue").IsNull());
  EXPECT_EQ(q.Field("Collate"), Value::Str("Polish_CI_AS"));
  EXPECT_EQ(q.Field("IdentityInc").AsString(), "");

  // CREATE TABLE sees each column once, with its default only.
  EXPECT_EQ(Run(q, schema::CreateTableColumnsSql(1), "Name"), (Names{"Id", "Nazwa", "Kraj", "Notatka"}));
  ASSERT_TRUE(q.Locate("Name", "Kraj"));
  EXPECT_EQ(q.Field("IsDefValue"), Value::Str("D"));
  EXPECT_EQ(q.Field("Text"), Value::Str("('PL')"));
  EXPECT_EQ(Run(q, schema::CreateTableColumnsSql(2), "Text"), (Names{"", "", "", "(getdate())"}));

  Sql("UPDATE tblColumnDef SET Sprawdzone = 1, PoleIstnieje = 1 WHERE ID = 1 AND Name IN ('Id', 'Kraj')");
  EXPECT_EQ(Run(q, schema::ColumnsToAddSql(1), "Name"), (Names{"Nazwa", "Notatka"}));
}

TEST_F(TemplateData, IndexAndConstraintStatements) {
  EXPECT_EQ(Run(*dm2->ADOQ_Indexes, schema::IndexesSql(1), "indname"), (Names{"PK_Klienci", "UQ_Klienci_Id_Kraj"}));
  EXPECT_EQ(Run(*dm2->ADOQ_Indexes, schema::MissingPrimaryKeySql(2), "indname"), Names{"PK_Zam"});
  EXPECT_EQ(Run(*dm2->ADOQ_Indexes, schema::MissingIndexesSql(2), "indname"), Names{"IX_Zam_Data"});
  Sql("UPDATE tblIndexes SET IndeksIstnieje = 1 WHERE indname = 'PK_Zam'");
  EXPECT_EQ(Run(*dm2->ADOQ_Indexes, schema::MissingPrimaryKeySql(2), "indname"), Names{});

  auto& k = *dm2->ADOQ_IndexKeys;
  EXPECT_EQ(Run(k, schema::IndexKeysSql(2, "ix_zam_data"), "ColName"), (Names{"Data", "IdKlienta"}));
  EXPECT_EQ(Run(k, schema::IndexKeyColumnsSql(2, " IX_Zam_Data ", false), "ColName"), Names{"Data"});
  EXPECT_EQ(Column(k, "IsDescending"), Names{"1"});
  EXPECT_EQ(Run(k, schema::IndexKeyColumnsSql(2, "IX_Zam_Data", true), "ColName"), Names{"IdKlienta"});
  EXPECT_EQ(Run(k, schema::IndexKeysSql(1, "UQ_Klienci_Id_Kraj"), "KeyNo"), (Names{"1", "2"}));

  auto& c = *dm2->ADOQ_CheckAndDefault;
  EXPECT_EQ(Run(c, schema::CheckAndDefaultSql(2), "name"), (Names{"DF_Zam_Data", "CK_Zam_Id"}));
  Sql("UPDATE tblCheck_And_Default SET Sprawdzone = 1, ObiektIstnieje = 1 WHERE name = 'DF_Zam_Data'");
  EXPECT_EQ(Run(c, schema::MissingCheckAndDefaultSql(2), "name"), Names{"CK_Zam_Id"});
}

TEST_F(TemplateData, ForeignKeyQueriesGiveOneRowPerPairByKeyno) {
  schema::OpenTemplateForeignKey(*dm2, 3);
  auto& q = *dm2->ADOQ_ForeignKeys;
  EXPECT_EQ(Column(q, "fcolname"), (Names{"IdKlienta", "KrajKlienta"}));
  EXPECT_EQ(Column(q, "rcolname"), (Names{"Id", "Kraj"}));
  EXPECT_EQ(Column(q, "keyno"), (Names{"1", "2"}));
  EXPECT_EQ(Column(q, "fName"), (Names{"Zam", "Zam"}));
  EXPECT_EQ(Column(q, "rName"), (Names{"Klienci", "Klienci"}));
  EXPECT_EQ(Column(q, "IsDeleteCascade"), (Names{"1", "1"}));
  EXPECT_EQ(Column(q, "IsDisabled"), (Names{"0", "0"}));
  EXPECT_EQ(Column(q, "id"), (Names{"3", "3"}));
  schema::OpenTemplateForeignKey(*dm2, 99);
  EXPECT_TRUE(q.Eof());

  EXPECT_EQ(Run(q, schema::ForeignKeyForCreationSql(3), "Name"), (Names{"FK_Zam_Klienci", "FK_Zam_Klienci"}));
  EXPECT_EQ(Column(q, "fcolname"), (Names{"IdKlienta", "KrajKlienta"}));
}

// Every flag write of a run, each through the query object that makes it:
// exactly the named row changes, and only in the flags written.
TEST_F(TemplateData, FlagWritesChangeExactlyTheirRow) {
  struct Case {
    const char* what;
    const char* table;
    std::function<db::Query&()> position;  // opens the query, puts the row current
    std::vector<std::pair<const char*, int>> flags;
    std::vector<std::string> changes;
  };
  auto locate = [](db::Query& q, const char* field, const char* value) -> db::Query& {
    if (!q.Locate(field, value)) throw std::runtime_error(std::string("no row ") + value);
    return q;
  };
  const std::vector<Case> cases = {
      {"object found by the sweep",
       "tblObjects",
       [&]() -> db::Query& {
         schema::OpenObjectsTable(*dm2);
         return locate(*dm2->ADOT_Objects, "Name", "ZAM");
       },
       {{"ObiektIstnieje", 1}},
       {"2.ObiektIstnieje: 0 -> 1"}},
      {"text found equal",
       "tblObjects",
       [&]() -> db::Query& {
         schema::OpenObjectsTable(*dm2);
         return locate(*dm2->ADOT_Objects, "Name", "vKlienci");
       },
       {{"Sprawdzone", 1}},
       {"4.Sprawdzone: 0 -> 1"}},
      {"missing object created",
       "tblObjects",
       [&]() -> db::Query& {
         schema::OpenTemplateQuery(*dm2->ADOQ_Objects, schema::MissingObjectsSql("P", 2));
         return *dm2->ADOQ_Objects;
       },
       {{"Sprawdzone", 1}, {"ObiektIstnieje", 1}},
       {"5.ObiektIstnieje: 0 -> 1", "5.Sprawdzone: 0 -> 1"}},
      {"column with a default and a check",
       "tblColumnDef",
       [&]() -> db::Query& {
         schema::OpenTemplateQuery(*dm2->ADOQ_ColumnDef, schema::ColumnsSql(1));
         auto& q = locate(*dm2->ADOQ_ColumnDef, "Name", "Kraj");
         q.Next();  // the second joined row of the same column
         return q;
       },
       {{"Sprawdzone", 1}, {"PoleIstnieje", 1}},
       {"3.PoleIstnieje: 0 -> 1", "3.Sprawdzone: 0 -> 1"}},
      {"column added",
       "tblColumnDef",
       [&]() -> db::Query& {
         schema::OpenTemplateQuery(*dm2->ADOQ_ColumnDef, schema::ColumnsToAddSql(2));
         return locate(*dm2->ADOQ_ColumnDef, "Name", "Data");
       },
       {{"Sprawdzone", 1}, {"PoleIstnieje", 1}},
       {"8.PoleIstnieje: 0 -> 1", "8.Sprawdzone: 0 -> 1"}},
      {"index created",
       "tblIndexes",
       [&]() -> db::Query& {
         schema::OpenTemplateQuery(*dm2->ADOQ_Indexes, schema::MissingIndexesSql(2));
         return *dm2->ADOQ_Indexes;
       },
       {{"Sprawdzone", 1}, {"IndeksIstnieje", 1}},
       {"4.IndeksIstnieje: 0 -> 1", "4.Sprawdzone: 0 -> 1"}},
      {"constraint found",
       "tblCheck_And_Default",
       [&]() -> db::Query& {
         schema::OpenTemplateQuery(*dm2->ADOQ_CheckAndDefault, schema::CheckAndDefaultSql(1));
         return locate(*dm2->ADOQ_CheckAndDefault, "name", "CK_Klienci_Kraj");
       },
       {{"Sprawdzone", 1}, {"ObiektIstnieje", 1}},
       {"2.ObiektIstnieje: 0 -> 1", "2.Sprawdzone: 0 -> 1"}},
  };
  for (const auto& c : cases) {
    auto before = TakeSnapshot(dm2->ADO_CNN2, c.table);
    db::Query& q = c.position();
    q.Edit();
    for (const auto& [name, value] : c.flags) q.SetField(name, Value::Int(value));
    q.Post();
    EXPECT_EQ(Changes(before, TakeSnapshot(dm2->ADO_CNN2, c.table)), c.changes) << c.what;
    for (const auto& [name, value] : c.flags) EXPECT_EQ(q.Field(name), Value::Int(value)) << c.what;
  }
  // An index dropped on the server: both flags go back to 0.
  schema::OpenTemplateQuery(*dm2->ADOQ_Indexes, schema::IndexesSql(2));
  ASSERT_TRUE(dm2->ADOQ_Indexes->Locate("indname", "IX_Zam_Data"));
  auto before = TakeSnapshot(dm2->ADO_CNN2, "tblIndexes");
  schema::WriteFlags(*dm2->ADOQ_Indexes, {{"Sprawdzone", 0}, {"IndeksIstnieje", 0}});
  EXPECT_EQ(Changes(before, TakeSnapshot(dm2->ADO_CNN2, "tblIndexes")),
            (std::vector<std::string>{"4.IndeksIstnieje: 1 -> 0", "4.Sprawdzone: 1 -> 0"}));
}

}  // namespace
