#include "state/StateSaver.h"

#include <gtest/gtest.h>

#include <future>
#include <string>
#include <vector>

namespace {

// Jobs run in the order submitted; saves asked for while a turn runs come
// to one, before the jobs waiting; what waits at the end still runs.
TEST(StateSaverTest, TurnsRunOneAtATimeAndSavesComeToOne) {
  std::vector<std::string> ran;  // written on the saver's thread, read once it is idle
  std::promise<void> started, open;
  const std::shared_future<void> opened = open.get_future().share();
  {
    StateSaver saver([&] { ran.push_back("save"); });
    saver.Submit([&] {
      ran.push_back("first");
      started.set_value();
      opened.wait();
    });
    started.get_future().wait();
    for (int i = 0; i < 10; ++i) saver.AskSave();
    saver.Submit([&] { ran.push_back("second"); });
    saver.AskSave();
    open.set_value();
    saver.Flush();
    EXPECT_EQ(ran, (std::vector<std::string>{"first", "save", "second"}));
    saver.Submit([&] { ran.push_back("last"); });
  }
  EXPECT_EQ(ran.back(), "last");
}

}  // namespace
