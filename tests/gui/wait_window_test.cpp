#include <gtest/gtest.h>

#include <QPainter>

#include "gui/wait_window.h"
#include "gui_support.h"

namespace {

QImage Frame(int n) {
  QImage img(90, 90, QImage::Format_RGB32);
  QPainter p(&img);
  gui::WalkingAnimation::PaintFrame(p, n, QColor(239, 239, 239));
  return img;
}

TEST(WaitWindow, LayoutAndInitialMessage) {
  guitest::App();
  gui::TF_StatusWindow w;
  EXPECT_EQ(w.size(), QSize(475, 147));
  EXPECT_EQ(w.myAnimate->size(), QSize(90, 90));
  EXPECT_LT(w.myAnimate->x(), w.lblMessage->x());  // the animation at the left
  EXPECT_EQ(w.lblMessage->size(), QSize(361, 59));
  EXPECT_LE(w.lblMessage->geometry().right(), 475);
  EXPECT_EQ(w.lblMessage->text(), "Komunikat");
  EXPECT_TRUE(w.lblMessage->font().bold());
  EXPECT_EQ(w.lblMessage->alignment(), Qt::AlignCenter);
  EXPECT_TRUE(w.windowFlags() & Qt::WindowStaysOnTopHint);
}

TEST(WaitWindow, AnimatesOnlyWhileShown) {
  guitest::App();
  gui::TF_StatusWindow w;
  EXPECT_FALSE(w.myAnimate->IsActive());
  w.ShowWait("Czekaj", "Trwa aktualizacja uprawnień roli");
  EXPECT_TRUE(w.isVisible());
  EXPECT_TRUE(w.myAnimate->IsActive());
  EXPECT_EQ(w.windowTitle(), "Czekaj");
  EXPECT_EQ(w.lblMessage->text(), "Trwa aktualizacja uprawnień roli");
  ASSERT_FALSE(guitest::Screenshot(w, "F_StatusWindow").isNull());

  // A second call while shown keeps it up and replaces the texts.
  w.ShowWait("Czekaj 2", "Druga rola");
  EXPECT_TRUE(w.myAnimate->IsActive());
  EXPECT_EQ(w.lblMessage->text(), "Druga rola");

  w.HideWait();
  EXPECT_FALSE(w.isVisible());
  EXPECT_FALSE(w.myAnimate->IsActive());
}

TEST(WaitWindow, EightDifferentFramesThatLoop) {
  guitest::App();
  gui::WalkingAnimation a;
  EXPECT_EQ(a.Frame(), 0);
  std::vector<QImage> frames;
  for (int i = 0; i < gui::WalkingAnimation::kFrames; ++i) {
    frames.push_back(Frame(a.Frame()));
    a.Advance();
  }
  EXPECT_EQ(a.Frame(), 0);  // after the eighth frame comes the first again
  for (int i = 0; i < 8; ++i) EXPECT_NE(frames[i], frames[(i + 1) % 8]) << "frame " << i;
  EXPECT_EQ(Frame(0), frames[0]);

  // A strip of all eight frames, to look at.
  QImage strip(90 * 8, 90, QImage::Format_RGB32);
  QPainter p(&strip);
  for (int i = 0; i < 8; ++i) p.drawImage(90 * i, 0, frames[i]);
  p.end();
  EXPECT_TRUE(strip.save(guitest::ScreenshotDir() + "/walking_frames.png"));
}

TEST(WaitWindow, FramesAdvanceFromTheTimer) {
  guitest::App();
  gui::WalkingAnimation a;
  a.Start();
  const int before = a.Frame();
  QEventLoop loop;
  QTimer::singleShot(3 * gui::WalkingAnimation::kFrameMs + 50, &loop, &QEventLoop::quit);
  loop.exec();
  EXPECT_NE(a.Frame(), before);
  a.Stop();
  const int stopped = a.Frame();
  QTimer::singleShot(2 * gui::WalkingAnimation::kFrameMs + 50, &loop, &QEventLoop::quit);
  loop.exec();
  EXPECT_EQ(a.Frame(), stopped);
}

}  // namespace
