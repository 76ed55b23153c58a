#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "wizard/wizard_fixture.h"

namespace {
using wizfix::WizardFixture;

TEST(DatabaseList, HidesSystemAndSampleDatabasesAndUpperCases) {
  EXPECT_EQ(wizard::FilterDatabaseList({"master", "Pubs2", "NorthWind", "MSDB", "zeta", "pubs", "Model", "TempDB",
                                        "alfa"}),
            (std::vector<std::string>{"PUBS2", "ZETA", "ALFA"}));
}

TEST(DatabaseRules, UseBracketsTheName) {
  EXPECT_EQ(wizard::UseStatement("DEMO"), "USE [DEMO]");
  EXPECT_EQ(wizard::UseStatement("a]b; DROP DATABASE x"), "USE [a]]b; DROP DATABASE x]");
}

TEST(DatabaseRules, ServerMajorVersionText) {
  const std::vector<std::pair<std::string, int>> cases = {
      {"9.00.1399", 9}, {"10.50.1600.1", 10}, {"8.00.2039", 8}, {"12", 0}, {"", 0}, {".5", 0}, {"x.1", 0}};
  for (const auto& [text, v] : cases) EXPECT_EQ(wizard::ParseServerMajorVersion(text), v) << text;
}

TEST(DatabaseRules, DatabaseSwitchNeedsTwoParameters) {
  EXPECT_EQ(wizard::DatabaseSwitch({"/Ddemo"}), "");
  EXPECT_EQ(wizard::DatabaseSwitch({"/Ssrv", "/ddemo", "/DOTHER"}), "demo");
  EXPECT_EQ(wizard::FindDatabase({"ALFA", "DEMO"}, "demo"), 1);
  EXPECT_EQ(wizard::FindDatabase({"ALFA", "DEMO"}, "DEMO2"), -1);
}

TEST(Versions, NumberAndText) {
  const wizard::Version a{5, 12, 3}, b{5, 2, 0}, c{5, 10, 0};
  EXPECT_EQ(a.Text(), "5.012.003");
  EXPECT_EQ(a.Number(), 5012003);
  EXPECT_LT(b.Number(), c.Number());
  EXPECT_EQ(wizard::Version{}.Text(), "0.000.000");
  EXPECT_EQ((wizard::Version{12, 1234, 5}.Text()), "12.1234.005");
}

TEST_F(WizardFixture, LoadDataBasesListsAndOpensTheTemplate) {
  LogIn();
  Wizard().AfterLogin("SA");
  EXPECT_EQ(view.loginPanel, "Login:SA");
  EXPECT_EQ(f.ServerMajorVersion, 9);
  EXPECT_EQ(view.list, (std::vector<std::string>{"DEMO", "PUBS2", "KADRY"}));
  EXPECT_EQ(view.index, -1);
  EXPECT_TRUE(view.enabled);
  ASSERT_EQ(tmpl.opened.size(), 1u);
  EXPECT_EQ(tmpl.opened[0].provider, "Microsoft.Jet.OLEDB.4.0");
  EXPECT_EQ(tmpl.opened[0].dataSource, "/tmp/zr-none/Template.mdb");
  EXPECT_EQ(ui.status.back(), "Połączenie OK");
  EXPECT_EQ(view.focused, 1);
  EXPECT_TRUE(view.pages.empty());  // nothing chosen automatically
  EXPECT_FALSE(wizard::CanRun(f));
}

TEST_F(WizardFixture, TemplateThatDoesNotOpenKeepsTheWizardDisabled) {
  tmpl.openError = db::OleError(db::code::kNoProvider, "no");
  LogIn();
  Wizard().LoadDataBases();
  EXPECT_FALSE(view.enabled);
  EXPECT_EQ(ui.status.back(), "Provider Jet.OLEDB.4.0 nie został znaleziony !");
  EXPECT_EQ(ui.beeps, 1);
}

TEST_F(WizardFixture, AutomaticChoiceFromSwitchThenPreference) {
  struct Case {
    std::vector<std::string> params;
    std::string pref;
    int expected;
  };
  const std::vector<Case> cases = {
      {{"/Ssrv", "/Dkadry"}, "", 2},       // switch, lower case
      {{"/Ssrv", "/Dnothere"}, "demo", 0}, // unknown name falls back to the preference
      {{"/Dkadry"}, "pubs2", 1},           // a lone switch is ignored
      {{}, "", -1},                        // neither
  };
  for (const auto& c : cases) {
    SetUp();
    params = c.params;
    wiz.reset();
    prefs.values.clear();
    view = {};
    if (!c.pref.empty()) app::WritePref(prefs, "LoginPrefs", "DataBase", c.pref);
    mydb.ADOConn1.Close();
    dm2.ADO_CNN2.Close();
    LogIn();
    Wizard().LoadDataBases();
    EXPECT_EQ(view.index, c.expected) << c.pref;
    EXPECT_EQ(Wizard().SelectedIndex(), c.expected);
    if (c.expected >= 0) {
      EXPECT_EQ(f.lblCurrentDB, view.list[static_cast<std::size_t>(c.expected)]);
      EXPECT_EQ(view.pages, std::vector<wizard::Page>{wizard::Page::Progress});
    }
  }
}

TEST_F(WizardFixture, SelectDatabaseLogsTheStepsAndReadsBothVersions) {
  LogIn();
  Wizard().LoadDataBases();
  const auto before = log.Lines().size();
  server.executed.clear();
  Wizard().cbCurrentDBChange(0);
  EXPECT_EQ(server.executed[0], "USE [DEMO]");
  const std::vector<std::string> lines(log.Lines().begin() + static_cast<long>(before), log.Lines().end());
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[0], "14:05:33 Próba wyboru bazy DEMO");
  EXPECT_EQ(lines[1], "14:05:33 Sprawdzenie minimalnej wersji SQL");
  EXPECT_EQ(lines[2], "14:05:33 Sprawdzenie minimalnej wersji SQL");
  EXPECT_EQ(lines[3], "14:05:33 Twoja wersja Microsoft SQL Server 9 spełnia kryteria");
  EXPECT_EQ(lines[4], "********* Operacja zakończona sukcesem");
  EXPECT_EQ(f.lblCurrentDB, "DEMO");
  EXPECT_EQ(view.currentDb, "DEMO");
  EXPECT_EQ(view.labels.LMDLVerCur, "5.012.003");
  EXPECT_EQ(view.labels.LMDLVerCurD, "01-03-2025");
  EXPECT_EQ(view.labels.LMDLVerNew, "6.001.000");
  EXPECT_EQ(view.labels.LMDLVerNewD, "30-11-2026");
  EXPECT_EQ(view.labels.lblStatusTemplate, "");
  EXPECT_TRUE(f.TemplateNotOlder());
  EXPECT_TRUE(wizard::CanRun(f));
}

