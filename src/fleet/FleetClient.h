#pragma once
// The cabinet's reporter: on a thread of its own it keeps a connection to
// the operator's broker, publishes the retained status and every ledger row,
// and leaves "offline" behind as its last will. The main thread only hands
// it status snapshots, which takes one short lock: a slow or missing network
// never holds up a coin, a key or a purchase. It subscribes to nothing, so
// nothing the broker sends can change credits or run anything.
//
// A row is acknowledged in the ledger file only once the broker has
// acknowledged its message; after a reconnection every row not yet
// acknowledged is sent again, and so are those the broker acknowledged
// within `resendAcknowledgedMs` before the link went down, which a broker
// that crashed may have lost with its last unsaved seconds. The row's
// sequence number lets the operator's side ignore a second copy. At most
// `window` rows are unacknowledged at a time.
#include <atomic>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>

#include "fleet/CabinetStatus.h"
#include "fleet/MqttLink.h"

namespace fleet {

class LedgerOutbox;

class FleetClient : private MqttLink::Handler {
 public:
  struct Options {
    BrokerSettings broker;
    std::string cabinet;
    // Host path of the ledger file.
    std::string ledgerPath = "mldkhub.db";
    // An unchanged status is published again this often, so that the
    // operator sees the cabinet alive and the day's takings move.
    uint32_t statusRefreshMs = 60000;
    MqttLink::Timing timing;
    int window = 64;
    // Longer than the broker's interval between saves of its state.
    uint32_t resendAcknowledgedMs = 60000;
  };

  explicit FleetClient(Options options);
  // Publishes "offline" when connected, then stops the thread.
  ~FleetClient() override;
  FleetClient(const FleetClient&) = delete;
  FleetClient& operator=(const FleetClient&) = delete;

  // Main thread: the latest snapshot; published when it differs from the
  // last one.
  void SetStatus(const CabinetStatus& status);

  bool Connected() const { return link_.Up(); }
  int Refusals() const { return link_.Refusals(); }
  // Rows the broker has acknowledged since the start.
  int64_t Acknowledged() const { return acknowledged_; }

 private:
  void Prepare(mosquitto* mosq) override;
  void LinkUp(mosquitto* mosq) override;
  void LinkDown() override;
  void Work(mosquitto* mosq) override;
  void Stopping(mosquitto* mosq) override;
  void Published(int mid) override;

  void PublishStatusWhenDue(mosquitto* mosq);
  void PublishRows(mosquitto* mosq);
  void NoteAcknowledged(int64_t seq);
  void ForgetOldAcks();
  void ResendRecentAcks();

  const Options options_;
  const std::string statusTopic_, eventsTopic_;
  std::unique_ptr<LedgerOutbox> outbox_;

  // The main thread's snapshot.
  std::mutex statusMutex_;
  std::optional<CabinetStatus> status_;

  // The link thread's own.
  std::optional<CabinetStatus> published_;
  uint32_t statusPublishedAt_ = 0;
  bool statusDue_ = true;
  // Message id -> ledger seq of the rows awaiting the broker.
  std::map<int, int64_t> inFlight_;
  int64_t lastQueuedSeq_ = 0;
  // When the broker acknowledged which row, within resendAcknowledgedMs;
  // and after a reconnection the rows to send again, from and up to.
  std::deque<std::pair<uint32_t, int64_t>> recentAcks_;
  int64_t resendFrom_ = 0, resendUpTo_ = 0;

  std::atomic<int64_t> acknowledged_{0};
  MqttLink link_;
};

}  // namespace fleet
