#include "base/Numbers.h"

#include <limits>

std::optional<int64_t> ParseInteger(const char* text, int64_t min, int64_t max) {
  if (text == nullptr) return std::nullopt;
  const bool negative = *text == '-';
  const char* digit = negative ? text + 1 : text;
  if (*digit == '\0') return std::nullopt;
  // Accumulated as a negative number, which also holds the lowest int64_t.
  int64_t value = 0;
  for (; *digit != '\0'; ++digit) {
    if (*digit < '0' || *digit > '9') return std::nullopt;
    if (value < (std::numeric_limits<int64_t>::min() + (*digit - '0')) / 10) return std::nullopt;
    value = value * 10 - (*digit - '0');
  }
  if (!negative) {
    if (value == std::numeric_limits<int64_t>::min()) return std::nullopt;
    value = -value;
  }
  if (value < min || value > max) return std::nullopt;
  return value;
}

bool AddSaturating(int32_t& a, int64_t b) {
  constexpr int64_t kLowest = std::numeric_limits<int32_t>::min();
  constexpr int64_t kHighest = std::numeric_limits<int32_t>::max();
  int64_t sum = static_cast<int64_t>(a);
  const bool held = b > kHighest - sum || b < kLowest - sum;
  sum = held ? (b > 0 ? kHighest : kLowest) : sum + b;
  a = static_cast<int32_t>(sum);
  return held;
}
