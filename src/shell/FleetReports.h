#pragma once
// The cabinet's reports to its operator's broker, when the configuration
// names one: once a second the main loop hands over what the screen shows
// (credits, counters, service state, what plays, the queue), which takes a
// short lock and nothing more.
#include <cstdint>
#include <memory>
#include <string>

#include "fleet/CabinetStatus.h"

class Configuration;
class MainLibrary;
class Player;
class Queue;
class SDLGui;

namespace fleet {
class FleetClient;
}

class FleetReports {
 public:
  // What plays is read from the library, queue and player the shell made.
  FleetReports(const Configuration& configuration, const MainLibrary& library, Queue& queue, const Player& player);
  ~FleetReports();
  FleetReports(const FleetReports&) = delete;
  FleetReports& operator=(const FleetReports&) = delete;

  // Main loop: the status, at most once a second.
  void Tick(SDLGui& gui);
  // Says "offline" and ends the reports; before the program exits.
  void Stop();

 private:
  fleet::CabinetStatus StatusOf(SDLGui& gui) const;
  std::string Playing() const;

  const MainLibrary& library_;
  Queue& queue_;
  const Player& player_;
  std::unique_ptr<fleet::FleetClient> client_;
  uint32_t lastTick_ = 0;
};

// The name a cabinet without fleetcabinet goes by: the machine's name made
// fit for a topic, or "melodeck".
std::string DefaultCabinetName();
