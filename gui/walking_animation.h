// The small looping picture of the wait window: a figure walking on the
// spot, eight frames of 90 x 90 pixels, one frame every 100 ms.
#pragma once

#include <QColor>
#include <QPainter>
#include <QTimer>
#include <QWidget>

namespace gui {

class WalkingAnimation : public QWidget {
  Q_OBJECT
 public:
  static constexpr int kFrames = 8;
  static constexpr int kFrameMs = 100;
  static constexpr int kSize = 90;

  explicit WalkingAnimation(QWidget* parent = nullptr);

  // Starts looping from the current frame; a running animation goes on.
  void Start();
  // Stops on the current frame.
  void Stop();
  bool IsActive() const { return timer_.isActive(); }

  int Frame() const { return frame_; }
  // Moves to the next frame (after the last comes the first) and repaints.
  void Advance();

  // Draws frame `frame` (0..7) on `background` into a painter whose origin
  // is the frame's top-left corner.
  static void PaintFrame(QPainter& p, int frame, const QColor& background);

  QSize sizeHint() const override { return {kSize, kSize}; }

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  QTimer timer_;
  int frame_ = 0;
};

}  // namespace gui
