#pragma once
// The operator's subscriber: every cabinet's status and events into a
// FleetStore, on libmosquitto's own thread, which also reconnects. Its
// session outlives a disconnection (a fixed client id, not clean), so a
// broker that keeps sessions holds the events sent meanwhile.
#include <atomic>
#include <memory>
#include <string>

#include "fleet/Broker.h"
#include "fleet/FleetStore.h"

namespace fleet {

class FleetListener {
 public:
  // storePath: host path of the operator's file.
  FleetListener(const BrokerSettings& broker, const std::string& clientId, const std::string& storePath);
  ~FleetListener();
  FleetListener(const FleetListener&) = delete;
  FleetListener& operator=(const FleetListener&) = delete;

  // Starts connecting; false, with a log line, when it cannot even start.
  bool Start();
  bool Subscribed() const { return subscribed_; }
  // Events heard, and those kept: the rest were copies of kept ones (or
  // malformed).
  int64_t EventsHeard() const { return heard_; }
  int64_t EventsKept() const { return kept_; }

 private:
  static void OnConnect(mosquitto* mosq, void* self, int result);
  static void OnDisconnect(mosquitto* mosq, void* self, int result);
  static void OnSubscribe(mosquitto* mosq, void* self, int mid, int count, const int* granted);
  static void OnMessage(mosquitto* mosq, void* self, const mosquitto_message* message);

  BrokerSettings broker_;
  FleetStore store_;
  MqttHandle mqtt_;
  bool started_ = false;
  std::atomic<bool> subscribed_{false};
  std::atomic<int64_t> heard_{0};
  std::atomic<int64_t> kept_{0};
};

}  // namespace fleet
