// The whole program assembled once, as the start-up sequence creates it:
// the server and template data modules, the progress log, the wizard's run
// state and logic, and the login. Both front ends build one Program over
// their own Ui, LoginView and WizardView, call Start, and then run their
// loop (the GUI) or carry on headless (the CLI).
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/login.h"
#include "app/startup.h"
#include "wizard/database.h"

namespace wizard {

struct ProgramConfig {
  std::vector<std::string> params;   // command-line parameters, program name excluded
  std::string programFile;           // the executable
  std::string reportsFolder;         // "" -> "Raporty" next to the program
  std::string templatePath;          // "" -> "Template.mdb" next to the program
};

class Program {
 public:
  // `terminate` tells the front end to end the process (the login's close
  // sequence). `templateConnection` is the template adapter; nullptr takes
  // the SQLite one.
  Program(app::Ui& ui, app::Clock& clock, app::PrefsStore& prefs, app::LoginView& loginView,
          WizardView& wizardView, ProgramConfig config, std::function<void()> terminate,
          std::unique_ptr<db::Connection> templateConnection = nullptr);
  // Closes both connections (a simulated server writes its database back
  // on close); errors on the way out are swallowed. Call Close first to see
  // them.
  ~Program();
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  // Closes the server and the template connections. Throws what the
  // adapters throw (db::OleError); both are attempted.
  void Close();

  // Formats and data-access check (false: the program must end, nothing
  // else is done), the reports folder with its warning, the wizard's
  // FormShow, the login's FormCreate (which may log in from the command
  // line). Afterwards, when login.LoggedIn is false, the front end shows
  // the login form: call login.FormShow().
  bool Start();
  // As Start, with the login switches already merged by the caller (the
  // headless front end's long options); logs in when `tryLogin`.
  bool Start(const app::LoginSwitches& switches, bool tryLogin);

  app::StartupPaths paths;
  app::TMyDB MyDB;
  schema::TDM2 DM2;
  ProgressLog log;
  TF_Main F_Main;
  TMainWizard wizard;
  app::TF_ServerLogin login;

 private:
  bool StartBeforeLogin();
  app::Ui& ui_;
  ProgramConfig config_;
};

}  // namespace wizard
