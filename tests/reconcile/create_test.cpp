// Creating the template objects the sweep did not find.
#include <gtest/gtest.h>

#include "fakes.h"
#include "reconcile/objects/create.h"
#include "wizard/driver.h"

using Lines = std::vector<std::string>;

TEST(AddMissingObjects, FailedCreationStaysUnflaggedAndTheWalkGoesOn) {
  fake::Rig r;
  r.tmpl->objects = {{11, "P1 ", "P", 1}, {12, "P2", "P", 1}, {13, "P3", "P", 1, 0, 1}, {14, "V9", "V", 1}};
  r.tmpl->texts[11] = {"CREATE PROCEDURE P1 AS\r\n", "SELECT * FROM Brak\r\n"};
  r.tmpl->texts[12] = {"create procedure P2 AS \r\n", "SELECT ':a' AS x\r\n"};
  r.server->Fail("CREATE PROCEDURE P1", db::code::kCommandError, "Invalid object name 'Brak'.");

  reconcile::AddMissingObjects(r.f, "P", true);

  ASSERT_EQ(r.f.failures.size(), 1u);
  EXPECT_EQ(r.f.failures[0].statement, (Lines{"CREATE PROCEDURE P1 AS", "SELECT * FROM Brak"}));
  EXPECT_EQ(r.tmpl->Find("P1 ").sprawdzone + r.tmpl->Find("P1 ").istnieje, 0);
  EXPECT_EQ(r.tmpl->Find("P2").sprawdzone, 1);
  EXPECT_EQ(r.tmpl->Find("P2").istnieje, 1);
  EXPECT_EQ(r.server->Changes(),
            (Lines{"SET QUOTED_IDENTIFIER OFF\r\nSET ANSI_NULLS OFF", "CREATE PROCEDURE P1 AS\r\nSELECT * FROM Brak",
                   "SET QUOTED_IDENTIFIER OFF\r\nSET ANSI_NULLS OFF", "create procedure P2 AS\r\nSELECT ':a' AS x",
                   "SET QUOTED_IDENTIFIER OFF\r\nSET ANSI_NULLS ON"}));
  EXPECT_EQ(r.Log(), (Lines{"T Otwarcie wzorców obiektów dla procedur", "********* Operacja zakończona sukcesem",
                            "T Brak obiektu P1", "T Brak obiektu P2", "T Dodanie obiektu P2 zakończona sukcesem"}));
  EXPECT_EQ(r.f.CurrentTableName, "P2");
  EXPECT_EQ(r.f.CurrentTemplateId, 12);
  EXPECT_EQ(r.ui.objectBar.back().max, 2);
}

TEST(AddMissingObjects, ObjectOfALaterPhaseWaitsForItsPhase) {
  fake::Rig r;
  r.tmpl->objects = {{21, "V2", "V", 2}};
  r.tmpl->texts[21] = {"CREATE VIEW V2 AS SELECT 1 AS A"};
  reconcile::AddMissingObjects(r.f, "V", true);
  EXPECT_TRUE(r.server->Changes().empty());
  r.f.CurrentPhase = 2;
  reconcile::AddMissingObjects(r.f, "V", true);
  EXPECT_EQ(r.server->Changes().at(1), "CREATE VIEW V2 AS SELECT 1 AS A");
  EXPECT_EQ(r.tmpl->Find("V2").istnieje, 1);
}

TEST(AddMissingObjects, ObjectWithoutTextIsNotReportedAsCreated) {
  fake::Rig r;
  r.tmpl->objects = {{31, "F1", "FN", 1}};
  reconcile::AddMissingObjects(r.f, "FN", true);
  EXPECT_EQ(r.server->Changes(), (Lines{"SET QUOTED_IDENTIFIER OFF\r\nSET ANSI_NULLS OFF"}));
  EXPECT_EQ(r.tmpl->Find("F1").istnieje, 0);
  EXPECT_FALSE(r.Logged("T Dodanie obiektu F1 zakończona sukcesem"));
  EXPECT_TRUE(r.Logged("T Wzorzec nie zawiera tekstu obiektu F1 - nie utworzono go"));
  EXPECT_EQ(r.f.failures.size(), 1u);
}

TEST(AddMissingObjects, TablesAndForeignKeysGoToTheirDispatchPoints) {
  fake::Rig r;
  r.tmpl->objects = {{41, "Nowa", "U", 1}, {42, "FK_Nowa", "F", 1}};
  reconcile::AddMissingObjects(r.f, "U", false);
  reconcile::AddMissingObjects(r.f, "F", false);
  EXPECT_TRUE(r.server->Changes().empty());
  EXPECT_TRUE(r.Logged("T Brak obiektu Nowa"));
  EXPECT_TRUE(r.Logged("Nie utworzono tabeli Nowa: tworzenie tabel jest niedostępne w tej wersji programu"));
  EXPECT_TRUE(r.Logged("T Brak obiektu FK_Nowa"));
  EXPECT_EQ(r.f.failures.size(), 2u);
  EXPECT_EQ(r.tmpl->Find("Nowa").istnieje, 0);
}

TEST(AddMissingObjects, NothingMissingLogsOnlyTheOpening) {
  fake::Rig r;
  reconcile::AddMissingObjects(r.f, "TR", true);
  EXPECT_EQ(r.Log(), (Lines{"T Otwarcie wzorców obiektów dla triggerów", "********* Operacja zakończona sukcesem"}));
  EXPECT_EQ(r.tmpl->log.back(),
            "SELECT * FROM tblObjects WHERE (Sprawdzone = 0) And (ObiektIstnieje = 0) And (xtype =\"TR\") and "
            "Priorytet = 1");
}
