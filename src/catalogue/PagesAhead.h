#pragma once
// Makes pages ready on a thread of its own, a little ahead of a taker that
// fills memory in address order, so that the taker seldom waits on the
// kernel for fresh pages. Being early is all it does: a page it has not
// reached in time is made on the taker's first touch as usual.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

class PagesAhead {
 public:
  PagesAhead();
  ~PagesAhead();
  PagesAhead(const PagesAhead&) = delete;
  PagesAhead& operator=(const PagesAhead&) = delete;

  // The taker's pages are ready up to at, in a stretch of memory that ends
  // at end: the pages a little further on are to be made ready.
  void Follow(uintptr_t at, uintptr_t end);
  // Whether this thread has made the pages ready up to until, in the
  // stretch last followed.
  bool ReadyUpTo(uintptr_t until) const { return ready_.load(std::memory_order_acquire) >= until; }

 private:
  void Run();
  // The next pages to make ready, [from, to); false once stopped.
  bool NextPages(uintptr_t& from, uintptr_t& to);
  // Records the pages from from to to as ready, unless the taker moved on.
  void Made(uintptr_t from, uintptr_t to);

  std::mutex mutex_;
  std::condition_variable wake_;
  // Behind mutex_: the end of the stretch, how far its pages are ready or
  // taken care of, and how far the taker wants them.
  uintptr_t end_ = 0;
  uintptr_t done_ = 0;
  uintptr_t wanted_ = 0;
  bool stopped_ = false;
  // done_ as far as this thread's own work reached.
  std::atomic<uintptr_t> ready_{0};
  std::thread thread_;
};
