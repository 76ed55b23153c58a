// The clock port: wall time for log stamps and file names, and a monotonic
// tick for waits. Tests substitute a fixed clock.
#pragma once

#include <cstdint>

#include "db/db.h"

namespace app {

class Clock {
 public:
  virtual ~Clock() = default;
  // Local date and time of day.
  virtual db::DateTime Now() = 0;
  // Milliseconds from an arbitrary start, never going back.
  virtual std::uint64_t TickMs() = 0;
  // Sleeps for up to `ms` milliseconds (0 yields).
  virtual void SleepMs(int ms) = 0;
};

// The real clock of the machine.
Clock& SystemClock();

}  // namespace app
