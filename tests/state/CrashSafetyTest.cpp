#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <random>
#include <string>

#include "TestCatalogue.h"
#include "state/SavedState.h"
#include "support/Files.h"
#include "support/TempDir.h"

namespace {

constexpr uint32_t kQueuedEntries = 3;

// Saves states n = first, first + 1, ... with savedcredits and counter1 both
// n, until killed (or after a few seconds, should the parent be gone).
[[noreturn]] void SaveForever(MainLibrary& library, int first) {
  SavedState saved(&library);
  StateSnapshot state;
  for (uint32_t i = 0; i < kQueuedEntries; ++i) state.queue.push_back(QueueElement{2, 1, i});
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  for (int n = first; std::chrono::steady_clock::now() < deadline; ++n) {
    state.credits = state.coins[0] = n;
    saved.Save(state);
  }
  _exit(0);
}

// A power cut in the middle of a save must leave the last state saved whole,
// never a mixture, a truncated file or an older state.
TEST(CrashSafetyTest, KilledWriterLeavesAWholeState) {
  TempDir dir;
  TestCatalogue catalogue;
  std::mt19937 random(12345);
  std::uniform_int_distribution<int> delayMicroseconds(0, 4000);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(6);
  int kills = 0;
  int lastSeen = 0;
  for (; kills < 300 && std::chrono::steady_clock::now() < deadline; ++kills) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) SaveForever(catalogue.library, (kills + 1) * 100000);
    usleep(delayMicroseconds(random));
    kill(child, SIGKILL);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status));

    const std::string text = ReadHostFile("tempdata");
    if (text.empty()) {
      ASSERT_EQ(lastSeen, 0) << "a saved state vanished";
      continue;
    }
    StateSnapshot state;
    SavedState(&catalogue.library).Load(state, false);
    const int balance = state.credits;
    ASSERT_GE(balance, lastSeen) << "an older state came back";
    ASSERT_EQ(state.coins[0], balance) << text;
    ASSERT_EQ(state.queue.size(), kQueuedEntries) << text;
    ASSERT_EQ(text.substr(text.size() - 11), "counter6=0\n") << text;
    lastSeen = balance;
  }
  EXPECT_GE(kills, 100);
  EXPECT_GT(lastSeen, 0) << "no save ever completed";
}

}  // namespace
