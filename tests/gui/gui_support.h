// Shared helpers of the GUI tests: one QApplication on the offscreen
// platform, a clock that does not sleep, and screenshots saved into the
// build folder.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QPixmap>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <string>

#include "app/clock.h"

namespace guitest {

// The one application of the test program, made on first use on the
// offscreen platform and destroyed when the tests are over (before the
// process's exit handlers, which Qt's own globals would not survive).
QApplication& App();

// Base of every GUI fixture: the application exists before any member
// widget of the fixture is built.
class AppTest : public ::testing::Test {
 protected:
  AppTest() { App(); }
};

// Time that moves only when the program waits, so fixed delays cost nothing.
class FakeClock : public app::Clock {
 public:
  db::DateTime Now() override { return {2026, 12, 9, 14, 5, 33}; }
  std::uint64_t TickMs() override { return ticks; }
  void SleepMs(int ms) override { ticks += ms > 0 ? static_cast<std::uint64_t>(ms) : 1; }
  std::uint64_t ticks = 0;
};

inline QString ScreenshotDir() {
  const QString dir = QString(ZR_BINARY_DIR) + "/screenshots";
  QDir().mkpath(dir);
  return dir;
}

// Grabs `w` (laid out and painted) and saves it as <name>.png; returns the
// image so a test can look at its pixels.
inline QImage Screenshot(QWidget& w, const QString& name) {
  w.ensurePolished();
  QApplication::processEvents();
  const QPixmap shot = w.grab();
  const QString path = ScreenshotDir() + "/" + name + ".png";
  if (!shot.save(path)) return {};
  return shot.toImage();
}

// Runs `f` from the event loop once the next modal loop is under way.
inline void Later(std::function<void()> f, int ms = 0) { QTimer::singleShot(ms, f); }

}  // namespace guitest
