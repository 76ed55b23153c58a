// The main window F_Main: the wizard frame with its five pages and its
// navigation buttons, the bottom panel with the chosen database and the two
// progress bars, and the status bar sbMain. The window only shows things and
// reports the user's actions through its signals; what they mean is decided
// by the wizard logic.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QStatusBar>
#include <string>

#include "wizard/database.h"

namespace gui {

// The wizard pages (LMDPage1, LMDAssistP1, LMDapDBInfo, LMDAssistP2,
// LMDapStatusPage) follow wizard::Page.
inline constexpr int kPageCount = 5;

class MainWindow : public QMainWindow, public wizard::WizardView {
  Q_OBJECT
 public:
  static constexpr int kClientWidth = 626, kClientHeight = 451;
  static constexpr int kWizardHeight = 369, kBottomHeight = 64;

  explicit MainWindow(QWidget* parent = nullptr);

  // Page navigation. Going to a page updates the button captions: the
  // forward button reads "Wy&konaj" on the last page, "&Dalej" elsewhere;
  // "&Wstecz" is disabled on the first page.
  void GoToPage(int page);
  int CurrentPage() const;

  // wizard::WizardView
  void SetCaption(const std::string& caption) override;
  void SetWizardEnabled(bool enabled) override;
  void SetLoginPanel(const std::string& text) override;
  void SetDatabaseList(const std::vector<std::string>& names) override;
  void SetDatabaseIndex(int index) override;
  void SetCurrentDatabase(const std::string& name) override;
  void SetVersionLabels(const wizard::VersionLabels& labels) override;
  void GoToPage(wizard::Page page) override { GoToPage(static_cast<int>(page)); }
  void FocusDatabaseList() override;

  // Appends one line at the end of memoLOG and keeps it in view. The view
  // shows the lines exactly as given (the log itself begins with its empty
  // first line).
  void AppendLogLine(const QString& line);

  // The wizard frame: pages, heading and the three buttons.
  QFrame* LMDAssist;
  QStackedWidget* pages;
  QPushButton* btnBack;     // "&Wstecz"
  QPushButton* btnNext;     // "&Dalej" / "Wy&konaj"
  QPushButton* btnCancel;   // "&Anuluj"

  // Database page.
  QComboBox* cbCurrentDB;
  QCheckBox *chbPokazBLAD, *chbRebuildAll, *chbGrantAll, *chbOpenTable;
  // Versions page.
  QLabel *LMDLVerCur, *LMDLVerCurD, *LMDLVerNew, *LMDLVerNewD, *lblStatusTemplate;
  // Object-types page.
  QCheckBox *chbTabele, *chbKluczeObce, *chbFunkcje, *chbWidoki, *chbProcedury, *chbTriggery;
  // Progress page.
  QPlainTextEdit* memoLOG;

  // Bottom panel.
  QLabel* lblCurrentDB;
  QProgressBar* LMDProgress;      // the object being worked on
  QProgressBar* LMDProgressMain;  // the whole run

  // While true the window refuses to be closed (a run is under way and
  // must not be cut off between two statements).
  bool closeBlocked = false;

  // Status bar and its two panels.
  QStatusBar* sbMain;
  QLabel* sbPanel0;  // "Login" / "Login:<name>"
  QLabel* sbPanel1;  // short status texts

 signals:
  // "Wy&konaj" on the last page.
  void completed();
  // "&Anuluj".
  void cancelClicked();
  // The user picked an entry of cbCurrentDB (not raised by code).
  void databaseChosen(int index);
  // The title-bar close: the program ends without a report.
  void closeRequested();

 protected:
  void closeEvent(class QCloseEvent* e) override;

 private:
  QWidget* MakePage(const QString& heading, QWidget* body, QLabel** headingLabel = nullptr);
  QWidget* MakeWelcomePage();
  QWidget* MakeDatabasePage();
  QWidget* MakeVersionsPage();
  QWidget* MakeObjectTypesPage();
  QWidget* MakeProgressPage();
  QWidget* MakeBottomPanel();
  int logLines_ = 0;
};

}  // namespace gui
