#pragma once
// A stand-in for the disk of the saved state whose writes wait while it is
// held, as a slow SD card's sync: each write is noted, then waits, then goes
// to the real file.
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/Files.h"
#include "state/SavedState.h"

class HeldDisk {
 public:
  // Shared with the writers handed out, which may outlive a test's scope.
  SavedState::Writer Writer() {
    return [state = state_](const std::string& file, const std::string& text) {
      std::unique_lock<std::mutex> lock(state->mutex);
      state->written.push_back(text);
      state->changed.notify_all();
      state->changed.wait(lock, [&] { return !state->held; });
      return platform::WriteFileAtomically(file, text);
    };
  }
  // Waits until count writes have started; false after 10 s without.
  bool WaitForWrites(size_t count) {
    std::unique_lock<std::mutex> lock(state_->mutex);
    return state_->changed.wait_for(lock, std::chrono::seconds(10),
                                    [&] { return state_->written.size() >= count; });
  }
  void Release() {
    const std::lock_guard<std::mutex> lock(state_->mutex);
    state_->held = false;
    state_->changed.notify_all();
  }
  std::vector<std::string> Written() const {
    const std::lock_guard<std::mutex> lock(state_->mutex);
    return state_->written;
  }

 private:
  struct State {
    std::mutex mutex;
    std::condition_variable changed;
    bool held = true;
    std::vector<std::string> written;
  };
  std::shared_ptr<State> state_ = std::make_shared<State>();
};
