// Headless front end: the start-up, the login, the database choice and the
// versions without a window, and with --run the whole upgrade. The dialog
// policy is in headless.h, the options in options.h; the exit status is
// 0 (done, no failed statement; or versions shown without --run),
// 1 (run complete with failed statements, listed at the end),
// 2 (could not run: usage, login, template, database, lost connection).
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/prefs.h"
#include "app/text.h"
#include "cli/headless.h"
#include "cli/options.h"
#include "reconcile/objects/upgrade.h"
#include "schema/stored_queries.h"
#include "wizard/program.h"

namespace {

std::string ProgramFile(const char* argv0) {
  std::error_code ec;
  auto p = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (!ec) return p.string();
  return std::filesystem::absolute(argv0, ec).string();
}

int Fail(const std::string& message) {
  std::fprintf(stderr, "zurararudud-cli: %s\n", message.c_str());
  return 2;
}

void PrintFailures(const std::vector<wizard::Failure>& failures, std::size_t from) {
  std::printf("Nieudane instrukcje: %zu\n", failures.size() - from);
  for (std::size_t i = from; i < failures.size(); ++i) {
    std::printf("%zu. %s\n", i - from + 1, failures[i].message.c_str());
    for (const auto& l : failures[i].statement) std::printf("     %s\n", l.c_str());
  }
}

int Run(wizard::Program& prog, const cli::Options& o) {
  wizard::TF_Main& f = prog.F_Main;
  if (!prog.login.LoggedIn)
    return Fail("logowanie do serwera " + o.switches.server.value_or("") + " nie powiodło się");

  const auto& list = prog.wizard.Databases();
  std::string names;
  for (const auto& n : list) names += (names.empty() ? "" : ", ") + n;
  std::printf("Bazy danych na serwerze: %s\n", names.empty() ? "(brak)" : names.c_str());

  if (!prog.wizard.TemplateOpen()) return Fail("nie można otworzyć pliku wzorca " + prog.paths.templatePath);

  const bool chosen = wizard::CanRun(f);
  if (o.database && !o.database->empty()) {
    if (wizard::FindDatabase(list, *o.database) < 0) return Fail("bazy " + *o.database + " nie ma na serwerze");
    if (!chosen || !app::SameText(f.lblCurrentDB, *o.database))
      return Fail("nie można wybrać bazy " + *o.database);
  }
  if (!chosen) {
    if (o.run) return Fail("nie wybrano bazy do modyfikacji (--database lub /D)");
    std::printf("Nie wybrano bazy (--database lub /D).\n");
    return 0;
  }

  const auto& l = prog.wizard.Labels();
  std::printf("Wybrana baza: %s\n", f.lblCurrentDB.c_str());
  std::printf("Wersja bieżąca bazy: %s (Data aktualizacji: %s)\n", l.LMDLVerCur.c_str(), l.LMDLVerCurD.c_str());
  std::printf("Wersja docelowa bazy: %s (Data aktualizacji: %s)\n", l.LMDLVerNew.c_str(), l.LMDLVerNewD.c_str());
  if (!l.lblStatusTemplate.empty()) std::printf("%s\n", l.lblStatusTemplate.c_str());
  std::fflush(stdout);
  if (!o.run) return 0;

  const std::size_t before = f.failures.size();
  wizard::RunOutcome outcome = wizard::RunOutcome::Stopped;
  if (!prog.wizard.StartRun([&](wizard::TF_Main& main) { outcome = reconcile::RunUpgrade(main); }))
    return Fail("nie można rozpocząć modyfikacji bazy " + f.lblCurrentDB);
  if (f.connectionLost) {
    PrintFailures(f.failures, before);
    return Fail("utracono połączenie z serwerem - modyfikacja przerwana");
  }
  if (outcome == wizard::RunOutcome::NotNeeded) return Fail("wzorzec jest starszy niż baza - nic nie zmieniono");
  if (outcome == wizard::RunOutcome::Stopped) {
    PrintFailures(f.failures, before);
    return Fail("modyfikacja przerwana");
  }
  if (f.failures.size() > before) {
    PrintFailures(f.failures, before);
    return 1;
  }
  std::printf("Modyfikacja zakończona bez błędów.\n");
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  cli::Options o;
  const std::string err = cli::ParseOptions(args, std::getenv("ZURARARUDUD_PASSWORD"), o);
  if (!err.empty()) {
    std::fprintf(stderr, "zurararudud-cli: %s\n\n%s", err.c_str(), cli::UsageText().c_str());
    return 2;
  }
  if (o.help) {
    std::fputs(cli::UsageText().c_str(), stdout);
    return 0;
  }
  if (o.version) {
    std::printf("zurararudud-cli %s (%s)\n", ZR_FILE_VERSION, ZR_INTERNAL_NAME);
    return 0;
  }
  if (o.listQueries) {
    std::fputs(schema::ListQueries().c_str(), stdout);
    return 0;
  }

  app::Clock& clock = app::SystemClock();
  auto prefs = app::MakeUserPrefsStore(o.prefsFile);
  cli::HeadlessUi ui(stdout, stderr, clock);
  cli::HeadlessLoginView loginView;
  cli::HeadlessWizardView wizardView;
  wizard::ProgramConfig config;
  config.params = o.params;
  // --database is looked up like "/D": put it first, where the first "/D" wins.
  if (o.database) config.params.insert(config.params.begin(), "/D" + *o.database);
  config.programFile = ProgramFile(argv[0]);
  config.reportsFolder = o.reportsFolder;
  config.templatePath = o.templatePath;
  wizard::Program prog(ui, clock, *prefs, loginView, wizardView, config, [] {});
  ui.SetReportsFolder(prog.paths.reportsFolder);
  if (!prog.Start(o.switches, true)) return 2;

  int status = Run(prog, o);
  try {
    prog.Close();  // a simulated server writes its database back here
  } catch (const std::exception& e) {
    std::fprintf(stderr, "zurararudud-cli: błąd przy zamykaniu połączenia: %s\n", e.what());
    if (status == 0) status = 2;
  }
  const std::string report = prog.wizard.LMDAssistCancelClick();
  if (!report.empty()) std::fprintf(stderr, "Raport: %s\n", report.c_str());
  return status;
}
