// The upgrade driver: phases, type order, progress, and the closing steps.
#include <gtest/gtest.h>

#include "fakes.h"
#include "wizard/driver.h"

using fake::I;
using fake::Rows;
using fake::S;
using Lines = std::vector<std::string>;

namespace {

struct Recorder {
  std::vector<std::string> calls;
  std::function<void(wizard::TF_Main&, const std::string&)> onSweep;
  wizard::PhaseSteps Steps() {
    return {[this](wizard::TF_Main& f, const std::string& t, bool d) {
              calls.push_back(std::to_string(f.CurrentPhase) + " sweep " + t + (d ? "+" : "-"));
              if (onSweep) onSweep(f, t);
            },
            [this](wizard::TF_Main& f, const std::string& t, bool d) {
              calls.push_back(std::to_string(f.CurrentPhase) + " add " + t + (d ? "+" : "-"));
            }};
  }
};

void Versions(fake::Rig& r) {
  r.f.TemplateVersion = {5, 12, 3};
  r.f.DatabaseVersion = {5, 11, 0};
}

const Lines kStamp = {"UPDATE toolSysVersion SET DEL=1 WHERE DEL=0\r\n"
                      "INSERT INTO toolSysVersion (NrGlowny, NrPodrzedny_1, NrPodrzedny_2,Aktualizacja)\r\n"
                      "VALUES (5,12,3,CAST('20261224' AS DATETIME))"};

std::string Joined(const Lines& l) {
  std::string s;
  for (std::size_t i = 0; i < l.size(); ++i) s += (i ? "\r\n" : "") + l[i];
  return s;
}

}  // namespace

TEST(Driver, OlderTemplateStopsBeforeAnything) {
  fake::Rig r;
  r.f.TemplateVersion = {5, 0, 0};
  r.f.DatabaseVersion = {5, 0, 1};
  Recorder rec;
  EXPECT_EQ(wizard::LMDAssistCompleted(r.f, rec.Steps()), wizard::RunOutcome::NotNeeded);
  ASSERT_EQ(r.ui.dialogs.size(), 1u);
  EXPECT_EQ(r.ui.dialogs[0].kind, app::dkInformation);
  EXPECT_EQ(r.ui.dialogs[0].text, "Ta wersja nie wymaga modyfikacji");
  EXPECT_TRUE(r.server->log.empty());
  EXPECT_TRUE(rec.calls.empty());
}

TEST(Driver, OnlyFunctionsOverThreePhases) {
  fake::Rig r;
  Versions(r);
  r.tmpl->objects = {{1, "A", "U", 1}, {2, "B", "XX", 3}};
  r.f.options = {};
  r.f.options.chbTabele = r.f.options.chbKluczeObce = r.f.options.chbWidoki = r.f.options.chbProcedury =
      r.f.options.chbTriggery = false;
  r.f.options.chbGrantAll = false;
  Recorder rec;
  EXPECT_EQ(wizard::LMDAssistCompleted(r.f, rec.Steps()), wizard::RunOutcome::Completed);

  Lines expected;
  for (int p = 1; p <= 3; ++p)
    for (const char* t : {"FN", "TF", "IF"}) {
      expected.push_back(std::to_string(p) + " sweep " + t + "+");
      expected.push_back(std::to_string(p) + " add " + t + "+");
    }
  EXPECT_EQ(rec.calls, expected);
  ASSERT_EQ(r.ui.mainBar.size(), 19u);
  for (std::size_t i = 0; i < r.ui.mainBar.size(); ++i) {
    EXPECT_EQ(r.ui.mainBar[i].max, 1800);
    EXPECT_EQ(r.ui.mainBar[i].pos, static_cast<int>(i) * 100);
  }
  EXPECT_TRUE(r.Logged("********* Rozpoczęto fazę 3 z 3"));
  // Status texts of one phase, then the closing steps.
  const Lines phase = {"Sprawdzam tabele", "Sprawdzam klucze obce", "Sprawdzam funkcje", "Sprawdzam procedury",
                       "Sprawdzam triggery", "Sprawdzam widoki"};
  Lines status;
  for (int p = 0; p < 3; ++p) status.insert(status.end(), phase.begin(), phase.end());
  for (const char* s : {"Aktualizuję numer wersji bazy", "Uaktywnia wszystkie wyłaczone triggery",
                        "Uaktywnia uprawnienia do sprawdzania stanu", "Zakończono proces uaktualniania"})
    status.push_back(s);
  EXPECT_EQ(r.ui.status, status);
  // No role query with the grants off.
  EXPECT_EQ(r.server->Texts(), (Lines{kStamp[0], Joined(wizard::EnableTriggersLines()),
                                      Joined(wizard::GrantViewServerStateLines())}));
}

