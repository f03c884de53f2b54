#pragma once
// What both ends of the fleet share about the operator's MQTT broker: where
// it is, how to prove who we are, and the topics.
#include <mosquitto.h>

#include <string>

namespace fleet {

// Host text (UTF-8) throughout.
struct BrokerSettings {
  std::string host;
  int port = 8883;
  std::string user;
  std::string password;
  // The operator's certificate authority. The connection is always TLS: the
  // password never crosses the network in clear.
  std::string caFile;
};

// "melodeck/<cabinet>/status" and "melodeck/<cabinet>/events".
std::string StatusTopic(const std::string& cabinet);
std::string EventsTopic(const std::string& cabinet);
// The cabinet and the last level of a fleet topic; false for any other.
bool SplitTopic(const std::string& topic, std::string& cabinet, std::string& kind);

// The retained status a cabinet's last will leaves, and one that stops
// cleanly.
extern const char* const kOfflineStatus;

// One libmosquitto client handle with the broker's credentials and CA set.
class MqttHandle {
 public:
  MqttHandle(const std::string& clientId, bool cleanSession, void* owner);
  ~MqttHandle();
  MqttHandle(const MqttHandle&) = delete;
  MqttHandle& operator=(const MqttHandle&) = delete;

  // False, with a log line, without a CA or when the library refused a
  // setting.
  bool Configure(const BrokerSettings& broker);
  mosquitto* Get() const { return mosq_; }

 private:
  mosquitto* mosq_ = nullptr;
};

}  // namespace fleet
