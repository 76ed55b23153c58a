#include "app/login.h"

#include <gtest/gtest.h>

#include "app/fake_ports.h"

namespace {

class FakeLoginView : public app::LoginView {
 public:
  std::string server, user, password, info;
  std::vector<std::string> list;
  bool visible = false, enabled = true, disabled = false, animating = false;
  int animationStarts = 0;
  std::string focus;
  std::string ServerText() const override { return server; }
  void SetServerText(const std::string& t) override { server = t; }
  void SetServerList(const std::vector<std::string>& l) override { list = l; }
  std::string UserText() const override { return user; }
  void SetUserText(const std::string& t) override { user = t; }
  std::string PasswordText() const override { return password; }
  void SetPasswordText(const std::string& t) override { password = t; }
  void SetInfo(const std::string& t) override { info = t; }
  void SetInputsEnabled(bool e) override { enabled = e; }
  void DisableForm() override { disabled = true; }
  void StartAnimation() override {
    animating = true;
    ++animationStarts;
  }
  void StopAnimation() override { animating = false; }
  void FocusServer() override { focus = "server"; }
  void FocusUser() override { focus = "user"; }
  bool IsVisible() const override { return visible; }
  void ShowForm() override { visible = true; }
  void HideForm() override { visible = false; }
};

struct LoginFixture : ::testing::Test {
  fakes::Script script;
  fakes::RecordingUi ui;
  fakes::ManualClock clock;
  fakes::MemoryPrefs prefs;
  app::TMyDB mydb{[this](const db::ConnectParams&) { return std::make_unique<fakes::ScriptedConnection>(script); }};
  FakeLoginView view;
  std::vector<std::string> loggedInAs;
  int terminated = 0;
  app::TF_ServerLogin login{view, ui, clock, prefs, mydb, "Orv-Zurararudud",
                            [this](const std::string& u) { loggedInAs.push_back(u); }, [this] { ++terminated; }};

