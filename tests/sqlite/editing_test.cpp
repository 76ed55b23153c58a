// Editing rows of template queries: a post writes exactly the base row the
// current row came from, and refuses what it cannot place.
#include <gtest/gtest.h>

#include "sqlite/temp_template.h"

namespace {

using db::OleError;
using db::Value;
using testutil::Changes;
using testutil::TakeSnapshot;

class Editing : public ::testing::Test {
 protected:
  void SetUp() override { conn = testutil::OpenSmallTemplate(dir.File("t.mdb")); }
  std::unique_ptr<db::Query> Open(const std::vector<std::string>& lines) {
    auto q = conn->CreateQuery();
    q->SetLines(lines);
    q->Open();
    return q;
  }
  testutil::TempDir dir;
  std::unique_ptr<db::Connection> conn;
};

TEST_F(Editing, WholeTableRowFoundByNameIsTheOneWritten) {
  auto before = TakeSnapshot(*conn, "tblObjects");
  auto q = Open({"SELECT * FROM tblObjects"});
  ASSERT_TRUE(q->Locate("Name", "zam"));
  q->Edit();
  q->SetField("ObiektIstnieje", Value::Int(1));
  q->Post();
  EXPECT_EQ(q->Field("ObiektIstnieje"), Value::Int(1));
  EXPECT_EQ(Changes(before, TakeSnapshot(*conn, "tblObjects")), std::vector<std::string>{"2.ObiektIstnieje: 0 -> 1"});
}

TEST_F(Editing, JoinedColumnRowWritesOnlyItsColumnRow) {
  // Kraj has a default and a check: the join gives it two rows; both must
  // lead to the single tblColumnDef row of Kraj.
  auto q = Open({"SELECT tblColumnDef.*, tblCheck_And_Default.Type As IsDefValue, tblCheck_And_Default.Text ",
                 "FROM tblColumnDef LEFT JOIN tblCheck_And_Default ON (tblColumnDef.Name = "
                 "tblCheck_And_Default.ColName) AND (tblColumnDef.ID = tblCheck_And_Default.id) ",
                 "WHERE (tblColumnDef.ID = 1) ORDER BY tblColumnDef.ColOrder"});
  ASSERT_TRUE(q->Locate("Name", "Kraj"));
  q->Next();
  ASSERT_EQ(q->Field("Name"), Value::Str("Kraj"));
  ASSERT_FALSE(q->Field("IsDefValue").IsNull());
  auto colsBefore = TakeSnapshot(*conn, "tblColumnDef");
  auto consBefore = TakeSnapshot(*conn, "tblCheck_And_Default");
  q->Edit();
  q->SetField("Sprawdzone", Value::Int(1));
  q->SetField("PoleIstnieje", Value::Int(1));
  q->Post();
  EXPECT_EQ(Changes(colsBefore, TakeSnapshot(*conn, "tblColumnDef")),
            (std::vector<std::string>{"3.PoleIstnieje: 0 -> 1", "3.Sprawdzone: 0 -> 1"}));
  EXPECT_TRUE(Changes(consBefore, TakeSnapshot(*conn, "tblCheck_And_Default")).empty());
}

TEST_F(Editing, TextTableWithARowidColumnIsWrittenByItsRealRowNumber) {
  // tblObjectText has a column named ROWID that shadows SQLite's own name.
  auto before = TakeSnapshot(*conn, "tblObjectText");
  auto q = Open({"SELECT * FROM tblObjectText WHERE ID = 5 ORDER BY ID, ROWID"});
  ASSERT_EQ(q->Field("ROWID"), Value::Int(1));
  q->Edit();
  q->SetField("Text", Value::Str("CREATE PROCEDURE pDodajKlienta AS"));
  q->Post();
  EXPECT_EQ(Changes(before, TakeSnapshot(*conn, "tblObjectText")),
            std::vector<std::string>{
                "4.Text: CREATE PROCEDURE pDodajKlienta @Nazwa NVARCHAR(100) AS -> CREATE PROCEDURE pDodajKlienta AS"});
}

TEST_F(Editing, RefusesWhatHasNoSingleBaseRow) {
  struct Case {
    std::vector<std::string> sql;
    const char* field;
    const char* why;
  };
  const Case cases[] = {
      // an expression
      {{"SELECT ID, Priorytet + 1 AS Next FROM tblObjects"}, "Next", "not a column of a table"},
      // a table named twice
      {{"SELECT a.Name, b.Name AS Other FROM tblObjects a, tblObjects b WHERE a.ID = 1 AND b.ID = 2"},
       "Name",
       "is not known"},
      // the outer side of a join that matched nothing
      {{"SELECT tblColumnDef.*, tblCheck_And_Default.Type As IsDefValue FROM tblColumnDef LEFT JOIN "
        "tblCheck_And_Default ON (tblColumnDef.Name = tblCheck_And_Default.ColName) AND (tblColumnDef.ID = "
        "tblCheck_And_Default.id) WHERE tblColumnDef.ID = 1 AND tblColumnDef.Name = 'Id'"},
       "IsDefValue",
       "is not known"},
  };
  auto objects = TakeSnapshot(*conn, "tblObjects");
  auto columns = TakeSnapshot(*conn, "tblColumnDef");
  auto constraints = TakeSnapshot(*conn, "tblCheck_And_Default");
  for (const auto& c : cases) {
    auto q = Open(c.sql);
    ASSERT_FALSE(q->Eof());
    q->Edit();
    q->SetField(c.field, Value::Str("X"));
    try {
      q->Post();
      ADD_FAILURE() << c.sql[0];
    } catch (const OleError& e) {
      EXPECT_EQ(e.code(), db::code::kCommandError);
      EXPECT_NE(std::string(e.what()).find(c.why), std::string::npos) << e.what();
    }
  }
  EXPECT_TRUE(Changes(objects, TakeSnapshot(*conn, "tblObjects")).empty());
  EXPECT_TRUE(Changes(columns, TakeSnapshot(*conn, "tblColumnDef")).empty());
  EXPECT_TRUE(Changes(constraints, TakeSnapshot(*conn, "tblCheck_And_Default")).empty());
}

TEST_F(Editing, ARowDeletedMeanwhileIsReported) {
  auto q = Open({"SELECT * FROM tblIndexes WHERE ID = 2"});
  db::Statement del;
  del.text = "DELETE FROM tblIndexes WHERE indname = 'PK_Zam'";
  conn->Execute(del);
  ASSERT_TRUE(q->Locate("indname", "PK_Zam"));
  q->Edit();
  q->SetField("IndeksIstnieje", Value::Int(1));
  EXPECT_THROW(q->Post(), OleError);
}

TEST_F(Editing, ColumnsOfTwoTablesInOnePostAreWrittenTogether) {
  auto q = Open({"SELECT c.Name, c.Sprawdzone, d.name AS ConName, d.ObiektIstnieje FROM tblColumnDef AS c INNER JOIN ",
                 "tblCheck_And_Default d ON d.ColName = c.Name AND d.ID = c.ID WHERE d.name = \"DF_Zam_Data\""});
  ASSERT_EQ(q->RecordCount(), 1);
  auto cols = TakeSnapshot(*conn, "tblColumnDef");
  auto cons = TakeSnapshot(*conn, "tblCheck_And_Default");
  q->Edit();
  q->SetField("Sprawdzone", Value::Int(1));
  q->SetField("ObiektIstnieje", Value::Int(1));
  q->Post();
  EXPECT_EQ(Changes(cols, TakeSnapshot(*conn, "tblColumnDef")), std::vector<std::string>{"8.Sprawdzone: 0 -> 1"});
  EXPECT_EQ(Changes(cons, TakeSnapshot(*conn, "tblCheck_And_Default")),
            std::vector<std::string>{"3.ObiektIstnieje: 0 -> 1"});
}

}  // namespace
