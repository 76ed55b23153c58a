#include "gui/qt_ui.h"

#include <QApplication>
#include <QCoreApplication>

namespace gui {

QtUi::QtUi(MainWindow& main, MessageDialogForm& dialog, TF_StatusWindow& wait, TF_MemoTest& editor)
    : main_(main), dialog_(dialog), wait_(wait), editor_(editor), model_(dialog, app::kDialogClientWidth) {
  dialog_.onModelessClosed = [this] { model_.ModelessClosed(); };
}

int QtUi::ShowMessageDialog(int kind, const std::string& text, unsigned buttons, bool modal) {
  return model_.ShowMessageDialog(kind, text, buttons, modal);
}

void QtUi::ShowWaitWindow(const std::string& title, const std::string& message) {
  wait_.ShowWait(QString::fromStdString(title), QString::fromStdString(message));
}

void QtUi::HideWaitWindow() { wait_.HideWait(); }

void QtUi::SetStatusText(const std::string& text) { main_.sbPanel1->setText(QString::fromStdString(text)); }

void QtUi::ProcessMessages() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

void QtUi::Beep() { QApplication::beep(); }

void QtUi::AppendLogLine(const std::string& line) { main_.AppendLogLine(QString::fromStdString(line)); }

void QtUi::SetProgress(app::ProgressBar bar, int min, int max, int position) {
  QProgressBar* b = bar == app::ProgressBar::Main ? main_.LMDProgressMain : main_.LMDProgress;
  if (max <= min) {
    // A range of one value, which Qt's bar cannot draw: full when there is
    // something at that position (a type with a single object), empty when
    // there is nothing to do at all (a run without phases or types).
    b->setRange(0, 1);
    b->setValue(position > 0 ? 1 : 0);
    return;
  }
  b->setRange(min, max);
  b->setValue(position);
}

void QtUi::ShowRepairEditor(const std::vector<std::string>& lines, const RepairEditorActions& actions) {
  editor_.Run(lines, actions);
}

}  // namespace gui