  std::string Slot(int n) { return app::ReadPref(prefs, "LoginPrefs\\ServerList", "Server" + std::to_string(n)); }
  void Connect(const std::string& server) {
    view.server = server;
    view.user = "SA";
    login.LoginToServer();
    mydb.ADOConn1.Close();
  }
};

TEST(LoginSwitches, ReadOnlyWithTwoParametersFirstTwoCharactersUpperCased) {
  struct Case {
    std::vector<std::string> params;
    std::optional<std::string> server, user, password;
  };
  const std::vector<Case> cases = {
      {{"/Ssim:a.db", "/Lsa", "/Psecret"}, "sim:a.db", "SA", "secret"},
      {{"/Ssim:a.db"}, std::nullopt, std::nullopt, std::nullopt},           // one parameter: ignored
      {{"/sHOST", "/ljan", "/Dbaza"}, "HOST", "JAN", std::nullopt},         // lower case switches, /D not here
      {{"/SA", "/SB", "x"}, "B", std::nullopt, std::nullopt},               // the later one wins
      {{"/L", "/P"}, std::nullopt, "", ""},                                 // switches with empty values
      {{"/Lżółw", "-Sx"}, std::nullopt, "ŻÓŁW", std::nullopt},              // Polish letters upper-cased
  };
  for (const auto& c : cases) {
    const auto sw = app::ParseLoginSwitches(c.params);
    EXPECT_EQ(sw.server, c.server) << c.params[0];
    EXPECT_EQ(sw.user, c.user) << c.params[0];
    EXPECT_EQ(sw.password, c.password) << c.params[0];
  }
}

TEST(LoginUpper, LettersOnly) { EXPECT_EQ(app::LoginUpper("ab-ąćęłńóśźż 1é"), "AB-ĄĆĘŁŃÓŚŹŻ 1é"); }

TEST_F(LoginFixture, CommandLineLoginConnectsToMasterAndHandsOver) {
  login.FormCreate(std::vector<std::string>{"/Ssim:x.db", "/Lsa", "/Ptajne"});
  ASSERT_TRUE(login.LoggedIn);
  ASSERT_EQ(script.opened.size(), 1u);
  const auto& p = script.opened[0];
  EXPECT_EQ(p.provider, "SQLOLEDB.1");
  EXPECT_EQ(p.dataSource, "sim:x.db");
  EXPECT_EQ(p.userId, "SA");
  EXPECT_EQ(p.password, "tajne");
  EXPECT_EQ(p.initialCatalog, "MASTER");
  EXPECT_EQ(p.language, "Polish");
  EXPECT_EQ(p.applicationName, "Orv-Zurararudud");
  EXPECT_EQ(loggedInAs, std::vector<std::string>{"SA"});
  EXPECT_EQ(view.info, "Połączone");
  EXPECT_FALSE(view.visible);
  EXPECT_FALSE(login.AnimationRunning());
  EXPECT_EQ(view.animationStarts, 1);
  const std::vector<std::string> status = {"...", "OK", "Połączono z serwerem SQL 'sim:x.db'"};
  EXPECT_EQ(ui.status, status);
  EXPECT_EQ(app::ReadPref(prefs, "LoginPrefs", "ServerName"), "SIM:X.DB");
  EXPECT_EQ(Slot(1), "SIM:X.DB");
  EXPECT_GE(clock.tick, 100u);  // the wait before connecting
  // The password goes nowhere but the connection.
  for (const auto& [k, v] : prefs.values) EXPECT_EQ(v.find("tajne"), std::string::npos);
}

TEST_F(LoginFixture, RefusedConnectionShowsTheTableTextAndKeepsTheForm) {
  const std::vector<std::pair<std::uint32_t, std::string>> cases = {
      {db::code::kNoProvider, "Provider SQL OLEDB nie został znaleziony !"},
      {db::code::kUnreachable, "Podany serwer nie został znaleziony"},
      {db::code::kLoginFailed, "Nieprawidłowe hasło lub nazwa użytkownika"},
      {db::code::kAlreadyOpen, "Połączenie jest już otwarte"},
      {db::code::kCommandError, ""},
  };
  for (const auto& [code, text] : cases) {
    ui.status.clear();
    script.openError = db::OleError(code, "refused");
    view.server = "srv";
    view.user = "SA";
    const int beeps = ui.beeps;
    login.LoginToServer();
    EXPECT_FALSE(login.LoggedIn);
    EXPECT_FALSE(mydb.ADOConn1.IsOpen());
    EXPECT_EQ(ui.beeps, beeps + 1);
    EXPECT_EQ(view.info, "BŁĄD:WPROWADŹ POPRAWNE DANE");
    EXPECT_EQ(view.server, "srv");
    EXPECT_FALSE(login.AnimationRunning());
    ASSERT_FALSE(ui.status.empty());
    EXPECT_EQ(ui.status.back(), text.empty() ? "..." : text) << std::hex << code;
  }
  EXPECT_TRUE(loggedInAs.empty());
}

TEST_F(LoginFixture, EmptyServerFailsWithoutTrying) {
  view.user = "SA";
  EXPECT_FALSE(login.ConnectToServer("", "SA", ""));
  EXPECT_TRUE(script.opened.empty());
  EXPECT_TRUE(ui.status.empty());
  EXPECT_EQ(view.animationStarts, 0);
}

TEST_F(LoginFixture, FailingDatabaseListClosesTheConnectionAndKeepsTheForm) {
  app::TF_ServerLogin failing{view, ui, clock, prefs, mydb, "Orv-Zurararudud",
                              [](const std::string&) { throw db::OleError(0x80040E37, "Invalid object name"); },
                              [] {}};
  view.visible = true;
  view.server = "srv";
  view.user = "SA";
  failing.LoginToServer();
  EXPECT_FALSE(failing.LoggedIn);
  EXPECT_FALSE(mydb.ADOConn1.IsOpen());
  EXPECT_TRUE(view.visible);
  ASSERT_EQ(ui.dialogs.size(), 1u);
  EXPECT_EQ(ui.dialogs[0].text, "(80040E37) Invalid object name");
}

TEST_F(LoginFixture, ServerMemoryHas32SlotsUpperCasedWithGapsRefilled) {
  for (int i = 1; i <= 32; ++i) Connect("srv" + std::to_string(i));
  EXPECT_EQ(Slot(1), "SRV1");
  EXPECT_EQ(Slot(32), "SRV32");
  Connect("extra");  // all slots taken
  EXPECT_EQ(app::ReadPref(prefs, "LoginPrefs", "ServerName"), "EXTRA");
  for (int i = 1; i <= 32; ++i) EXPECT_NE(Slot(i), "EXTRA");
  Connect("Srv7");  // same name in other letter case: no second slot
  int sevens = 0;
  for (int i = 1; i <= 32; ++i) sevens += Slot(i) == "SRV7";
  EXPECT_EQ(sevens, 1);
  // Empty slot 5 by hand: the list skips it, the next new server fills it.
  for (auto it = prefs.values.begin(); it != prefs.values.end();)
    it = it->first.second == "Server5" ? prefs.values.erase(it) : std::next(it);
  login.LoadServerList();
  ASSERT_EQ(view.list.size(), 31u);
  EXPECT_EQ(view.list[3], "SRV4");
  EXPECT_EQ(view.list[4], "SRV6");
  Connect("new");
  EXPECT_EQ(Slot(5), "NEW");
}

TEST_F(LoginFixture, FormShowPrefersTheRememberedServer) {
  script.openError = db::OleError(db::code::kUnreachable, "x");
  login.FormCreate(std::vector<std::string>{"/Sfrom-switch", "/Lsa"});  // the login fails
  EXPECT_FALSE(login.LoggedIn);
  app::WritePref(prefs, "LoginPrefs", "ServerName", "REMEMBERED");
  login.FormShow();
  EXPECT_EQ(view.server, "REMEMBERED");
  EXPECT_EQ(view.user, "SA");
  EXPECT_EQ(view.focus, "user");
  EXPECT_EQ(view.info, "WPROWADŹ POPRAWNE DANE");
  prefs.values.clear();
  login.FormShow();
  EXPECT_EQ(view.server, "");
  EXPECT_EQ(view.focus, "server");
}

TEST_F(LoginFixture, BusyStateOnlyWhileVisible) {
  login.SetLoginBusy(true);
  EXPECT_TRUE(view.enabled);
  view.visible = true;
  login.SetLoginBusy(true);
  EXPECT_FALSE(view.enabled);
  login.SetLoginBusy(false);
  EXPECT_TRUE(view.enabled);
  EXPECT_EQ(view.focus, "user");
}

TEST_F(LoginFixture, ShutdownCountsDotsThenTerminates) {
  login.ShutdownProgram();
  EXPECT_TRUE(view.disabled);
  ASSERT_EQ(ui.status.size(), 52u);
  EXPECT_EQ(ui.status[0], "Zamykanie programu.");
  EXPECT_EQ(ui.status[50], "Zamykanie programu" + std::string(51, '.'));
  EXPECT_EQ(ui.status[51], "Zamykanie programu" + std::string(51, '.') + "OK");
  EXPECT_GE(clock.tick, 51u * 20 + 400);
  EXPECT_EQ(terminated, 1);
}

}  // namespace
