// The sweep over the server's objects of one type.
#include <gtest/gtest.h>

#include "fakes.h"
#include "reconcile/objects/sweep.h"
#include "wizard/driver.h"

using fake::I;
using fake::Rows;
using fake::S;
using Lines = std::vector<std::string>;

namespace {

db::ResultSet List(const std::vector<std::pair<int, std::string>>& objects, const std::string& type) {
  db::ResultSet rs = Rows({"id", "name", "xtype"}, {});
  for (const auto& [id, name] : objects) rs.rows.push_back({I(id), S(name), S(type)});
  return rs;
}

db::ResultSet HelpText(const Lines& lines) {
  db::ResultSet rs = Rows({"Text"}, {});
  for (const auto& l : lines) rs.rows.push_back({S(l)});
  return rs;
}

}  // namespace

TEST(SweepObjects, DropsWhatTheTemplateLacksAndExaminesThePhasesObjects) {
  fake::Rig r;
  r.tmpl->objects = {{7, "V1", "V", 1}, {8, "V2", "V", 2}};
  r.tmpl->texts[7] = {"CREATE VIEW V1 AS SELECT 1 AS A"};
  r.server->On("AND o.type = 'V'", List({{101, "V_old"}, {102, "v1 "}, {103, "V2"}}, "V"));
  r.server->On("exec sp_helptext 'v1'", HelpText({"CREATE VIEW V1 AS SELECT 1 AS A"}));

  reconcile::SweepObjects(r.f, "V", true);

  EXPECT_EQ(r.server->Changes(), (Lines{"DROP \r\nVIEW \r\n[V_old]"}));
  EXPECT_EQ(r.Log(), (Lines{"T Otwarcie tabeli obiektów dla widoków", "********* Operacja zakończona sukcesem",
                            "T Sprawdzanie tabeli obiektów dla widoków", "T Usuwam V_old",
                            "T V_old - usunięto pomyślnie", "T Sprawdzam v1********************",
                            "********* Operacja zakończona sukcesem"}));
  // V1 found in its phase and equal; V2 belongs to phase 2 and is untouched.
  EXPECT_EQ(r.tmpl->Find("V1").istnieje, 1);
  EXPECT_EQ(r.tmpl->Find("V1").sprawdzone, 1);
  EXPECT_EQ(r.tmpl->Find("V2").istnieje, 0);
  EXPECT_EQ(r.f.CurrentServerId, 103);
  EXPECT_EQ(r.f.CurrentTemplateId, 7);
  ASSERT_EQ(r.ui.objectBar.size(), 4u);
  EXPECT_EQ(r.ui.objectBar[0].max, 3);
  EXPECT_EQ(r.ui.objectBar[3].pos, 3);
  EXPECT_EQ(r.ui.messagesProcessed, 3);
  EXPECT_EQ(r.ui.status.back(), "Trwa sprawdzanie obiektu: V2");
}

TEST(SweepObjects, ExaminedObjectIsOnlyFlaggedAndOtherTypesCountAsHeld) {
  fake::Rig r;
  r.tmpl->objects = {{7, "P1", "P", 1, 1, 0}, {9, "Klienci", "U", 2}};
  r.server->On("AND o.type = 'P'", List({{201, "P1"}, {202, "Klienci"}}, "P"));
  reconcile::SweepObjects(r.f, "P", true);
  EXPECT_TRUE(r.server->Changes().empty());
  EXPECT_EQ(r.tmpl->Find("P1").istnieje, 1);
  EXPECT_FALSE(r.Logged("T Sprawdzam P1********************"));
  for (const auto& t : r.server->Texts()) EXPECT_EQ(t.find("sp_helptext"), std::string::npos) << t;
}

TEST(SweepObjects, OlderServersGetTheSystemTableList) {
  fake::Rig r;
  r.f.ServerMajorVersion = 8;
  reconcile::SweepObjects(r.f, "FN", true);
  ASSERT_FALSE(r.server->Texts().empty());
  EXPECT_EQ(r.server->Texts()[0],
            "SELECT * FROM sysobjects WHERE (OBJECTPROPERTY(id, 'IsMSShipped') = 0) And (xtype = 'FN')");
  EXPECT_EQ(r.Log(), (Lines{"T Otwarcie tabeli obiektów dla funkcji", "********* Operacja zakończona sukcesem",
                            "T Sprawdzanie tabeli obiektów dla funkcji", "********* Operacja zakończona sukcesem"}));
}

