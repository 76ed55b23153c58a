// The login form F_ServerLogin on screen: server, user and password rows,
// the connect and close buttons, and the Info panel with the connection
// animation CnnWait. It implements the view the login logic drives
// (app::LoginView) and reports its buttons, Enter and the close request
// through callbacks.
#pragma once

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <functional>

#include "app/login.h"

namespace gui {

class LoginForm : public QWidget, public app::LoginView {
  Q_OBJECT
 public:
  explicit LoginForm(QWidget* parent = nullptr);

  // What the buttons do; Enter in any input clicks "&POŁĄCZ". `onClose`
  // also runs when the window is closed from the keyboard or the system.
  std::function<void()> onConnect;
  std::function<void()> onClose;

  // app::LoginView
  std::string ServerText() const override;
  void SetServerText(const std::string& text) override;
  void SetServerList(const std::vector<std::string>& servers) override;
  std::string UserText() const override;
  void SetUserText(const std::string& text) override;
  std::string PasswordText() const override;
  void SetPasswordText(const std::string& text) override;
  void SetInfo(const std::string& text) override;
  void SetInputsEnabled(bool enabled) override;
  void DisableForm() override;
  void StartAnimation() override;
  void StopAnimation() override;
  void FocusServer() override;
  void FocusUser() override;
  bool IsVisible() const override { return isVisible(); }
  void ShowForm() override;
  void HideForm() override { hide(); }

  // One step of the connection animation: +5 rising, -5 falling; at the
  // maximum it turns to falling (fill reversed), at the minimum to rising.
  void AnimationStep();
  bool AnimationActive() const { return animTimer_.isActive(); }
  bool AnimationRising() const { return rising_; }

  QFrame *Panel1, *Panel2, *Panel3;
  QComboBox* edServer;
  QLineEdit* edUSER;
  QLineEdit* edPWD;
  QPushButton* btnCONNECT;
  QPushButton* btnCLOSE;
  QFrame* Info;
  QLabel* lblInfo;
  QProgressBar* CnnWait;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* e) override;

 private:
  QFrame* Row(const char* name, const QString& caption, QWidget* input);
  QTimer animTimer_;
  bool rising_ = true;
  bool closing_ = false;
};

}  // namespace gui
