#include "gui/qt_program.h"

#include <QCoreApplication>
#include <QMetaObject>

namespace gui {

QtProgram::QtProgram(wizard::ProgramConfig config, app::Clock& clock, app::PrefsStore& prefs,
                     std::function<void(wizard::TF_Main&)> run, std::function<void()> terminate,
                     std::unique_ptr<db::Connection> templateConnection)
    : wait(&main),
      ui(main, dialog, wait, editor),
      program(ui, clock, prefs, loginForm, main, std::move(config), [this] { Terminate(); },
              std::move(templateConnection)),
      run_(std::move(run)),
      terminate_(std::move(terminate)) {
  loginForm.onConnect = [this] { program.login.btnCONNECTClick(); };
  loginForm.onClose = [this] { program.login.btnCLOSEClick(); };
  QObject::connect(&main, &MainWindow::databaseChosen, &main,
                   [this](int index) { program.wizard.cbCurrentDBChange(index); });
  QObject::connect(&main, &MainWindow::completed, &main, [this] { Execute(); });
  QObject::connect(&main, &MainWindow::cancelClicked, &main, [this] { Cancel(); });
  // The title-bar close ends the program without a report.
  QObject::connect(&main, &MainWindow::closeRequested, &main, [this] { Terminate(); });
  BindOptions();
}

void QtProgram::BindOptions() {
  wizard::RunOptions& o = program.F_Main.options;
  const std::pair<QCheckBox*, bool wizard::RunOptions::*> boxes[] = {
      {main.chbPokazBLAD, &wizard::RunOptions::chbPokazBLAD},
      {main.chbRebuildAll, &wizard::RunOptions::chbRebuildAll},
      {main.chbGrantAll, &wizard::RunOptions::chbGrantAll},
      {main.chbOpenTable, &wizard::RunOptions::chbOpenTable},
      {main.chbTabele, &wizard::RunOptions::chbTabele},
      {main.chbKluczeObce, &wizard::RunOptions::chbKluczeObce},
      {main.chbFunkcje, &wizard::RunOptions::chbFunkcje},
      {main.chbWidoki, &wizard::RunOptions::chbWidoki},
      {main.chbProcedury, &wizard::RunOptions::chbProcedury},
      {main.chbTriggery, &wizard::RunOptions::chbTriggery},
  };
  // The logic reads the options when it needs them, so each box writes
  // its state through at once.
  for (const auto& [box, field] : boxes) {
    box->setChecked(o.*field);
    QObject::connect(box, &QCheckBox::toggled, box, [&o, field = field](bool on) { o.*field = on; });
  }
}

bool QtProgram::Start(bool maximised) {
  if (!program.Start()) return false;
  if (maximised)
    main.showMaximized();
  else
    main.show();
  if (program.login.LoggedIn) {
    main.FocusDatabaseList();
  } else {
    loginForm.ShowForm();
    program.login.FormShow();
  }
  return true;
}

void QtProgram::Execute() {
  if (running_) return;
  running_ = true;
  main.closeBlocked = true;
  for (QWidget* b : {static_cast<QWidget*>(main.btnBack), static_cast<QWidget*>(main.btnNext),
                     static_cast<QWidget*>(main.btnCancel)})
    b->setEnabled(false);
  program.wizard.StartRun([this](wizard::TF_Main& f) {
    main.memoLOG->setFocus();  // the log keeps the focus while the run writes it
    if (run_) run_(f);
  });
  running_ = false;
  main.closeBlocked = false;
  main.btnNext->setEnabled(true);
  main.btnCancel->setEnabled(true);
  main.GoToPage(main.CurrentPage());  // "&Wstecz" as the page wants it
}

void QtProgram::Cancel() {
  if (running_) return;
  program.wizard.LMDAssistCancelClick();
  Terminate();
}

void QtProgram::Terminate() {
  if (terminate_) {
    terminate_();
    return;
  }
  // Queued, so a request made before the event loop runs still ends it.
  QMetaObject::invokeMethod(QCoreApplication::instance(), "quit", Qt::QueuedConnection);
}

}  // namespace gui
