// Small recording doubles for the run's ports: a scripted server, an
// in-memory template with the tables the object steps read, a Ui that keeps
// what it was shown, a fixed clock and an empty preferences store; and a
// Rig that assembles the wizard's run state over them.
#pragma once

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <regex>
#include <string>
#include <vector>

#include "app/clock.h"
#include "app/mydb.h"
#include "app/prefs.h"
#include "app/ui.h"
#include "db/db.h"
#include "schema/dm2.h"
#include "wizard/log.h"
#include "wizard/main_form.h"

namespace fake {

inline db::ResultSet Rows(std::vector<std::string> cols, std::vector<std::vector<db::Value>> rows) {
  db::ResultSet rs;
  rs.columns = std::move(cols);
  rs.rows = std::move(rows);
  return rs;
}
inline db::Value I(std::int64_t v) { return db::Value::Int(v); }
inline db::Value S(std::string v) { return db::Value::Str(std::move(v)); }

// A server that records every statement and answers by rules: the first
// rule whose text is contained in the statement answers it (rows or a
// failure); anything else succeeds with no rows.
class Server : public db::Connection {
 public:
  struct Rule {
    std::string contains;
    std::function<db::ResultSet(const db::Statement&)> answer;
    int times = -1;  // how many statements it answers; -1 = all
  };

  void Open(const db::ConnectParams&) override { open = true; }
  void Close() override { open = false; }
  bool IsOpen() const override { return open; }
  void BeginTrans() override {}
  void CommitTrans() override {}
  void RollbackTrans() override {}
  db::ResultSet Execute(const db::Statement& st) override {
    if (!open) throw db::OleError(db::code::kUnreachable, "closed");
    log.push_back(st);
    for (auto& r : rules)
      if (r.times != 0 && st.text.find(r.contains) != std::string::npos) {
        if (r.times > 0) --r.times;
        return r.answer(st);
      }
    return {};
  }

  void On(std::string contains, db::ResultSet rs) {
    rules.push_back({std::move(contains), [rs](const db::Statement&) { return rs; }});
  }
  void Fail(std::string contains, std::uint32_t code, std::string message, int times = -1) {
    rules.push_back({std::move(contains),
                     [code, message](const db::Statement&) -> db::ResultSet { throw db::OleError(code, message); },
                     times});
  }
  // The texts sent, in order.
  std::vector<std::string> Texts() const {
    std::vector<std::string> t;
    for (const auto& s : log) t.push_back(s.text);
    return t;
  }
  // The texts that are not catalog reads (SELECT, sp_helptext).
  std::vector<std::string> Changes() const {
    std::vector<std::string> t;
    for (const auto& s : log)
      if (s.text.rfind("SELECT", 0) != 0 && s.text.rfind("select", 0) != 0 && s.text.rfind("exec sp_helptext", 0) != 0)
        t.push_back(s.text);
    return t;
  }

  bool open = false;
  std::vector<Rule> rules;
  std::vector<db::Statement> log;
};

// The template tables the object steps use, answering their statements.
class Template : public db::Connection {
 public:
  struct Object {
    int id;
    std::string name, xtype;
    int priorytet;
    int sprawdzone = 0, istnieje = 0;
  };
  struct FkPair {
    int id;
    std::string fname, fcolname, rname, rcolname;
    int keyno, del = 0, upd = 0, repl = 0, disabled = 0;
  };

  void Open(const db::ConnectParams&) override { open = true; }
  void Close() override { open = false; }
  bool IsOpen() const override { return open; }
  void BeginTrans() override {}
  void CommitTrans() override {}
  void RollbackTrans() override {}

  db::ResultSet Execute(const db::Statement& st) override {
    log.push_back(st.text);
    if (failAll) throw db::OleError(0x80004005, "template unreadable");
    std::smatch m;
    if (st.text == "SELECT * FROM tblObjects") return ObjectRows([](const Object&) { return true; });
    static const std::regex missing(
        "^SELECT \\* FROM tblObjects WHERE \\(Sprawdzone = 0\\) And \\(ObiektIstnieje = 0\\) And \\(xtype "
        "=\"(\\w+)\"\\) and Priorytet = (\\d+)$");
    if (std::regex_match(st.text, m, missing)) {
      const std::string type = m[1];
      const int phase = std::stoi(m[2]);
      return ObjectRows([&](const Object& o) {
        return o.sprawdzone == 0 && o.istnieje == 0 && o.xtype == type && o.priorytet == phase;
      });
    }
    static const std::regex text("^SELECT \\* FROM tblObjectText WHERE ID = (-?\\d+) ORDER BY ID, ROWID$");
    if (std::regex_match(st.text, m, text)) {
      db::ResultSet rs = Rows({"ID", "ROWID", "Text"}, {});
      const int id = std::stoi(m[1]);
      int rowid = 0;
      for (const auto& l : texts[id]) rs.rows.push_back({I(id), I(++rowid), S(l)});
      return rs;
    }
    if (st.text == "select max(priorytet) as MaxPriorytet from tblObjects") {
      if (objects.empty()) return Rows({"MaxPriorytet"}, {{db::Value::Null()}});
      int mx = 0;
      for (const auto& o : objects) mx = std::max(mx, o.priorytet);
      return Rows({"MaxPriorytet"}, {{I(mx)}});
    }
    if (st.text.find("FROM \ttblObjects AS tblObjects_2") != std::string::npos) {
      db::ResultSet rs = Rows({"id", "fName", "fcolname", "rName", "rcolname", "keyno", "IsDeleteCascade",
                               "IsUpdateCascade", "IsNotForRepl", "IsDisabled"},
                              {});
      const auto id = st.params.at(0).AsInteger();
      for (const auto& p : fks)
        if (p.id == id)
          rs.rows.push_back({I(p.id), S(p.fname), S(p.fcolname), S(p.rname), S(p.rcolname), I(p.keyno), I(p.del),
                             I(p.upd), I(p.repl), I(p.disabled)});
      return rs;
    }
    throw db::OleError(db::code::kCommandError, "template double does not know: " + st.text);
  }

