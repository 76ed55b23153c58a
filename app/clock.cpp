#include "app/clock.h"

#include <chrono>
#include <ctime>
#include <thread>

#include "app/ui.h"

namespace app {
namespace {
class RealClock : public Clock {
 public:
  db::DateTime Now() override {
    std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
  }
  std::uint64_t TickMs() override {
    using namespace std::chrono;
    return static_cast<std::uint64_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
  }
  void SleepMs(int ms) override { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
};
}  // namespace

Clock& SystemClock() {
  static RealClock clock;
  return clock;
}

void DelayWithMessages(Ui& ui, Clock& clock, int ms) {
  const std::uint64_t end = clock.TickMs() + static_cast<std::uint64_t>(ms < 0 ? 0 : ms);
  do {
    ui.ProcessMessages();
    if (clock.TickMs() >= end) break;
    clock.SleepMs(5);
  } while (clock.TickMs() < end);
}

}  // namespace app
