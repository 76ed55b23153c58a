#include <gtest/gtest.h>

#include <QTextBlock>

#include "gui/qt_ui.h"
#include "gui_support.h"

namespace {

class QtUiTest : public guitest::AppTest {
 protected:
  QtUiTest() { guitest::App(); }
  gui::MainWindow main;
  gui::MessageDialogForm dialog;
  gui::TF_StatusWindow wait{&main};
  gui::TF_MemoTest editor;
  gui::QtUi ui{main, dialog, wait, editor};
};

TEST_F(QtUiTest, StatusTextGoesToTheSecondPanel) {
  ui.SetStatusText("Sprawdzam tabele");
  EXPECT_EQ(main.sbPanel1->text(), "Sprawdzam tabele");
  EXPECT_EQ(main.sbPanel0->text(), "Login");
}

TEST_F(QtUiTest, LogLinesAreAppendedToMemoLog) {
  ui.AppendLogLine("********* Rozpoczęto fazę 1 z 2");
  ui.AppendLogLine("Zaktualizowano uprawnienia dla roli KSIĘGOWOŚĆ");
  const QTextDocument* d = main.memoLOG->document();
  ASSERT_EQ(d->blockCount(), 2);
  EXPECT_EQ(d->findBlockByNumber(0).text(), "********* Rozpoczęto fazę 1 z 2");
  EXPECT_EQ(d->findBlockByNumber(1).text(), "Zaktualizowano uprawnienia dla roli KSIĘGOWOŚĆ");
}

TEST_F(QtUiTest, ProgressGoesToTheBarAskedFor) {
  ui.SetProgress(app::ProgressBar::Main, 0, 1800, 900);
  ui.SetProgress(app::ProgressBar::Object, 0, 7, 2);
  EXPECT_EQ(main.LMDProgressMain->maximum(), 1800);
  EXPECT_EQ(main.LMDProgressMain->value(), 900);
  EXPECT_EQ(main.LMDProgressMain->text(), "50%");
  EXPECT_EQ(main.LMDProgress->maximum(), 7);
  EXPECT_EQ(main.LMDProgress->value(), 2);

  // One object only: a range of a single value shows as a full bar.
  ui.SetProgress(app::ProgressBar::Object, 1, 1, 1);
  EXPECT_LT(main.LMDProgress->minimum(), main.LMDProgress->maximum());
  EXPECT_EQ(main.LMDProgress->value(), main.LMDProgress->maximum());
  EXPECT_EQ(main.LMDProgress->text(), "100%");
  // A run with nothing to do leaves the main bar at 0 %.
  ui.SetProgress(app::ProgressBar::Main, 0, 0, 0);
  EXPECT_EQ(main.LMDProgressMain->text(), "0%");
}

TEST_F(QtUiTest, WaitWindowShowsAndHides) {
  ui.ShowWaitWindow("Czekaj", "Trwa aktualizacja uprawnień roli");
  EXPECT_TRUE(wait.isVisible());
  EXPECT_EQ(wait.lblMessage->text(), "Trwa aktualizacja uprawnień roli");
  ui.HideWaitWindow();
  EXPECT_FALSE(wait.isVisible());
}

TEST_F(QtUiTest, PendingEventsAreHandledByProcessMessages) {
  bool ran = false;
  QTimer::singleShot(0, [&] { ran = true; });
  ui.ProcessMessages();
  EXPECT_TRUE(ran);
}

TEST_F(QtUiTest, RepairEditorRunsModallyWithTheCallersActions) {
  std::vector<std::string> retried;
  app::Ui::RepairEditorActions actions{[&](const std::vector<std::string>& l) { retried = l; },
                                       [](const std::vector<std::string>&) { return true; }};
  bool modal = false;
  guitest::Later([&] {
    modal = editor.isVisible() && editor.isModal();
    editor.btnPonow->click();
    editor.btnClose->click();
  });
  ui.ShowRepairEditor({"CREATE INDEX IX_A ON [A] (B)"}, actions);
  EXPECT_TRUE(modal);
  EXPECT_EQ(retried, std::vector<std::string>{"CREATE INDEX IX_A ON [A] (B)"});
  EXPECT_FALSE(editor.isVisible());
}

}  // namespace
