#include <gtest/gtest.h>

#include <QCloseEvent>
#include <QKeyEvent>

#include "gui/login_form.h"
#include "gui_support.h"

namespace {

class LoginFormTest : public guitest::AppTest {
 protected:
  LoginFormTest() {
    guitest::App();
    form.onConnect = [this] { ++connects; };
    form.onClose = [this] { ++closes; };
  }
  static void Type(QWidget* w, int key, const QString& text) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(w, &release);
  }
  gui::LoginForm form;
  int connects = 0, closes = 0;
};

TEST_F(LoginFormTest, CaptionsColoursAndHints) {
  EXPECT_EQ(form.windowTitle(), "LOGOWANIE");
  struct Input {
    QWidget* w;
    QColor colour;
  } inputs[] = {{form.edServer->lineEdit(), QColor(255, 255, 180)},
                {form.edUSER, QColor(128, 255, 192)},
                {form.edPWD, QColor(192, 224, 255)}};
  for (const Input& i : inputs) {
    EXPECT_EQ(i.w->palette().color(QPalette::Base), i.colour) << i.w->objectName().toStdString();
    EXPECT_TRUE(i.w->font().bold()) << i.w->objectName().toStdString();
  }
  EXPECT_EQ(form.edPWD->echoMode(), QLineEdit::Password);
  EXPECT_EQ(form.edUSER->toolTip(), "Wpisz nazwę użytkownika");
  EXPECT_EQ(form.edPWD->toolTip(), "Wpisz hasło dostępu");
  EXPECT_EQ(form.btnCONNECT->text(), "&POŁĄCZ");
  EXPECT_EQ(form.btnCONNECT->toolTip(), "Połącz z serwerem SQL");
  EXPECT_EQ(form.btnCLOSE->text(), "&ZAMKNIJ");
  EXPECT_EQ(form.btnCLOSE->toolTip(), "Zamknij program");
  EXPECT_EQ(form.lblInfo->text(), "OK");
  EXPECT_EQ(form.CnnWait->width(), 104);
  EXPECT_EQ(form.edServer->maxVisibleItems(), 4);
  EXPECT_TRUE(form.windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_FALSE(form.windowFlags() & Qt::WindowCloseButtonHint);
  // The bar sits at the right end of the Info panel.
  form.show();
  QApplication::processEvents();
  EXPECT_GT(form.CnnWait->geometry().left(), form.Info->width() / 2);
  EXPECT_LE(form.CnnWait->geometry().right(), form.Info->width());
  form.hide();
}

TEST_F(LoginFormTest, Screenshot) {
  form.SetServerList({"SERWER01", "SQL2019\\BIURO"});
  form.SetServerText("SQL2019\\BIURO");
  form.SetUserText("sa");
  form.SetPasswordText("tajne");
  form.SetInfo("WPROWADŹ POPRAWNE DANE");
  form.show();
  const QImage shot = guitest::Screenshot(form, "F_ServerLogin");
  ASSERT_FALSE(shot.isNull());
  // The user field really is painted light green.
  const QPoint inside = form.edUSER->mapTo(&form, QPoint(form.edUSER->width() - 6, form.edUSER->height() / 2));
  EXPECT_EQ(QColor(shot.pixel(inside * shot.devicePixelRatio())), QColor(128, 255, 192));
  form.hide();
}

TEST_F(LoginFormTest, UserNameIsUpperCasedWhenTypedAndWhenAssigned) {
  form.edUSER->setFocus();
  Type(form.edUSER, Qt::Key_A, "a");
  Type(form.edUSER, Qt::Key_D, "d");
  Type(form.edUSER, 0, "ą");
  EXPECT_EQ(form.edUSER->text(), "ADĄ");
  EXPECT_EQ(form.UserText(), "ADĄ");
  form.SetUserText("kowalski");
  EXPECT_EQ(form.UserText(), "KOWALSKI");
}

TEST_F(LoginFormTest, EnterInAnyInputConnectsAndIsSwallowed) {
  form.SetPasswordText("abc");
  QWidget* inputs[] = {form.edServer->lineEdit(), form.edUSER, form.edPWD};
  for (QWidget* w : inputs) Type(w, Qt::Key_Return, "\r");
  Type(form.edPWD, Qt::Key_Enter, "\r");
  EXPECT_EQ(connects, 4);
  EXPECT_EQ(form.PasswordText(), "abc");
  EXPECT_EQ(form.edServer->count(), 0);  // Enter does not add the text to the list
  Type(form.edPWD, Qt::Key_Escape, "");
  EXPECT_EQ(connects, 4);
}

TEST_F(LoginFormTest, ButtonsAndTheCloseRequestReachTheCallbacks) {
  form.btnCONNECT->click();
  form.btnCLOSE->click();
  EXPECT_EQ(connects, 1);
  EXPECT_EQ(closes, 1);
  form.show();
  QCloseEvent e;
  QApplication::sendEvent(&form, &e);
  EXPECT_EQ(closes, 2);
  EXPECT_FALSE(e.isAccepted());  // the closing sequence ends the program, not the close
  form.hide();
}

TEST_F(LoginFormTest, ServerListRefillKeepsTheEditText) {
  form.SetServerText("MOJ-SERWER");
  form.SetServerList({"A", "B", "C"});
  EXPECT_EQ(form.ServerText(), "MOJ-SERWER");
  EXPECT_EQ(form.edServer->count(), 3);
  EXPECT_EQ(form.edServer->itemText(2), "C");
}

TEST_F(LoginFormTest, InputsCanBeDisabledTogether) {
  form.SetInputsEnabled(false);
  for (QWidget* w : std::initializer_list<QWidget*>{form.btnCONNECT, form.btnCLOSE, form.edServer, form.edUSER,
                                                   form.edPWD})
    EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
  form.SetInputsEnabled(true);
  EXPECT_TRUE(form.edPWD->isEnabled());
  form.DisableForm();
  EXPECT_FALSE(form.isEnabled());
}

TEST_F(LoginFormTest, AnimationSwingsBetweenTheEnds) {
  form.CnnWait->setValue(40);
  form.StartAnimation();
  EXPECT_TRUE(form.AnimationActive());
  EXPECT_EQ(form.CnnWait->value(), 0);
  EXPECT_TRUE(form.AnimationRising());
  for (int i = 0; i < 20; ++i) form.AnimationStep();
  EXPECT_EQ(form.CnnWait->value(), 100);
  EXPECT_FALSE(form.AnimationRising());
  EXPECT_TRUE(form.CnnWait->invertedAppearance());
  form.AnimationStep();
  EXPECT_EQ(form.CnnWait->value(), 95);
  for (int i = 0; i < 19; ++i) form.AnimationStep();
  EXPECT_EQ(form.CnnWait->value(), 0);
  EXPECT_TRUE(form.AnimationRising());
  EXPECT_FALSE(form.CnnWait->invertedAppearance());
  form.AnimationStep();
  EXPECT_EQ(form.CnnWait->value(), 5);
  form.StopAnimation();
  EXPECT_FALSE(form.AnimationActive());
}

}  // namespace
