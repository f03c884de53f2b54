#pragma once
// The one source of time: millisecond ticks and delays. Tests install a
// ManualClock so that long waits take no real time.
#include <atomic>
#include <cstdint>

namespace platform {

class Clock {
 public:
  virtual ~Clock() = default;
  virtual uint32_t Ticks() = 0;
  virtual void Delay(uint32_t ms) = 0;
  // Seconds since 1970-01-01 UTC, for records kept beyond the run.
  virtual int64_t UnixTime();
};

// Milliseconds since the clock was first asked; delays really sleep.
class SystemClock : public Clock {
 public:
  uint32_t Ticks() override;
  void Delay(uint32_t ms) override;
};

// Time that moves only when told to: Delay advances it at once.
class ManualClock : public Clock {
 public:
  explicit ManualClock(uint32_t start = 1) : now_(start) {}
  uint32_t Ticks() override { return now_; }
  void Delay(uint32_t ms) override { now_ += ms; }
  void Advance(uint32_t ms) { now_ += ms; }

 private:
  std::atomic<uint32_t> now_;
};

Clock& GetClock();
// Installs a clock for the whole program; nullptr returns to the system clock.
void SetClock(Clock* clock);

inline uint32_t Ticks() { return GetClock().Ticks(); }
inline void Delay(uint32_t ms) { GetClock().Delay(ms); }
inline int64_t UnixTime() { return GetClock().UnixTime(); }

}  // namespace platform