TEST_F(WizardFixture, OlderServerIsReportedAndStopsTheAutomaticMove) {
  major = 8;
  params = {"/Ssrv", "/DDEMO"};
  LogIn();
  Wizard().LoadDataBases();
  EXPECT_EQ(f.ServerMajorVersion, 8);
  const auto texts = LogTexts();
  EXPECT_THAT(texts, ::testing::Contains(
                        "Minimalna wersja SQL to 2005, nie można zrobić aktualizacji, twoja wersja: Microsoft SQL Server 8"));
  EXPECT_TRUE(view.pages.empty());
  EXPECT_EQ(f.lblCurrentDB, "DEMO");
}

TEST_F(WizardFixture, FailedSwitchLogsTheErrorAndClearsTheSelection) {
  names.push_back("missing");
  LogIn();
  Wizard().LoadDataBases();
  Wizard().cbCurrentDBChange(0);
  Wizard().cbCurrentDBChange(3);
  EXPECT_EQ(log.Lines().back().substr(9), "(80040E14) Database 'MISSING' does not exist.");
  EXPECT_EQ(view.index, -1);
  EXPECT_EQ(f.lblCurrentDB, "DEMO");  // the connection stayed on DEMO
  EXPECT_EQ(view.currentDb, "DEMO");
}

