#include "fleet/CabinetStatus.h"

#include <tuple>

namespace fleet {

bool CabinetStatus::operator==(const CabinetStatus& other) const {
  const auto fields = [](const CabinetStatus& s) {
    return std::tie(s.version, s.cabinetCredits, s.coins, s.service, s.playing, s.queueLength);
  };
  return fields(*this) == fields(other);
}

nlohmann::json StatusMessage(const std::string& cabinet, const CabinetStatus& status, int64_t takingsToday,
                             int64_t now) {
  return {{"cabinet", cabinet},       {"state", "online"},          {"at", now},
          {"version", status.version}, {"takings_today", takingsToday}, {"coins", status.coins},
          {"credits", status.cabinetCredits}, {"service", status.service},    {"playing", status.playing},
          {"queue", status.queueLength}};
}

}  // namespace fleet
