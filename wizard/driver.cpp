#include "wizard/driver.h"

#include "schema/template_data.h"
#include "wizard/report.h"

#include <cstdio>

namespace wizard {

namespace {

std::string Format(const char* fmt, int a, int b) {
  char buf[128];
  std::snprintf(buf, sizeof buf, fmt, a, b);
  return buf;
}

// A role name inside a string literal of the grant batches.
std::string InLiteral(const std::string& s) {
  std::string r;
  for (char c : s) {
    r += c;
    if (c == '\'') r += '\'';
  }
  return r;
}

// Keeps what the log holds at the moment the run was stopped, so nothing is
// lost if the program cannot be left normally afterwards. Returns the path,
// "" when there is no reports folder or the report cannot be written.
std::string SaveLogCopy(TF_Main& f) {
  if (f.ReportsFolder.empty()) return "";
  try {
    return SaveReport(f.log.Lines(), f.ReportsFolder, f.clock);
  } catch (const std::exception& e) {
    f.AddLog(std::string("Nie zapisano raportu: ") + e.what(), true);
    return "";
  }
}

// Stops the run at a lost link: one message, one log line, flags set.
void StopForLostLink(TF_Main& f, const LinkLost& e) {
  f.connectionLost = true;
  const std::string text = db::FormatOleError(e.code(), e.what());
  f.failures.push_back({"Utracono połączenie z serwerem: " + text, {}});
  f.AddLog("Utracono połączenie z serwerem: " + text, true);
  f.AddLog("Przerwano proces uaktualniania - baza nie została w pełni uaktualniona", false);
  const std::string saved = SaveLogCopy(f);
  if (!saved.empty()) f.log.AddPlain("Zapisano dziennik: " + saved);
  f.ui.HideWaitWindow();
  f.ui.ShowMessageDialog(app::dkError,
                         "Utracono połączenie z serwerem.\n" + text +
                             "\nProces uaktualniania przerwano; baza nie została w pełni uaktualniona.",
                         app::dbClose, true);
  f.ui.SetStatusText("Przerwano proces uaktualniania");
}

void VersionStamp(TF_Main& f) {
  f.ui.SetStatusText("Aktualizuję numer wersji bazy");
  auto& q = *f.MyDB.ADOQ_Misc;
  try {
    q.Close();
    q.Clear();
    for (const auto& l : VersionStampLines(f.TemplateVersion, f.clock.Now())) q.Add(l);
    // One transaction: a failed insert must not leave the database without
    // a current version row after the update has run.
    f.MyDB.ADOConn1.BeginTrans();
    try {
      ExecServer(q);
      f.MyDB.ADOConn1.CommitTrans();
    } catch (...) {
      try {
        f.MyDB.ADOConn1.RollbackTrans();
      } catch (const std::exception&) {
        // The link or the transaction is gone; the failure itself is reported.
      }
      throw;
    }
  } catch (const LinkLost&) {
    throw;
  } catch (const std::exception& e) {
    // The run goes on, but an operator must not believe the database is at
    // the new version: say so in the log and in the failures.
    const auto* ole = dynamic_cast<const db::OleError*>(&e);
    const std::string text = ole ? db::FormatOleError(ole->code(), e.what()) : std::string(e.what());
    f.versionStampFailed = true;
    f.failures.push_back({"Nie zapisano numeru wersji bazy: " + text, q.Lines()});
    f.AddLog("Nie zapisano numeru wersji bazy " + f.TemplateVersion.Text() + ": " + text, true);
  }
}

void GrantRoles(TF_Main& f) {
  auto& roles = *f.MyDB.ADOQ_Role;
  auto& q = *f.MyDB.ADOQ_Misc;
  std::string role;
  try {
    roles.Close();
    roles.Clear();
    for (const auto& l : RoleListLines()) roles.Add(l);
    OpenServer(roles);
    for (roles.First(); !roles.Eof(); roles.Next()) {
      role = roles.Field("RoleName").AsString();
      f.ui.ShowWaitWindow("Czekaj", "Trwa aktualizacja uprawnień roli");
      try {
        q.Close();
        q.Clear();
        for (const auto& l : RoleMemberLines(role)) q.Add(l);
        ExecServer(q);
        q.Close();
        q.Clear();
        for (const auto& l : RoleExecuteGrantLines(role)) q.Add(l);
        ExecServer(q);
      } catch (...) {
        f.ui.HideWaitWindow();
        throw;
      }
      f.ui.HideWaitWindow();
      f.log.AddPlain("Zaktualizowano uprawnienia dla roli " + role);
    }
  } catch (const db::OleError& e) {
    f.failures.push_back({db::FormatOleError(e.code(), e.what()), q.Lines()});
    f.log.AddPlain("Błąd aktualizacji uprawnień dla roli " + role);
  }
}

// Runs `lines` on `q`; a data access failure is shown with the server's
// message and logged with `plainLine`; the run goes on.
void RunClosingStep(TF_Main& f, db::Query& q, const std::vector<std::string>& lines, const std::string& plainLine) {
  try {
    q.Close();
    q.Clear();
    for (const auto& l : lines) q.Add(l);
    ExecServer(q);
  } catch (const db::OleError& e) {
    f.failures.push_back({db::FormatOleError(e.code(), e.what()), q.Lines()});
    f.ui.ShowMessageDialog(app::dkInformation, e.what(), app::dbClose, true);
    f.log.AddPlain(plainLine);
  }
}

}  // namespace

bool IsLinkLost(const db::OleError& e) { return e.ConnectionLost() || e.code() == db::code::kUnreachable; }

void OpenServer(db::Query& q) {
  try {
    q.Open();
  } catch (const db::OleError& e) {
    if (IsLinkLost(e)) throw LinkLost(e.code(), e.what());
    throw;
  }
}

void ExecServer(db::Query& q) {
  try {
    q.ExecSQL();
  } catch (const db::OleError& e) {
    if (IsLinkLost(e)) throw LinkLost(e.code(), e.what());
    throw;
  }
}

const std::vector<TypeStep>& TypeSteps() {
  static const std::vector<TypeStep> steps = {
      {"Sprawdzam tabele", &RunOptions::chbTabele, "U", false},
      {"Sprawdzam klucze obce", &RunOptions::chbKluczeObce, "F", false},
      {"Sprawdzam funkcje", &RunOptions::chbFunkcje, "FN", true},
      {"", &RunOptions::chbFunkcje, "TF", true},
      {"", &RunOptions::chbFunkcje, "IF", true},
      {"Sprawdzam procedury", &RunOptions::chbProcedury, "P", true},
      {"Sprawdzam triggery", &RunOptions::chbTriggery, "TR", true},
      {"Sprawdzam widoki", &RunOptions::chbWidoki, "V", true},
  };
  return steps;
}

int ReadMaxPriority(TF_Main& f, bool* ok) {
  if (ok) *ok = true;
  auto& q = *f.DM2.ADOQ_Misc;
  try {
    return schema::MaxPriority(f.DM2);
  } catch (const db::OleError& e) {
    if (ok) *ok = false;
    f.ReportSqlError(e.code(), e.what(), q.Lines());
  } catch (const std::exception& e) {
    if (ok) *ok = false;
    f.ShowError(e.what());
  }
  return 0;
}

void EnableAllTriggers(TF_Main& f) {
  f.ui.SetStatusText("Uaktywnia wszystkie wyłaczone triggery");
  RunClosingStep(f, *f.MyDB.ADOQ_Misc, EnableTriggersLines(), "Wystąpił problem przy włączaniu triggerów");
}

void GrantViewServerState(TF_Main& f) {
  f.ui.SetStatusText("Uaktywnia uprawnienia do sprawdzania stanu");
  RunClosingStep(f, *f.MyDB.ADOQ_GrantViewState, GrantViewServerStateLines(),
                 "Wystąpił problem przy włączaniu uprawnień");
}

RunOutcome LMDAssistCompleted(TF_Main& f, const PhaseSteps& steps) {
  if (!f.TemplateNotOlder()) {
    f.ui.ShowMessageDialog(app::dkInformation, "Ta wersja nie wymaga modyfikacji", app::dbClose, true);
    return RunOutcome::NotNeeded;
  }
  try {
    int progressSteps = 0;
    bool phasesRead = true;
    const int phases = ReadMaxPriority(f, &phasesRead);
    if (!phasesRead) {
      // Stamping the new version on a database that no phase touched would
      // report an upgrade that never happened.
      f.AddLog("Nie odczytano liczby faz ze wzorca - przerwano proces uaktualniania", true);
      f.ui.SetStatusText("Przerwano proces uaktualniania");
      return RunOutcome::Stopped;
    }
    int typeCount = 0;
    for (const auto& s : TypeSteps())
      if (f.options.*s.option) ++typeCount;
    const int max = phases * typeCount * 200;
    f.ui.SetProgress(app::ProgressBar::Main, 0, max, 0);

    for (int p = 1; p <= phases; ++p) {
      f.AddLog(Format("Rozpoczęto fazę %d z %d", p, phases), false);
      f.CurrentPhase = p;
      for (const auto& s : TypeSteps()) {
        if (!s.statusText.empty()) f.ui.SetStatusText(s.statusText);
        if (!(f.options.*s.option)) continue;
        steps.SweepObjects(f, s.type, s.withDefinition);
        ++progressSteps;
        f.ui.SetProgress(app::ProgressBar::Main, 0, max, progressSteps * 100);
        steps.AddMissingObjects(f, s.type, s.withDefinition);
        ++progressSteps;
        f.ui.SetProgress(app::ProgressBar::Main, 0, max, progressSteps * 100);
      }
    }

    VersionStamp(f);
    if (f.options.chbGrantAll) GrantRoles(f);
    EnableAllTriggers(f);
    GrantViewServerState(f);
    f.ui.SetStatusText("Zakończono proces uaktualniania");
    return RunOutcome::Completed;
  } catch (const LinkLost& e) {
    StopForLostLink(f, e);
    return RunOutcome::Stopped;
  } catch (const db::OleError& e) {
    if (e.ConnectionLost()) {
      StopForLostLink(f, LinkLost(e.code(), e.what()));
      return RunOutcome::Stopped;
    }
    f.ShowError(db::FormatOleError(e.code(), e.what()));
  } catch (const std::exception& e) {
    f.ShowError(e.what());
  }
  // A failure that no step handled (the object list or the template could
  // not be opened) ends the run here.
  f.AddLog("Przerwano proces uaktualniania", true);
  f.ui.SetStatusText("Przerwano proces uaktualniania");
  return RunOutcome::Stopped;
}

std::vector<std::string> VersionStampLines(const Version& v, const db::DateTime& d) {
  // The unseparated form yyyymmdd is read the same under every session
  // language and DATEFORMAT; a day-first text is not.
  char values[160];
  std::snprintf(values, sizeof values, "VALUES (%d,%d,%d,CAST('%04d%02d%02d' AS DATETIME))", v.major, v.minor, v.sub,
                d.year, d.month, d.day);
  return {"UPDATE toolSysVersion SET DEL=1 WHERE DEL=0",
          "INSERT INTO toolSysVersion (NrGlowny, NrPodrzedny_1, NrPodrzedny_2,Aktualizacja)", values};
}

std::vector<std::string> RoleListLines() {
  return {"select 'RoleName' = name from sysusers where issqlrole =1 and islogin=0 ",
          "and not (uid >= 16384 and uid <= 16393) and uid<>0 order By name"};
}

std::vector<std::string> RoleMemberLines(const std::string& role) {
  const std::string r = InLiteral(role);
  return {"exec sp_addrolemember 'db_datareader', '" + r + "'", "exec sp_addrolemember 'db_datawriter', '" + r + "'"};
}

std::vector<std::string> RoleExecuteGrantLines(const std::string& role) {
  std::string bracketed;
  for (char c : role) {
    bracketed += c;
    if (c == ']') bracketed += ']';
  }
  return {"DECLARE @sp_Name sysname",
          "DECLARE @sp_type varchar(40)",
          "DECLARE @sp_user sysname",
          "DECLARE All_sp Scroll CURSOR",
          "FOR SELECT name, type, USER_NAME(uid) FROM sysobjects WHERE type IN ('FN', 'P')",
          "ORDER BY name FOR READ ONLY",
          "OPEN All_sp",
          "FETCH NEXT FROM All_sp INTO @sp_Name , @sp_type, @sp_user",
          "WHILE @@FETCH_STATUS=0",
          "BEGIN",
          "exec('GRANT EXECUTE ON [' + @sp_user + '].' +@sp_Name + ' TO ' + '[" + InLiteral(bracketed) + "]')",
          "FETCH NEXT FROM All_sp INTO @sp_Name , @sp_type, @sp_user",
          "END",
          "CLOSE All_sp",
          "DEALLOCATE All_sp"};
}

std::vector<std::string> EnableTriggersLines() { return {"sp_msforeachtable \"ALTER TABLE ? ENABLE TRIGGER all\""}; }

std::vector<std::string> GrantViewServerStateLines() {
  return {"USE master",
          "",
          "DECLARE @Name SYSNAME",
          "DECLARE @sqlText VARCHAR(500)",
          "",
          "DECLARE cr CURSOR LOCAL FOR ",
          "SELECT name",
          "FROM sys.server_principals ",
          "WHERE TYPE = 'S'",
          "and (name not like '%##%') AND name <> 'SA'",
          "",
          "OPEN cr",
          "",
          "FETCH NEXT FROM cr INTO @Name",
          "WHILE @@FETCH_STATUS = 0",
          "BEGIN",
          "\tSET @sqlText = 'GRANT VIEW SERVER STATE TO ' + @Name",
          "\tEXEC (@sqlText)",
          "\tFETCH NEXT FROM cr INTO @Name",
          "END",
          "",
          "CLOSE cr",
          "DEALLOCATE cr"};
}

}  // namespace wizard