TEST(Driver, RoleGrantsTwoBatchesPerRoleThenTriggersAndServerState) {
  fake::Rig r;
  Versions(r);
  r.server->On("select 'RoleName'", Rows({"RoleName"}, {{S("Kadry")}, {S("Magazyn")}}));
  Recorder rec;
  EXPECT_EQ(wizard::LMDAssistCompleted(r.f, rec.Steps()), wizard::RunOutcome::Completed);
  EXPECT_TRUE(rec.calls.empty());  // an empty template has no phase
  EXPECT_EQ(r.server->Texts(),
            (Lines{kStamp[0], Joined(wizard::RoleListLines()), Joined(wizard::RoleMemberLines("Kadry")),
                   Joined(wizard::RoleExecuteGrantLines("Kadry")), Joined(wizard::RoleMemberLines("Magazyn")),
                   Joined(wizard::RoleExecuteGrantLines("Magazyn")), Joined(wizard::EnableTriggersLines()),
                   Joined(wizard::GrantViewServerStateLines())}));
  EXPECT_TRUE(r.Logged("Zaktualizowano uprawnienia dla roli Kadry"));
  EXPECT_TRUE(r.Logged("Zaktualizowano uprawnienia dla roli Magazyn"));
  EXPECT_EQ(r.ui.events, (Lines{"wait+ Czekaj / Trwa aktualizacja uprawnień roli", "wait-",
                                "wait+ Czekaj / Trwa aktualizacja uprawnień roli", "wait-"}));
  EXPECT_TRUE(r.f.failures.empty());
  EXPECT_FALSE(r.f.versionStampFailed);
}

TEST(Driver, FirstFailingRoleEndsTheGrantsOnly) {
  fake::Rig r;
  Versions(r);
  r.server->On("select 'RoleName'", Rows({"RoleName"}, {{S("Kadry")}, {S("Magazyn")}}));
  r.server->Fail("GRANT EXECUTE", db::code::kCommandError, "Cannot find the user 'Kadry'.");
  Recorder rec;
  EXPECT_EQ(wizard::LMDAssistCompleted(r.f, rec.Steps()), wizard::RunOutcome::Completed);
  EXPECT_TRUE(r.Logged("Błąd aktualizacji uprawnień dla roli Kadry"));
  EXPECT_FALSE(r.Logged("Zaktualizowano uprawnienia dla roli Kadry"));
  for (const auto& t : r.server->Texts()) EXPECT_EQ(t.find("Magazyn"), std::string::npos);
  EXPECT_EQ(r.ui.events.back(), "wait-");
  EXPECT_EQ(r.server->Texts().back(), Joined(wizard::GrantViewServerStateLines()));
  EXPECT_EQ(r.f.failures.size(), 1u);
}

TEST(Driver, FailedTriggerEnablingIsShownAndTheRunGoesOn) {
  fake::Rig r;
  Versions(r);
  r.server->Fail("sp_msforeachtable", db::code::kCommandError, "Could not find stored procedure.");
  Recorder rec;
  EXPECT_EQ(wizard::LMDAssistCompleted(r.f, rec.Steps()), wizard::RunOutcome::Completed);
  ASSERT_EQ(r.ui.dialogs.size(), 1u);
  EXPECT_EQ(r.ui.dialogs[0].kind, app::dkInformation);
  EXPECT_EQ(r.ui.dialogs[0].text, "Could not find stored procedure.");
  EXPECT_TRUE(r.Logged("Wystąpił problem przy włączaniu triggerów"));
  EXPECT_EQ(r.server->Texts().back(), Joined(wizard::GrantViewServerStateLines()));
  EXPECT_EQ(r.ui.status.back(), "Zakończono proces uaktualniania");
}

