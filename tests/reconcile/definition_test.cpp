// Comparing a text-defined object with its template text, and altering it.
#include <gtest/gtest.h>

#include "fakes.h"
#include "reconcile/objects/definition.h"
#include "wizard/driver.h"

using fake::I;
using fake::Rows;
using fake::S;
using Lines = std::vector<std::string>;

namespace {

// A view V1 (template id 7) with `tpl` as its template text and `srv` as
// what the server's sp_helptext returns; the template row is current.
void Prepare(fake::Rig& r, const Lines& srv, const Lines& tpl) {
  r.tmpl->objects.push_back({7, "V1", "V", 1, 0, 1});
  r.tmpl->texts[7] = tpl;
  db::ResultSet rs = Rows({"Text"}, {});
  for (const auto& l : srv) rs.rows.push_back({S(l)});
  r.server->On("exec sp_helptext 'V1'", rs);
  auto& t = *r.dm2.ADOT_Objects;
  t.Close();
  t.Clear();
  t.Add("SELECT * FROM tblObjects");
  t.Open();
  ASSERT_TRUE(t.Locate("Name", "V1"));
  r.f.CurrentTableName = "V1";
  r.f.CurrentTemplateId = 7;
}

}  // namespace

TEST(CompareDefinition, EqualOrDifferent) {
  struct Case {
    const char* what;
    Lines server, templ;
    bool equal;
  };
  const std::vector<Case> cases = {
      {"letter case and blanks", {"CREATE VIEW v1 AS\r\n", "  select a FROM t  \r\n"}, {"create view V1 as", "SELECT A from T"}, true},
      {"blank and comment lines on the server",
       {"CREATE VIEW V1 AS\r\n", "\r\n", "-- uwaga\r\n", "SELECT A FROM T\r\n"},
       {"CREATE VIEW V1 AS", "SELECT A FROM T"},
       true},
      {"blank and comment lines in the template",
       {"CREATE VIEW V1 AS\r\n", "SELECT A FROM T\r\n"},
       {"-- naglowek", "CREATE VIEW V1 AS", "   ", "SELECT A FROM T"},
       true},
      {"both end with the same comment", {"CREATE VIEW V1 AS", "SELECT A FROM T", "-- koniec"}, {"CREATE VIEW V1 AS", "SELECT A FROM T", "-- koniec"}, true},
      {"server ends with a comment the template lacks", {"CREATE VIEW V1 AS", "SELECT A FROM T", "-- koniec"}, {"CREATE VIEW V1 AS", "SELECT A FROM T"}, false},
      {"template has one line more", {"CREATE VIEW V1 AS", "SELECT A FROM T"}, {"CREATE VIEW V1 AS", "SELECT A FROM T", "WHERE A > 0"}, false},
      {"a body line differs", {"CREATE VIEW V1 AS", "SELECT A FROM T"}, {"CREATE VIEW V1 AS", "SELECT B FROM T"}, false},
      {"Polish letters are compared as they are", {"CREATE VIEW V1 AS", "SELECT 'ż'"}, {"CREATE VIEW V1 AS", "SELECT 'Ż'"}, false},
  };
  for (const auto& c : cases) {
    fake::Rig r;
    Prepare(r, c.server, c.templ);
    reconcile::CompareDefinition(r.f);
    const bool altered = !r.server->Changes().empty();
    EXPECT_EQ(altered, !c.equal) << c.what;
    EXPECT_EQ(r.tmpl->Find("V1").sprawdzone, c.equal ? 1 : 0) << c.what;
    EXPECT_EQ(r.Logged("T Stwierdzono różnicę w V1"), !c.equal) << c.what;
    EXPECT_TRUE(r.f.failures.empty()) << c.what;
  }
}

