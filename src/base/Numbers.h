#pragma once
// Numbers read from files and kept in range: a number is read whole or not
// at all ("5-3" and "12abc" are no numbers), and sums stop at their limit
// instead of wrapping.
#include <cstdint>
#include <optional>

// A decimal integer: an optional "-", then digits only, between min and max;
// none otherwise (the empty text included).
std::optional<int64_t> ParseInteger(const char* text, int64_t min, int64_t max);

// a + b, held within the range of int32_t; whether it had to be held.
bool AddSaturating(int32_t& a, int64_t b);
