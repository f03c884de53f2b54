#pragma once
// How long each pass of the main loop takes, for measuring smoothness: a
// histogram of the passes' durations and of the time from a coin being
// read to the credits drawn, written to a file at exit. The main loop
// records only when MELODECK_PASS_TIMES names that file.
#include <array>
#include <chrono>
#include <cstdint>
#include <string>

class PassTimes {
 public:
  // Real elapsed time, not the program's clock: this measures the machine.
  using Clock = std::chrono::steady_clock;

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

  void AddPass(Clock::duration pass) { passes_.Add(Micros(pass)); }
  void AddCoin(Clock::duration toScreen) { coins_.Add(Micros(toScreen)); }
  // "passes N p50 X p99 Y max Z" and the same for "coins", in µs.
  std::string Summary() const;
  bool Write(const std::string& path) const;

 private:
  static int64_t Micros(Clock::duration d) {
    return std::chrono::duration_cast<std::chrono::microseconds>(d).count();
  }
  Histogram passes_;
  Histogram coins_;
};
