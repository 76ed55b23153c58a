#include "wizard/database.h"

#include "app/exe_info.h"
#include "app/locale.h"
#include "app/text.h"
#include "schema/template_data.h"
#include "wizard/report.h"

namespace wizard {
namespace {
constexpr const char* kNoDatabase = "(nie wybrana)";
constexpr const char* kVersionQuery =
    "select CAST(SUBSTRING(CAST(SERVERPROPERTY('ProductVersion') AS VARCHAR),1,CHARINDEX('.',CAST(SERVERPROPERTY("
    "'ProductVersion') AS VARCHAR))-1) AS INTEGER) AS VerNo, @@Version AS VerType";

void SetText(db::Query& q, const std::string& line) {
  q.Close();
  q.Clear();
  q.Add(line);
}

// Reads the current row's three version columns; nothing is changed when a
// column is missing or unreadable.
bool ReadVersionRow(db::Query& q, Version& v, std::string& date) {
  if (q.Eof()) {
    v = Version{};
    date.clear();
    return true;
  }
  Version r;
  r.major = static_cast<int>(q.Field("NrGlowny").AsInteger());
  r.minor = static_cast<int>(q.Field("NrPodrzedny_1").AsInteger());
  r.sub = static_cast<int>(q.Field("NrPodrzedny_2").AsInteger());
  std::string d = q.Field("Aktualizacja").AsString();
  v = r;
  date = std::move(d);
  return true;
}
}  // namespace

bool IsHiddenDatabase(const std::string& name) {
  static const char* const kHidden[] = {"MASTER", "MODEL", "TEMPDB", "MSDB", "PUBS", "NORTHWIND"};
  const std::string up = app::UpperAZ(name);
  for (const char* h : kHidden)
    if (up == h) return true;
  return false;
}

std::vector<std::string> FilterDatabaseList(const std::vector<std::string>& names) {
  std::vector<std::string> out;
  for (const auto& n : names)
    if (!IsHiddenDatabase(n)) out.push_back(app::UpperAZ(n));
  return out;
}

std::string UseStatement(const std::string& database) {
  std::string s = "USE [";
  for (char c : database) {
    s += c;
    if (c == ']') s += ']';
  }
  return s + "]";
}

int ParseServerMajorVersion(const std::string& text) {
  const auto dot = text.find('.');
  if (dot == std::string::npos || dot == 0) return 0;
  int v = 0;
  for (std::size_t i = 0; i < dot; ++i) {
    if (text[i] < '0' || text[i] > '9' || v > 100000) return 0;
    v = v * 10 + (text[i] - '0');
  }
  return v;
}

int FindDatabase(const std::vector<std::string>& list, const std::string& name) {
  for (std::size_t i = 0; i < list.size(); ++i)
    if (app::SameText(list[i], name)) return static_cast<int>(i);
  return -1;
}

std::string DatabaseSwitch(const std::vector<std::string>& params) {
  if (params.size() < 2) return "";
  for (const auto& p : params)
    if (app::UpperAZ(p.substr(0, 2)) == "/D") return p.size() > 2 ? p.substr(2) : "";
  return "";
}

std::string TemplateConnectErrorText(std::uint32_t code) {
  switch (code) {
    case db::code::kNoProvider: return "Provider Jet.OLEDB.4.0 nie został znaleziony !";
    case db::code::kLoginFailed: return "Nieprawidłowe hasło lub nazwa użytkownika";
    case db::code::kAlreadyOpen: return "Połączenie jest już otwarte";
    default: return "";
  }
}

bool CanRun(const TF_Main& f) {
  return !f.lblCurrentDB.empty() && f.lblCurrentDB != kNoDatabase && f.MyDB.ADOConn1.IsOpen() &&
         f.DM2.ADO_CNN2.IsOpen();
}

TMainWizard::TMainWizard(TF_Main& main, WizardView& view, std::vector<std::string> params, std::string templatePath,
                         std::string programFile)
    : f(main),
      view_(view),
      params_(std::move(params)),
      templatePath_(std::move(templatePath)),
      programFile_(std::move(programFile)) {}

void TMainWizard::FormShow() {
  view_.SetWizardEnabled(false);
  view_.SetCaption("Orv-dbMod ver. " + app::ExeFileVersion(programFile_) + " z dnia " +
                   app::FormatShortDate(app::ExeFileDate(programFile_)));
}

void TMainWizard::AfterLogin(const std::string& user) {
  view_.SetLoginPanel("Login:" + user);
  LoadDataBases();
  view_.FocusDatabaseList();
}

void TMainWizard::LoadDataBases() {
  ReadServerMajorVersion();
  databases_.clear();
  selected_ = -1;
  view_.SetDatabaseList(databases_);
  db::Query& q = *f.MyDB.ADO_SP_Databases;
  SetText(q, "SELECT NAME AS DATABASE_NAME FROM SYS.DATABASES ORDER BY NAME");
  q.Open();
  std::vector<std::string> names;
  for (q.First(); !q.Eof(); q.Next()) names.push_back(q.Field("DATABASE_NAME").AsString());
  q.Close();
  databases_ = FilterDatabaseList(names);
  view_.SetDatabaseList(databases_);

  if (AccessConnect()) view_.SetWizardEnabled(true);

  int i = DatabaseFromCommandLine();
  const std::string pref = app::ReadPref(f.prefs, "LoginPrefs", "DataBase");
  if (pref == app::kPrefsError && i < 0) return;
  if (i < 0) i = FindDatabase(databases_, pref);
  if (i < 0) return;
  f.AddLog("Automatyczny wybór bazy...", true);
  selected_ = i;
  view_.SetDatabaseIndex(i);
  if (SelectDatabase()) view_.GoToPage(TemplateAlreadyUsed() ? Page::Versions : Page::Progress);
}

void TMainWizard::ReadServerMajorVersion() {
  db::Query& q = *f.MyDB.ADOQ_Misc;
  SetText(q, "exec sp_server_info");
  q.Open();
  int major = 0;
  for (q.First(); !q.Eof(); q.Next()) {
    if (app::UpperAZ(app::Trim(q.Field("attribute_name").AsString())) == "SYS_SPROC_VERSION") {
      major = ParseServerMajorVersion(q.Field("attribute_value").AsString());
      break;
    }
  }
  q.Close();
  f.ServerMajorVersion = major;
}

bool TMainWizard::AccessConnect() {
  f.ui.SetStatusText("Trwa łączenie z bazą Access...");
  if (f.DM2.ADO_CNN2.IsOpen()) {  // a second login keeps the template already open
    templateOpen_ = true;
    f.ui.SetStatusText("Połączenie OK");
    return true;
  }
  db::ConnectParams p;
  p.provider = "Microsoft.Jet.OLEDB.4.0";
  p.dataSource = templatePath_;
  p.userId = "Admin";
  try {
    f.DM2.ADO_CNN2.Open(p);
    templateOpen_ = f.DM2.ADO_CNN2.IsOpen();
    f.ui.SetStatusText("Połączenie OK");
    return templateOpen_;
  } catch (const db::OleError& e) {
    const std::string text = TemplateConnectErrorText(e.code());
    if (!text.empty()) f.ui.SetStatusText(text);
  } catch (const std::exception& e) {
    f.ui.SetStatusText(e.what());
  }
  f.ui.Beep();
  templateOpen_ = false;
  return false;
}

int TMainWizard::DatabaseFromCommandLine() const {
  if (params_.size() < 2) return -1;
  for (const auto& p : params_)
    if (app::UpperAZ(p.substr(0, 2)) == "/D") return FindDatabase(databases_, p.size() > 2 ? p.substr(2) : "");
  return -1;
}

bool TMainWizard::SelectDatabase() {
  bool result = false;
  const std::string d =
      selected_ >= 0 && selected_ < static_cast<int>(databases_.size()) ? databases_[static_cast<std::size_t>(selected_)] : "";
  f.AddLog("Próba wyboru bazy " + d, true);
  db::Query& q = *f.MyDB.ADOQ_Misc;
  try {
    SetText(q, UseStatement(d));
    q.ExecSQL();
    result = true;
    f.lblCurrentDB = d;
    view_.SetCurrentDatabase(d);
    f.AddLog("Sprawdzenie minimalnej wersji SQL", true);
    SetText(q, kVersionQuery);
    q.Open();
    f.AddLog("Sprawdzenie minimalnej wersji SQL", true);
    const auto verNo = q.Field("VerNo").AsInteger();
    const std::string verType = q.Field("VerType").AsString();
    q.Close();
    if (verNo < 9) {
      result = false;
      f.AddLog("Minimalna wersja SQL to 2005, nie można zrobić aktualizacji, twoja wersja: " + verType, true);
    } else {
      result = true;
      f.AddLog("Twoja wersja " + verType + " spełnia kryteria", true);
    }
    f.lblCurrentDB = d;
    view_.SetCurrentDatabase(d);
    f.AddLog("Operacja zakończona sukcesem", false);
    ReadVersions();
  } catch (const db::OleError& e) {
    f.AddLog(db::FormatOleError(e.code(), e.what()), true);
    selected_ = -1;
    view_.SetDatabaseIndex(-1);
  } catch (const std::exception& e) {
    f.AddLog(e.what(), true);
    selected_ = -1;
    view_.SetDatabaseIndex(-1);
  }
  return result;
}

void TMainWizard::cbCurrentDBChange(int index) {
  selected_ = index >= 0 && index < static_cast<int>(databases_.size()) ? index : -1;
  SelectDatabase();
}

void TMainWizard::ReadVersions() {
  try {
    db::Query& q = *f.MyDB.ADOQ_Misc;
    SetText(q, "SELECT * from toolSysVersion WHERE DEL=0");
    q.Open();
    if (ReadVersionRow(q, f.DatabaseVersion, labels_.LMDLVerCurD)) labels_.LMDLVerCur = f.DatabaseVersion.Text();
    q.Close();
  } catch (const std::exception&) {
    // The database has no readable version: the earlier values stay.
  }
  try {
    const schema::TemplateVersionRow row = schema::ReadTemplateVersion(f.DM2);
    f.TemplateVersion = {row.NrGlowny, row.NrPodrzedny_1, row.NrPodrzedny_2};
    labels_.LMDLVerNewD = row.Aktualizacja;
    labels_.LMDLVerNew = f.TemplateVersion.Text();
  } catch (const std::exception&) {
    // An unreadable template version keeps the earlier values.
  }
  if (TemplateAlreadyUsed()) labels_.lblStatusTemplate = "UWAGA! Plik wzorca był już używany";
  view_.SetVersionLabels(labels_);
}

bool TMainWizard::TemplateAlreadyUsed() { return schema::TemplateAlreadyUsed(f.DM2); }

bool TMainWizard::StartRun(const std::function<void(TF_Main&)>& run) {
  if (!CanRun(f)) {
    const char* why = !f.DM2.ADO_CNN2.IsOpen() ? "Plik wzorca nie jest otwarty - nie można wykonać modyfikacji."
                      : !f.MyDB.ADOConn1.IsOpen() ? "Brak połączenia z serwerem SQL - nie można wykonać modyfikacji."
                                                   : "Wybierz najpierw bazę do modyfikacji.";
    f.ui.ShowMessageDialog(app::dkError, why, app::dbClose, true);
    return false;
  }
  // An earlier run may have left the connection elsewhere (the server-level
  // grant runs on master): switch back to the chosen database first.
  db::Query& q = *f.MyDB.ADOQ_Misc;
  try {
    SetText(q, UseStatement(f.lblCurrentDB));
    q.ExecSQL();
  } catch (const db::OleError& e) {
    if (e.ConnectionLost() || e.code() == db::code::kUnreachable) f.connectionLost = true;
    f.ShowError(db::FormatOleError(e.code(), e.what()));
    return false;
  }
  run(f);
  return true;
}

std::string TMainWizard::LMDAssistCancelClick() {
  try {
    return SaveReport(f.log.Lines(), f.ReportsFolder, f.clock);
  } catch (const std::exception& e) {
    f.ui.ShowMessageDialog(app::dkError, e.what(), app::dbClose, true);
    return "";
  }
}

}  // namespace wizard
