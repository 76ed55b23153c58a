// Small recording doubles of the Ui and Clock ports for the platform tests.
#pragma once

#include <string>
#include <vector>

#include "app/clock.h"
#include "app/ui.h"

namespace platform_test {

struct Dialog {
  int kind;
  std::string text;
  unsigned buttons;
  bool modal;
};

class RecordingUi : public app::Ui {
 public:
  std::vector<Dialog> dialogs;
  std::vector<std::string> logLines;
  int ShowMessageDialog(int kind, const std::string& text, unsigned buttons, bool modal) override {
    dialogs.push_back({kind, text, buttons, modal});
    return modal ? app::mrAbort : 0;
  }
  void ShowWaitWindow(const std::string&, const std::string&) override {}
  void HideWaitWindow() override {}
  void SetStatusText(const std::string&) override {}
  void ProcessMessages() override {}
  void Beep() override {}
  void AppendLogLine(const std::string& line) override { logLines.push_back(line); }
  void SetProgress(app::ProgressBar, int, int, int) override {}
  void ShowRepairEditor(const std::vector<std::string>&, const RepairEditorActions&) override {}
};

class FixedClock : public app::Clock {
 public:
  db::DateTime now{2026, 12, 9, 14, 5, 33};
  db::DateTime Now() override { return now; }
  std::uint64_t TickMs() override { return 0; }
  void SleepMs(int) override {}
};

}  // namespace platform_test
