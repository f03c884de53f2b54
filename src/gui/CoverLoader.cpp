#include "gui/CoverLoader.h"

#include <algorithm>
#include <chrono>

void CoverLoader::Want(const std::vector<Cover>& covers) {
  const std::lock_guard<std::mutex> lock(mutex_);
  if (covers == wanted_ || stopping_) return;
  wanted_ = covers;
  finished_.erase(std::remove_if(finished_.begin(), finished_.end(),
                                 [this](const Finished& finished) { return !IsWanted(finished.cover); }),
                  finished_.end());
  queue_.clear();
  for (const Cover& cover : wanted_)
    if (!(loading_ && *loading_ == cover) && !IsFinished(cover)) queue_.push_back(cover);
  if (!queue_.empty()) StartWorker();
  changed_.notify_one();
  progressed_.notify_all();
}

bool CoverLoader::TakeFinished(Finished& finished) {
  const std::lock_guard<std::mutex> lock(mutex_);
  if (finished_.empty()) return false;
  finished = std::move(finished_.front());
  finished_.pop_front();
  progressed_.notify_all();
  return true;
}

void CoverLoader::Tidy(std::shared_ptr<const CoverThumbnails::InUse> inUse) {
  const std::lock_guard<std::mutex> lock(mutex_);
  if (stopping_) return;
  tidy_ = std::move(inUse);
  StartWorker();
  changed_.notify_one();
}

bool CoverLoader::Idle() const {
  const std::lock_guard<std::mutex> lock(mutex_);
  return IdleLocked();
}

bool CoverLoader::AwaitProgress(uint32_t timeoutMs) {
  std::unique_lock<std::mutex> lock(mutex_);
  return progressed_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return ProgressShows(); });
}

void CoverLoader::Stop() {
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
    wanted_.clear();
    queue_.clear();
    tidy_.reset();
    changed_.notify_one();
  }
  if (thread_ != nullptr) SDL_WaitThread(thread_, nullptr);
  thread_ = nullptr;
  const std::lock_guard<std::mutex> lock(mutex_);
  finished_.clear();
}

// Under mutex_, from the main thread: only it starts or ends the worker.
void CoverLoader::StartWorker() {
  if (thread_ == nullptr) thread_ = SDL_CreateThread(&CoverLoader::Run, this);
}

int CoverLoader::Run(void* loader) {
  static_cast<CoverLoader*>(loader)->Work();
  return 0;
}

void CoverLoader::Work() {
  std::unique_lock<std::mutex> lock(mutex_);
  while (!stopping_) {
    if (!queue_.empty())
      LoadNext(lock);
    else if (tidy_ != nullptr)
      TidyUp(lock);
    else
      changed_.wait(lock);
  }
}

void CoverLoader::LoadNext(std::unique_lock<std::mutex>& lock) {
  Finished finished;
  finished.cover = queue_.front();
  queue_.pop_front();
  loading_ = finished.cover;
  busy_ = true;
  lock.unlock();
  const Cover& cover = finished.cover;
  finished.image.reset(thumbnails_.Get(RString(cover.path.c_str()), cover.width, cover.height, finished.log));
  lock.lock();
  loading_.reset();
  busy_ = false;
  if (IsWanted(cover)) finished_.push_back(std::move(finished));
  progressed_.notify_all();
}

// A want that comes in stops the walk; the next idle spell walks again.
void CoverLoader::TidyUp(std::unique_lock<std::mutex>& lock) {
  const std::shared_ptr<const CoverThumbnails::InUse> inUse = tidy_;
  busy_ = true;
  lock.unlock();
  const bool walked = CoverThumbnails::DeleteUnused(*inUse, [this] {
    const std::lock_guard<std::mutex> waiting(mutex_);
    return queue_.empty() && !stopping_;
  });
  lock.lock();
  busy_ = false;
  if (walked && tidy_ == inUse) tidy_.reset();
  progressed_.notify_all();
}

bool CoverLoader::IsWanted(const Cover& cover) const {
  return std::find(wanted_.begin(), wanted_.end(), cover) != wanted_.end();
}

bool CoverLoader::IsFinished(const Cover& cover) const {
  return std::any_of(finished_.begin(), finished_.end(),
                     [&cover](const Finished& finished) { return finished.cover == cover; });
}
