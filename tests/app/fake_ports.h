// Test doubles for the ports: a scripted database connection, a recording
// Ui, a manual clock and an in-memory preferences store.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/clock.h"
#include "app/prefs.h"
#include "app/ui.h"
#include "db/db.h"

namespace fakes {

// Answers every statement through `respond`; records what it ran.
struct Script {
  std::function<db::ResultSet(const std::string& text)> respond = [](const std::string&) { return db::ResultSet{}; };
  std::vector<std::string> executed;
  std::vector<db::ConnectParams> opened;
  std::optional<db::OleError> openError;
  int statementTimeout = -1;
};

class ScriptedConnection : public db::Connection {
 public:
  explicit ScriptedConnection(Script& s) : s_(s) {}
  void Open(const db::ConnectParams& p) override {
    if (open_) throw db::OleError(db::code::kAlreadyOpen, "open");
    s_.opened.push_back(p);
    if (s_.openError) throw *s_.openError;
    open_ = true;
  }
  void Close() override { open_ = false; }
  bool IsOpen() const override { return open_; }
  void BeginTrans() override {}
  void CommitTrans() override {}
  void RollbackTrans() override {}
  db::ResultSet Execute(const db::Statement& st) override {
    s_.executed.push_back(st.text);
    s_.statementTimeout = st.timeoutSeconds;
    return s_.respond(st.text);
  }

 private:
  Script& s_;
  bool open_ = false;
};

inline db::ResultSet Rows(std::vector<std::string> columns, std::vector<std::vector<db::Value>> rows) {
  db::ResultSet rs;
  rs.columns = std::move(columns);
  rs.rows = std::move(rows);
  return rs;
}

struct Dialog {
  int kind;
  std::string text;
  unsigned buttons;
  bool modal;
};

class RecordingUi : public app::Ui {
 public:
  std::vector<Dialog> dialogs;
  std::deque<int> answers;  // modal results handed out in order; mrAbort when empty
  std::vector<std::string> status, log;
  int beeps = 0, processed = 0;
  std::vector<std::vector<std::string>> editorShown;
  // What the repair editor does while open; nothing (close box) by default.
  std::function<void(const std::vector<std::string>&, const RepairEditorActions&)> editor;

  int ShowMessageDialog(int kind, const std::string& text, unsigned buttons, bool modal) override {
    dialogs.push_back({kind, text, buttons, modal});
    if (!modal) return 0;
    if (answers.empty()) return app::mrAbort;
    int r = answers.front();
    answers.pop_front();
    return r;
  }
  void ShowWaitWindow(const std::string&, const std::string&) override {}
  void HideWaitWindow() override {}
  void SetStatusText(const std::string& text) override { status.push_back(text); }
  void ProcessMessages() override { ++processed; }
  void Beep() override { ++beeps; }
  void AppendLogLine(const std::string& line) override { log.push_back(line); }
  void SetProgress(app::ProgressBar, int, int, int) override {}
  void ShowRepairEditor(const std::vector<std::string>& lines, const RepairEditorActions& actions) override {
    editorShown.push_back(lines);
    if (editor) editor(lines, actions);
  }
};

class ManualClock : public app::Clock {
 public:
  db::DateTime now{2026, 12, 9, 14, 5, 33};
  std::uint64_t tick = 0;
  db::DateTime Now() override { return now; }
  std::uint64_t TickMs() override { return tick; }
  void SleepMs(int ms) override { tick += static_cast<std::uint64_t>(ms > 0 ? ms : 1); }
};

class MemoryPrefs : public app::PrefsStore {
 public:
  std::map<std::pair<std::string, std::string>, std::string> values;
  bool Write(const std::string& key, const std::string& name, const std::string& value) override {
    values[{key, name}] = value;
    return true;
  }
  std::optional<std::string> Read(const std::string& key, const std::string& name) override {
    auto it = values.find({key, name});
    if (it == values.end()) return std::nullopt;
    return it->second;
  }
};

}  // namespace fakes
