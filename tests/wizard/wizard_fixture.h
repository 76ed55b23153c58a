// A wizard over scripted server and template connections.
#pragma once

#include <gtest/gtest.h>

#include "app/fake_ports.h"
#include "wizard/database.h"

namespace wizfix {

class FakeWizardView : public wizard::WizardView {
 public:
  std::string caption, loginPanel, currentDb;
  bool enabled = false;
  std::vector<std::string> list;
  int index = -1, focused = 0;
  std::vector<wizard::Page> pages;
  wizard::VersionLabels labels;
  void SetCaption(const std::string& c) override { caption = c; }
  void SetWizardEnabled(bool e) override { enabled = e; }
  void SetLoginPanel(const std::string& t) override { loginPanel = t; }
  void SetDatabaseList(const std::vector<std::string>& n) override { list = n; }
  void SetDatabaseIndex(int i) override { index = i; }
  void SetCurrentDatabase(const std::string& n) override { currentDb = n; }
  void SetVersionLabels(const wizard::VersionLabels& l) override { labels = l; }
  void GoToPage(wizard::Page p) override { pages.push_back(p); }
  void FocusDatabaseList() override { ++focused; }
};

inline db::ResultSet VersionRow(int a, int b, int c, db::Value date) {
  return fakes::Rows({"NrGlowny", "NrPodrzedny_1", "NrPodrzedny_2", "Aktualizacja", "DEL"},
                     {{db::Value::Int(a), db::Value::Int(b), db::Value::Int(c), date, db::Value::Int(0)}});
}

struct WizardFixture : ::testing::Test {
  fakes::Script server, tmpl;
  fakes::RecordingUi ui;
  fakes::ManualClock clock;
  fakes::MemoryPrefs prefs;
  app::TMyDB mydb{[this](const db::ConnectParams&) { return std::make_unique<fakes::ScriptedConnection>(server); }};
  schema::TDM2 dm2{std::make_unique<fakes::ScriptedConnection>(tmpl)};
  wizard::ProgressLog log{ui, clock};
  wizard::TF_Main f{ui, clock, prefs, mydb, dm2, log};
  FakeWizardView view;
  std::vector<std::string> params;
  std::unique_ptr<wizard::TMainWizard> wiz;

  // A server at `major` with databases `names`; each database answers USE.
  int major = 9;
  std::vector<std::string> names = {"master", "DEMO", "model", "Pubs2", "tempdb", "Northwind", "Kadry"};
  std::uint64_t usedFlags = 0;

  void SetUp() override {
    server.respond = [this](const std::string& t) -> db::ResultSet {
      if (t == "exec sp_server_info")
        return fakes::Rows({"attribute_id", "attribute_name", "attribute_value"},
                           {{db::Value::Int(1), db::Value::Str("DBMS_NAME"), db::Value::Str("Microsoft SQL Server")},
                            {db::Value::Int(500), db::Value::Str(" sys_sproc_version "),
                             db::Value::Str(std::to_string(major) + ".00.1399")}});
      if (t.rfind("SELECT NAME AS DATABASE_NAME", 0) == 0) {
        db::ResultSet rs;
        rs.columns = {"DATABASE_NAME"};
        for (const auto& n : names) rs.rows.push_back({db::Value::Str(n)});
        return rs;
      }
      if (t.rfind("USE [", 0) == 0) {
        if (t.find("MISSING") != std::string::npos) throw db::OleError(0x80040E14, "Database 'MISSING' does not exist.");
        return {};
      }
      if (t.rfind("select CAST(SUBSTRING", 0) == 0)
        return fakes::Rows({"VerNo", "VerType"},
                           {{db::Value::Int(major), db::Value::Str("Microsoft SQL Server " + std::to_string(major))}});
      if (t == "SELECT * from toolSysVersion WHERE DEL=0")
        return VersionRow(5, 12, 3, db::Value::Date({2025, 3, 1, 0, 0, 0}));
      return {};
    };
    tmpl.respond = [this](const std::string& t) -> db::ResultSet {
      if (t == "SELECT TOP 1 * from toolSysVersion") return VersionRow(6, 1, 0, db::Value::Date({2026, 11, 30, 0, 0, 0}));
      if (t.find("AS Ilosc from tblObjects") != std::string::npos)
        return fakes::Rows({"Ilosc"}, {{db::Value::Int(static_cast<std::int64_t>(usedFlags))}});
      return {};
    };
  }

  wizard::TMainWizard& Wizard() {
    if (!wiz) wiz = std::make_unique<wizard::TMainWizard>(f, view, params, "/tmp/zr-none/Template.mdb", "/bin/true");
    return *wiz;
  }
  void LogIn() { mydb.ADOConn1.Open(db::ConnectParams{}); }
  std::vector<std::string> LogTexts() const {
    std::vector<std::string> r;
    for (const auto& l : log.Lines())
      if (l.size() > 9) r.push_back(l.substr(9));
    return r;
  }
};

}  // namespace wizfix
