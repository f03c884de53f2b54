#include "state/StateSaver.h"

#include <utility>

StateSaver::StateSaver(Turn save) : save_(std::move(save)), thread_([this] { Run(); }) {}

StateSaver::~StateSaver() {
  {
    const Lock lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_one();
  thread_.join();
}

void StateSaver::AskSave() {
  {
    const Lock lock(mutex_);
    saveAsked_ = true;
  }
  wake_.notify_one();
}

void StateSaver::Submit(Turn job) {
  {
    const Lock lock(mutex_);
    jobs_.push_back(std::move(job));
  }
  wake_.notify_one();
}

void StateSaver::Flush() {
  Lock lock(mutex_);
  done_.wait(lock, [this] { return !saveAsked_ && jobs_.empty() && !running_; });
}

void StateSaver::Run() {
  while (const Turn turn = NextTurn()) {
    turn();
    EndTurn();
  }
}

// A save asked for goes first: it is of the newest state, whatever the jobs
// after it change.
StateSaver::Turn StateSaver::NextTurn() {
  Lock lock(mutex_);
  wake_.wait(lock, [this] { return saveAsked_ || !jobs_.empty() || stopping_; });
  running_ = saveAsked_ || !jobs_.empty();
  if (saveAsked_) {
    saveAsked_ = false;
    return save_;
  }
  if (jobs_.empty()) return nullptr;
  Turn job = std::move(jobs_.front());
  jobs_.pop_front();
  return job;
}

void StateSaver::EndTurn() {
  {
    const Lock lock(mutex_);
    running_ = false;
  }
  done_.notify_all();
}
