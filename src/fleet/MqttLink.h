#pragma once
// A connection to the operator's broker kept up on a thread of its own:
// connects, waits longer between attempts while the broker stays away
// (up to longestRetryMs), starts again a connection that does not come up
// within connectTimeoutMs, and disconnects cleanly on Stop. The library's
// own reconnecting loop gives up for good after a TLS error, which is what
// a broker that crashes mid-stream leaves; this one never does.
//
// Every call of the handler is made on the link's thread.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

#include "fleet/Broker.h"

namespace fleet {

class MqttLink {
 public:
  class Handler {
   public:
    virtual ~Handler() = default;
    // Once, before the first connection: the last will, for one.
    virtual void Prepare(mosquitto*) {}
    virtual void LinkUp(mosquitto*) {}
    virtual void LinkDown() {}
    // Each pass of the thread while the link is up.
    virtual void Work(mosquitto*) {}
    // Before a clean disconnection of a link that is up.
    virtual void Stopping(mosquitto*) {}
    virtual void Published(int) {}
    virtual void Received(const mosquitto_message&) {}
    virtual void SubscriptionAnswered() {}
  };

  struct Timing {
    uint32_t longestRetryMs = 30000;
    uint32_t connectTimeoutMs = 10000;
  };

  MqttLink(const BrokerSettings& broker, const std::string& clientId, bool cleanSession, Timing timing,
           Handler& handler);
  // Stops.
  ~MqttLink();
  MqttLink(const MqttLink&) = delete;
  MqttLink& operator=(const MqttLink&) = delete;

  // Starts the thread; false, with a log line, when the broker's settings
  // were refused (no CA file, for one) and nothing started.
  bool Start();
  // Ends the thread, after a clean disconnection when the link is up.
  void Stop();

  bool Up() const { return up_; }
  // Connections the broker refused (wrong user or password).
  int Refusals() const { return refusals_; }

 private:
  void Run();
  void Connect();
  void Serve();
  bool ConnectionFailed() const;
  void Disconnect();
  void PauseBeforeRetry();
  void Backoff();
  void NoteDown();

  static void OnConnect(mosquitto* mosq, void* self, int result);
  static void OnDisconnect(mosquitto* mosq, void* self, int result);
  static void OnPublish(mosquitto* mosq, void* self, int mid);
  static void OnMessage(mosquitto* mosq, void* self, const mosquitto_message* message);
  static void OnSubscribe(mosquitto* mosq, void* self, int mid, int count, const int* granted);

  const BrokerSettings broker_;
  const Timing timing_;
  Handler& handler_;
  MqttHandle mqtt_;

  // The thread's own.
  enum class State { kDown, kConnecting, kUp };
  State state_ = State::kDown;
  uint32_t connectingSince_ = 0;
  uint32_t retryDelayMs_ = 0;

  std::atomic<bool> up_{false};
  std::atomic<int> refusals_{0};
  std::atomic<bool> stop_{false};
  std::mutex wakeMutex_;
  std::condition_variable wake_;
  std::thread thread_;
};

}  // namespace fleet
