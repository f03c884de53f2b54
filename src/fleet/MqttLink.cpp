#include "fleet/MqttLink.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

#include "platform/Clock.h"
#include "platform/System.h"

namespace fleet {

namespace {

const int kKeepAliveSeconds = 30;
const int kLoopWaitMs = 100;
const uint32_t kFirstRetryMs = 500;
// How long a clean stop waits for what is queued to leave.
const uint32_t kStopFlushMs = 1000;

uint32_t Since(uint32_t ticks) { return platform::Ticks() - ticks; }

}  // namespace

MqttLink::MqttLink(const BrokerSettings& broker, const std::string& clientId, bool cleanSession, Timing timing,
                   Handler& handler)
    : broker_(broker), timing_(timing), handler_(handler), mqtt_(clientId, cleanSession, this) {}

MqttLink::~MqttLink() { Stop(); }

bool MqttLink::Start() {
  if (thread_.joinable()) return true;
  if (!mqtt_.Configure(broker_)) return false;
  thread_ = std::thread([this] { Run(); });
  return true;
}

void MqttLink::Stop() {
  stop_ = true;
  wake_.notify_all();
  if (thread_.joinable()) thread_.join();
}

void MqttLink::Run() {
  mosquitto* mosq = mqtt_.Get();
  mosquitto_connect_callback_set(mosq, OnConnect);
  mosquitto_disconnect_callback_set(mosq, OnDisconnect);
  mosquitto_publish_callback_set(mosq, OnPublish);
  mosquitto_message_callback_set(mosq, OnMessage);
  mosquitto_subscribe_callback_set(mosq, OnSubscribe);
  handler_.Prepare(mosq);
  // Every failed attempt, whether the library refuses it at once or the
  // connection fails later, waits its back-off before the next: a broker
  // that refuses at once would otherwise keep this thread spinning.
  while (!stop_) {
    if (state_ != State::kDown) {
      Serve();
      continue;
    }
    PauseBeforeRetry();
    if (!stop_) Connect();
  }
  if (state_ == State::kUp) Disconnect();
}

void MqttLink::Connect() {
  const int result = mosquitto_connect_async(mqtt_.Get(), broker_.host.c_str(), broker_.port, kKeepAliveSeconds);
  if (result != MOSQ_ERR_SUCCESS) {
    std::printf("Fleet: no se pudo conectar con %s:%d: %s\n", broker_.host.c_str(), broker_.port,
                mosquitto_strerror(result));
    Backoff();
    return;
  }
  state_ = State::kConnecting;
  connectingSince_ = platform::Ticks();
}

void MqttLink::Serve() {
  if (mosquitto_loop(mqtt_.Get(), kLoopWaitMs, 1) != MOSQ_ERR_SUCCESS) {
    NoteDown();
    return;
  }
  if (state_ == State::kConnecting && ConnectionFailed()) {
    NoteDown();
    return;
  }
  if (state_ == State::kUp) handler_.Work(mqtt_.Get());
}

// The library does not always tell of a refused connection made in the
// background, and nothing tells of a broker that never answers.
bool MqttLink::ConnectionFailed() const {
  const int socket = mosquitto_socket(mqtt_.Get());
  if (socket < 0 || platform::SocketClosed(socket)) return true;
  if (Since(connectingSince_) <= timing_.connectTimeoutMs) return false;
  std::puts("Fleet: el broker no contesta, se reintenta");
  return true;
}

void MqttLink::Disconnect() {
  mosquitto* mosq = mqtt_.Get();
  handler_.Stopping(mosq);
  mosquitto_disconnect(mosq);
  const uint32_t start = platform::Ticks();
  while (Since(start) < kStopFlushMs && mosquitto_loop(mosq, kLoopWaitMs, 1) == MOSQ_ERR_SUCCESS) {
  }
}

void MqttLink::PauseBeforeRetry() {
  std::unique_lock<std::mutex> lock(wakeMutex_);
  wake_.wait_for(lock, std::chrono::milliseconds(retryDelayMs_), [this] { return stop_.load(); });
}

void MqttLink::Backoff() {
  retryDelayMs_ = std::min(timing_.longestRetryMs, std::max(kFirstRetryMs, retryDelayMs_ * 2));
}

void MqttLink::NoteDown() {
  if (state_ == State::kDown) return;
  if (state_ == State::kUp && !stop_) std::puts("Fleet: se perdio la conexion con el broker");
  const bool wasUp = state_ == State::kUp;
  Backoff();
  state_ = State::kDown;
  up_ = false;
  if (wasUp) handler_.LinkDown();
}

void MqttLink::OnConnect(mosquitto* mosq, void* self, int result) {
  auto* link = static_cast<MqttLink*>(self);
  if (result != 0) {
    std::printf("Fleet: el broker rechazo la conexion: %s\n", mosquitto_connack_string(result));
    ++link->refusals_;
    return;
  }
  std::printf("Fleet: conectado a %s:%d\n", link->broker_.host.c_str(), link->broker_.port);
  link->state_ = State::kUp;
  link->up_ = true;
  link->retryDelayMs_ = 0;
  link->handler_.LinkUp(mosq);
}

void MqttLink::OnDisconnect(mosquitto*, void* self, int) { static_cast<MqttLink*>(self)->NoteDown(); }

void MqttLink::OnPublish(mosquitto*, void* self, int mid) { static_cast<MqttLink*>(self)->handler_.Published(mid); }

void MqttLink::OnMessage(mosquitto*, void* self, const mosquitto_message* message) {
  if (message) static_cast<MqttLink*>(self)->handler_.Received(*message);
}

void MqttLink::OnSubscribe(mosquitto*, void* self, int, int, const int*) {
  static_cast<MqttLink*>(self)->handler_.SubscriptionAnswered();
}

}  // namespace fleet
