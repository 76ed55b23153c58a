#include <gtest/gtest.h>

#include "db/db.h"

namespace {

// A connection that records what it was sent and answers with a fixed table.
class FakeConnection : public db::Connection {
 public:
  void Open(const db::ConnectParams&) override { open = true; }
  void Close() override { open = false; }
  bool IsOpen() const override { return open; }
  void BeginTrans() override {}
  void CommitTrans() override {}
  void RollbackTrans() override {}
  db::ResultSet Execute(const db::Statement& st) override {
    sent.push_back(st);
    return answer;
  }
  void UpdateRow(const db::ResultSet&, std::size_t row,
                 const std::vector<std::pair<std::string, db::Value>>& changes) override {
    updatedRow = row;
    updates = changes;
  }
  bool open = false;
  std::vector<db::Statement> sent;
  db::ResultSet answer;
  std::size_t updatedRow = 99;
  std::vector<std::pair<std::string, db::Value>> updates;
};

TEST(ParamMarkers, FoundOutsideQuotesBracketsAndComments) {
  std::string replaced;
  auto names = db::ParseParamMarkers(
      "SELECT ':no', \"x:y\", [a:b] FROM t -- :c\r\nWHERE id = :objID_SQL and n = :Name2 and t = 1::int", &replaced);
  ASSERT_EQ(names, (std::vector<std::string>{"objID_SQL", "Name2"}));
  EXPECT_EQ(replaced, "SELECT ':no', \"x:y\", [a:b] FROM t -- :c\r\nWHERE id = ? and n = ? and t = 1::int");
}

TEST(ParamMarkers, DoubledQuoteStaysInsideLiteral) {
  std::string replaced;
  auto names = db::ParseParamMarkers("WHERE a = 'it''s :x' AND b = :y", &replaced);
  ASSERT_EQ(names, std::vector<std::string>{"y"});
  EXPECT_EQ(replaced, "WHERE a = 'it''s :x' AND b = ?");
}

TEST(Query, ParametersBoundByNameIgnoringCaseInMarkerOrder) {
  FakeConnection c;
  auto q = c.CreateQuery();
  q->SetParamCheck(true);
  q->Add("SELECT * FROM x WHERE a = :fcolname1 OR b = :FColName2");
  q->Add("AND id = :objID_SQL");
  q->SetParam("ObjID_SQL", db::Value::Int(7));
  q->SetParam("fcolname2", db::Value::Str("B"));
  q->SetParam("FCOLNAME1", db::Value::Str("A"));
  q->Open();
  ASSERT_EQ(c.sent.size(), 1u);
  EXPECT_EQ(c.sent[0].text, "SELECT * FROM x WHERE a = ? OR b = ?\r\nAND id = ?");
  ASSERT_EQ(c.sent[0].params.size(), 3u);
  EXPECT_EQ(c.sent[0].params[0].AsString(), "A");
  EXPECT_EQ(c.sent[0].params[1].AsString(), "B");
  EXPECT_EQ(c.sent[0].params[2].AsInteger(), 7);
  EXPECT_EQ(c.sent[0].timeoutSeconds, 600);
}

TEST(Query, WithoutParamCheckColonsAreSentUnchanged) {
  FakeConnection c;
  auto q = c.CreateQuery();
  q->Add("CREATE PROCEDURE p AS SELECT ':' + name FROM t WHERE x = :y");
  q->ExecSQL();
  EXPECT_EQ(c.sent.at(0).text, "CREATE PROCEDURE p AS SELECT ':' + name FROM t WHERE x = :y");
  EXPECT_THROW(q->SetParam("y", db::Value::Int(1)), db::OleError);
}

TEST(Query, MissingParameterValueIsAnError) {
  FakeConnection c;
  auto q = c.CreateQuery();
  q->SetParamCheck(true);
  q->Add("SELECT :a");
  EXPECT_THROW(q->Open(), db::OleError);
  EXPECT_TRUE(c.sent.empty());
}

TEST(Query, RowsFieldsLocateAndPost) {
  FakeConnection c;
  c.answer.columns = {"ID", "Name"};
  c.answer.rows = {{db::Value::Int(1), db::Value::Str("Alfa")}, {db::Value::Int(2), db::Value::Str("Beta")}};
  auto q = c.CreateQuery();
  q->Add("SELECT * FROM tblObjects");
  q->Open();
  EXPECT_EQ(q->RecordCount(), 2);
  EXPECT_EQ(q->Field("name").AsString(), "Alfa");
  EXPECT_THROW(q->Field("nope"), db::OleError);
  EXPECT_TRUE(q->Locate("NAME", "bEtA"));
  EXPECT_EQ(q->Field("id").AsInteger(), 2);
  EXPECT_FALSE(q->Locate("Name", "Gamma"));
  EXPECT_EQ(q->Field("id").AsInteger(), 2);
  q->Edit();
  q->SetField("name", db::Value::Str("Nowa"));
  q->Post();
  EXPECT_EQ(c.updatedRow, 1u);
  ASSERT_EQ(c.updates.size(), 1u);
  EXPECT_EQ(c.updates[0].first, "Name");
  EXPECT_EQ(q->Field("Name").AsString(), "Nowa");
  q->Next();
  EXPECT_TRUE(q->Eof());
  EXPECT_THROW(q->Field("ID"), db::OleError);
}

TEST(Value, ReadingRules) {
  EXPECT_EQ(db::Value().AsInteger(), 0);
  EXPECT_EQ(db::Value().AsString(), "");
  EXPECT_EQ(db::Value::Str("").AsInteger(), 0);
  EXPECT_EQ(db::Value::Str(" 42 ").AsInteger(), 42);
  EXPECT_THROW(db::Value::Str("x1").AsInteger(), std::invalid_argument);
  EXPECT_EQ(db::Value::Real(3.0).AsString(), "3");
  EXPECT_EQ(db::Value::Date({2026, 12, 9, 0, 0, 0}).AsString(), "09-12-2026");
  EXPECT_EQ(db::Value::Date({2026, 12, 9, 14, 5, 3}).AsString(), "09-12-2026 14:05:03");
}

TEST(OleError, FormatIsUnsignedCapitalHex) {
  EXPECT_EQ(db::FormatOleError(0x80040E14, "Bad"), "(80040E14) Bad");
  EXPECT_EQ(db::FormatOleError(0x1f, "x"), "(1F) x");
}

}  // namespace
