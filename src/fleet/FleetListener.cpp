#include "fleet/FleetListener.h"

#include <cstdio>
#include <ctime>

namespace fleet {

namespace {

const int kQos = 1;
char* const kSubscriptions[] = {const_cast<char*>("melodeck/+/status"), const_cast<char*>("melodeck/+/events")};

}  // namespace

FleetListener::FleetListener(const BrokerSettings& broker, const std::string& clientId, const std::string& storePath)
    : store_(storePath), link_(broker, clientId, false, MqttLink::Timing{10000, 10000}, *this) {}

FleetListener::~FleetListener() { link_.Stop(); }

bool FleetListener::Start() {
  return store_.Ok() && link_.Start();
}

void FleetListener::LinkUp(mosquitto* mosq) {
  mosquitto_subscribe_multiple(mosq, nullptr, 2, kSubscriptions, kQos, 0, nullptr);
}

void FleetListener::LinkDown() { subscribed_ = false; }

void FleetListener::SubscriptionAnswered() {
  std::puts("Fleet: escuchando a los gabinetes");
  std::fflush(stdout);
  subscribed_ = true;
}

void FleetListener::Received(const mosquitto_message& message) {
  std::string cabinet, kind;
  if (!message.payload || !SplitTopic(message.topic, cabinet, kind)) return;
  const std::string payload(static_cast<const char*>(message.payload), static_cast<size_t>(message.payloadlen));
  if (kind == "events") {
    ++heard_;
    if (store_.AddEvent(cabinet, payload)) ++kept_;
  }
  if (kind == "status") store_.SetStatus(cabinet, payload, static_cast<int64_t>(std::time(nullptr)));
}

}  // namespace fleet