TEST(CompareDefinition, DifferenceSendsTheAlterFramedBySetLines) {
  fake::Rig r;
  Prepare(r, {"CREATE VIEW V1 AS\r\n", "SELECT A FROM T\r\n"},
          {"-- widok\r\n", "CREATE VIEW V1 AS\r\n", "SELECT B, ':x' AS C FROM T\r\n"});
  reconcile::CompareDefinition(r.f);
  EXPECT_EQ(r.server->Changes(), (Lines{"SET QUOTED_IDENTIFIER OFF\r\nSET ANSI_NULLS OFF",
                                        "-- widok\r\nALTER VIEW V1 AS\r\nSELECT B, ':x' AS C FROM T",
                                        "SET QUOTED_IDENTIFIER OFF\r\nSET ANSI_NULLS ON"}));
  EXPECT_TRUE(r.server->log[1].params.empty() && r.server->log[2].params.empty());
  EXPECT_TRUE(r.Logged("T Modyfikacja obiektu V1 zakończona sukcesem"));
  EXPECT_EQ(r.tmpl->Find("V1").sprawdzone, 0);
}

TEST(CompareDefinition, ForcedRebuildAltersAnEqualObjectAndFlagsIt) {
  fake::Rig r;
  r.f.options.chbRebuildAll = true;
  Prepare(r, {"create procedure P AS SELECT 1"}, {"CREATE PROCEDURE P AS SELECT 1"});
  reconcile::CompareDefinition(r.f);
  ASSERT_EQ(r.server->Changes().size(), 3u);
  EXPECT_EQ(r.server->Changes()[1], "ALTER PROCEDURE P AS SELECT 1");
  EXPECT_EQ(r.tmpl->Find("V1").sprawdzone, 1);
  EXPECT_FALSE(r.Logged("T Stwierdzono różnicę w V1"));
}

TEST(CompareDefinition, FailedAlterReachesTheErrorReportWithTheAlteredText) {
  fake::Rig r;
  Prepare(r, {"CREATE VIEW V1 AS", "SELECT A FROM T"}, {"CREATE VIEW V1 AS", "SELECT Brak FROM T"});
  r.server->Fail("ALTER VIEW", db::code::kCommandError, "Invalid column name 'Brak'.");
  reconcile::CompareDefinition(r.f);
  ASSERT_EQ(r.f.failures.size(), 1u);
  EXPECT_EQ(r.f.failures[0].message, "(80040E14) Invalid column name 'Brak'.");
  EXPECT_EQ(r.f.failures[0].statement, (Lines{"ALTER VIEW V1 AS", "SELECT Brak FROM T"}));
  EXPECT_FALSE(r.Logged("T Modyfikacja obiektu V1 zakończona sukcesem"));
  EXPECT_EQ(r.tmpl->Find("V1").sprawdzone, 0);
}

TEST(CompareDefinition, RefusedHelpTextIsShownAndNothingElseHappens) {
  fake::Rig r;
  r.tmpl->objects.push_back({7, "V1", "V", 1, 0, 1});
  r.tmpl->texts[7] = {"CREATE VIEW V1 AS SELECT 1"};
  r.server->Fail("exec sp_helptext", db::code::kCommandError, "There is no text for object 'V1'.");
  r.f.CurrentTableName = "V1";
  r.f.CurrentTemplateId = 7;
  reconcile::CompareDefinition(r.f);
  ASSERT_EQ(r.ui.dialogs.size(), 1u);
  EXPECT_EQ(r.ui.dialogs[0].text, "(80040E14) There is no text for object 'V1'.");
  EXPECT_TRUE(r.server->Changes().empty());
  EXPECT_EQ(r.tmpl->Find("V1").sprawdzone, 0);
}

TEST(CompareDefinition, LostLinkIsRaisedNotShown) {
  fake::Rig r;
  r.tmpl->objects.push_back({7, "V1", "V", 1, 0, 1});
  r.server->Fail("exec sp_helptext", db::code::kUnreachable, "Communication link failure");
  r.f.CurrentTableName = "V1";
  r.f.CurrentTemplateId = 7;
  EXPECT_THROW(reconcile::CompareDefinition(r.f), wizard::LinkLost);
  EXPECT_TRUE(r.ui.dialogs.empty());
}
