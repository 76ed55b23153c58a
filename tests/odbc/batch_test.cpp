#include "odbc/batch.h"

#include <gtest/gtest.h>

namespace {

using odbc::Step;

// One result of a scripted batch: how the driver reports moving onto it,
// its columns, and whether reading its rows fails.
struct ScriptedResult {
  Step step;
  int columns = 0;
  int value = 0;  // the single row's value
  bool fetchFails = false;
};

class ScriptedCursor : public odbc::BatchCursor {
 public:
  explicit ScriptedCursor(std::vector<ScriptedResult> results) : results_(std::move(results)) {}
  Step Start() { return results_.empty() ? Step{} : results_[0].step; }
  int ColumnCount() override { return results_.at(pos_).columns; }
  void Fetch(db::ResultSet& into) override {
    ++fetches;
    const ScriptedResult& r = results_.at(pos_);
    into.columns.assign(static_cast<std::size_t>(r.columns), "c");
    into.rows.push_back({db::Value::Int(r.value)});
    if (r.fetchFails) throw db::OleError(db::code::kCommandError, "row " + std::to_string(r.value) + " failed");
  }
  Step MoreResults() override {
    ++moves;
    ++pos_;
    return pos_ < results_.size() ? results_[pos_].step : Step{};
  }
  int fetches = 0, moves = 0;

 private:
  std::vector<ScriptedResult> results_;
  std::size_t pos_ = 0;
};

Step Ok() {
  return {Step::Ok, {}};
}
Step Err(const char* state, int native, const char* text) {
  return {Step::Error, {{state, native, 16, text}}};
}

TEST(DrainBatch, KeepsTheFirstResultWithColumns) {
  ScriptedCursor c({{Ok(), 0}, {Ok(), 1, 10}, {Ok(), 1, 20}});
  const db::ResultSet rs = odbc::DrainBatch(c, c.Start());
  ASSERT_EQ(rs.rows.size(), 1u);
  EXPECT_EQ(rs.rows[0][0], db::Value::Int(10));
  EXPECT_EQ(c.fetches, 1);
  EXPECT_EQ(c.moves, 3);  // walked to the end
}

TEST(DrainBatch, FirstErrorIsRaisedAfterTheWholeBatch) {
  ScriptedCursor c({{Ok(), 0},
                    {Err("42S02", 208, "[FreeTDS][SQL Server]Invalid object name 'x'."), 0},
                    {Ok(), 1, 5},
                    {Err("23000", 2627, "[FreeTDS][SQL Server]Violation of PRIMARY KEY constraint 'PK'."), 0}});
  try {
    odbc::DrainBatch(c, c.Start());
    FAIL() << "no error raised";
  } catch (const db::OleError& e) {
    EXPECT_EQ(e.code(), db::code::kCommandError);
    EXPECT_EQ(std::string(e.what()), "[FreeTDS][SQL Server]Invalid object name 'x'. (208)");
  }
  EXPECT_EQ(c.moves, 4);
}

TEST(DrainBatch, AnErrorInALaterStatementIsNotLost) {
  ScriptedCursor c({{Ok(), 1, 1}, {Ok(), 0}, {Err("23000", 547, "conflicted with the FOREIGN KEY constraint"), 0}});
  try {
    odbc::DrainBatch(c, c.Start());
    FAIL() << "no error raised";
  } catch (const db::OleError& e) {
    EXPECT_EQ(e.code(), db::code::kIntegrity);
  }
}

TEST(DrainBatch, NotesAreNotErrorsButErrorsDisguisedAsNotesAre) {
  ScriptedCursor quiet({{{Step::OkWithInfo, {{"01000", 5701, 10, "Changed database context to 'Firma'."}}}, 1, 3}});
  EXPECT_EQ(odbc::DrainBatch(quiet, quiet.Start()).rows.at(0).at(0), db::Value::Int(3));

  ScriptedCursor loud({{{Step::OkWithInfo, {{"01000", 5701, 10, "ctx"}, {"42000", 50000, 16, "raised"}}}, 0}});
  EXPECT_THROW(odbc::DrainBatch(loud, loud.Start()), db::OleError);
}

TEST(DrainBatch, FailedFetchIsRaisedAndTheWalkGoesOn) {
  ScriptedCursor c({{Ok(), 1, 1, true}, {Ok(), 1, 2}});
  try {
    odbc::DrainBatch(c, c.Start());
    FAIL() << "no error raised";
  } catch (const db::OleError& e) {
    EXPECT_EQ(std::string(e.what()), "row 1 failed");
  }
  EXPECT_EQ(c.moves, 2);
}

TEST(DrainBatch, StopsWhereTheDriverCannotGoOn) {
  ScriptedCursor lost({{Err("08S01", 20004, "Read from the server failed"), 0}, {Ok(), 1, 1}});
  try {
    odbc::DrainBatch(lost, lost.Start());
    FAIL() << "no error raised";
  } catch (const db::OleError& e) {
    EXPECT_TRUE(e.ConnectionLost());
    EXPECT_EQ(e.code(), db::code::kUnreachable);
  }
  EXPECT_EQ(lost.moves, 0);

  ScriptedCursor silent({{{Step::Error, {}}, 0}, {Ok(), 1, 1}});
  EXPECT_THROW(odbc::DrainBatch(silent, silent.Start()), db::OleError);
  EXPECT_EQ(silent.moves, 0);
}

TEST(DrainBatch, EmptyBatchGivesNoColumns) {
  ScriptedCursor c({});
  const db::ResultSet rs = odbc::DrainBatch(c, c.Start());
  EXPECT_TRUE(rs.columns.empty());
  EXPECT_TRUE(rs.rows.empty());
}

}  // namespace