TEST_F(WizardFixture, VersionReadsKeepOrResetValues) {
  LogIn();
  Wizard().LoadDataBases();
  Wizard().cbCurrentDBChange(0);
  auto respond = server.respond;
  // No readable version table: the earlier database's labels stay.
  server.respond = [respond](const std::string& t) -> db::ResultSet {
    if (t.find("toolSysVersion") != std::string::npos) throw db::OleError(0x80040E37, "Invalid object name");
    return respond(t);
  };
  Wizard().cbCurrentDBChange(1);
  EXPECT_EQ(view.labels.LMDLVerCur, "5.012.003");
  // A table without a current row reads 0.000.000 with no date.
  server.respond = [respond](const std::string& t) -> db::ResultSet {
    if (t.find("toolSysVersion") != std::string::npos) return fakes::Rows({"NrGlowny"}, {});
    return respond(t);
  };
  Wizard().cbCurrentDBChange(2);
  EXPECT_EQ(view.labels.LMDLVerCur, "0.000.000");
  EXPECT_EQ(view.labels.LMDLVerCurD, "");
}

TEST_F(WizardFixture, UsedTemplateWarnsAndStopsOnTheVersionsPage) {
  usedFlags = 3;
  params = {"/Ssrv", "/DDEMO"};
  LogIn();
  Wizard().LoadDataBases();
  EXPECT_EQ(view.labels.lblStatusTemplate, "UWAGA! Plik wzorca był już używany");
  EXPECT_EQ(view.pages, std::vector<wizard::Page>{wizard::Page::Versions});
}

TEST_F(WizardFixture, RunNeedsAChosenDatabaseAndSwitchesBackToIt) {
  LogIn();
  Wizard().LoadDataBases();
  int runs = 0;
  EXPECT_FALSE(Wizard().StartRun([&](wizard::TF_Main&) { ++runs; }));
  EXPECT_EQ(runs, 0);
  ASSERT_EQ(ui.dialogs.size(), 1u);
  EXPECT_EQ(ui.dialogs[0].text, "Wybierz najpierw bazę do modyfikacji.");

  Wizard().cbCurrentDBChange(2);
  server.executed.clear();
  std::string firstStatementOfRun;
  EXPECT_TRUE(Wizard().StartRun([&](wizard::TF_Main&) {
    ++runs;
    firstStatementOfRun = server.executed.empty() ? "" : server.executed.back();
  }));
  EXPECT_EQ(runs, 1);
  EXPECT_EQ(firstStatementOfRun, "USE [KADRY]");

  mydb.ADOConn1.Close();  // the link is gone
  EXPECT_FALSE(Wizard().StartRun([&](wizard::TF_Main&) { ++runs; }));
  EXPECT_EQ(runs, 1);
}

TEST_F(WizardFixture, LeavingSavesTheReportOrSaysWhyNot) {
  const auto dir = std::filesystem::temp_directory_path() / ("zr_report_" + std::to_string(::getpid()));
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  f.ReportsFolder = dir.string();
  f.AddLog("Operacja zakończona sukcesem", false);
  const std::string path = Wizard().LMDAssistCancelClick();
  EXPECT_EQ(std::filesystem::path(path).filename(), "Modyfikacja_bazy_09-12-2026_14_05_33.DOC");
  EXPECT_TRUE(std::filesystem::exists(path));
  EXPECT_TRUE(ui.dialogs.empty());
  f.ReportsFolder = (dir / "missing").string();
  EXPECT_EQ(Wizard().LMDAssistCancelClick(), "");
  ASSERT_EQ(ui.dialogs.size(), 1u);
  EXPECT_EQ(ui.dialogs[0].kind, app::dkError);
  std::filesystem::remove_all(dir);
}

}  // namespace
