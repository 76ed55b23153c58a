// The database choice against the simulated server, at major versions 8
// (SQL Server 2000) and 9 or more.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "sqlsim/server.h"
#include "wizard/wizard_fixture.h"

namespace {

std::string Script(int version) {
  return "-- sim: version " + std::to_string(version) +
         "\n"
         "CREATE DATABASE DEMO\nGO\nCREATE DATABASE [Pubs]\nGO\nUSE DEMO\nGO\n"
         "CREATE TABLE toolSysVersion (NrGlowny int NOT NULL, NrPodrzedny_1 int NOT NULL, NrPodrzedny_2 int NOT NULL,"
         " Aktualizacja datetime NULL, DEL int NOT NULL DEFAULT ((0)))\nGO\n"
         "INSERT INTO toolSysVersion (NrGlowny, NrPodrzedny_1, NrPodrzedny_2, Aktualizacja, DEL) VALUES (4, 9, 1, "
         "'20200101', 1)\n"
         "INSERT INTO toolSysVersion (NrGlowny, NrPodrzedny_1, NrPodrzedny_2, Aktualizacja) VALUES (5, 1, 7, "
         "'20240315')\nGO\n";
}

struct SimWizard : wizfix::WizardFixture, ::testing::WithParamInterface<int> {
  app::TMyDB simDb{[](const db::ConnectParams&) { return sqlsim::MakeSimConnectionFromText(Script(GetParam())); }};
  wizard::TF_Main sf{ui, clock, prefs, simDb, dm2, log};
};

TEST_P(SimWizard, ChoosesTheDatabaseAndChecksTheServerVersion) {
  const int version = GetParam();
  simDb.ADOConn1.Open(db::ConnectParams{});
  wizard::TMainWizard w(sf, view, {"/Ssim:x", "/Ddemo"}, "/tmp/zr-none/Template.mdb", "/bin/true");
  if (version < 9) {
    // SQL Server 2000: either the list cannot be read (no SYS.DATABASES;
    // the error goes to the caller, which closes the connection, and no run
    // can start), or the chosen database is reported as too old and the
    // wizard does not move on by itself.
    bool listed = true;
    try {
      w.LoadDataBases();
    } catch (const db::OleError& e) {
      listed = false;
      EXPECT_THAT(e.what(), ::testing::HasSubstr("SYS.DATABASES"));
      EXPECT_FALSE(wizard::CanRun(sf));
    }
    EXPECT_EQ(sf.ServerMajorVersion, 8);
    if (listed) {
      EXPECT_THAT(LogTexts(), ::testing::Contains(::testing::StartsWith("Minimalna wersja SQL to 2005")));
      EXPECT_TRUE(view.pages.empty());
    }
    return;
  }
  w.LoadDataBases();
  EXPECT_EQ(sf.ServerMajorVersion, version);
  EXPECT_EQ(w.Databases(), std::vector<std::string>{"DEMO"});
  EXPECT_EQ(sf.lblCurrentDB, "DEMO");
  EXPECT_THAT(LogTexts(), ::testing::Contains(::testing::EndsWith(" spełnia kryteria")));
  EXPECT_EQ(view.pages, std::vector<wizard::Page>{wizard::Page::Progress});
  EXPECT_EQ(sf.DatabaseVersion.Text(), "5.001.007");
  EXPECT_EQ(view.labels.LMDLVerCurD, "15-03-2024");
}

INSTANTIATE_TEST_SUITE_P(Versions, SimWizard, ::testing::Values(8, 9, 15));

}  // namespace
