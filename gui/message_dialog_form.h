// The message dialog F_Dialog on screen: a lowered text panel across the
// top and up to six buttons on one row below it. Where the buttons go, which
// one takes the focus and whether a message is dropped is decided by the
// dialog model (app/message_dialog.h); this form only presents it.
#pragma once

#include <QDialog>
#include <QFrame>
#include <QPushButton>
#include <QTextEdit>
#include <functional>
#include <map>

#include "app/message_dialog.h"

namespace gui {

class MessageDialogForm : public QDialog, public app::DialogPresenter {
  Q_OBJECT
 public:
  explicit MessageDialogForm(QWidget* parent = nullptr);

  // app::DialogPresenter
  int RunModal(const app::DialogLayout& layout, const std::string& text) override;
  void ShowModeless(const app::DialogLayout& layout, const std::string& text) override;
  void CloseModeless() override;

  // Called when the user closes a non-modal dialog ("&Zamknij").
  std::function<void()> onModelessClosed;

  // The button of a flag (app::dbYes...).
  QPushButton* Button(app::DialogButton flag) const { return buttons_.at(flag); }
  bool RunningModal() const { return runningModal_; }

  QFrame* TxtPAN;
  QTextEdit* TXT;

 protected:
  void reject() override;  // Escape
  void closeEvent(QCloseEvent* e) override;
  void showEvent(QShowEvent* e) override;

 private:
  void Fill(const app::DialogLayout& layout, const std::string& text);
  void Pressed(const app::DialogButtonSpec& spec);
  std::map<app::DialogButton, QPushButton*> buttons_;
  app::DialogLayout layout_;
  bool runningModal_ = false;
};

}  // namespace gui
