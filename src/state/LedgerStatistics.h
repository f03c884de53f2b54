#pragma once
// The operator's figures from the ledger: takings today and since the
// counters were cleared, and the most played tracks. Read on a connection
// of their own, read only, so that any thread may read them while the
// ledger writes.
#include <array>
#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct Takings {
  // Coins per input 1 to 6, and the credits they gave.
  std::array<int64_t, 6> coins{};
  int64_t coinCredits = 0;
  // Credits taken by sales, and given back.
  int64_t sold = 0;
  int64_t paidBack = 0;
};

// Texts are UTF-8, as stored.
struct TrackPlays {
  std::string genre, album, title;
  int64_t plays = 0;
};

struct LedgerStatistics {
  Takings today;
  Takings sinceCleared;
  // Items played (to their end or cut short), most played first.
  std::vector<TrackPlays> mostPlayed;
};

constexpr int kMostPlayedShown = 10;

// The figures of the ledger file, today being the local day of now (Unix
// seconds); none when the file cannot be read, or once cancel (when given)
// is set.
std::optional<LedgerStatistics> ReadStatistics(const std::string& file, int64_t now,
                                               std::atomic<bool>* cancel = nullptr);