TEST(Driver, FailedVersionStampIsLoggedAndRecorded) {
  fake::Rig r;
  Versions(r);
  r.server->Fail("UPDATE toolSysVersion", db::code::kCommandError, "Invalid object name 'toolSysVersion'.");
  Recorder rec;
  EXPECT_EQ(wizard::LMDAssistCompleted(r.f, rec.Steps()), wizard::RunOutcome::Completed);
  EXPECT_TRUE(r.f.versionStampFailed);
  ASSERT_EQ(r.f.failures.size(), 1u);
  EXPECT_TRUE(r.Logged("T Nie zapisano numeru wersji bazy 5.012.003: (80040E14) Invalid object name 'toolSysVersion'."));
  EXPECT_TRUE(r.ui.dialogs.empty());
  EXPECT_EQ(r.server->Texts().back(), Joined(wizard::GrantViewServerStateLines()));
}

TEST(Driver, LostLinkStopsTheRunWithOneMessage) {
  for (bool inStep : {true, false}) {
    fake::Rig r;
    Versions(r);
    r.tmpl->objects = {{1, "A", "U", 2}};
    Recorder rec;
    if (inStep) {
      rec.onSweep = [](wizard::TF_Main&, const std::string& t) {
        if (t == "FN") throw wizard::LinkLost(db::code::kUnreachable, "Communication link failure");
      };
    } else {
      r.server->Fail("UPDATE toolSysVersion", db::code::kUnreachable, "Communication link failure");
    }
    EXPECT_EQ(wizard::LMDAssistCompleted(r.f, rec.Steps()), wizard::RunOutcome::Stopped);
    EXPECT_TRUE(r.f.connectionLost);
    EXPECT_EQ(r.ui.dialogs.size(), 1u);
    EXPECT_TRUE(r.Logged("********* Przerwano proces uaktualniania - baza nie została w pełni uaktualniona"));
    EXPECT_EQ(r.ui.status.back(), "Przerwano proces uaktualniania");
    for (const auto& t : r.server->Texts()) {
      EXPECT_EQ(t.find("sp_msforeachtable"), std::string::npos);
      if (inStep) {
        EXPECT_EQ(t.find("toolSysVersion"), std::string::npos);
      }
    }
    if (inStep) {
      EXPECT_EQ(rec.calls.back(), "1 sweep FN+");
    }
  }
}

TEST(Driver, UnreadablePhaseCountStampsNothing) {
  fake::Rig r;
  Versions(r);
  r.tmpl->failAll = true;
  Recorder rec;
  EXPECT_EQ(wizard::LMDAssistCompleted(r.f, rec.Steps()), wizard::RunOutcome::Stopped);
  EXPECT_TRUE(r.server->log.empty());
  EXPECT_FALSE(r.f.failures.empty());
  EXPECT_NE(r.ui.status.back(), "Zakończono proces uaktualniania");
}

TEST(Driver, NoTypeSelectedStillRunsThePhasesAndStamps) {
  fake::Rig r;
  Versions(r);
  r.tmpl->objects = {{1, "A", "U", 2}};
  r.f.options.chbTabele = r.f.options.chbKluczeObce = r.f.options.chbFunkcje = r.f.options.chbWidoki =
      r.f.options.chbProcedury = r.f.options.chbTriggery = false;
  Recorder rec;
  EXPECT_EQ(wizard::LMDAssistCompleted(r.f, rec.Steps()), wizard::RunOutcome::Completed);
  EXPECT_TRUE(rec.calls.empty());
  EXPECT_TRUE(r.Logged("********* Rozpoczęto fazę 2 z 2"));
  EXPECT_EQ(r.ui.mainBar.size(), 1u);
  EXPECT_EQ(r.ui.mainBar[0].max, 0);
  EXPECT_EQ(r.server->Texts().front(), kStamp[0]);
}
