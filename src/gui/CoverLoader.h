#pragma once
// Covers read from their thumbnails, or decoded, scaled and stored as
// thumbnails, on a worker thread, so that a large scan never holds the main
// loop. Each pass the main loop says which covers it wants, most wanted
// first, and takes what is finished; it never waits. The worker serves the
// wants in that order, so the newest list goes first, a cover no longer
// wanted is not started and, when it was, not handed over. With nothing
// wanted it deletes the thumbnails that no cover at a size in use reads.
//
// The surfaces it makes are software ones and belong to the worker until
// handed over. The thread is started through SDL, which gives it an error
// text of its own (the decoders report through it) and keeps the signals
// for the main thread.
#include <SDL.h>
#include <SDL_thread.h>

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "gui/CoverThumbnails.h"
#include "gui/Surface.h"

class CoverLoader {
 public:
  // A cover file (internal path) at a size.
  struct Cover {
    std::string path;
    int width = 0;
    int height = 0;
    bool operator==(const Cover& other) const {
      return path == other.path && width == other.width && height == other.height;
    }
  };
  struct Finished {
    Cover cover;
    // Null when the file cannot be read or decoded.
    Surface image;
    // What to log about it (CoverThumbnails::Get).
    std::string log;
  };

  CoverLoader() = default;
  CoverLoader(const CoverLoader&) = delete;
  CoverLoader& operator=(const CoverLoader&) = delete;
  ~CoverLoader() { Stop(); }

  // The covers wanted now, most wanted first, in place of those before.
  void Want(const std::vector<Cover>& covers);
  // The first finished cover that is still wanted; false when there is none.
  bool TakeFinished(Finished& finished);
  // The thumbnails to keep; the others are deleted when nothing is wanted.
  void Tidy(std::shared_ptr<const CoverThumbnails::InUse> inUse);
  // Nothing is wanted, finished or left to tidy.
  bool Idle() const;
  // Waits until a cover is finished or the loader is idle, for at most
  // timeoutMs; whether it came to that. For callers that drive the main
  // loop's step themselves (tests, measurements).
  bool AwaitProgress(uint32_t timeoutMs);
  // Drops what is wanted and ends the worker once it is done with the cover
  // in hand; nothing is loaded after.
  void Stop();

 private:
  static int Run(void* loader);
  void Work();
  void LoadNext(std::unique_lock<std::mutex>& lock);
  void TidyUp(std::unique_lock<std::mutex>& lock);
  bool IsWanted(const Cover& cover) const;
  bool IsFinished(const Cover& cover) const;
  bool ProgressShows() const { return !finished_.empty() || IdleLocked(); }
  bool IdleLocked() const { return queue_.empty() && !busy_ && finished_.empty() && tidy_ == nullptr; }
  void StartWorker();

  // The worker's alone.
  CoverThumbnails thumbnails_;
  // The rest is under mutex_ (thread_ is the main thread's).
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::condition_variable progressed_;
  std::vector<Cover> wanted_;
  // The wanted covers neither started nor finished, most wanted first.
  std::deque<Cover> queue_;
  std::optional<Cover> loading_;
  std::deque<Finished> finished_;
  std::shared_ptr<const CoverThumbnails::InUse> tidy_;
  bool busy_ = false;
  bool stopping_ = false;
  SDL_Thread* thread_ = nullptr;
};
