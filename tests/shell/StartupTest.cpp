#include "shell/Startup.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <thread>

#include "platform/Processes.h"
#include "support/Files.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;

namespace {

bool WaitUntil(const std::function<bool()>& condition) {
  for (int i = 0; i < 500; ++i) {
    if (condition()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return false;
}

// Starts the jukebox on a cabinet folder and waits until it runs its loop.
void StartJukebox(platform::ChildProcess& jukebox, const fs::path& cabinet) {
  ASSERT_TRUE(jukebox.Start({MELODECK_BINARY, cabinet.string()}));
  ASSERT_TRUE(WaitUntil([&] { return fs::exists(cabinet / "shutdowncheck"); }));
}

// The id in "onlinechecker.pid", or 0 while there is none.
pid_t RecordedCheckerPid() {
  const std::string text = ReadHostFile("onlinechecker.pid");
  return text.empty() ? 0 : std::stoi(text);
}

}  // namespace

TEST(CommandLine, ArgumentsJoinWithSingleBlanks) {
  char program[] = "melodeck", first[] = "/srv/mi", second[] = "cabina";
  char* argv[] = {program, first, second, nullptr};
  EXPECT_EQ(ArgumentFromCommandLine(3, argv), RString("/srv/mi cabina"));
  EXPECT_EQ(ArgumentFromCommandLine(1, argv), RString(""));
}

TEST(ShutdownMarker, CleanEndRemovesItAndExitsWith43) {
  TempDir cabinet;
  platform::ChildProcess jukebox;
  StartJukebox(jukebox, cabinet.Path());
  kill(jukebox.Pid(), SIGTERM);
  EXPECT_EQ(jukebox.Wait(), 43);
  EXPECT_FALSE(fs::exists(cabinet.Path() / "shutdowncheck"));
}

TEST(ShutdownMarker, KilledRunLeavesItAndNextStartRecreatesIt) {
  TempDir cabinet;
  platform::ChildProcess jukebox;
  StartJukebox(jukebox, cabinet.Path());
  kill(jukebox.Pid(), SIGKILL);
  EXPECT_EQ(jukebox.Wait(), -1);
  EXPECT_TRUE(fs::exists(cabinet.Path() / "shutdowncheck"));

  WriteHostFile(cabinet.Path() / "shutdowncheck", "stale");
  StartJukebox(jukebox, cabinet.Path());
  EXPECT_TRUE(WaitUntil([&] { return fs::file_size(cabinet.Path() / "shutdowncheck") == 0; }));
  kill(jukebox.Pid(), SIGTERM);
  EXPECT_EQ(jukebox.Wait(), 43);
  EXPECT_FALSE(fs::exists(cabinet.Path() / "shutdowncheck"));
}

TEST(OnlineChecker, RestartEndsOnlyTheCheckerWeStarted) {
  TempDir cabinet;
  WriteHostFile("onlinechecker.py", "import time\nopen('serverstatus','w').write('1')\ntime.sleep(60)\n");
  platform::ChildProcess jukebox;
  StartJukebox(jukebox, cabinet.Path());
  ASSERT_TRUE(WaitUntil([] { return RecordedCheckerPid() != 0; }));
  const pid_t first = RecordedCheckerPid();
  kill(jukebox.Pid(), SIGTERM);
  jukebox.Wait();
  EXPECT_EQ(kill(first, 0), 0) << "the checker runs on after the jukebox ends";

  StartJukebox(jukebox, cabinet.Path());
  ASSERT_TRUE(WaitUntil([&] { return kill(first, 0) != 0; }));
  ASSERT_TRUE(WaitUntil([&] { return RecordedCheckerPid() != 0 && RecordedCheckerPid() != first; }));
  const pid_t second = RecordedCheckerPid();
  kill(jukebox.Pid(), SIGTERM);
  jukebox.Wait();
  kill(second, SIGTERM);
}
