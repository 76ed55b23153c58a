// The desktop program over the simulated server: log in on the form, pick
// the demo database, look at its versions and run the upgrade.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextBlock>

#include "app/prefs.h"
#include "app/startup.h"
#include "gui/qt_program.h"
#include "gui_support.h"
#include "reconcile/objects/upgrade.h"
#include "sqlite/template_builder.h"

namespace {

class EndToEndTest : public guitest::AppTest {
 protected:
  void SetUp() override {
    // The simulated server must be part of the build for this scenario.
    db::ConnectParams probe;
    probe.dataSource = "sim:probe.sql";
    try {
      app::MakeAdapterFor(probe);
    } catch (const db::OleError& e) {
      if (e.code() == db::code::kNoProvider) GTEST_SKIP() << "no simulated server in this build: " << e.what();
    }
    const QString src = QString(ZR_SOURCE_DIR) + "/demo/";
    dbFile = dir.path() + "/demo.sql";
    ASSERT_TRUE(QFile::copy(QString(ZR_SOURCE_DIR) + "/tests/data/sim/demo_old.sql", dbFile));
    QDir(dir.path()).mkpath("Raporty");
    config.programFile = (dir.path() + "/zurararudud").toStdString();
    config.reportsFolder = (dir.path() + "/Raporty").toStdString();
    config.templatePath = (dir.path() + "/Template.mdb").toStdString();
    sqlite::BuildTemplate((src + "template.sql").toStdString(), config.templatePath);
    prefs = app::MakeUserPrefsStore((dir.path() + "/prefs.ini").toStdString());
    program = std::make_unique<gui::QtProgram>(
        config, clock, *prefs, [](wizard::TF_Main& f) { reconcile::RunUpgrade(f); }, [this] { ++terminations; });
    // Any message the run shows is acknowledged, as an operator would.
    QObject::connect(&answer, &QTimer::timeout, [this] {
      if (program->dialog.isVisible()) {
        seen.push_back(program->dialog.TXT->toPlainText());
        program->dialog.Button(app::dbClose)->isVisible() ? program->dialog.Button(app::dbClose)->click()
                                                          : program->dialog.Button(app::dbYes)->click();
      }
      if (program->editor.isVisible()) program->editor.close();
      if (program->Running()) {
        closedDuringRun = closedDuringRun || program->main.close();
        ++ticksDuringRun;
        navigationEnabledDuringRun = navigationEnabledDuringRun || program->main.btnCancel->isEnabled() ||
                                     program->main.btnNext->isEnabled();
      }
    });
    answer.start(20);
  }
  void TearDown() override {
    if (!program) return;
    answer.stop();
    program->main.hide();
    program->loginForm.hide();
  }

  void LogIn() {
    ASSERT_TRUE(program->Start(false));
    program->loginForm.SetServerText(("sim:" + dbFile).toStdString());
    program->loginForm.SetUserText("sa");
    program->loginForm.SetPasswordText("tajne");
    program->loginForm.btnCONNECT->click();
  }
  QStringList Log() {
    QStringList lines;
    for (QTextBlock b = program->main.memoLOG->document()->begin(); b.isValid(); b = b.next()) lines << b.text();
    return lines;
  }

  QTemporaryDir dir;
  QString dbFile;
  wizard::ProgramConfig config;
  guitest::FakeClock clock;
  std::unique_ptr<app::PrefsStore> prefs;
  std::unique_ptr<gui::QtProgram> program;
  QTimer answer;
  QStringList seen;
  int terminations = 0;
  bool closedDuringRun = false;
  int ticksDuringRun = 0;
  bool navigationEnabledDuringRun = false;
};

TEST_F(EndToEndTest, LoginChoiceAndRunOnTheForms) {
  LogIn();
  gui::MainWindow& w = program->main;
  ASSERT_TRUE(program->program.login.LoggedIn) << w.sbPanel1->text().toStdString();
  EXPECT_FALSE(program->loginForm.isVisible());
  EXPECT_TRUE(w.LMDAssist->isEnabled());
  EXPECT_EQ(w.sbPanel0->text(), "Login:SA");
  const int demo = w.cbCurrentDB->findText("DEMO");
  ASSERT_GE(demo, 0);
  EXPECT_EQ(w.cbCurrentDB->findText("MASTER"), -1);

  // The user picks the database.
  w.cbCurrentDB->setCurrentIndex(demo);
  emit w.cbCurrentDB->activated(demo);
  EXPECT_EQ(w.lblCurrentDB->text(), "DEMO");
  EXPECT_EQ(w.LMDLVerCur->text(), "5.001.000");
  EXPECT_EQ(w.LMDLVerNew->text(), "5.002.000");
  w.GoToPage(wizard::Page::Versions);
  ASSERT_FALSE(guitest::Screenshot(w, "F_Main_session_versions").isNull());

  // "Wy&konaj" on the progress page runs the whole upgrade.
  w.chbPokazBLAD->setChecked(false);
  w.GoToPage(wizard::Page::Progress);
  ASSERT_EQ(w.btnNext->text(), "Wy&konaj");
  w.btnNext->click();
  EXPECT_FALSE(program->Running());
  EXPECT_GT(ticksDuringRun, 0);
  EXPECT_FALSE(closedDuringRun);  // the window would not close under a run
  EXPECT_FALSE(navigationEnabledDuringRun);
  EXPECT_EQ(terminations, 0);
  const QStringList log = Log();
  EXPECT_FALSE(log.filter(QRegularExpression("^\\*{9} Rozpoczęto fazę 1 z \\d+$")).isEmpty())
      << log.join('\n').toStdString();
  EXPECT_GT(w.LMDProgressMain->maximum(), 0);
  EXPECT_EQ(w.LMDProgressMain->value(), w.LMDProgressMain->maximum());
  EXPECT_EQ(w.sbPanel1->text(), "Zakończono proces uaktualniania");
  EXPECT_FALSE(program->wait.isVisible());
  ASSERT_FALSE(guitest::Screenshot(w, "F_Main_session_after_run").isNull());

  // Leaving the wizard writes the report.
  w.btnCancel->click();
  EXPECT_EQ(terminations, 1);
  EXPECT_EQ(QDir(dir.path() + "/Raporty").entryList({"Modyfikacja_bazy_*.DOC"}, QDir::Files).size(), 1);
}

}  // namespace
