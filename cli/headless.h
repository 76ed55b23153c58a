// The headless answers to the ports: log lines on standard output, status
// texts and dialogs on standard error, and a fixed policy for every dialog:
//  - a message with "&Nie" is answered "&Nie" (no question is ever agreed
//    to without a person);
//  - a message with "&Zamknij" is printed and closed;
//  - otherwise the first button in dialog order ("&Tak" first) is pressed;
//  - the repair editor is not opened: the failed statement is saved in the
//    reports folder as "&Zapisz" would, under a name that never replaces
//    another file (_2, _3 ...).
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "app/login.h"
#include "app/message_dialog.h"
#include "app/ui.h"
#include "wizard/database.h"

namespace cli {

class HeadlessUi : public app::Ui, private app::DialogPresenter {
 public:
  HeadlessUi(std::FILE* out, std::FILE* err, app::Clock& clock);

  // Where the repair editor's statements are saved.
  void SetReportsFolder(const std::string& folder) { reportsFolder_ = folder; }
  // Files the editor policy wrote, in order.
  const std::vector<std::string>& SavedStatements() const { return saved_; }

  int ShowMessageDialog(int kind, const std::string& text, unsigned buttons, bool modal) override;
  void ShowWaitWindow(const std::string& title, const std::string& message) override;
  void HideWaitWindow() override {}
  void SetStatusText(const std::string& text) override;
  void ProcessMessages() override {}
  void Beep() override {}
  void AppendLogLine(const std::string& line) override;
  void SetProgress(app::ProgressBar, int, int, int) override {}
  void ShowRepairEditor(const std::vector<std::string>& lines, const RepairEditorActions& actions) override;

 private:
  int RunModal(const app::DialogLayout& layout, const std::string& text) override;
  void ShowModeless(const app::DialogLayout& layout, const std::string& text) override;
  void CloseModeless() override {}
  void Print(const app::DialogLayout& layout, const std::string& text, const char* answer);

  std::FILE* out_;
  std::FILE* err_;
  app::Clock& clock_;
  app::TF_Dialog dialog_;
  std::string reportsFolder_;
  std::string lastStatus_;
  std::vector<std::string> saved_;
};

// The login form without a window: plain fields.
class HeadlessLoginView : public app::LoginView {
 public:
  std::string server, user, password;
  std::string ServerText() const override { return server; }
  void SetServerText(const std::string& t) override { server = t; }
  void SetServerList(const std::vector<std::string>&) override {}
  std::string UserText() const override { return user; }
  void SetUserText(const std::string& t) override { user = app::LoginUpper(t); }
  std::string PasswordText() const override { return password; }
  void SetPasswordText(const std::string& t) override { password = t; }
  void SetInfo(const std::string&) override {}
  void SetInputsEnabled(bool) override {}
  void DisableForm() override {}
  void StartAnimation() override {}
  void StopAnimation() override {}
  void FocusServer() override {}
  void FocusUser() override {}
  bool IsVisible() const override { return false; }
  void ShowForm() override {}
  void HideForm() override {}
};

// The wizard window without a window: remembers what it was told; the
// front end prints the parts a user needs.
class HeadlessWizardView : public wizard::WizardView {
 public:
  bool enabled = false;
  std::vector<std::string> databases;
  wizard::VersionLabels labels;
  void SetCaption(const std::string&) override {}
  void SetWizardEnabled(bool e) override { enabled = e; }
  void SetLoginPanel(const std::string&) override {}
  void SetDatabaseList(const std::vector<std::string>& names) override { databases = names; }
  void SetDatabaseIndex(int) override {}
  void SetCurrentDatabase(const std::string&) override {}
  void SetVersionLabels(const wizard::VersionLabels& l) override { labels = l; }
  void GoToPage(wizard::Page) override {}
  void FocusDatabaseList() override {}
};

}  // namespace cli
