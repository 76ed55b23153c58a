#include "app/login.h"

#include "app/text.h"

namespace app {
namespace {
constexpr const char* kLoginSection = "LoginPrefs";
constexpr const char* kServerListSection = "LoginPrefs\\ServerList";

std::string SlotName(int slot) { return "Server" + std::to_string(slot); }
}  // namespace

std::string LoginUpper(const std::string& s) {
  std::string r;
  r.reserve(s.size());
  for (std::size_t i = 0; i < s.size(); ++i) {
    const auto c = static_cast<unsigned char>(s[i]);
    if (c >= 'a' && c <= 'z') {
      r += static_cast<char>(c - 32);
      continue;
    }
    if (i + 1 < s.size() && (c == 0xC3 || c == 0xC4 || c == 0xC5)) {
      const auto d = static_cast<unsigned char>(s[i + 1]);
      unsigned char up = d;
      if (c == 0xC3 && d == 0xB3) up = 0x93;                                       // ó
      if (c == 0xC4 && (d == 0x85 || d == 0x87 || d == 0x99)) up = d - 1;          // ą ć ę
      if (c == 0xC5 && (d == 0x82 || d == 0x84 || d == 0x9B || d == 0xBA || d == 0xBC)) up = d - 1;  // ł ń ś ź ż
      r += static_cast<char>(c);
      r += static_cast<char>(up);
      ++i;
      continue;
    }
    r += static_cast<char>(c);
  }
  return r;
}

LoginSwitches ParseLoginSwitches(const std::vector<std::string>& params) {
  LoginSwitches sw;
  if (params.size() < 2) return sw;
  for (const auto& p : params) {
    const std::string head = UpperAZ(p.substr(0, 2));
    const std::string rest = p.size() > 2 ? p.substr(2) : "";
    if (head == "/S") sw.server = rest;
    else if (head == "/L") sw.user = LoginUpper(rest);
    else if (head == "/P") sw.password = rest;
  }
  return sw;
}

db::ConnectParams ServerConnectParams(const std::string& server, const std::string& user,
                                      const std::string& password, const std::string& applicationName) {
  db::ConnectParams p;
  p.provider = "SQLOLEDB.1";
  p.dataSource = server;
  p.userId = user;
  p.password = password;
  p.initialCatalog = "MASTER";
  p.language = "Polish";
  p.applicationName = applicationName;
  p.connectTimeoutSeconds = 60;
  return p;
}

std::string ConnectErrorText(std::uint32_t code) {
  switch (code) {
    case db::code::kNoProvider: return "Provider SQL OLEDB nie został znaleziony !";
    case db::code::kUnreachable: return "Podany serwer nie został znaleziony";
    case db::code::kLoginFailed: return "Nieprawidłowe hasło lub nazwa użytkownika";
    case db::code::kAlreadyOpen: return "Połączenie jest już otwarte";
    default: return "";
  }
}

TF_ServerLogin::TF_ServerLogin(LoginView& view, Ui& ui, Clock& clock, PrefsStore& prefs, TMyDB& myDb,
                               std::string applicationName, std::function<void(const std::string&)> afterLogin,
                               std::function<void()> terminate)
    : view_(view),
      ui_(ui),
      clock_(clock),
      prefs_(prefs),
      myDb_(myDb),
      applicationName_(std::move(applicationName)),
      afterLogin_(std::move(afterLogin)),
      terminate_(std::move(terminate)) {}

void TF_ServerLogin::FormCreate(const std::vector<std::string>& params) {
  FormCreate(ParseLoginSwitches(params), params.size() >= 2);
}

void TF_ServerLogin::FormCreate(const LoginSwitches& sw, bool tryLogin) {
  LoggedIn = false;
  if (sw.server) view_.SetServerText(*sw.server);
  if (sw.user) view_.SetUserText(LoginUpper(*sw.user));
  if (sw.password) view_.SetPasswordText(*sw.password);
  if (tryLogin && !view_.UserText().empty() && !view_.ServerText().empty()) LoginToServer();
}

void TF_ServerLogin::FormShow() {
  SetLoginInfo("WPROWADŹ POPRAWNE DANE");
  view_.SetServerText("");
  const std::string remembered = ReadPref(prefs_, kLoginSection, "ServerName");
  if (remembered != kPrefsError) {
    view_.SetServerText(remembered);
    view_.FocusUser();
  } else {
    view_.FocusServer();
  }
  LoadServerList();
}

void TF_ServerLogin::btnCONNECTClick() {
  SetLoginBusy(true);
  LoginToServer();
  SetLoginBusy(false);
}

void TF_ServerLogin::LoginToServer() {
  if (!ConnectToServer(view_.ServerText(), view_.UserText(), view_.PasswordText())) {
    ui_.Beep();
    SetLoginInfo("BŁĄD:WPROWADŹ POPRAWNE DANE");
    return;
  }
  const std::string server = Trim(view_.ServerText());
  const std::string user = Trim(view_.UserText());
  view_.SetServerText(server);
  view_.SetUserText(user);
  view_.SetPasswordText(Trim(view_.PasswordText()));
  SetLoginInfo("Połączone");
  ui_.SetStatusText("Połączono z serwerem SQL " + QuotedStr(server));
  RememberServer();
  try {
    if (afterLogin_) afterLogin_(user);
  } catch (const std::exception& e) {
    // The database list could not be read: no run may start from this
    // connection, so it is closed and the form stays for another try.
    const auto* ole = dynamic_cast<const db::OleError*>(&e);
    ui_.ShowMessageDialog(dkError, ole ? db::FormatOleError(ole->code(), ole->what()) : e.what(), dbClose, true);
    myDb_.ADOConn1.Close();
    ui_.Beep();
    SetLoginInfo("BŁĄD:WPROWADŹ POPRAWNE DANE");
    return;
  }
  view_.HideForm();
  LoggedIn = true;
}

bool TF_ServerLogin::ConnectToServer(const std::string& server, const std::string& user,
                                     const std::string& password) {
  if (server.empty()) return false;
  SetLoginInfo("ŁĄCZENIE Z SERWEREM...");
  ui_.SetStatusText("...");
  RunConnectAnimation(true);
  DelayWithMessages(ui_, clock_, 100);
  bool result = false;
  try {
    myDb_.ADOConn1.Open(ServerConnectParams(server, user, password, applicationName_));
    result = myDb_.ADOConn1.IsOpen();
    ui_.SetStatusText("OK");
  } catch (const db::OleError& e) {
    const std::string text = ConnectErrorText(e.code());
    if (!text.empty()) ui_.SetStatusText(text);
    myDb_.ADOConn1.Close();
    result = false;
  } catch (const std::exception& e) {
    ui_.SetStatusText(e.what());
    myDb_.ADOConn1.Close();
    result = false;
  }
  RunConnectAnimation(false);
  return result;
}

void TF_ServerLogin::RememberServer() {
  const std::string s = UpperAZ(view_.ServerText());
  WritePref(prefs_, kLoginSection, "ServerName", s);
  for (int slot = 1; slot <= kServerSlots; ++slot)
    if (ReadPref(prefs_, kServerListSection, SlotName(slot)) == s) return;
  for (int slot = 1; slot <= kServerSlots; ++slot) {
    if (ReadPref(prefs_, kServerListSection, SlotName(slot)) == kPrefsError) {
      WritePref(prefs_, kServerListSection, SlotName(slot), s);
      return;
    }
  }
}

void TF_ServerLogin::LoadServerList() {
  std::vector<std::string> list;
  for (int slot = 1; slot <= kServerSlots; ++slot) {
    const std::string v = ReadPref(prefs_, kServerListSection, SlotName(slot));
    if (v != kPrefsError) list.push_back(v);
  }
  view_.SetServerList(list);
}

void TF_ServerLogin::SetLoginBusy(bool busy) {
  if (!view_.IsVisible()) return;
  view_.SetInputsEnabled(!busy);
  if (!busy) view_.FocusUser();
}

void TF_ServerLogin::RunConnectAnimation(bool start) {
  if (start) {
    if (animationRunning_) return;
    view_.StartAnimation();
    animationRunning_ = true;
  } else if (animationRunning_) {
    view_.StopAnimation();
    animationRunning_ = false;
  }
}

void TF_ServerLogin::ShutdownProgram() {
  view_.DisableForm();
  std::string t = "Zamykanie programu";
  for (int i = 0; i < 51; ++i) {
    t += ".";
    ui_.SetStatusText(t);
    DelayWithMessages(ui_, clock_, 20);
  }
  ui_.SetStatusText(t + "OK");
  DelayWithMessages(ui_, clock_, 400);
  if (terminate_) terminate_();
}

}  // namespace app