TEST(SweepObjects, ObsoleteTableLosesItsForeignKeysFirstEachOnce) {
  fake::Rig r;
  r.server->On("AND o.type = 'U'", List({{301, "Stara"}}, "U"));
  // FK_A of two column pairs belongs to Stara, FK_B of Inna references it.
  r.server->On("((sof.name = ?) or (sor.name = ?))",
               Rows({"constid", "fkeyname", "fname", "fcolname", "rname", "rcolname", "keyno"},
                    {{I(5), S("FK_A"), S("Stara"), S("a1"), S("Ref"), S("r1"), I(1)},
                     {I(5), S("FK_A"), S("Stara"), S("a2"), S("Ref"), S("r2"), I(2)},
                     {I(6), S("FK_B"), S("Inna"), S("s"), S("Stara"), S("id"), I(1)}}));
  reconcile::SweepObjects(r.f, "U", false);
  EXPECT_EQ(r.server->Changes(), (Lines{"ALTER TABLE [Stara] DROP CONSTRAINT FK_A",
                                        "ALTER TABLE [Inna] DROP CONSTRAINT FK_B", "DROP \r\nTABLE \r\n[Stara]"}));
  EXPECT_TRUE(r.Logged("T Usunąłem FOREIGN KEY FK_A tabeli Stara"));
  EXPECT_TRUE(r.Logged("T Usunąłem FOREIGN KEY FK_B tabeli Inna"));
  EXPECT_TRUE(r.Logged("T Stara - usunięto pomyślnie"));
  const auto& fkQuery = r.server->log[1];
  EXPECT_EQ(fkQuery.params, (std::vector<db::Value>{S("Stara"), S("Stara")}));
}

TEST(SweepObjects, TableOfThePhaseIsFlaggedAndTheGapIsLogged) {
  fake::Rig r;
  r.tmpl->objects = {{4, "Klienci", "U", 1}};
  r.server->On("AND o.type = 'U'", List({{301, "Klienci"}}, "U"));
  reconcile::SweepObjects(r.f, "U", false);
  EXPECT_EQ(r.tmpl->Find("Klienci").istnieje, 1);
  EXPECT_TRUE(r.server->Changes().empty());
  EXPECT_TRUE(r.Logged("T Sprawdzam Klienci********************"));
  EXPECT_TRUE(r.Logged(
      "Tabela Klienci istnieje; uzgadnianie kolumn, ograniczeń i indeksów jest niedostępne w tej wersji programu"));
}

TEST(SweepObjects, RefusedDropIsShownAndTheWalkGoesOn) {
  fake::Rig r;
  r.server->On("AND o.type = 'V'", List({{1, "Va"}, {2, "Vb"}}, "V"));
  r.server->Fail("[Va]", db::code::kCommandError, "Cannot DROP VIEW 'Va' because it is being referenced by object 'W'.");
  reconcile::SweepObjects(r.f, "V", true);
  ASSERT_EQ(r.ui.dialogs.size(), 1u);
  EXPECT_EQ(r.ui.dialogs[0].kind, app::dkError);
  EXPECT_EQ(r.ui.dialogs[0].text, "(80040E14) Cannot DROP VIEW 'Va' because it is being referenced by object 'W'.");
  EXPECT_FALSE(r.Logged("T Va - usunięto pomyślnie"));
  EXPECT_TRUE(r.Logged("T Vb - usunięto pomyślnie"));
}

TEST(SweepObjects, LostLinkStopsTheWalk) {
  fake::Rig r;
  r.server->On("AND o.type = 'V'", List({{1, "Va"}, {2, "Vb"}}, "V"));
  r.server->Fail("[Va]", db::code::kUnreachable, "Communication link failure");
  EXPECT_THROW(reconcile::SweepObjects(r.f, "V", true), wizard::LinkLost);
  for (const auto& t : r.server->Texts()) EXPECT_EQ(t.find("[Vb]"), std::string::npos);
  EXPECT_TRUE(r.ui.dialogs.empty());
}
