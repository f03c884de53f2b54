#pragma once
// How long each pass of the GUI takes, for measuring smoothness: a
// histogram of the passes' durations and the time of day at which each
// coin's credits were drawn, written to a file at exit. The program records
// only when MELODECK_PASS_TIMES names that file.
//
// A pass runs from PassBegins to PassEnded, so a wait inside a message
// counts as the passes it is made of. A coin's time of day is set beside
// the moment its key went up, which only whoever pressed it knows.
#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "gui/PassObserver.h"

class PassTimes : public PassObserver {
 public:
  // Real elapsed time, not the program's clock: this measures the machine.
  using Clock = std::chrono::steady_clock;
  using Wall = std::chrono::system_clock;
  explicit PassTimes(std::function<Clock::time_point()> now = Clock::now,
                     std::function<Wall::time_point()> wall = Wall::now)
      : now_(std::move(now)), wall_(std::move(wall)) {}

  // Buckets of 100 µs up to 1 s; longer passes share the last bucket, and
  // the longest is kept exactly.
  static constexpr int kBuckets = 10000;
  static constexpr int64_t kBucketMicros = 100;

  class Histogram {
   public:
    void Add(int64_t micros);
    uint64_t Count() const { return count_; }
    int64_t Longest() const { return longest_; }
    // The upper edge of the bucket holding the given share of the values,
    // or the longest value when that bucket is the last.
    int64_t Percentile(double share) const;

   private:
    std::array<uint64_t, kBuckets> buckets_{};
    uint64_t count_ = 0;
    int64_t longest_ = 0;
  };

  void PassBegins() override { passStart_ = now_(); }
  void PassEnded() override { passes_.Add(Micros(now_() - passStart_)); }
  void CreditsDrawn() override { coinsDrawn_.push_back(Micros(wall_().time_since_epoch())); }
  // "passes N p50 X p99 Y max Z" in µs, then "coin T" for each coin, T in
  // µs since the epoch.
  std::string Summary() const;
  bool Write(const std::string& path) const;

 private:
  static int64_t Micros(Clock::duration d) {
    return std::chrono::duration_cast<std::chrono::microseconds>(d).count();
  }
  std::function<Clock::time_point()> now_;
  std::function<Wall::time_point()> wall_;
  Clock::time_point passStart_ = now_();
  Histogram passes_;
  std::vector<int64_t> coinsDrawn_;
};
