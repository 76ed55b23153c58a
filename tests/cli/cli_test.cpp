// Starts zurararudud-cli as a process against a simulated server holding a
// copy of the older demo database, with a template built from the demo's
// description, and checks its output, its files and its exit status.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/prefs.h"
#include "app/text.h"
#include "sqlite/template_builder.h"

// The versions of the demo's older database and of its template.
#define ZR_DEMO_OLD_VERSION "5.001.000"
#define ZR_DEMO_NEW_VERSION "5.002.000"

namespace {
namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::Not;

std::string ReadAll(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

std::string Quote(const std::string& s) {
  std::string r = "'";
  for (char c : s) r += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return r + "'";
}

struct Result {
  int status = -1;
  std::string out, err;
};

struct CliFixture : ::testing::Test {
  fs::path dir;
  fs::path db, tmpl, reports, prefs;

  void SetUp() override {
    dir = fs::temp_directory_path() / ("zr_cli_" + std::to_string(::getpid()) + "_" +
                                       ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir);
    fs::create_directories(dir);
    db = dir / "demo.sql";
    fs::copy_file(fs::path(ZR_SOURCE_DIR) / "tests/data/sim/demo_old.sql", db);
    tmpl = dir / "Template.mdb";
    sqlite::BuildTemplate((fs::path(ZR_SOURCE_DIR) / "demo/template.sql").string(), tmpl.string());
    reports = dir / "Raporty";
    prefs = dir / "prefs.ini";
  }
  void TearDown() override {
    if (!HasFailure()) fs::remove_all(dir);
  }

  // Runs the program with `args` (already quoted as needed) and `env`
  // assignments, capturing both streams.
  Result Run(const std::string& args, const std::string& env = "") {
    const fs::path out = dir / "out.txt", err = dir / "err.txt";
    const std::string cmd = "env -u ZURARARUDUD_PASSWORD " + env + " " +
                            Quote((fs::path(ZR_BINARY_DIR) / "cli/zurararudud-cli").string()) + " " + args + " >" +
                            Quote(out.string()) + " 2>" + Quote(err.string()) + " </dev/null";
    const int raw = std::system(cmd.c_str());
    Result r;
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    r.out = ReadAll(out);
    r.err = ReadAll(err);
    return r;
  }
  std::string Common() {
    return "--template " + Quote(tmpl.string()) + " --reports " + Quote(reports.string()) + " --prefs " +
           Quote(prefs.string());
  }
  std::string Server() { return "sim:" + db.string(); }
  std::vector<fs::path> Files(const std::string& prefix) {
    std::vector<fs::path> r;
    if (!fs::exists(reports)) return r;
    for (const auto& e : fs::directory_iterator(reports))
      if (e.path().filename().string().rfind(prefix, 0) == 0) r.push_back(e.path());
    return r;
  }
};

TEST_F(CliFixture, UsageErrorsExitWithTwo) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"--bogus", "nieznana opcja: --bogus"},
      {"--server", "brak wartości opcji --server"},
      {"--login sa", "nie podano serwera"},
      {"--server sim:x.sql", "nie podano użytkownika"},
      {"/Ssim:x.sql", "nie podano serwera"},  // one switch alone is not read
  };
  for (const auto& [args, message] : cases) {
    const Result r = Run(args);
    EXPECT_EQ(r.status, 2) << args;
    EXPECT_THAT(r.err, HasSubstr(message)) << args;
    EXPECT_THAT(r.err, HasSubstr("Użycie:")) << args;
  }
  Result r = Run("--help");
  EXPECT_EQ(r.status, 0);
  EXPECT_THAT(r.out, HasSubstr("--database"));
  r = Run("--list-queries");
  EXPECT_EQ(r.status, 0);
  EXPECT_THAT(r.out, HasSubstr("MaxPriorytet"));
  r = Run("--version");
  EXPECT_EQ(r.status, 0);
  EXPECT_THAT(r.out, HasSubstr("Orv-Zurararudud"));
}

TEST_F(CliFixture, LogsInFromSwitchesSelectsFromSwitchAndShowsVersions) {
  const Result r = Run(Quote("/S" + Server()) + " /Lsa /Ptajne-haslo /Ddemo " + Common());
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_THAT(r.err, HasSubstr("Połączono z serwerem SQL '" + Server() + "'"));
  EXPECT_THAT(r.out, HasSubstr("Bazy danych na serwerze: "));
  EXPECT_THAT(r.out, HasSubstr(" Automatyczny wybór bazy...\n"));
  EXPECT_THAT(r.out, HasSubstr(" Próba wyboru bazy DEMO\n"));
  EXPECT_THAT(r.out, HasSubstr(" Sprawdzenie minimalnej wersji SQL\n"));
  EXPECT_THAT(r.out, HasSubstr(" spełnia kryteria\n"));
  EXPECT_THAT(r.out, HasSubstr("\n********* Operacja zakończona sukcesem\n"));
  EXPECT_THAT(r.out, HasSubstr("Wybrana baza: DEMO\n"));
  EXPECT_THAT(r.out, HasSubstr("Wersja bieżąca bazy: " ZR_DEMO_OLD_VERSION));
  EXPECT_THAT(r.out, HasSubstr("Wersja docelowa bazy: " ZR_DEMO_NEW_VERSION));
  // The report is written; the password is nowhere.
  const auto reportsWritten = Files("Modyfikacja_bazy_");
  ASSERT_EQ(reportsWritten.size(), 1u);
  EXPECT_THAT(ReadAll(reportsWritten[0]), HasSubstr("Operacja zako"));
  for (const auto& text : {r.out, r.err, ReadAll(reportsWritten[0]), ReadAll(prefs)})
    EXPECT_THAT(text, Not(HasSubstr("tajne-haslo")));
}

