// Foreign keys: comparison with the template, and the removals.
#include <gtest/gtest.h>

#include "fakes.h"
#include "reconcile/keys/fk_check.h"
#include "reconcile/objects/create.h"
#include "reconcile/objects/sweep.h"

using fake::I;
using fake::Rows;
using fake::S;
using Lines = std::vector<std::string>;

namespace {

struct Pair {
  std::string fcol, rcol;
  int keyno, del = 0, upd = 0, repl = 0, disabled = 0;
};

db::ResultSet ServerPairs(const std::vector<Pair>& pairs) {
  db::ResultSet rs = Rows({"constid", "fname", "fcolname", "rname", "rcolname", "keyno", "IsDeleteCascade",
                           "IsUpdateCascade", "IsNotForRepl", "CnstIsDisabled"},
                          {});
  for (const auto& p : pairs)
    rs.rows.push_back({I(900), S("Pozycje"), S(p.fcol), S("Zamowienia"), S(p.rcol), I(p.keyno), I(p.del), I(p.upd),
                       I(p.repl), I(p.disabled)});
  return rs;
}

// A template key FK_Poz (id 20, phase 1) of Pozycje(a, b) -> Zamowienia(x, y).
void TemplateKey(fake::Rig& r) {
  r.tmpl->objects = {{20, "FK_Poz", "F", 1}};
  r.tmpl->fks = {{20, "Pozycje", "a", "Zamowienia", "x", 1}, {20, "Pozycje", "b", "Zamowienia", "y", 2}};
  r.server->On("AND o.type = 'F'", Rows({"id", "name", "xtype"}, {{I(900), S("FK_Poz"), S("F")}}));
}

}  // namespace

TEST(CheckForeignKey, DropsOnlyAKeyThatDiffers) {
  struct Case {
    const char* what;
    std::vector<Pair> server;
    bool dropped;
  };
  const std::vector<Case> cases = {
      {"equal but for letter case", {{"A", "X", 1}, {"b", "y", 2}}, false},
      {"cascading delete on the server", {{"a", "x", 1, 1}, {"b", "y", 2, 1}}, true},
      {"one pair fewer", {{"a", "x", 1}}, true},
      {"another referenced column", {{"a", "x", 1}, {"b", "z", 2}}, true},
      {"disabled on the server", {{"a", "x", 1, 0, 0, 0, 1}, {"b", "y", 2, 0, 0, 0, 1}}, true},
      {"pairs in another position", {{"a", "x", 2}, {"b", "y", 1}}, true},
  };
  for (const auto& c : cases) {
    fake::Rig r;
    TemplateKey(r);
    r.server->On("sf.constid = ?", ServerPairs(c.server));
    reconcile::SweepObjects(r.f, "F", false);
    if (c.dropped) {
      EXPECT_EQ(r.server->Changes(), (Lines{"ALTER TABLE [Pozycje] DROP CONSTRAINT FK_Poz"})) << c.what;
      EXPECT_TRUE(r.Logged("T Usunąłem FOREIGN KEY FK_Poz tabeli Pozycje")) << c.what;
      // The key the template holds must come back: its flag is cleared.
      EXPECT_EQ(r.tmpl->Find("FK_Poz").istnieje, 0) << c.what;
    } else {
      EXPECT_TRUE(r.server->Changes().empty()) << c.what;
      EXPECT_EQ(r.tmpl->Find("FK_Poz").istnieje, 1) << c.what;
    }
  }
}

