#include "gui/walking_animation.h"

#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <numbers>

namespace gui {

WalkingAnimation::WalkingAnimation(QWidget* parent) : QWidget(parent) {
  setFixedSize(kSize, kSize);
  timer_.setInterval(kFrameMs);
  connect(&timer_, &QTimer::timeout, this, &WalkingAnimation::Advance);
}

void WalkingAnimation::Start() {
  if (!timer_.isActive()) timer_.start();
}

void WalkingAnimation::Stop() { timer_.stop(); }

void WalkingAnimation::Advance() {
  frame_ = (frame_ + 1) % kFrames;
  update();
}

void WalkingAnimation::paintEvent(QPaintEvent*) {
  QPainter p(this);
  PaintFrame(p, frame_, palette().color(QPalette::Window));
}

namespace {

// End of a limb of `length` hanging from `from`, swung `deg` degrees from
// straight down (positive swings forward, to the right).
QPointF Limb(QPointF from, double length, double deg) {
  const double r = deg * std::numbers::pi / 180.0;
  return {from.x() + length * std::sin(r), from.y() + length * std::cos(r)};
}

}  // namespace

void WalkingAnimation::PaintFrame(QPainter& p, int frame, const QColor& background) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing, true);
  p.fillRect(QRectF(0, 0, kSize, kSize), background);

  // The ground scrolls backwards one dash per loop, so the figure seems to
  // move forward while it stays in the middle.
  const double t = (frame % kFrames) / double(kFrames);
  p.setPen(QPen(QColor(110, 110, 110), 2));
  p.drawLine(QPointF(4, 81), QPointF(86, 81));
  p.setPen(QPen(QColor(110, 110, 110), 3, Qt::SolidLine, Qt::FlatCap));
  for (int i = -1; i < 5; ++i) {
    const double x = 6 + i * 20 + 20 * (1.0 - t);
    if (x >= 4 && x + 9 <= 86) p.drawLine(QPointF(x, 86), QPointF(x + 9, 86));
  }

  const double swing = std::sin(2 * std::numbers::pi * t);  // -1..1
  const double bob = std::abs(std::cos(2 * std::numbers::pi * t)) * 2.0;
  const QPointF neck(45, 25 - bob), shoulder(45, 29 - bob), hip(45, 53 - bob);
  const double legSwing = 32 * swing, armSwing = 38 * swing;

  const QColor body(20, 50, 120);
  QPen limbPen(body, 6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);

  // A leg: the knee bends backwards on the leg that swings back.
  auto leg = [&](double deg) {
    const QPointF knee = Limb(hip, 14, deg);
    p.drawPolyline(QList<QPointF>{hip, knee, Limb(knee, 14, deg - (deg < 0 ? 22 : 4))});
  };
  // An arm: the elbow bends forwards.
  auto arm = [&](double deg) {
    const QPointF elbow = Limb(shoulder, 12, deg);
    p.drawPolyline(QList<QPointF>{shoulder, elbow, Limb(elbow, 11, deg + 30)});
  };

  // The far limbs a shade lighter, drawn first.
  limbPen.setColor(body.lighter(170));
  p.setPen(limbPen);
  leg(-legSwing);
  arm(armSwing);

  limbPen.setColor(body);
  p.setPen(limbPen);
  p.drawLine(neck, hip);
  leg(legSwing);
  arm(-armSwing);

  p.setPen(Qt::NoPen);
  p.setBrush(body);
  p.drawEllipse(QPointF(46, 15 - bob), 8, 8);
  p.restore();
}

}  // namespace gui
