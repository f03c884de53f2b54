#include "platform/Processes.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>
#include <functional>
#include <optional>

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

// A child goes with the thread that started it, however that ends: the
// kernel kills it, with nothing to be run on our side.
TEST(Processes, ChildEndsWithTheThreadThatStartedIt) {
  ChildProcess child;
  std::thread([&] { ASSERT_TRUE(child.Start({"sleep", "30"})); }).join();
  EXPECT_TRUE(WaitUntil([&] { return child.HasEnded(); }));
}

// What a child started goes with it, whether it ends by itself, is
// terminated or is ended by its id.
TEST(Processes, ChildsProcessGroupEndsWithIt) {
  const struct {
    const char* how;
    const char* script;
    std::function<void(ChildProcess&)> end;
  } cases[] = {
      {"by itself", "/bin/sleep 30 & echo $! > grandchild", [](ChildProcess& child) { child.Wait(); }},
      {"terminated", "trap 'exit 0' TERM; /bin/sleep 30 & echo $! > grandchild; wait",
       [](ChildProcess& child) { child.Terminate(); }},
      {"by its id", "trap 'exit 0' TERM; /bin/sleep 30 & echo $! > grandchild; wait",
       [](ChildProcess& child) {
         EXPECT_TRUE(EndProcess(child.Pid(), "grandchild"));
         EXPECT_TRUE(WaitUntil([&] { return child.HasEnded(); }));
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.how);
    TempDir dir;
    ChildProcess child;
    ASSERT_TRUE(child.Start({"/bin/sh", "-c", c.script}));
    ASSERT_TRUE(WaitUntil([] { return ReadHostFile("grandchild").find('\n') != std::string::npos; }));
    c.end(child);
    const pid_t grandchild = std::stoi(ReadHostFile("grandchild"));
    EXPECT_TRUE(WaitUntil([&] { return !Alive(grandchild); }));
  }
}

TEST(Processes, CapturedOutputIsReadWithoutWaitingAndAfterTheEnd) {
  ChildProcess child;
  ASSERT_TRUE(child.Start({"/bin/sh", "-c", "echo uno; echo dos >&2; seq 1000"}, ChildOutput::kCaptured));
  child.Wait();
  EXPECT_EQ(child.ReadOutput(10), "uno\ndos\n1\n");  // at most as asked
  ASSERT_TRUE(child.Start({"sleep", "30"}, ChildOutput::kCaptured));
  EXPECT_EQ(child.ReadOutput(10), "");
}

// A recorded process is ended, and waited for, only while its id still
// names it; a record that is not one names nothing.
TEST(Processes, RecordedProcessIsEndedOnlyWhileItsIdNamesIt) {
  TempDir dir;
  const pid_t stubborn =
      StartDetached({"/bin/sh", "-c", "trap '' TERM; touch ready; while :; do /bin/sleep 1; done", "player"});
  ASSERT_GT(stubborn, 0);
  ASSERT_TRUE(WaitUntil([] { return fs::exists("ready"); }));
  ASSERT_TRUE(RecordProcess("player.pid", {stubborn, "player"}));
  const std::optional<ProcessRecord> record = ReadProcessRecord("player.pid");
  ASSERT_TRUE(record);
  EXPECT_EQ(record->pid, stubborn);
  EXPECT_FALSE(EndProcessAndWait(record->pid, "another"));
  EXPECT_FALSE(EndProcessAndWait(record->pid, ""));
  EXPECT_TRUE(Alive(stubborn));
  const auto start = std::chrono::steady_clock::now();
  EXPECT_TRUE(EndProcessAndWait(record->pid, record->mark));
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(900)) << "killed after a grace";
  EXPECT_TRUE(WaitUntil([&] { return !Alive(stubborn); }));

  mkfifo("fifo", 0600);
  fs::create_symlink("player.pid", "link");
  WriteHostFile("bad", "0\nplayer\n");
  for (const char* file : {"bad", "missing", "fifo", "link", "."}) EXPECT_FALSE(ReadProcessRecord(file)) << file;
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
