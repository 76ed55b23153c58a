#include "wizard/program.h"

#include <exception>

#include "app/exe_info.h"
#include "sqlite/template_connection.h"

namespace wizard {

Program::Program(app::Ui& ui, app::Clock& clock, app::PrefsStore& prefs, app::LoginView& loginView,
                 WizardView& wizardView, ProgramConfig config, std::function<void()> terminate,
                 std::unique_ptr<db::Connection> templateConnection)
    : paths(app::ResolveStartupPaths(config.programFile, config.reportsFolder, config.templatePath)),
      MyDB(&app::MakeAdapterFor),
      DM2(templateConnection ? std::move(templateConnection) : std::make_unique<sqlite::TemplateConnection>()),
      log(ui, clock),
      F_Main(ui, clock, prefs, MyDB, DM2, log),
      wizard(F_Main, wizardView, config.params, paths.templatePath, paths.programFile),
      login(loginView, ui, clock, prefs, MyDB, app::ExeInternalName(paths.programFile),
            [this](const std::string& user) { wizard.AfterLogin(user); }, std::move(terminate)),
      ui_(ui),
      config_(std::move(config)) {
  F_Main.ProgramDir = paths.programDir;
  F_Main.ReportsFolder = paths.reportsFolder;
}

Program::~Program() {
  try {
    Close();
  } catch (...) {
  }
}

void Program::Close() {
  std::exception_ptr first;
  try {
    MyDB.ADOConn1.Close();
  } catch (...) {
    first = std::current_exception();
  }
  try {
    DM2.ADO_CNN2.Close();
  } catch (...) {
    if (!first) first = std::current_exception();
  }
  if (first) std::rethrow_exception(first);
}

bool Program::StartBeforeLogin() {
  if (!app::PrepareEnvironment(ui_)) return false;
  app::EnsureReportsFolder(ui_, paths.reportsFolder);
  wizard.FormShow();
  return true;
}

bool Program::Start() {
  if (!StartBeforeLogin()) return false;
  login.FormCreate(config_.params);
  return true;
}

bool Program::Start(const app::LoginSwitches& switches, bool tryLogin) {
  if (!StartBeforeLogin()) return false;
  login.FormCreate(switches, tryLogin);
  return true;
}

}  // namespace wizard
