// The login (F_ServerLogin): command-line switches, the connection to the
// server's "MASTER" database, the remembered servers and the closing
// sequence. The widgets live in a LoginView (the Qt form or the headless
// front end); every decision is made here.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/clock.h"
#include "app/mydb.h"
#include "app/prefs.h"
#include "app/ui.h"

namespace app {

// The login form's widgets as the logic sees them.
class LoginView {
 public:
  virtual ~LoginView() = default;
  // edServer: the edit text and the drop-down list of remembered servers.
  // Refilling the list keeps the edit text.
  virtual std::string ServerText() const = 0;
  virtual void SetServerText(const std::string& text) = 0;
  virtual void SetServerList(const std::vector<std::string>& servers) = 0;
  // edUSER: the view upper-cases what the user types; text assigned here is
  // already upper-cased (LoginUpper).
  virtual std::string UserText() const = 0;
  virtual void SetUserText(const std::string& text) = 0;
  // edPWD, shown as '*'.
  virtual std::string PasswordText() const = 0;
  virtual void SetPasswordText(const std::string& text) = 0;
  // The Info panel; the view repaints it at once.
  virtual void SetInfo(const std::string& text) = 0;
  // Enables or disables the five input controls (buttons and edits).
  virtual void SetInputsEnabled(bool enabled) = 0;
  // Disables the whole form (closing sequence).
  virtual void DisableForm() = 0;
  // The connection animation (CnnWait): reset to 0..100 rising, start, stop.
  virtual void StartAnimation() = 0;
  virtual void StopAnimation() = 0;
  virtual void FocusServer() = 0;
  virtual void FocusUser() = 0;
  virtual bool IsVisible() const = 0;
  virtual void ShowForm() = 0;
  virtual void HideForm() = 0;
};

// Upper-cases a login name as edUSER does: a-z and the Polish letters
// (UTF-8) become capitals; everything else stays.
std::string LoginUpper(const std::string& s);

// What "/S", "/L" and "/P" carried. They are read only when there are at
// least two parameters; the first two characters of a parameter are
// compared upper-cased, the rest (from the third character) is the value;
// a later switch overwrites an earlier one; other parameters are ignored.
struct LoginSwitches {
  std::optional<std::string> server, user, password;
};
LoginSwitches ParseLoginSwitches(const std::vector<std::string>& params);

// The server connection's parameters: provider "SQLOLEDB.1", the server as
// data source, catalog "MASTER", language "Polish", the application name
// given (the program's internal name, "Orv-Zurararudud").
db::ConnectParams ServerConnectParams(const std::string& server, const std::string& user,
                                      const std::string& password, const std::string& applicationName);

// The status text for a refused connection, "" for a code not in the table.
std::string ConnectErrorText(std::uint32_t code);

// The number of remembered-server slots.
inline constexpr int kServerSlots = 32;

class TF_ServerLogin {
 public:
  // `afterLogin` does the wizard's part of a successful login (status panel
  // "Login:" + user, enable the wizard, LoadDataBases, focus the list); it
  // runs before the form is hidden. `terminate` tells the application to end.
  TF_ServerLogin(LoginView& view, Ui& ui, Clock& clock, PrefsStore& prefs, TMyDB& myDb,
                 std::string applicationName, std::function<void(const std::string& user)> afterLogin,
                 std::function<void()> terminate);

  bool LoggedIn = false;

  // Reads the switches (ParseLoginSwitches) into the view and, when server
  // and user are both non-empty afterwards, runs LoginToServer at once.
  void FormCreate(const std::vector<std::string>& params);
  // Same, with switches already parsed (the headless front end merges its
  // long options into them). Logs in only when `tryLogin` is true.
  void FormCreate(const LoginSwitches& switches, bool tryLogin);
  // Info "WPROWADŹ POPRAWNE DANE", the remembered server (replacing one from
  // "/S") with the focus on the user, else the focus on the server; the list.
  void FormShow();
  // Busy, LoginToServer, not busy.
  void btnCONNECTClick();
  // btnCLOSEClick and the form's close query both run ShutdownProgram.
  void btnCLOSEClick() { ShutdownProgram(); }

  // Connects with the view's texts. On success: trims them back into the
  // view, Info "Połączone", status "Połączono z serwerem SQL '<server>'",
  // RememberServer, afterLogin, hide, LoggedIn. On failure: a beep and Info
  // "BŁĄD:WPROWADŹ POPRAWNE DANE"; the form keeps its contents.
  void LoginToServer();
  // Opens ADOConn1 on "MASTER". False at once for an empty server; false
  // with the status text of ConnectErrorText for a refused connection (the
  // connection is closed). A failure that is not an OLE error is shown in
  // the status text too, and also gives false (the animation is stopped).
  bool ConnectToServer(const std::string& server, const std::string& user, const std::string& password);
  // Writes the view's server, upper-cased, as "ServerName" and into the
  // first free of the 32 slots unless a slot already holds it.
  void RememberServer();
  // Fills the view's list from the slots in slot order, skipping gaps.
  void LoadServerList();
  void SetLoginInfo(const std::string& text) { view_.SetInfo(text); }
  // Only while the form is visible: inputs disabled when busy; when not
  // busy, the focus goes to the user field.
  void SetLoginBusy(bool busy);
  // Starts (true) or stops (false) the animation; a second start while it
  // runs does nothing.
  void RunConnectAnimation(bool start);
  // "Zamykanie programu" with 51 dots at 20 ms, then "...OK" for 400 ms, then
  // terminate.
  void ShutdownProgram();

  bool AnimationRunning() const { return animationRunning_; }

 private:
  LoginView& view_;
  Ui& ui_;
  Clock& clock_;
  PrefsStore& prefs_;
  TMyDB& myDb_;
  std::string applicationName_;
  std::function<void(const std::string&)> afterLogin_;
  std::function<void()> terminate_;
  bool animationRunning_ = false;
};

}  // namespace app
