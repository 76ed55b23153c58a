#include "gui/wait_window.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>

namespace gui {

TF_StatusWindow::TF_StatusWindow(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint) {
  setObjectName("F_StatusWindow");
  setFixedSize(kWidth, kHeight);

  myAnimate = new WalkingAnimation(this);
  myAnimate->setObjectName("myAnimate");
  myAnimate->move(12, (kHeight - WalkingAnimation::kSize) / 2);

  lblMessage = new QLabel("Komunikat", this);
  lblMessage->setObjectName("lblMessage");
  QFont f = lblMessage->font();
  f.setBold(true);
  lblMessage->setFont(f);
  lblMessage->setAlignment(Qt::AlignCenter);
  lblMessage->setWordWrap(true);
  lblMessage->setGeometry(12 + WalkingAnimation::kSize + 6, (kHeight - 59) / 2, 361, 59);
}

void TF_StatusWindow::ShowWait(const QString& title, const QString& message) {
  if (isVisible()) {
    raise();
  } else {
    const QWidget* over = parentWidget() ? parentWidget()->window() : nullptr;
    QRect area = over && over->isVisible() ? over->frameGeometry()
                                           : (QGuiApplication::primaryScreen()
                                                  ? QGuiApplication::primaryScreen()->availableGeometry()
                                                  : QRect(0, 0, kWidth, kHeight));
    move(area.center() - QPoint(kWidth / 2, kHeight / 2));
    show();
  }
  setWindowTitle(title);
  lblMessage->setText(message);
  lblMessage->repaint();
}

void TF_StatusWindow::HideWait() { hide(); }

void TF_StatusWindow::showEvent(QShowEvent* e) {
  myAnimate->Start();
  QWidget::showEvent(e);
}

void TF_StatusWindow::hideEvent(QHideEvent* e) {
  myAnimate->Stop();
  QWidget::hideEvent(e);
}

}  // namespace gui
