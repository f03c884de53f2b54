#pragma once
// The cabinet's reports to its operator's broker, when the configuration
// names one: once a second the main loop hands over what the screen shows
// (credits, counters, service state, what plays, the queue), which takes a
// short lock and nothing more.
#include <cstdint>
#include <memory>

#include "fleet/CabinetStatus.h"

class Configuration;
class SDLGui;

namespace fleet {
class FleetClient;
}

class FleetReports {
 public:
  explicit FleetReports(const Configuration& configuration);
  ~FleetReports();
  FleetReports(const FleetReports&) = delete;
  FleetReports& operator=(const FleetReports&) = delete;

  // Main loop: the status, at most once a second.
  void Tick(SDLGui& gui);
  // Says "offline" and ends the reports; before the program exits.
  void Stop();

 private:
  std::unique_ptr<fleet::FleetClient> client_;
  uint32_t lastTick_ = 0;
};

// The cabinet as the GUI holds it now; version is the program's.
fleet::CabinetStatus StatusOf(SDLGui& gui, const char* version);

// The name a cabinet without fleetcabinet goes by: the machine's name made
// fit for a topic, or "melodeck".
std::string DefaultCabinetName();