  void UpdateRow(const db::ResultSet& rs, std::size_t row,
                 const std::vector<std::pair<std::string, db::Value>>& changes) override {
    const auto id = rs.rowKeys.at(row).at("tblObjects");
    for (auto& o : objects)
      if (o.id == id)
        for (const auto& [col, v] : changes) {
          if (db::EqualsNoCase(col, "Sprawdzone")) o.sprawdzone = static_cast<int>(v.AsInteger());
          else if (db::EqualsNoCase(col, "ObiektIstnieje")) o.istnieje = static_cast<int>(v.AsInteger());
          else throw db::OleError(db::code::kCommandError, "unexpected column " + col);
        }
  }

  Object& Find(const std::string& name) {
    for (auto& o : objects)
      if (o.name == name) return o;
    throw std::runtime_error("no template object " + name);
  }

  bool open = true;
  bool failAll = false;
  std::vector<Object> objects;
  std::map<int, std::vector<std::string>> texts;
  std::vector<FkPair> fks;
  std::vector<std::string> log;

 private:
  template <class Pred>
  db::ResultSet ObjectRows(Pred keep) {
    db::ResultSet rs = Rows({"ID", "Name", "xtype", "Priorytet", "Sprawdzone", "ObiektIstnieje"}, {});
    for (const auto& o : objects)
      if (keep(o)) {
        rs.rows.push_back({I(o.id), S(o.name), S(o.xtype), I(o.priorytet), I(o.sprawdzone), I(o.istnieje)});
        rs.rowKeys.push_back({{"tblObjects", o.id}});
      }
    return rs;
  }
};

class Ui : public app::Ui {
 public:
  struct Dialog {
    int kind;
    std::string text;
  };
  int ShowMessageDialog(int kind, const std::string& text, unsigned, bool) override {
    dialogs.push_back({kind, text});
    return app::mrNone;
  }
  void ShowWaitWindow(const std::string& title, const std::string& message) override {
    events.push_back("wait+ " + title + " / " + message);
  }
  void HideWaitWindow() override { events.push_back("wait-"); }
  void SetStatusText(const std::string& text) override { status.push_back(text); }
  void ProcessMessages() override { ++messagesProcessed; }
  void Beep() override {}
  void AppendLogLine(const std::string&) override {}
  void SetProgress(app::ProgressBar bar, int min, int max, int position) override {
    (bar == app::ProgressBar::Main ? mainBar : objectBar).push_back({min, max, position});
  }
  void ShowRepairEditor(const std::vector<std::string>& lines, const RepairEditorActions&) override {
    editor.push_back(lines);
  }

  struct Bar {
    int min, max, pos;
  };
  std::vector<Dialog> dialogs;
  std::vector<std::string> events, status;
  std::vector<Bar> mainBar, objectBar;
  std::vector<std::vector<std::string>> editor;
  int messagesProcessed = 0;
};

class Clock : public app::Clock {
 public:
  db::DateTime Now() override { return now; }
  std::uint64_t TickMs() override { return tick += 10; }
  void SleepMs(int) override {}
  db::DateTime now{2026, 12, 24, 14, 5, 33};
  std::uint64_t tick = 0;
};

class Prefs : public app::PrefsStore {
 public:
  bool Write(const std::string&, const std::string&, const std::string&) override { return true; }
  std::optional<std::string> Read(const std::string&, const std::string&) override { return std::nullopt; }
};

// The run state over the doubles, with the server connection open.
struct Rig {
  // `templ` replaces the in-memory template (tmpl is then null).
  explicit Rig(std::unique_ptr<db::Connection> templ = nullptr)
      : myDb([this](const db::ConnectParams&) {
          auto s = std::make_unique<Server>();
          server = s.get();
          return s;
        }),
        dm2([this, &templ]() -> std::unique_ptr<db::Connection> {
          if (templ) return std::move(templ);
          auto t = std::make_unique<Template>();
          tmpl = t.get();
          return t;
        }()),
        log(ui, clock),
        f(ui, clock, prefs, myDb, dm2, log) {
    myDb.ADOConn1.Open({});
    f.ServerMajorVersion = 9;
    f.CurrentPhase = 1;
    f.options.chbPokazBLAD = false;
  }

  // The log lines without their time stamps ("HH:mm:ss " -> "T ").
  std::vector<std::string> Log() const {
    std::vector<std::string> out;
    for (const auto& l : log.Lines()) {
      if (out.empty() && l.empty()) continue;  // the log's first, empty line
      if (l.size() > 9 && l[2] == ':' && l[5] == ':' && l[8] == ' ')
        out.push_back("T " + l.substr(9));
      else
        out.push_back(l);
    }
    return out;
  }
  bool Logged(const std::string& line) const {
    const auto l = Log();
    return std::find(l.begin(), l.end(), line) != l.end();
  }

  Ui ui;
  Clock clock;
  Prefs prefs;
  Server* server = nullptr;
  Template* tmpl = nullptr;
  app::TMyDB myDb;
  schema::TDM2 dm2;
  wizard::ProgressLog log;
  wizard::TF_Main f;
};

}  // namespace fake
