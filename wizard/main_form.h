// The wizard's shared run state (the logic half of the main form F_Main):
// the options of the database page, the versions, the current-object values
// and the services every step reaches through it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/clock.h"
#include "app/mydb.h"
#include "app/prefs.h"
#include "app/ui.h"
#include "schema/dm2.h"
#include "wizard/log.h"

namespace wizard {

// The check boxes of the database and object-type pages, read when needed.
struct RunOptions {
  bool chbPokazBLAD = true;    // "pokaż błędny obiekt"
  bool chbRebuildAll = false;  // "wymuś przebudowę P, Fn, V i T"
  bool chbGrantAll = true;     // "nadaj wszystkim uprawnienia"
  bool chbOpenTable = true;    // "otwórz tabelę po błędzie klucza"
  bool chbTabele = true, chbKluczeObce = true, chbFunkcje = true, chbWidoki = true, chbProcedury = true,
       chbTriggery = true;
};

// Major, minor and sub-version; compared as major*1000000 + minor*1000 + sub.
struct Version {
  int major = 0, minor = 0, sub = 0;
  std::int32_t Number() const;
  std::string Text() const;  // "%d.%.3d.%.3d"
};

// A statement the run could not carry out, kept for the closing summary.
struct Failure {
  std::string message;                // "(%x) %s" or the error's text
  std::vector<std::string> statement; // empty when no statement was involved
};

class TF_Main {
 public:
  TF_Main(app::Ui& ui, app::Clock& clock, app::PrefsStore& prefs, app::TMyDB& myDb, schema::TDM2& dm2,
          ProgressLog& log)
      : ui(ui), clock(clock), prefs(prefs), MyDB(myDb), DM2(dm2), log(log) {}

  app::Ui& ui;
  app::Clock& clock;
  app::PrefsStore& prefs;
  app::TMyDB& MyDB;
  schema::TDM2& DM2;
  ProgressLog& log;

  RunOptions options;

  // The program's folder (with trailing separator) and its reports folder
  // ("Raporty" there, or what the front end was told to use).
  std::string ProgramDir;
  std::string ReportsFolder;

  Version DatabaseVersion, TemplateVersion;
  int ServerMajorVersion = 0;
  std::string lblCurrentDB = "(nie wybrana)";

  // Current-object values.
  std::string CurrentTableName;
  std::int32_t CurrentServerId = 0;
  std::int32_t CurrentTemplateId = 0;
  int CurrentPhase = 0;

  // What went wrong in this process, for the headless exit status and the
  // closing summary. Every error dialog of a step and every ReportSqlError
  // records one entry.
  std::vector<Failure> failures;
  bool connectionLost = false;      // a run was stopped because the link was gone
  bool versionStampFailed = false;  // the new version could not be written

  void AddLog(const std::string& text, bool stamp) { log.AddLog(text, stamp); }

  // True when TemplateVersion >= DatabaseVersion (32-bit signed numbers).
  bool TemplateNotOlder() const { return TemplateVersion.Number() >= DatabaseVersion.Number(); }

  // The shared handling of a failed upgrade statement: the error dialog
  // "(%x) %s", then, with chbPokazBLAD on, the repair editor with a copy of
  // `statement`. Records the failure. Raises nothing.
  void ReportSqlError(std::uint32_t code, const std::string& message, const std::vector<std::string>& statement);

  // Shows "(%x) %s" or a plain message in the error dialog (kind dkError,
  // button dbClose, modal) and records it as a failure.
  void ShowError(const std::string& text);
};

}  // namespace wizard
