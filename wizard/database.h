// The wizard form's logic between the login and "Wy&konaj": the database
// list, the template connection, the choice of a database (by hand, from
// "/D" or from the "DataBase" preference), the versions, the page moves,
// and the two buttons that leave the database page ("Wy&konaj", "&Anuluj").
// The widgets live in a WizardView (Qt main window or headless front end).
//
// Which database a run may change: TF_Main::lblCurrentDB holds the database
// the server connection was last switched to with a successful "USE"
// ("(nie wybrana)" before any). CanRun is false until then, and StartRun
// switches the connection to that database again before every run, so a
// run never works on master, even after an earlier run ended there.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "wizard/main_form.h"

namespace wizard {

// The five pages, in page order.
enum class Page : int { Welcome = 0, Database = 1, Versions = 2, ObjectTypes = 3, Progress = 4 };

// The texts of the versions page.
struct VersionLabels {
  std::string LMDLVerCur, LMDLVerCurD;  // chosen database: version, update date
  std::string LMDLVerNew, LMDLVerNewD;  // template: version, update date
  std::string lblStatusTemplate;        // "" or the used-template warning
};

// The wizard form's widgets as the logic sees them.
class WizardView {
 public:
  virtual ~WizardView() = default;
  virtual void SetCaption(const std::string& caption) = 0;
  // The wizard frame (pages and buttons).
  virtual void SetWizardEnabled(bool enabled) = 0;
  // Panel 0 of the status bar ("Login" at first, "Login:" + user later).
  virtual void SetLoginPanel(const std::string& text) = 0;
  // cbCurrentDB: the entries, and the selected one (-1: none). Setting the
  // index must not raise the change event.
  virtual void SetDatabaseList(const std::vector<std::string>& names) = 0;
  virtual void SetDatabaseIndex(int index) = 0;
  // lblCurrentDB.
  virtual void SetCurrentDatabase(const std::string& name) = 0;
  virtual void SetVersionLabels(const VersionLabels& labels) = 0;
  virtual void GoToPage(Page page) = 0;
  // Focuses cbCurrentDB when the form, the frame and the list can take it.
  virtual void FocusDatabaseList() = 0;
};

// --- pure rules, testable alone ---

// True for MASTER, MODEL, TEMPDB, MSDB, PUBS, NORTHWIND in any letter case.
bool IsHiddenDatabase(const std::string& name);
// The list as shown: each name upper-cased (a-z), hidden ones left out,
// order kept.
std::vector<std::string> FilterDatabaseList(const std::vector<std::string>& names);
// "USE [" + name + "]" with every "]" doubled.
std::string UseStatement(const std::string& database);
// The integer before the first "." of sp_server_info's SYS_SPROC_VERSION,
// 0 when the text has no "." or does not start with a number.
int ParseServerMajorVersion(const std::string& text);
// Index of the first entry equal to `name` ignoring letter case, or -1.
int FindDatabase(const std::vector<std::string>& list, const std::string& name);
// The "/D" name: only with at least two parameters, the first parameter
// whose first two characters upper-cased are "/D", from its third
// character on; empty when none.
std::string DatabaseSwitch(const std::vector<std::string>& params);
// The status text for a template that does not open, "" for other codes.
std::string TemplateConnectErrorText(std::uint32_t code);

// True when a run may start: a database has been chosen (lblCurrentDB),
// and the server and template connections are open.
bool CanRun(const TF_Main& f);

class TMainWizard {
 public:
  // `params`: the command-line parameters (for "/D"); `templatePath`: the
  // template file; `programFile`: the executable (caption version and date).
  TMainWizard(TF_Main& f, WizardView& view, std::vector<std::string> params, std::string templatePath,
              std::string programFile);

  TF_Main& f;

  // Frame disabled; caption "Orv-dbMod ver. " + file version + " z dnia " +
  // the file's date ("dd-MM-yyyy").
  void FormShow();
  // The wizard's half of a successful login: panel "Login:" + user, frame
  // enabled, LoadDataBases, focus on the list.
  void AfterLogin(const std::string& user);
  // Server version, database list, template, then the automatic choice
  // from "/D" or the preference (log "Automatyczny wybór bazy...",
  // SelectDatabase, move to the versions page when the template was used
  // before, else to the progress page). Errors of the server queries pass
  // out as db::OleError.
  void LoadDataBases();
  // ServerMajorVersion from "exec sp_server_info" (0 when not found).
  void ReadServerMajorVersion();
  // Opens the template; false (status text, beep) when it does not open.
  // The frame stays disabled then.
  bool AccessConnect();
  // Index named by "/D", or -1.
  int DatabaseFromCommandLine() const;
  // Switches to the selected entry ("USE [name]"), checks the server is
  // 2005 or later, reads the versions; logs every step. An OLE error is
  // logged as "(%x) %s" and clears the selection. The result (false for an
  // older server or a failure) only decides the automatic page move.
  bool SelectDatabase();
  // The user picked entry `index` of the list.
  void cbCurrentDBChange(int index);
  // Both versions; a failed read keeps the previous values and labels.
  void ReadVersions();
  // True when the template's work-state flags show an earlier run.
  bool TemplateAlreadyUsed();

  // "Wy&konaj": false (and an explanation in the error dialog) when CanRun
  // is false or the connection cannot be switched back to the chosen
  // database; else calls `run` (the front end passes the upgrade, e.g.
  // reconcile::RunUpgrade, which this folder cannot reach) and returns true.
  bool StartRun(const std::function<void(TF_Main&)>& run);
  // "&Anuluj": saves the log as the report in the reports folder (an error
  // dialog when that fails) and returns the file written ("" on failure).
  // The front end then ends the program.
  std::string LMDAssistCancelClick();

  const std::vector<std::string>& Databases() const { return databases_; }
  int SelectedIndex() const { return selected_; }
  const VersionLabels& Labels() const { return labels_; }
  bool TemplateOpen() const { return templateOpen_; }

 private:
  WizardView& view_;
  std::vector<std::string> params_;
  std::string templatePath_;
  std::string programFile_;
  std::vector<std::string> databases_;
  int selected_ = -1;
  VersionLabels labels_;
  bool templateOpen_ = false;
};

}  // namespace wizard
