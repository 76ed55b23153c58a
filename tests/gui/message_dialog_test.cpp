#include <gtest/gtest.h>

#include <QKeyEvent>

#include "gui/main_window.h"
#include "gui/memo_test_form.h"
#include "gui/message_dialog_form.h"
#include "gui/qt_ui.h"
#include "gui/wait_window.h"
#include "gui_support.h"

namespace {

using app::dbClose;
using app::dbNo;
using app::dbYes;

class MessageDialogTest : public guitest::AppTest {
 protected:
  MessageDialogTest() { guitest::App(); }
  gui::MainWindow main;
  gui::MessageDialogForm form;
  gui::TF_StatusWindow wait;
  gui::TF_MemoTest editor;
  gui::QtUi ui{main, form, wait, editor};

  QPushButton* B(app::DialogButton f) { return form.Button(f); }
  std::vector<app::DialogButton> Visible() {
    std::vector<app::DialogButton> out;
    for (const auto& s : app::DialogButtons())
      if (B(s.flag)->isVisible()) out.push_back(s.flag);
    return out;
  }
  void Key(int key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(form.focusWidget() ? form.focusWidget() : &form, &press);
  }
};

TEST_F(MessageDialogTest, SingleCloseButtonIsCentredUnderTheText) {
  EXPECT_EQ(ui.ShowMessageDialog(app::dkError, "Nie można otworzyć pliku wzorca", dbClose, false), 0);
  QApplication::processEvents();
  ASSERT_TRUE(form.isVisible());
  EXPECT_EQ(form.windowTitle(), "BŁĄD !");
  EXPECT_EQ(form.size(), QSize(388, 93));
  EXPECT_EQ(form.TxtPAN->geometry(), QRect(0, 0, 388, 61));
  EXPECT_EQ(form.TXT->geometry(), QRect(4, 4, 380, 53));
  EXPECT_EQ(form.TXT->toPlainText(), "Nie można otworzyć pliku wzorca");
  EXPECT_TRUE(form.TXT->isReadOnly());
  EXPECT_TRUE(form.TXT->font().bold());
  EXPECT_EQ(Visible(), std::vector<app::DialogButton>{dbClose});
  EXPECT_EQ(B(dbClose)->geometry(), QRect(388 / 2 - 40, 66, 80, 25));
  EXPECT_EQ(B(dbClose)->text(), "&Zamknij");
  EXPECT_EQ(form.focusWidget(), B(dbClose));
  const QImage shot = guitest::Screenshot(form, "F_Dialog_close");
  ASSERT_FALSE(shot.isNull());
  EXPECT_EQ(shot.size(), QSize(388, 93));
  form.hide();
}

TEST_F(MessageDialogTest, YesAndNoShareTheWidthAndNoHasTheFocus) {
  ui.ShowMessageDialog(app::dkWarning, "Czy na pewno usunąć wiersze, które blokują klucz obcy?", dbYes | dbNo,
                       false);
  QApplication::processEvents();
  EXPECT_EQ(form.windowTitle(), "UWAGA !");
  EXPECT_EQ((Visible()), (std::vector<app::DialogButton>{dbYes, dbNo}));
  EXPECT_EQ(B(dbYes)->x(), 194 / 2 - 40);
  EXPECT_EQ(B(dbNo)->x(), 194 / 2 - 40 + 194);
  EXPECT_EQ(B(dbYes)->text(), "&Tak");
  EXPECT_EQ(B(dbNo)->text(), "&Nie");
  EXPECT_EQ(form.focusWidget(), B(dbNo));
  ASSERT_FALSE(guitest::Screenshot(form, "F_Dialog_yes_no").isNull());
  form.hide();
}

TEST_F(MessageDialogTest, ModalCallReturnsThePressedButtonsResult) {
  struct Case {
    unsigned buttons;
    app::DialogButton press;
    int result;
  } cases[] = {{dbYes | dbNo, dbYes, app::mrYes},
               {dbYes | dbNo, dbNo, app::mrNo},
               {dbClose, dbClose, app::mrAbort},
               {app::dbRetry | app::dbIgnore | app::dbCancel, app::dbRetry, app::mrRetry},
               {app::dbRetry | app::dbIgnore | app::dbCancel, app::dbIgnore, app::mrIgnore}};
  for (const Case& c : cases) {
    bool wasModal = false;
    guitest::Later([&] {
      wasModal = form.isVisible() && form.isModal();
      B(c.press)->click();
    });
    EXPECT_EQ(ui.ShowMessageDialog(app::dkInformation, "Pytanie", c.buttons, true), c.result) << c.buttons;
    EXPECT_TRUE(wasModal);
    EXPECT_FALSE(form.isVisible());
  }
}

TEST_F(MessageDialogTest, EscapeAnswersNoButDoesNothingWithoutACancelButton) {
  guitest::Later([&] { Key(Qt::Key_Escape); });
  EXPECT_EQ(ui.ShowMessageDialog(app::dkWarning, "Kontynuować?", dbYes | dbNo, true), app::mrNo);

  bool stillOpen = false;
  guitest::Later([&] {
    Key(Qt::Key_Escape);
    QApplication::processEvents();
    stillOpen = form.isVisible();
    B(dbClose)->click();
  });
  EXPECT_EQ(ui.ShowMessageDialog(app::dkError, "Błąd", dbClose, true), app::mrAbort);
  EXPECT_TRUE(stillOpen);
}

TEST_F(MessageDialogTest, EnterPressesTheFocusedButton) {
  guitest::Later([&] { Key(Qt::Key_Return); });
  EXPECT_EQ(ui.ShowMessageDialog(app::dkWarning, "Kontynuować?", dbYes | dbNo, true), app::mrNo);
}

TEST_F(MessageDialogTest, MessageDuringAModalOneIsDropped) {
  int nested = -1;
  QString textDuring;
  guitest::Later([&] {
    nested = ui.ShowMessageDialog(app::dkError, "Drugi komunikat", dbClose, true);
    textDuring = form.TXT->toPlainText();
    B(dbYes)->click();
  });
  EXPECT_EQ(ui.ShowMessageDialog(app::dkWarning, "Pierwszy komunikat", dbYes | dbNo, true), app::mrYes);
  EXPECT_EQ(nested, 0);
  EXPECT_EQ(textDuring, "Pierwszy komunikat");
}

TEST_F(MessageDialogTest, ModelessDialogStaysUntilCloseOrTheNextMessage) {
  EXPECT_EQ(ui.ShowMessageDialog(app::dkInformation, "Pierwszy", dbClose | dbYes, false), 0);
  ASSERT_TRUE(form.isVisible());
  B(dbYes)->click();  // only sets a result nobody reads
  EXPECT_TRUE(form.isVisible());
  EXPECT_TRUE(ui.DialogModel().ModelessOpen());

  ui.ShowMessageDialog(app::dkWarning, "Drugi", dbClose, false);
  EXPECT_TRUE(form.isVisible());
  EXPECT_EQ(form.TXT->toPlainText(), "Drugi");
  EXPECT_FALSE(B(dbYes)->isVisible());

  B(dbClose)->click();
  EXPECT_FALSE(form.isVisible());
  EXPECT_FALSE(ui.DialogModel().ModelessOpen());
}

TEST_F(MessageDialogTest, KindOutsideTheTableGivesAnEmptyTitle) {
  ui.ShowMessageDialog(app::dkError, "x", dbClose, false);
  ui.ShowMessageDialog(4, "Tekst bez tytułu", dbClose, false);
  EXPECT_EQ(form.windowTitle(), "");
  EXPECT_EQ(form.TXT->toPlainText(), "Tekst bez tytułu");
  form.hide();
}

}  // namespace
