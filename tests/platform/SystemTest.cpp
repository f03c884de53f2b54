#include "platform/System.h"

#include <gtest/gtest.h>

#include <array>
#include <set>

// Codes drawn in the same millisecond differ, and every digit turns up in
// every place.
TEST(System, RandomDigitsAreDigitsThatDoNotRepeatWithTheClock) {
  std::set<std::string> codes;
  std::array<std::array<int, 10>, 4> seen{};
  for (int i = 0; i < 2000; ++i) {
    const std::string code = platform::RandomDigits(4);
    ASSERT_EQ(code.size(), 4u);
    for (size_t place = 0; place < code.size(); ++place) {
      ASSERT_TRUE(code[place] >= '0' && code[place] <= '9') << code;
      ++seen[place][code[place] - '0'];
    }
    codes.insert(code);
  }
  EXPECT_GT(codes.size(), 1500u);
  for (const auto& place : seen)
    for (int count : place) EXPECT_GT(count, 100);
}
