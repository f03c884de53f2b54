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
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>

#include "fleet/Broker.h"
#include "fleet/CabinetStatus.h"

namespace fleet {

class LedgerOutbox;

class FleetClient {
 public:
  struct Options {
    BrokerSettings broker;
    std::string cabinet;
    // Host path of the ledger file.
    std::string ledgerPath = "mldkhub.db";
    // An unchanged status is published again this often, so that the
    // operator sees the cabinet alive and the day's takings move.
    uint32_t statusRefreshMs = 60000;
    // Waits between attempts to connect grow up to this.
    uint32_t longestRetryMs = 30000;
    // A connection that is not up this long after its start is started
    // again (a broker that accepts but never answers).
    uint32_t connectTimeoutMs = 15000;
    int window = 64;
    // Longer than the broker's interval between saves of its state.
    uint32_t resendAcknowledgedMs = 60000;
  };

  explicit FleetClient(Options options);
  // Publishes "offline" when connected, then stops the thread.
  ~FleetClient();
  FleetClient(const FleetClient&) = delete;
  FleetClient& operator=(const FleetClient&) = delete;

  // Main thread: the latest snapshot; published when it differs from the
  // last one.
  void SetStatus(const CabinetStatus& status);

  bool Connected() const { return connected_; }
  // Rows the broker has acknowledged since the start.
  int64_t Acknowledged() const { return acknowledged_; }
  // Connections the broker refused (wrong user or password).
  int Refusals() const { return refusals_; }

 private:
  void Run();
  void Connect();
  void Serve();
  void PublishStatusWhenDue();
  void PublishRows();
  void PublishOffline();
  void PauseBeforeRetry();
  void NoteDisconnected();
  void Backoff();
  void NoteAcknowledged(int64_t seq);
  void ForgetOldAcks();
  void ResendRecentAcks();

  static void OnConnect(mosquitto* mosq, void* self, int result);
  static void OnDisconnect(mosquitto* mosq, void* self, int result);
  static void OnPublish(mosquitto* mosq, void* self, int mid);

  const Options options_;
  std::unique_ptr<MqttHandle> mqtt_;
  std::unique_ptr<LedgerOutbox> outbox_;

  // The main thread's snapshot.
  std::mutex statusMutex_;
  std::optional<CabinetStatus> status_;

  // The thread's own state; the callbacks run on it too.
  enum class Link { kDown, kConnecting, kUp };
  Link link_ = Link::kDown;
  uint32_t linkChangedAt_ = 0;
  uint32_t retryDelayMs_ = 0;
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

  std::atomic<bool> connected_{false};
  std::atomic<int64_t> acknowledged_{0};
  std::atomic<int> refusals_{0};
  std::atomic<bool> stop_{false};
  std::mutex wakeMutex_;
  std::condition_variable wake_;
  std::thread thread_;
};

}  // namespace fleet
