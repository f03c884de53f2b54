#include "fleet/FleetClient.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>

#include "fleet/LedgerOutbox.h"
#include "platform/Clock.h"

namespace fleet {

namespace {

const int kKeepAliveSeconds = 30;
const int kLoopWaitMs = 100;
const uint32_t kFirstRetryMs = 500;
// How long a clean stop waits for "offline" to leave.
const uint32_t kStopFlushMs = 1000;
const int kQos = 1;

int64_t Now() { return static_cast<int64_t>(std::time(nullptr)); }

uint32_t Since(uint32_t ticks) { return platform::Ticks() - ticks; }

}  // namespace

FleetClient::FleetClient(Options options) : options_(std::move(options)) {
  thread_ = std::thread([this] { Run(); });
}

FleetClient::~FleetClient() {
  stop_ = true;
  wake_.notify_all();
  thread_.join();
}

void FleetClient::SetStatus(const CabinetStatus& status) {
  std::lock_guard<std::mutex> lock(statusMutex_);
  status_ = status;
}

void FleetClient::Run() {
  mqtt_ = std::make_unique<MqttHandle>("melodeck-" + options_.cabinet, true, this);
  if (!mqtt_->Configure(options_.broker)) return;
  outbox_ = std::make_unique<LedgerOutbox>(options_.ledgerPath);
  mosquitto* mosq = mqtt_->Get();
  const std::string statusTopic = StatusTopic(options_.cabinet);
  mosquitto_will_set(mosq, statusTopic.c_str(), static_cast<int>(std::char_traits<char>::length(kOfflineStatus)),
                     kOfflineStatus, kQos, true);
  mosquitto_max_inflight_messages_set(mosq, static_cast<unsigned>(options_.window));
  mosquitto_connect_callback_set(mosq, OnConnect);
  mosquitto_disconnect_callback_set(mosq, OnDisconnect);
  mosquitto_publish_callback_set(mosq, OnPublish);
  while (!stop_) {
    if (link_ == Link::kDown) Connect();
    if (link_ == Link::kDown)
      PauseBeforeRetry();
    else
      Serve();
  }
  if (link_ == Link::kUp) PublishOffline();
}

void FleetClient::Connect() {
  const int result = mosquitto_connect_async(mqtt_->Get(), options_.broker.host.c_str(), options_.broker.port,
                                             kKeepAliveSeconds);
  if (result != MOSQ_ERR_SUCCESS) {
    std::printf("Fleet: no se pudo conectar con %s:%d: %s\n", options_.broker.host.c_str(), options_.broker.port,
                mosquitto_strerror(result));
    Backoff();
    return;
  }
  link_ = Link::kConnecting;
  linkChangedAt_ = platform::Ticks();
}

void FleetClient::Serve() {
  if (mosquitto_loop(mqtt_->Get(), kLoopWaitMs, 1) != MOSQ_ERR_SUCCESS) {
    NoteDisconnected();
    return;
  }
  if (link_ == Link::kConnecting && Since(linkChangedAt_) > options_.connectTimeoutMs) {
    std::puts("Fleet: el broker no contesta, se reintenta");
    NoteDisconnected();
    return;
  }
  if (link_ != Link::kUp) return;
  PublishStatusWhenDue();
  PublishRows();
}

void FleetClient::PublishStatusWhenDue() {
  std::optional<CabinetStatus> latest;
  {
    std::lock_guard<std::mutex> lock(statusMutex_);
    latest = status_;
  }
  if (!latest) return;
  const bool changed = published_ != latest;
  if (!changed && !statusDue_ && Since(statusPublishedAt_) < options_.statusRefreshMs) return;
  const int64_t now = Now();
  const int64_t takings = outbox_->CoinCreditsSince(StartOfLocalDay(now));
  const std::string text = DumpJson(StatusMessage(options_.cabinet, *latest, takings, now));
  const std::string topic = StatusTopic(options_.cabinet);
  if (mosquitto_publish(mqtt_->Get(), nullptr, topic.c_str(), static_cast<int>(text.size()), text.data(), kQos,
                        true) != MOSQ_ERR_SUCCESS)
    return;
  published_ = latest;
  statusPublishedAt_ = platform::Ticks();
  statusDue_ = false;
}

void FleetClient::PublishRows() {
  const int room = options_.window - static_cast<int>(inFlight_.size());
  if (room <= 0) return;
  const std::string topic = EventsTopic(options_.cabinet);
  if (lastQueuedSeq_ >= resendUpTo_) resendFrom_ = resendUpTo_ = 0;
  for (LedgerRow& row : outbox_->Unsent(lastQueuedSeq_, room, resendFrom_, resendUpTo_)) {
    row.object["cabinet"] = options_.cabinet;
    const std::string text = DumpJson(row.object);
    int mid = 0;
    if (mosquitto_publish(mqtt_->Get(), &mid, topic.c_str(), static_cast<int>(text.size()), text.data(), kQos,
                          false) != MOSQ_ERR_SUCCESS)
      return;
    inFlight_[mid] = row.seq;
    lastQueuedSeq_ = row.seq;
  }
}

// A clean disconnection leaves no last will, so the stop says it itself.
void FleetClient::PublishOffline() {
  mosquitto* mosq = mqtt_->Get();
  const std::string topic = StatusTopic(options_.cabinet);
  mosquitto_publish(mosq, nullptr, topic.c_str(), static_cast<int>(std::char_traits<char>::length(kOfflineStatus)),
                    kOfflineStatus, kQos, true);
  mosquitto_disconnect(mosq);
  const uint32_t start = platform::Ticks();
  while (Since(start) < kStopFlushMs && mosquitto_loop(mosq, kLoopWaitMs, 1) == MOSQ_ERR_SUCCESS) {
  }
}

void FleetClient::PauseBeforeRetry() {
  std::unique_lock<std::mutex> lock(wakeMutex_);
  wake_.wait_for(lock, std::chrono::milliseconds(retryDelayMs_), [this] { return stop_.load(); });
}

void FleetClient::Backoff() {
  retryDelayMs_ = std::min(options_.longestRetryMs, std::max(kFirstRetryMs, retryDelayMs_ * 2));
}

// What was in flight, and what the broker acknowledged lately, is sent
// again after the next connection.
void FleetClient::NoteDisconnected() {
  if (link_ == Link::kDown) return;
  if (link_ == Link::kUp && !stop_) std::puts("Fleet: se perdio la conexion con el broker");
  Backoff();
  link_ = Link::kDown;
  connected_ = false;
  inFlight_.clear();
  lastQueuedSeq_ = 0;
  ResendRecentAcks();
}

void FleetClient::ResendRecentAcks() {
  ForgetOldAcks();
  for (const auto& ack : recentAcks_) {
    resendFrom_ = resendFrom_ == 0 ? ack.second : std::min(resendFrom_, ack.second);
    resendUpTo_ = std::max(resendUpTo_, ack.second);
  }
  recentAcks_.clear();
}

void FleetClient::NoteAcknowledged(int64_t seq) {
  if (!outbox_->MarkSent(seq)) return;
  ++acknowledged_;
  ForgetOldAcks();
  recentAcks_.emplace_back(platform::Ticks(), seq);
}

void FleetClient::ForgetOldAcks() {
  while (!recentAcks_.empty() && Since(recentAcks_.front().first) > options_.resendAcknowledgedMs)
    recentAcks_.pop_front();
}

void FleetClient::OnConnect(mosquitto*, void* self, int result) {
  auto* client = static_cast<FleetClient*>(self);
  if (result != 0) {
    std::printf("Fleet: el broker rechazo la conexion: %s\n", mosquitto_connack_string(result));
    ++client->refusals_;
    return;
  }
  std::printf("Fleet: conectado a %s:%d\n", client->options_.broker.host.c_str(), client->options_.broker.port);
  client->link_ = Link::kUp;
  client->connected_ = true;
  client->retryDelayMs_ = 0;
  client->statusDue_ = true;
}

void FleetClient::OnDisconnect(mosquitto*, void* self, int) { static_cast<FleetClient*>(self)->NoteDisconnected(); }

void FleetClient::OnPublish(mosquitto*, void* self, int mid) {
  auto* client = static_cast<FleetClient*>(self);
  const auto row = client->inFlight_.find(mid);
  if (row == client->inFlight_.end()) return;
  client->NoteAcknowledged(row->second);
  client->inFlight_.erase(row);
}

}  // namespace fleet