TEST(CheckForeignKey, DroppedKeyIsTakenByTheCreationStepOfThePhase) {
  fake::Rig r;
  TemplateKey(r);
  r.server->On("sf.constid = ?", ServerPairs({{"a", "x", 1, 1}, {"b", "y", 2, 1}}));
  reconcile::SweepObjects(r.f, "F", false);
  reconcile::AddMissingObjects(r.f, "F", false);
  EXPECT_TRUE(r.Logged("T Brak obiektu FK_Poz"));
  // The parameters reached the right markers.
  bool found = false;
  for (const auto& st : r.server->log)
    if (st.text.find("sf.constid = ?") != std::string::npos) {
      found = true;
      EXPECT_EQ(st.params, (std::vector<db::Value>{I(900)}));
    }
  EXPECT_TRUE(found);
  EXPECT_NE(r.tmpl->log.end(), std::find_if(r.tmpl->log.begin(), r.tmpl->log.end(), [](const std::string& t) {
              return t.find("WHERE tblForeignKeys.id = ?") != std::string::npos;
            }));
}

TEST(CheckForeignKey, FailedDropIsReportedAndTheFlagStays) {
  fake::Rig r;
  TemplateKey(r);
  r.server->On("sf.constid = ?", ServerPairs({{"a", "x", 1}}));
  r.server->Fail("DROP CONSTRAINT", db::code::kCommandError, "'FK_Poz' is not a constraint.");
  reconcile::SweepObjects(r.f, "F", false);
  ASSERT_EQ(r.f.failures.size(), 1u);
  EXPECT_EQ(r.f.failures[0].statement, (Lines{"ALTER TABLE [Pozycje] DROP CONSTRAINT FK_Poz"}));
  EXPECT_EQ(r.tmpl->Find("FK_Poz").istnieje, 1);
}

TEST(DropObsoleteForeignKey, DropsAKeyTheTemplateLacksUnlessItHasNoPairs) {
  fake::Rig r;
  r.server->On("AND o.type = 'F'",
               Rows({"id", "name", "xtype"}, {{I(70), S("FK_Old"), S("F")}, {I(71), S("FK_Sys"), S("F")}}));
  r.server->rules.push_back({"sf.constid = ?", [](const db::Statement& st) {
                               if (st.params.at(0).AsInteger() == 71) return db::ResultSet{};
                               return ServerPairs({{"a", "x", 1}});
                             }});
  reconcile::SweepObjects(r.f, "F", false);
  EXPECT_EQ(r.server->Changes(), (Lines{"ALTER TABLE [Pozycje] DROP CONSTRAINT FK_Old"}));
  EXPECT_TRUE(r.Logged("T Usunąłem FOREIGN KEY FK_Old tabeli Pozycje"));
}

TEST(DropColumnForeignKeys, EachKeyOnceAndNothingForAFreeColumn) {
  fake::Rig r;
  r.f.CurrentTableName = "Pozycje";
  reconcile::DropColumnForeignKeys(r.f, "a");
  EXPECT_TRUE(r.server->Changes().empty());
  EXPECT_EQ(r.server->log.back().params, (std::vector<db::Value>{S("a"), S("Pozycje"), S("a"), S("Pozycje")}));

  r.server->On("(scf.name = ? and sof.name = ?)",
               Rows({"constid", "fkeyname", "fname", "fcolname", "rname", "rcolname", "keyno"},
                    {{I(1), S("FK_Self"), S("Pozycje"), S("a"), S("Pozycje"), S("a"), I(1)},
                     {I(1), S("FK_Self"), S("Pozycje"), S("a"), S("Pozycje"), S("a"), I(1)},
                     {I(2), S("FK_In"), S("Inna"), S("p"), S("Pozycje"), S("a"), I(1)}}));
  r.server->Fail("CONSTRAINT FK_Self", db::code::kCommandError, "busy");
  reconcile::DropColumnForeignKeys(r.f, "a");
  EXPECT_EQ(r.server->Changes(), (Lines{"ALTER TABLE [Pozycje] DROP CONSTRAINT FK_Self",
                                        "ALTER TABLE [Inna] DROP CONSTRAINT FK_In"}));
  EXPECT_EQ(r.f.failures.size(), 1u);
  EXPECT_TRUE(r.Logged("T Usunąłem FOREIGN KEY FK_In tabeli Inna"));
}
