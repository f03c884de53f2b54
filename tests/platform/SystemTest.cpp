#include "platform/System.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

// Codes drawn in the same millisecond differ: every digit turns up in
// every place.
TEST(System, RandomDigitsAreEvenlySpreadDigits) {
  std::array<std::array<int, 10>, 4> seen{};
  for (int i = 0; i < 2000; ++i) {
    const std::string code = platform::RandomDigits(4);
    ASSERT_EQ(code.find_first_not_of("0123456789"), std::string::npos);
    for (size_t place = 0; place < 4; ++place) ++seen.at(place).at(code.at(place) - '0');
  }
  for (const auto& place : seen)
    for (int count : place) EXPECT_GT(count, 100);
}

using platform::Monitor;
using platform::PrimaryMonitor;

// The monitor choice on the window system's answers: an Xvfb screen has a
// single monitor, so two-monitor cabinets are described here as data.
TEST(PrimaryMonitor, ChosenByMarkThenOriginThenOrder) {
  const Monitor tv{1366, 0, 1024, 768, false};
  const Monitor panel{0, 0, 1366, 768, false};
  const Monitor marked{1024, 0, 1920, 1080, true};
  const struct {
    const char* cabinet;
    std::vector<Monitor> monitors;
    int expectedWidth;  // 0: none
  } cases[] = {
      {"no monitor reported", {}, 0},
      {"single monitor", {panel}, 1366},
      {"TV right of the panel", {tv, panel}, 1366},
      {"primary marked", {tv, panel, marked}, 1920},
      {"none at the origin", {tv}, 1024},
  };
  for (const auto& item : cases) {
    SCOPED_TRACE(item.cabinet);
    const Monitor* primary = PrimaryMonitor(item.monitors);
    EXPECT_EQ(primary ? primary->width : 0, item.expectedWidth);
  }
}

// The TV-out area is drawn right of the jukebox's screen.
TEST(PrimaryMonitor, TvRoomOnlyWhereAMonitorBeginsAtItsRightEdge) {
  const Monitor panel{1024, 0, 1366, 768, true};
  const struct {
    Monitor tv;
    bool expected;
  } cases[] = {
      {{2390, 0, 1024, 768, false}, true}, {{0, 0, 1024, 768, false}, false},
      {{1024, 768, 1024, 768, false}, false}, {{2390, 100, 1024, 768, false}, false}};
  for (const auto& item : cases)
    EXPECT_EQ(platform::HasMonitorRightOf({panel, item.tv}, panel), item.expected) << item.tv.x << "," << item.tv.y;
}
