// The start-up sequence's steps that do not need the wizard: process
// formats and the data-access check, where the program's files live, the
// reports folder, and the adapter the server connection uses. The whole
// sequence, with the forms, is wizard::Program::Start (wizard/program.h).
#pragma once

#include <memory>
#include <string>

#include "app/ui.h"
#include "db/db.h"

namespace app {

// Where the program finds and puts its files.
struct StartupPaths {
  std::string programFile;    // the executable
  std::string programDir;     // its folder, with a trailing separator
  std::string reportsFolder;  // programDir + "Raporty" unless overridden
  std::string templatePath;   // programDir + "Template.mdb" unless overridden
};
// Fills the paths from the executable's path; a non-empty override replaces
// the reports folder or the template path.
StartupPaths ResolveStartupPaths(const std::string& programFile, const std::string& reportsOverride = "",
                                 const std::string& templateOverride = "");

// The process formats, then the data-access library check, which reports a
// failure itself in the error dialog. False when the program must end.
bool PrepareEnvironment(Ui& ui);

// Creates the reports folder with its parents when it does not exist and,
// when that succeeded, shows the warning "Pomyślnie utworzono folder " +
// folder (button "&Zamknij", modal). Errors are swallowed: nothing is shown
// and start-up goes on. True when the folder exists afterwards.
bool EnsureReportsFolder(Ui& ui, const std::string& folder);

// The adapter for a server connection: the simulator for a data source
// "sim:FILE", ODBC for anything else. Not opened.
std::unique_ptr<db::Connection> MakeAdapterFor(const db::ConnectParams& params);

}  // namespace app
