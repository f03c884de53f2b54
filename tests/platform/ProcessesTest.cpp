#include "platform/Processes.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "platform/Clock.h"
#include "support/Files.h"
#include "support/TempDir.h"
#include "support/Wait.h"

namespace fs = std::filesystem;
using namespace platform;

namespace {

// Running, that is: a zombie waiting for whoever adopted it counts as ended.
bool Alive(pid_t pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string pidField, command, state;
  return stat >> pidField >> command >> state && state != "Z";
}

}  // namespace

TEST(Processes, ArgumentsNeverReachAShell) {
  TempDir dir;
  EXPECT_EQ(RunAndWait({"echo", "\"; touch pwned; \"", "$(touch pwned2)", "`touch pwned3`"}), 0);
  EXPECT_EQ(RunAndWait({"ls", "a file; touch pwned"}), 2);
  EXPECT_FALSE(fs::exists("pwned"));
  EXPECT_FALSE(fs::exists("pwned2"));
  EXPECT_FALSE(fs::exists("pwned3"));
}

TEST(Processes, ExitCodesAndMissingPrograms) {
  EXPECT_EQ(RunAndWait({"true"}), 0);
  EXPECT_EQ(RunAndWait({"sh", "-c", "exit 7"}), 7);
  EXPECT_EQ(RunAndWait({"no-such-program-here"}), -1);
  EXPECT_EQ(RunAndWait({}), -1);
  EXPECT_EQ(FindProgram("no-such-program-here"), "");
  EXPECT_EQ(FindProgram("sh").back(), 'h');
}

TEST(Processes, StandardInputIsNotOurs) {
  TempDir dir;
  OutputOptions toFile;
  toFile.stdoutFile = "out";
  EXPECT_EQ(RunAndWait({"cat"}, toFile), 0);  // would block on a terminal
  EXPECT_EQ(ReadHostFile("out"), "");
  EXPECT_EQ(RunAndWait({"echo", "wpa_state=COMPLETED"}, toFile), 0);
  EXPECT_EQ(ReadHostFile("out"), "wpa_state=COMPLETED\n");
}

TEST(Processes, DetachedProgramRunsOnWithItsOwnId) {
  TempDir dir;
  const pid_t pid = StartDetached({"sh", "-c", "touch started; exec sleep 30"});
  ASSERT_GT(pid, 0);
  EXPECT_TRUE(WaitUntil([] { return fs::exists("started"); }));
  EXPECT_TRUE(Alive(pid));
  EXPECT_FALSE(EndProcess(pid, "not-its-name"));
  // Its command line reads as "sleep 30" once the shell has replaced itself.
  EXPECT_TRUE(WaitUntil([pid] { return EndProcess(pid, "sleep 30"); }));
  EXPECT_TRUE(WaitUntil([pid] { return !Alive(pid); }));
  EXPECT_EQ(StartDetached({"no-such-program-here"}), -1);
}

TEST(Processes, ChildCanBeEndedByItsId) {
  ChildProcess child;
  ASSERT_TRUE(child.Start({"sleep", "30"}));
  const pid_t pid = child.Pid();
  EXPECT_TRUE(Alive(pid));
  child.Terminate();
  EXPECT_FALSE(child.IsRunning());
  EXPECT_FALSE(Alive(pid));
  ASSERT_TRUE(child.Start({"sh", "-c", "exit 3"}));
  EXPECT_EQ(child.Wait(), 3);
  EXPECT_FALSE(child.Start({"no-such-program-here"}));
}

TEST(Clock, ManualClockRunsLongDelaysAtOnce) {
  ManualClock manual(100);
  SetClock(&manual);
  const auto before = std::chrono::steady_clock::now();
  Delay(5000);
  EXPECT_EQ(Ticks(), 5100u);
  EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(1));
  SetClock(nullptr);
  const uint32_t start = Ticks();
  Delay(20);
  EXPECT_GE(Ticks() - start, 20u);
}
