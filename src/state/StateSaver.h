#pragma once
// The thread that writes the saved state, so that no save holds up the
// screen. It runs turns one at a time: a save of the state as it is when
// its turn comes, or a job (a sale, which saves the state that holds it).
// Saves asked for while another turn runs come to one save after it, of the
// newest state; jobs run in the order submitted.
//
// Threads: any thread asks and submits; the turns run on the saver's own.
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

class StateSaver {
 public:
  using Turn = std::function<void()>;

  // save is the turn that writes the state as it is then.
  explicit StateSaver(Turn save);
  // Runs what waits, then ends the thread.
  ~StateSaver();
  StateSaver(const StateSaver&) = delete;
  StateSaver& operator=(const StateSaver&) = delete;

  void AskSave();
  void Submit(Turn job);
  // Waits until no turn runs or waits: every save asked for and every job
  // submitted before the call has had its turn.
  void Flush();

 private:
  using Lock = std::unique_lock<std::mutex>;

  void Run();
  // The next turn, or none once stopping with nothing left.
  Turn NextTurn();
  void EndTurn();

  const Turn save_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable done_;
  bool saveAsked_ = false;
  bool running_ = false;
  bool stopping_ = false;
  std::deque<Turn> jobs_;
  std::thread thread_;
};
