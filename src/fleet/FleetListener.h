#pragma once
// The operator's subscriber: every cabinet's status and events into a
// FleetStore, on the link's thread. Its session outlives a disconnection (a
// fixed client id, not clean), so a broker that keeps sessions holds the
// events sent meanwhile.
#include <atomic>
#include <cstdint>
#include <string>

#include "fleet/FleetStore.h"
#include "fleet/MqttLink.h"

namespace fleet {

class FleetListener : private MqttLink::Handler {
 public:
  // storePath: host path of the operator's file.
  FleetListener(const BrokerSettings& broker, const std::string& clientId, const std::string& storePath);
  ~FleetListener() override;
  FleetListener(const FleetListener&) = delete;
  FleetListener& operator=(const FleetListener&) = delete;

  // Starts listening; false, with a log line, when the file or the broker's
  // settings cannot be used.
  bool Start();
  bool Subscribed() const { return subscribed_; }
  // Events heard, and those kept: the rest were copies of kept ones (or
  // malformed).
  int64_t EventsHeard() const { return heard_; }
  int64_t EventsKept() const { return kept_; }

 private:
  void LinkUp(mosquitto* mosq) override;
  void LinkDown() override;
  void Received(const mosquitto_message& message) override;
  void SubscriptionAnswered() override;

  FleetStore store_;
  std::atomic<bool> subscribed_{false};
  std::atomic<int64_t> heard_{0};
  std::atomic<int64_t> kept_{0};
  MqttLink link_;
};

}  // namespace fleet
