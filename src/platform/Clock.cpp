#include "platform/Clock.h"

#include <chrono>
#include <ctime>
#include <thread>

namespace platform {
namespace {

std::atomic<Clock*> installedClock{nullptr};

SystemClock& DefaultClock() {
  static SystemClock clock;
  return clock;
}

}  // namespace

int64_t Clock::UnixTime() { return static_cast<int64_t>(std::time(nullptr)); }

uint32_t SystemClock::Ticks() {
  using namespace std::chrono;
  static const steady_clock::time_point start = steady_clock::now();
  return static_cast<uint32_t>(duration_cast<milliseconds>(steady_clock::now() - start).count());
}

void SystemClock::Delay(uint32_t ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

Clock& GetClock() {
  Clock* clock = installedClock.load();
  return clock ? *clock : DefaultClock();
}

void SetClock(Clock* clock) { installedClock.store(clock); }

}  // namespace platform
