// The GUI program assembled: the Qt forms, the Ui they answer, and the
// program's logic (wizard::Program) driving them. It connects the widgets'
// actions to the logic: the login buttons, the database list, the option
// check boxes, "Wy&konaj" and "&Anuluj".
#pragma once

#include <functional>
#include <memory>

#include "gui/login_form.h"
#include "gui/main_window.h"
#include "gui/memo_test_form.h"
#include "gui/message_dialog_form.h"
#include "gui/qt_ui.h"
#include "gui/wait_window.h"
#include "wizard/program.h"

namespace gui {

class QtProgram {
 public:
  // `run` is the upgrade started by "Wy&konaj" (the front end passes the
  // real one; tests pass their own). `terminate` ends the program; by
  // default it leaves the application's event loop.
  QtProgram(wizard::ProgramConfig config, app::Clock& clock, app::PrefsStore& prefs,
            std::function<void(wizard::TF_Main&)> run, std::function<void()> terminate = nullptr,
            std::unique_ptr<db::Connection> templateConnection = nullptr);

  // The start-up sequence: false when the program must end (the reason was
  // shown). Shows the main window maximised when `maximised`, and the login
  // form unless the command line logged in already.
  bool Start(bool maximised = true);

  // "Wy&konaj" and "&Anuluj" as the buttons run them. The navigation and
  // the window's close are blocked while a run is under way, so a run can
  // neither start twice nor be cut off by ending the program.
  void Execute();
  void Cancel();
  bool Running() const { return running_; }

  MainWindow main;
  MessageDialogForm dialog;
  TF_StatusWindow wait;
  TF_MemoTest editor;
  LoginForm loginForm;
  QtUi ui;
  wizard::Program program;

 private:
  void BindOptions();
  void Terminate();
  std::function<void(wizard::TF_Main&)> run_;
  std::function<void()> terminate_;
  bool running_ = false;
};

}  // namespace gui
