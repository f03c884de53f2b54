#include "shell/PassTimes.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Case {
  std::vector<int64_t> micros;
  int64_t p50, p99, longest;
};

// Percentiles are bucket edges (100 µs) but never beyond the longest value;
// passes longer than the last bucket keep their exact length.
TEST(PassTimesTest, PercentilesAreBucketEdgesCappedByTheLongest) {
  const Case cases[] = {
      {{}, 0, 0, 0},
      {{40}, 40, 40, 40},
      {{50, 150, 250, 350}, 200, 350, 350},
      {{100, 100, 100, 5'000'000}, 200, 5'000'000, 5'000'000},
      {{-3, 0}, 0, 0, 0},
  };
  for (const Case& c : cases) {
    PassTimes::Histogram histogram;
    for (int64_t value : c.micros) histogram.Add(value);
    EXPECT_EQ(histogram.Count(), c.micros.size());
    EXPECT_EQ(histogram.Percentile(0.5), c.p50) << c.micros.size();
    EXPECT_EQ(histogram.Percentile(0.99), c.p99) << c.micros.size();
    EXPECT_EQ(histogram.Longest(), c.longest);
  }
}

// A wait that reads input in a loop of its own is cut into passes at its
// pauses, and each coin drawn is told by its time of day.
TEST(PassTimesTest, PausesCutPassesAndCoinsAreToldByTheirTimeOfDay) {
  int64_t now = 0;
  PassTimes times([&now] { return PassTimes::Clock::time_point(std::chrono::milliseconds(now)); },
                  [&now] { return PassTimes::Wall::time_point(std::chrono::milliseconds(1'000'000 + now)); });
  const auto at = [&](int64_t ms) -> PassObserver& {
    now = ms;
    return times;
  };
  at(0).PassBegins();
  at(5).PassEnded();
  at(15).PassBegins();
  at(18).PassEnded();
  at(19).PassBegins();
  at(21).CreditsDrawn();
  at(30).PassEnded();
  EXPECT_EQ(times.Summary(), "passes 3 p50 5100 p99 11000 max 11000\ncoin 1000021000\n");
}

}  // namespace
