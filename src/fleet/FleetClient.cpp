#include "fleet/FleetClient.h"

#include <algorithm>
#include <ctime>

#include "fleet/LedgerOutbox.h"
#include "platform/Clock.h"

namespace fleet {

namespace {

const int kQos = 1;

int64_t Now() { return static_cast<int64_t>(std::time(nullptr)); }

uint32_t Since(uint32_t ticks) { return platform::Ticks() - ticks; }

// A retained message at QoS 1; false when the library would not queue it.
bool Publish(mosquitto* mosq, int* mid, const std::string& topic, const std::string& text, bool retain) {
  return mosquitto_publish(mosq, mid, topic.c_str(), static_cast<int>(text.size()), text.data(), kQos, retain) ==
         MOSQ_ERR_SUCCESS;
}

}  // namespace

FleetClient::FleetClient(Options options)
    : options_(std::move(options)),
      statusTopic_(StatusTopic(options_.cabinet)),
      eventsTopic_(EventsTopic(options_.cabinet)),
      link_(options_.broker, "melodeck-" + options_.cabinet, true, options_.timing, *this) {
  link_.Start();
}

FleetClient::~FleetClient() { link_.Stop(); }

void FleetClient::SetStatus(const CabinetStatus& status) {
  std::lock_guard<std::mutex> lock(statusMutex_);
  status_ = status;
}

// The ledger file is opened on the link's thread: a file another writer
// holds never delays the caller.
void FleetClient::Prepare(mosquitto* mosq) {
  outbox_ = std::make_unique<LedgerOutbox>(options_.ledgerPath);
  mosquitto_will_set(mosq, statusTopic_.c_str(), static_cast<int>(std::char_traits<char>::length(kOfflineStatus)),
                     kOfflineStatus, kQos, true);
  mosquitto_max_inflight_messages_set(mosq, static_cast<unsigned>(options_.window));
}

void FleetClient::LinkUp(mosquitto*) { statusDue_ = true; }

// What was in flight, and what the broker acknowledged lately, is sent
// again after the next connection.
void FleetClient::LinkDown() {
  inFlight_.clear();
  lastQueuedSeq_ = 0;
  ResendRecentAcks();
}

void FleetClient::Work(mosquitto* mosq) {
  PublishStatusWhenDue(mosq);
  PublishRows(mosq);
}

// A clean disconnection leaves no last will, so the stop says it itself.
void FleetClient::Stopping(mosquitto* mosq) { Publish(mosq, nullptr, statusTopic_, kOfflineStatus, true); }

void FleetClient::Published(int mid) {
  const auto row = inFlight_.find(mid);
  if (row == inFlight_.end()) return;
  NoteAcknowledged(row->second);
  inFlight_.erase(row);
}

void FleetClient::PublishStatusWhenDue(mosquitto* mosq) {
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
  if (!Publish(mosq, nullptr, statusTopic_, DumpJson(StatusMessage(options_.cabinet, *latest, takings, now)), true))
    return;
  published_ = latest;
  statusPublishedAt_ = platform::Ticks();
  statusDue_ = false;
}

void FleetClient::PublishRows(mosquitto* mosq) {
  const int room = options_.window - static_cast<int>(inFlight_.size());
  if (room <= 0) return;
  if (lastQueuedSeq_ >= resendUpTo_) resendFrom_ = resendUpTo_ = 0;
  for (LedgerRow& row : outbox_->Unsent(lastQueuedSeq_, room, resendFrom_, resendUpTo_)) {
    row.object["cabinet"] = options_.cabinet;
    int mid = 0;
    if (!Publish(mosq, &mid, eventsTopic_, DumpJson(row.object), false)) return;
    inFlight_[mid] = row.seq;
    lastQueuedSeq_ = row.seq;
  }
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

void FleetClient::ResendRecentAcks() {
  ForgetOldAcks();
  for (const auto& ack : recentAcks_) {
    resendFrom_ = resendFrom_ == 0 ? ack.second : std::min(resendFrom_, ack.second);
    resendUpTo_ = std::max(resendUpTo_, ack.second);
  }
  recentAcks_.clear();
}

}  // namespace fleet
