#include <gtest/gtest.h>

#include <QCloseEvent>
#include <QKeyEvent>

#include "gui/memo_test_form.h"
#include "gui_support.h"

namespace {

using Lines = std::vector<std::string>;

class RepairEditorTest : public guitest::AppTest {
 protected:
  RepairEditorTest() {
    guitest::App();
    actions.retry = [this](const Lines& l) { retried.push_back(l); };
    actions.save = [this](const Lines& l) {
      saved.push_back(l);
      return saveSucceeds;
    };
  }
  gui::TF_MemoTest editor;
  app::Ui::RepairEditorActions actions;
  std::vector<Lines> retried, saved;
  bool saveSucceeds = true;
};

TEST_F(RepairEditorTest, SizeCaptionAndButtonBar) {
  EXPECT_EQ(editor.windowTitle(), "F_MemoTest");
  EXPECT_EQ(editor.size(), QSize(846, 581));
  EXPECT_EQ(editor.btnClose->text(), "&Zapisz");
  EXPECT_EQ(editor.btnPonow->text(), "&Ponów");
  EXPECT_EQ(editor.memoTEST->lineWrapMode(), QPlainTextEdit::NoWrap);
  EXPECT_EQ(editor.memoTEST->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
  EXPECT_EQ(editor.memoTEST->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
  EXPECT_FALSE(editor.memoTEST->tabChangesFocus());

  editor.SetLines({"ALTER TABLE [ZAMÓWIENIA] ADD CONSTRAINT PK_ZAMÓWIENIA PRIMARY KEY CLUSTERED",
                   "(", "\tID_ZAMÓWIENIA", ")"});
  editor.show();
  ASSERT_FALSE(guitest::Screenshot(editor, "F_MemoTest").isNull());
  // "&Zapisz" at the left end, "&Ponów" at the right end, both under the text.
  EXPECT_LT(editor.btnClose->mapTo(&editor, QPoint(0, 0)).x(), 40);
  EXPECT_GT(editor.btnPonow->mapTo(&editor, QPoint(editor.btnPonow->width(), 0)).x(), 846 - 40);
  EXPECT_GT(editor.btnClose->mapTo(&editor, QPoint(0, 0)).y(), editor.memoTEST->geometry().bottom());
  editor.hide();
}

TEST_F(RepairEditorTest, LinesRoundTripAndAnEmptyEditorHasNone) {
  const Lines lines{"CREATE VIEW V_A AS", "\tSELECT 1 AS X", "", "GO"};
  editor.SetLines(lines);
  EXPECT_EQ(editor.Lines(), lines);
  editor.SetLines({});
  EXPECT_TRUE(editor.Lines().empty());
}

TEST_F(RepairEditorTest, TabIsTypedIntoTheText) {
  editor.SetLines({"AB"});
  editor.show();
  editor.memoTEST->setFocus();
  editor.memoTEST->moveCursor(QTextCursor::Start);
  QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier, "\t");
  QApplication::sendEvent(editor.memoTEST, &tab);
  EXPECT_EQ(editor.Lines(), Lines{"\tAB"});
  editor.hide();
}

TEST_F(RepairEditorTest, RetryHandsOverTheEditedTextAndStaysOpen) {
  bool openAfterRetry = false;
  guitest::Later([&] {
    editor.memoTEST->setPlainText("DROP VIEW [V_X]\nGO");
    editor.btnPonow->click();
    editor.btnPonow->click();
    openAfterRetry = editor.isVisible();
    editor.btnClose->click();
  });
  editor.Run({"DROP VIEW V_X"}, actions);
  EXPECT_TRUE(openAfterRetry);
  ASSERT_EQ(retried.size(), 2u);
  EXPECT_EQ(retried[0], (Lines{"DROP VIEW [V_X]", "GO"}));
  ASSERT_EQ(saved.size(), 1u);
  EXPECT_EQ(saved[0], (Lines{"DROP VIEW [V_X]", "GO"}));
  EXPECT_FALSE(editor.isVisible());
}

TEST_F(RepairEditorTest, FailedSaveKeepsTheEditorOpen) {
  saveSucceeds = false;
  bool openAfterFailedSave = false;
  guitest::Later([&] {
    editor.btnClose->click();
    openAfterFailedSave = editor.isVisible();
    saveSucceeds = true;
    editor.btnClose->click();
  });
  editor.Run({"SELECT 1"}, actions);
  EXPECT_TRUE(openAfterFailedSave);
  EXPECT_EQ(saved.size(), 2u);
}

TEST_F(RepairEditorTest, CloseBoxClosesWithoutSaving) {
  guitest::Later([&] { editor.close(); });
  editor.Run({"SELECT 1"}, actions);
  EXPECT_FALSE(editor.isVisible());
  EXPECT_TRUE(saved.empty());
  EXPECT_TRUE(retried.empty());
}

TEST_F(RepairEditorTest, EachRunShowsACopyOfItsOwnLines) {
  Lines statement{"ALTER TABLE [A] ADD B INT"};
  Lines shown;
  guitest::Later([&] {
    statement[0] = "changed by the caller";
    shown = editor.Lines();
    editor.close();
  });
  editor.Run(statement, actions);
  EXPECT_EQ(shown, Lines{"ALTER TABLE [A] ADD B INT"});
  guitest::Later([&] {
    shown = editor.Lines();
    editor.close();
  });
  editor.Run({"SELECT 2"}, actions);
  EXPECT_EQ(shown, Lines{"SELECT 2"});
}

}  // namespace
