#include "fleet/FleetListener.h"

#include <cstdio>
#include <ctime>

namespace fleet {

namespace {

const int kKeepAliveSeconds = 30;
const int kQos = 1;
char* const kSubscriptions[] = {const_cast<char*>("melodeck/+/status"), const_cast<char*>("melodeck/+/events")};

}  // namespace

FleetListener::FleetListener(const BrokerSettings& broker, const std::string& clientId, const std::string& storePath)
    : broker_(broker), store_(storePath), mqtt_(clientId, false, this) {}

FleetListener::~FleetListener() {
  if (!started_) return;
  mosquitto_disconnect(mqtt_.Get());
  mosquitto_loop_stop(mqtt_.Get(), false);
}

bool FleetListener::Start() {
  if (!store_.Ok() || !mqtt_.Configure(broker_)) return false;
  mosquitto* mosq = mqtt_.Get();
  mosquitto_connect_callback_set(mosq, OnConnect);
  mosquitto_disconnect_callback_set(mosq, OnDisconnect);
  mosquitto_subscribe_callback_set(mosq, OnSubscribe);
  mosquitto_message_callback_set(mosq, OnMessage);
  mosquitto_reconnect_delay_set(mosq, 1, 10, true);
  const int result = mosquitto_connect_async(mosq, broker_.host.c_str(), broker_.port, kKeepAliveSeconds);
  if (result != MOSQ_ERR_SUCCESS)
    std::printf("Fleet: no se pudo conectar con %s:%d: %s; se reintenta\n", broker_.host.c_str(), broker_.port,
                mosquitto_strerror(result));
  started_ = mosquitto_loop_start(mosq) == MOSQ_ERR_SUCCESS;
  return started_;
}

void FleetListener::OnConnect(mosquitto* mosq, void*, int result) {
  if (result != 0) {
    std::printf("Fleet: el broker rechazo la conexion: %s\n", mosquitto_connack_string(result));
    return;
  }
  mosquitto_subscribe_multiple(mosq, nullptr, 2, kSubscriptions, kQos, 0, nullptr);
}

void FleetListener::OnDisconnect(mosquitto*, void* self, int) {
  static_cast<FleetListener*>(self)->subscribed_ = false;
}

void FleetListener::OnSubscribe(mosquitto*, void* self, int, int, const int*) {
  static_cast<FleetListener*>(self)->subscribed_ = true;
}

void FleetListener::OnMessage(mosquitto*, void* self, const mosquitto_message* message) {
  auto* listener = static_cast<FleetListener*>(self);
  std::string cabinet, kind;
  if (!SplitTopic(message->topic, cabinet, kind) || !message->payload) return;
  const std::string payload(static_cast<const char*>(message->payload), static_cast<size_t>(message->payloadlen));
  if (kind == "events") {
    ++listener->heard_;
    if (listener->store_.AddEvent(cabinet, payload)) ++listener->kept_;
  }
  if (kind == "status") listener->store_.SetStatus(cabinet, payload, static_cast<int64_t>(std::time(nullptr)));
}

}  // namespace fleet
