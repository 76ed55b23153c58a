// The user-interface port answered by the Qt forms: dialogs through the
// dialog model and F_Dialog, the wait window, the status bar, the progress
// log and bars of the main window, and the repair editor.
#pragma once

#include "app/message_dialog.h"
#include "app/ui.h"
#include "gui/main_window.h"
#include "gui/memo_test_form.h"
#include "gui/message_dialog_form.h"
#include "gui/wait_window.h"

namespace gui {

class QtUi : public app::Ui {
 public:
  QtUi(MainWindow& main, MessageDialogForm& dialog, TF_StatusWindow& wait, TF_MemoTest& editor);

  // Modal calls run a nested event loop and return the pressed button's
  // result; a call while a modal message is open returns 0 (the model's rule).
  int ShowMessageDialog(int kind, const std::string& text, unsigned buttons, bool modal) override;
  void ShowWaitWindow(const std::string& title, const std::string& message) override;
  void HideWaitWindow() override;
  void SetStatusText(const std::string& text) override;
  void ProcessMessages() override;
  void Beep() override;
  void AppendLogLine(const std::string& line) override;
  void SetProgress(app::ProgressBar bar, int min, int max, int position) override;
  void ShowRepairEditor(const std::vector<std::string>& lines, const RepairEditorActions& actions) override;

  const app::TF_Dialog& DialogModel() const { return model_; }

 private:
  MainWindow& main_;
  MessageDialogForm& dialog_;
  TF_StatusWindow& wait_;
  TF_MemoTest& editor_;
  app::TF_Dialog model_;
};

}  // namespace gui
