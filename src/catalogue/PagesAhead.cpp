#include "catalogue/PagesAhead.h"

#include <algorithm>
#include <system_error>

#include "platform/Memory.h"

namespace {

// How far ahead of the taker pages are made ready: far enough to stay ahead
// through a busy moment, near enough that a load's last pages unused cost
// little.
constexpr uintptr_t kLead = 1024 * 1024;
// Pages made ready in one call, then reported.
constexpr uintptr_t kStep = 256 * 1024;

}  // namespace

// Without a thread of its own (none could be started) the taker makes its
// pages ready itself, as ReadyUpTo never holds.
PagesAhead::PagesAhead() {
  try {
    thread_ = std::thread(&PagesAhead::Run, this);
  } catch (const std::system_error&) {
  }
}

PagesAhead::~PagesAhead() {
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    stopped_ = true;
  }
  wake_.notify_one();
  if (thread_.joinable()) thread_.join();
}

void PagesAhead::Follow(uintptr_t at, uintptr_t end) {
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    if (end != end_) {
      end_ = end;
      done_ = at;
      ready_.store(at, std::memory_order_release);
    }
    done_ = std::max(done_, at);
    wanted_ = std::min(end, at + kLead);
  }
  wake_.notify_one();
}

void PagesAhead::Run() {
  uintptr_t from = 0;
  uintptr_t to = 0;
  while (NextPages(from, to)) {
    platform::PreparePages(reinterpret_cast<void*>(from), to - from);
    Made(from, to);
  }
}

bool PagesAhead::NextPages(uintptr_t& from, uintptr_t& to) {
  std::unique_lock<std::mutex> lock(mutex_);
  wake_.wait(lock, [this] { return stopped_ || done_ < wanted_; });
  if (stopped_) return false;
  from = done_;
  to = std::min(wanted_, from + kStep);
  return true;
}

void PagesAhead::Made(uintptr_t from, uintptr_t to) {
  const std::lock_guard<std::mutex> lock(mutex_);
  if (done_ != from) return;
  done_ = to;
  ready_.store(to, std::memory_order_release);
}
