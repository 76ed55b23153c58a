#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "app/prefs.h"
#include "gui/qt_program.h"
#include "gui_support.h"

namespace {

class QtProgramTest : public guitest::AppTest {
 protected:
  QtProgramTest() {
    QDir(dir.path()).mkpath("Raporty");  // present, so start-up shows no message
    config.programFile = (dir.path() + "/zurararudud").toStdString();
    config.reportsFolder = (dir.path() + "/Raporty").toStdString();
    config.templatePath = (dir.path() + "/Template.mdb").toStdString();
    prefs = app::MakeUserPrefsStore((dir.path() + "/prefs.ini").toStdString());
    program = std::make_unique<gui::QtProgram>(
        config, clock, *prefs, [this](wizard::TF_Main&) { ++runs; }, [this] { ++terminations; });
  }
  ~QtProgramTest() override {
    program->main.hide();
    program->loginForm.hide();
  }
  QTemporaryDir dir;
  wizard::ProgramConfig config;
  guitest::FakeClock clock;
  std::unique_ptr<app::PrefsStore> prefs;
  std::unique_ptr<gui::QtProgram> program;
  int runs = 0, terminations = 0;
};

TEST_F(QtProgramTest, StartShowsTheWizardDisabledAndTheLoginForm) {
  ASSERT_TRUE(program->Start(false));
  gui::MainWindow& w = program->main;
  EXPECT_TRUE(w.isVisible());
  EXPECT_TRUE(w.windowTitle().startsWith("Orv-dbMod ver. ")) << w.windowTitle().toStdString();
  EXPECT_FALSE(w.LMDAssist->isEnabled());
  EXPECT_EQ(w.CurrentPage(), int(wizard::Page::Database));
  EXPECT_TRUE(program->loginForm.isVisible());
  EXPECT_FALSE(program->program.login.LoggedIn);
  EXPECT_EQ(program->loginForm.lblInfo->text(), "WPROWADŹ POPRAWNE DANE");
  // The log's own first line is its empty one, shown once.
  EXPECT_EQ(w.memoLOG->document()->blockCount(), 1);
  EXPECT_EQ(w.memoLOG->toPlainText(), "");
  ASSERT_FALSE(guitest::Screenshot(program->loginForm, "F_ServerLogin_start").isNull());
}

TEST_F(QtProgramTest, ConnectWithoutAServerIsRefusedOnTheForm) {
  ASSERT_TRUE(program->Start(false));
  program->loginForm.SetServerText("");
  program->loginForm.btnCONNECT->click();
  EXPECT_EQ(program->loginForm.lblInfo->text(), "BŁĄD:WPROWADŹ POPRAWNE DANE");
  EXPECT_TRUE(program->loginForm.isVisible());
  EXPECT_TRUE(program->loginForm.btnCONNECT->isEnabled());  // busy state cleared again
}

TEST_F(QtProgramTest, CheckBoxesWriteTheRunOptionsThrough) {
  wizard::RunOptions& o = program->program.F_Main.options;
  program->main.chbPokazBLAD->setChecked(false);
  program->main.chbRebuildAll->setChecked(true);
  program->main.chbFunkcje->setChecked(false);
  EXPECT_FALSE(o.chbPokazBLAD);
  EXPECT_TRUE(o.chbRebuildAll);
  EXPECT_FALSE(o.chbFunkcje);
  EXPECT_TRUE(o.chbTabele);
  program->main.chbPokazBLAD->setChecked(true);
  EXPECT_TRUE(o.chbPokazBLAD);
}

TEST_F(QtProgramTest, ExecuteWithoutAChosenDatabaseExplainsAndDoesNotRun) {
  ASSERT_TRUE(program->Start(false));
  // The frame as a login enables it; no database is chosen and no template
  // is open.
  program->main.SetWizardEnabled(true);
  program->main.GoToPage(wizard::Page::Progress);
  QString shown;
  guitest::Later([&] {
    shown = program->dialog.TXT->toPlainText();
    program->dialog.Button(app::dbClose)->click();
  });
  program->main.btnNext->click();  // "Wy&konaj"
  EXPECT_FALSE(shown.isEmpty());
  EXPECT_EQ(runs, 0);
  EXPECT_FALSE(program->Running());
  EXPECT_TRUE(program->main.btnNext->isEnabled());
  EXPECT_TRUE(program->main.btnBack->isEnabled());
}

TEST_F(QtProgramTest, CancelSavesTheReportAndEndsTheProgram) {
  ASSERT_TRUE(program->Start(false));
  program->main.btnCancel->click();  // the frame is disabled until a login
  EXPECT_EQ(terminations, 0);
  program->main.SetWizardEnabled(true);
  program->program.F_Main.AddLog("Próba wyboru bazy FIRMA", true);
  program->main.btnCancel->click();
  EXPECT_EQ(terminations, 1);
  const QStringList reports = QDir(dir.path() + "/Raporty").entryList({"Modyfikacja_bazy_*.DOC"}, QDir::Files);
  ASSERT_EQ(reports.size(), 1);
  EXPECT_EQ(reports[0], "Modyfikacja_bazy_09-12-2026_14_05_33.DOC");
}

TEST_F(QtProgramTest, ClosingTheMainWindowEndsTheProgramWithoutAReport) {
  ASSERT_TRUE(program->Start(false));
  program->main.close();
  EXPECT_EQ(terminations, 1);
  EXPECT_TRUE(QDir(dir.path() + "/Raporty").entryList(QDir::Files).isEmpty());
}

}  // namespace
