#include "fleet/Broker.h"

#include <cstdio>
#include <mutex>

#include "config/Configuration.h"
#include "platform/System.h"

namespace fleet {

namespace {

const char* const kTopicRoot = "melodeck/";

// A broker that goes away mid-write must not end the program with SIGPIPE.
void InitialiseLibraryOnce() {
  static std::once_flag once;
  std::call_once(once, [] {
    platform::IgnoreBrokenPipe();
    mosquitto_lib_init();
  });
}

bool Checked(int result, const char* what) {
  if (result == MOSQ_ERR_SUCCESS) return true;
  std::printf("Fleet: %s: %s\n", what, mosquitto_strerror(result));
  return false;
}

}  // namespace

const char* const kOfflineStatus = "offline";

std::string StatusTopic(const std::string& cabinet) { return kTopicRoot + cabinet + "/status"; }
std::string EventsTopic(const std::string& cabinet) { return kTopicRoot + cabinet + "/events"; }

bool SplitTopic(const std::string& topic, std::string& cabinet, std::string& kind) {
  const std::string root = kTopicRoot;
  if (topic.compare(0, root.size(), root) != 0) return false;
  const size_t slash = topic.find('/', root.size());
  if (slash == std::string::npos) return false;
  cabinet = topic.substr(root.size(), slash - root.size());
  kind = topic.substr(slash + 1);
  return IsCabinetName(cabinet);
}

MqttHandle::MqttHandle(const std::string& clientId, bool cleanSession, void* owner) {
  InitialiseLibraryOnce();
  mosq_ = mosquitto_new(clientId.c_str(), cleanSession, owner);
  if (!mosq_) std::puts("Fleet: no se pudo crear el cliente MQTT");
}

MqttHandle::~MqttHandle() { mosquitto_destroy(mosq_); }

bool MqttHandle::Configure(const BrokerSettings& broker) {
  if (!mosq_) return false;
  mosquitto_int_option(mosq_, MOSQ_OPT_PROTOCOL_VERSION, MQTT_PROTOCOL_V311);
  if (!broker.user.empty() &&
      !Checked(mosquitto_username_pw_set(mosq_, broker.user.c_str(),
                                         broker.password.empty() ? nullptr : broker.password.c_str()),
               "usuario"))
    return false;
  if (broker.caFile.empty()) {
    std::puts("Fleet: sin certificado de la autoridad (fleetca) no se conecta");
    return false;
  }
  return Checked(mosquitto_tls_set(mosq_, broker.caFile.c_str(), nullptr, nullptr, nullptr, nullptr), "TLS");
}

}  // namespace fleet
