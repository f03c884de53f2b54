#pragma once
// What a cabinet tells its operator about itself, as the main thread sees it
// at one moment. Host text (UTF-8) throughout.
#include <array>
#include <cstdint>
#include <string>

#include <nlohmann/json.hpp>

namespace fleet {

struct CabinetStatus {
  std::string version;
  // The customer's credits on the cabinet; only reported, never changed.
  int32_t cabinetCredits = 0;
  // Coins counted on inputs 1 to 6.
  std::array<int32_t, 6> coins{};
  // "ok", or what needs the operator.
  std::string service = "ok";
  // "genre/album/title" of the item playing; empty when none plays.
  std::string playing;
  int queueLength = 0;

  bool operator==(const CabinetStatus& other) const;
  bool operator!=(const CabinetStatus& other) const { return !(*this == other); }
};

// The retained status message: the snapshot, the day's takings from the
// ledger and the time it was made (Unix seconds).
nlohmann::json StatusMessage(const std::string& cabinet, const CabinetStatus& status, int64_t takingsToday,
                             int64_t now);

}  // namespace fleet
