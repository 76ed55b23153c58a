// The wait window F_StatusWindow: a title, the looping walking animation at
// the left and a bold centred message, shown without blocking during a long
// step. The animation runs only while the window is shown.
#pragma once

#include <QLabel>
#include <QWidget>

#include "gui/walking_animation.h"

namespace gui {

class TF_StatusWindow : public QWidget {
  Q_OBJECT
 public:
  static constexpr int kWidth = 475, kHeight = 147;

  explicit TF_StatusWindow(QWidget* parent = nullptr);

  // Shows the window (or raises it when already shown), sets its title and
  // message and repaints the message at once. Centred over the parent
  // window when it has one, else on the screen.
  void ShowWait(const QString& title, const QString& message);
  void HideWait();

  WalkingAnimation* myAnimate;
  QLabel* lblMessage;

 protected:
  void showEvent(QShowEvent*) override;  // starts the animation
  void hideEvent(QHideEvent*) override;  // stops it
};

}  // namespace gui
