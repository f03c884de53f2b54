#pragma once
// The operator menu's "Estadisticas": today's takings, the takings since
// the counters were cleared and the ten most played tracks, from the
// ledger. The figures are read on a thread of their own, so that the
// screen, and the coins, never wait for the file.
#include <SDL.h>

#include <atomic>
#include <cstdint>
#include <future>
#include <optional>
#include <string>
#include <vector>

#include "base/RString.h"
#include "state/LedgerStatistics.h"

class SDL_TTFWriter;

class StatisticsScreen {
 public:
  // Starts reading the ledger file's figures as of now (Unix seconds).
  StatisticsScreen(const std::string& ledgerFile, int64_t now);
  // A reading still going is cut short: leaving never waits for it.
  ~StatisticsScreen();
  StatisticsScreen(const StatisticsScreen&) = delete;
  StatisticsScreen& operator=(const StatisticsScreen&) = delete;

  // Whether the reading ended, with figures or without.
  bool Ready();
  // The lines shown, as internal text: a wait note until Ready.
  std::vector<RString> Lines();
  // The lines on a box in the middle of target; the box.
  SDL_Rect Draw(SDL_Surface* target, SDL_TTFWriter& font);

 private:
  // Outlives the reading, which it may cut short.
  std::atomic<bool> cancel_{false};
  std::future<std::optional<LedgerStatistics>> reading_;
  std::optional<std::optional<LedgerStatistics>> read_;
};
