#include "shell/FleetReports.h"

#include <cstdio>

#include "catalogue/MainLibrary.h"
#include "config/Configuration.h"
#include "fleet/FleetClient.h"
#include "gui/SDLGui.h"
#include "platform/Clock.h"
#include "platform/Paths.h"
#include "platform/System.h"
#include "playback/Player.h"

namespace {

const char* const kLedgerFile = "mldkhub.db";
const uint32_t kStatusEveryMs = 1000;
const size_t kLongestName = 64;

std::string HostText(const RString& text) { return platform::ToHostText(text.Chars()); }

fleet::FleetClient::Options OptionsOf(const Configuration& configuration) {
  fleet::FleetClient::Options options;
  options.broker = {HostText(configuration.fleethost), configuration.fleetport, HostText(configuration.fleetuser),
                    HostText(configuration.fleetpassword), platform::ToHostPath(configuration.fleetca.Chars())};
  options.cabinet =
      configuration.fleetcabinet.GetLength() ? configuration.fleetcabinet.Chars() : DefaultCabinetName();
  options.ledgerPath = platform::ToHostPath(kLedgerFile);
  return options;
}

const char* ServiceState(SDLGui& gui) {
  if (gui.Money().SaveFailing()) return "save failing";
  if (gui.Service().NeedsService()) return "failed plays";
  return "ok";
}

}  // namespace

FleetReports::FleetReports(const Configuration& configuration, const MainLibrary& library, Queue& queue,
                           const Player& player)
    : library_(library), queue_(queue), player_(player) {
  if (configuration.fleethost.GetLength() == 0) return;
  fleet::FleetClient::Options options = OptionsOf(configuration);
  std::printf("Fleet: informes como %s a %s:%d\n", options.cabinet.c_str(), options.broker.host.c_str(),
              options.broker.port);
  client_ = std::make_unique<fleet::FleetClient>(std::move(options));
}

FleetReports::~FleetReports() = default;

void FleetReports::Tick(SDLGui& gui) {
  if (!client_ || platform::Ticks() - lastTick_ < kStatusEveryMs) return;
  lastTick_ = platform::Ticks();
  client_->SetStatus(StatusOf(gui));
}

void FleetReports::Stop() { client_.reset(); }

std::string FleetReports::Playing() const {
  if (!player_.playing) return "";
  const std::optional<QueueElement> head = queue_.GetElementFromQueue(0);
  if (!head) return "";
  return HostText(library_.GetGenreName(head->genre) + "/" + library_.GetDiscTitle(head->genre, head->disc) + "/" +
                  library_.GetTrackTitle(head->genre, head->disc, head->track));
}

fleet::CabinetStatus FleetReports::StatusOf(SDLGui& gui) const {
  fleet::CabinetStatus status;
  status.version = MELODECK_VERSION;
  const Cashbox& money = gui.Money();
  status.cabinetCredits = money.Credits();
  for (size_t input = 0; input < status.coins.size(); ++input)
    status.coins[input] = money.CoinCount(static_cast<int>(input) + 1);
  status.service = ServiceState(gui);
  status.playing = Playing();
  status.queueLength = queue_.Count();
  return status;
}

std::string DefaultCabinetName() {
  std::string name = platform::HostName().substr(0, kLongestName);
  for (char& c : name)
    if (!IsCabinetName(std::string(1, c))) c = '-';
  return name.empty() ? "melodeck" : name;
}