TEST_F(CliFixture, SelectsFromThePreferenceWithThePasswordFromTheEnvironment) {
  {
    auto store = app::MakeUserPrefsStore(prefs.string());
    ASSERT_TRUE(app::WritePref(*store, "LoginPrefs", "DataBase", "Demo"));
  }
  const Result r = Run("--server " + Quote(Server()) + " --login sa " + Common(), "ZURARARUDUD_PASSWORD=tajne");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_THAT(r.out, HasSubstr(" Próba wyboru bazy DEMO\n"));
  EXPECT_THAT(r.out, HasSubstr("Wersja bieżąca bazy: " ZR_DEMO_OLD_VERSION));
  // The server is remembered, upper-cased.
  auto store = app::MakeUserPrefsStore(prefs.string());
  EXPECT_EQ(app::ReadPref(*store, "LoginPrefs", "ServerName"), app::UpperAZ("SIM:" + db.string()));
}

TEST_F(CliFixture, CouldNotRunCasesExitWithTwo) {
  // An unknown database, a missing template, a server that is not there,
  // and a run without a chosen database.
  Result r = Run("--server " + Quote(Server()) + " --login sa --database NIEMA " + Common());
  EXPECT_EQ(r.status, 2);
  EXPECT_THAT(r.err, HasSubstr("bazy NIEMA nie ma na serwerze"));
  r = Run("--server " + Quote(Server()) + " --login sa --database DEMO --template " +
          Quote((dir / "none.mdb").string()) + " --reports " + Quote(reports.string()) + " --prefs " +
          Quote(prefs.string()));
  EXPECT_EQ(r.status, 2);
  EXPECT_THAT(r.err, HasSubstr("nie można otworzyć pliku wzorca"));
  r = Run("--server " + Quote("sim:" + (dir / "missing" / "x.sql").string()) + " --login sa " + Common());
  EXPECT_EQ(r.status, 2);
  EXPECT_THAT(r.err, HasSubstr("logowanie do serwera"));
  r = Run("--server " + Quote(Server()) + " --login sa --run " + Common());
  EXPECT_EQ(r.status, 2);
  EXPECT_THAT(r.err, HasSubstr("nie wybrano bazy"));
}

TEST_F(CliFixture, RunBringsTheDatabaseToTheTemplateVersion) {
  Result r = Run("--server " + Quote(Server()) + " --login sa --database DEMO --run " + Common());
  ASSERT_TRUE(r.status == 0 || r.status == 1) << r.err;
  if (r.status == 1) {
    EXPECT_THAT(r.out, HasSubstr("Nieudane instrukcje: "));
  } else {
    EXPECT_THAT(r.out, HasSubstr("Modyfikacja zakończona bez błędów."));
  }
  // The simulator wrote the database back: a second look shows the new version.
  r = Run("--server " + Quote(Server()) + " --login sa --database DEMO " + Common());
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_THAT(r.out, HasSubstr("Wersja bieżąca bazy: " ZR_DEMO_NEW_VERSION));
}

TEST_F(CliFixture, FailedStatementIsShownSavedAndListed) {
  // The server refuses the change of the view: exit 1, the statement saved
  // in the reports folder (the editor is never opened) and listed.
  const std::string script = ReadAll(db);
  std::ofstream(db, std::ios::binary | std::ios::trunc)
      << "-- sim: fail 1 \"ALTER VIEW\" 207 \"Invalid column name 'Miasto'.\"\n" << script;
  const Result r = Run("--server " + Quote(Server()) + " --login sa --database DEMO --run " + Common());
  ASSERT_EQ(r.status, 1) << r.err;
  EXPECT_THAT(r.err, HasSubstr("[BŁĄD !] (80040E14) "));
  EXPECT_THAT(r.err, HasSubstr("Invalid column name 'Miasto'."));
  EXPECT_THAT(r.out, HasSubstr("Nieudane instrukcje: "));
  EXPECT_THAT(r.out, HasSubstr("ALTER VIEW vKlienci"));
  const auto saved = Files("Obiekt_bazy_");
  ASSERT_EQ(saved.size(), 1u);
  const std::string text = ReadAll(saved[0]);
  EXPECT_THAT(text, HasSubstr("ALTER VIEW vKlienci\r\nAS\r\n"));
  EXPECT_THAT(text, Not(HasSubstr("\n\n")));
}

}  // namespace
