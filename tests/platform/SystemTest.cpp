#include "platform/System.h"

#include <gtest/gtest.h>

#include <array>

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
