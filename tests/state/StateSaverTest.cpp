#include "state/StateSaver.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

namespace {

// Turns as they ran, and a gate that holds the first job.
struct Turns {
  std::mutex mutex;
  std::condition_variable changed;
  std::vector<std::string> ran;
  bool open = false;

  void Note(const std::string& turn) {
    const std::lock_guard<std::mutex> lock(mutex);
    ran.push_back(turn);
    changed.notify_all();
  }
  void WaitOpen() {
    std::unique_lock<std::mutex> lock(mutex);
    changed.wait(lock, [&] { return open; });
  }
  void WaitRan(size_t count) {
    std::unique_lock<std::mutex> lock(mutex);
    changed.wait(lock, [&] { return ran.size() >= count; });
  }
  void Open() {
    const std::lock_guard<std::mutex> lock(mutex);
    open = true;
    changed.notify_all();
  }
};

// Jobs run in the order submitted; saves asked for while a turn runs come
// to one, before the jobs waiting; what waits at the end still runs.
TEST(StateSaverTest, TurnsRunOneAtATimeAndSavesComeToOne) {
  Turns turns;
  {
    StateSaver saver([&] { turns.Note("save"); });
    saver.Submit([&] {
      turns.Note("first");
      turns.WaitOpen();
    });
    turns.WaitRan(1);
    for (int i = 0; i < 10; ++i) saver.AskSave();
    saver.Submit([&] { turns.Note("second"); });
    saver.AskSave();
    turns.Open();
    saver.Flush();
    EXPECT_EQ(turns.ran, (std::vector<std::string>{"first", "save", "second"}));
    saver.Submit([&] { turns.Note("last"); });
  }
  EXPECT_EQ(turns.ran.back(), "last");
}

}  // namespace
