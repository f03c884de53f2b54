// The Debian package as CPack built it: lintian's verdict, and the package
// unpacked into a folder of its own, from which the programs run on a
// private X server with the real media player: the jukebox on a cabinet
// made by the packaged cabinet maker, and the kiosk session that restarts
// a killed jukebox but not one that ended cleanly.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <regex>

#include "Harness.h"
#include "support/Files.h"
#include "support/TempDir.h"
#include "support/Wait.h"

namespace {

namespace fs = std::filesystem;
using e2e::Millis;
using namespace std::chrono_literals;

const int kCleanExitCode = 43;
const char* const kSongRequest = "Pruebas\\Tonos\\01 - La.mp3";
// Queue requests are read every 256 passes of the main loop.
const Millis kRequestPickedUp = 10000ms;
const Millis kJukeboxStarts = 15000ms;

fs::path Output(const std::string& name) { return fs::path(PACKAGE_OUTPUT_DIR) / name; }

// The one package file CPack wrote.
fs::path PackageFile() {
  std::error_code error;
  for (const fs::directory_entry& entry : fs::directory_iterator(PACKAGE_DIR, error))
    if (entry.path().extension() == ".deb") return entry.path();
  return {};
}

// The package unpacked once for every test, removed when the tests end.
class UnpackedPackage : public testing::Environment {
 public:
  static const fs::path& Root() { return root_; }
  static fs::path Program(const std::string& name) { return root_ / "usr" / "bin" / name; }

  void SetUp() override {
    fs::remove_all(PACKAGE_OUTPUT_DIR);
    fs::create_directories(PACKAGE_OUTPUT_DIR);
    root_ = fs::path(PACKAGE_OUTPUT_DIR) / "root";
    if (!PackageFile().empty()) e2e::RunLogged({"dpkg-deb", "-x", PackageFile().string(), root_}, Output("unpack.log"));
  }

 private:
  static fs::path root_;
};
fs::path UnpackedPackage::root_;
testing::Environment* const unpacked = testing::AddGlobalTestEnvironment(new UnpackedPackage);

// A tone of three seconds as the one song of the cabinet's media, and the
// catalogue written by the packaged configtool.
void AddOneSong(const fs::path& cabinet) {
  const fs::path album = cabinet / "media" / "Pruebas" / "Tonos";
  fs::create_directories(album);
  ASSERT_EQ(e2e::RunLogged({"ffmpeg", "-nostdin", "-f", "lavfi", "-i", "sine=frequency=440:duration=3", "-c:a",
                            "libmp3lame", (album / "01 - La.mp3").string()},
                           Output("ffmpeg.log")),
            0)
      << ReadHostFile(Output("ffmpeg.log"));
  fs::current_path(cabinet);
  ASSERT_EQ(e2e::RunLogged({UnpackedPackage::Program("configtool").string(), "updatedb"}, Output("configtool.log")), 0)
      << ReadHostFile(Output("configtool.log"));
}

// A jukebox program of the unpacked package, run on the cabinet.
std::vector<pid_t> JukeboxesOf(const fs::path& program) {
  const fs::path packaged = fs::canonical(program);
  return e2e::ProcessesWhere([&](const fs::path& proc) {
    std::error_code gone;
    return fs::read_symlink(proc / "exe", gone) == packaged;
  });
}

// Each test: a cabinet made by the packaged cabinet maker with one song.
class PackageTest : public testing::Test {
 protected:
  void SetUp() override {
    const std::string missing = e2e::MissingHostProgram();
    if (!missing.empty()) GTEST_SKIP() << missing << " is not installed";
    ASSERT_FALSE(PackageFile().empty()) << "no package in " << PACKAGE_DIR;
    cabinet_ = dir_.Path() / "cabinet";
    ASSERT_EQ(e2e::RunLogged({Program("melodeck-new-cabinet").string(), cabinet_.string()}, Output("new-cabinet.log")),
              0)
        << ReadHostFile(Output("new-cabinet.log"));
    AddOneSong(cabinet_);
  }

  static fs::path Program(const std::string& name) { return UnpackedPackage::Program(name); }

  TempDir dir_;
  fs::path cabinet_;
};

TEST(Package, LintianFindsNoErrors) {
  ASSERT_FALSE(PackageFile().empty()) << "no package in " << PACKAGE_DIR;
  const fs::path log = Output("lintian.log");
  EXPECT_EQ(e2e::RunLogged({"lintian", "--fail-on", "error", PackageFile().string()}, log), 0) << ReadHostFile(log);
}

TEST(Package, UnpackedProgramTellsItsVersion) {
  const fs::path log = Output("version.log");
  ASSERT_EQ(e2e::RunLogged({UnpackedPackage::Program("melodeck").string(), "--version"}, log), 0) << ReadHostFile(log);
  EXPECT_TRUE(std::regex_match(ReadHostFile(log), std::regex("melodeck \\d+\\.\\d+\\.\\d+\n"))) << ReadHostFile(log);
}

TEST_F(PackageTest, NewCabinetHasItsFilesAndAnEmptyMediaFolder) {
  for (const char* file : {"configuration", "configuration.default", "README", "arial.ttf", "coin.wav",
                           "skins/skin.txt", "images/defaultcover.jpg"})
    EXPECT_TRUE(fs::exists(cabinet_ / file)) << file;
  EXPECT_NE(ReadHostFile(cabinet_ / "configuration").find("mediacontent=media\n"), std::string::npos);
}

TEST_F(PackageTest, JukeboxPlaysAQueuedSongAndEndsCleanly) {
  e2e::VirtualDisplay display;
  ASSERT_TRUE(display.Start("1024x768x24", Output("xvfb.log"))) << "Xvfb did not start";
  e2e::JukeboxEnvironment environment(display.Name(), dir_.Path() / "home");
  e2e::Jukebox jukebox(Program("melodeck"), cabinet_, Output("melodeck.log"));
  ASSERT_TRUE(jukebox.Start(kJukeboxStarts)) << "no jukebox window\n" << jukebox.Log();

  WriteHostFile(cabinet_ / "queue" / "pedido1", std::string(kSongRequest) + "\r\n");
  const std::optional<size_t> playing = jukebox.WaitForLog("Reproduciendo [", 0, kRequestPickedUp);
  ASSERT_TRUE(playing) << jukebox.Log();
  EXPECT_EQ(jukebox.MediaPlayers().size(), 1u);
  EXPECT_TRUE(jukebox.WaitForLog("Finish play", *playing, 10000ms)) << jukebox.Log();
  EXPECT_EQ(jukebox.Stop(5000ms), kCleanExitCode) << jukebox.Log();
}

// The kiosk, with Xvfb in place of the cabinet's X server: a jukebox killed
// with SIGKILL is started again; one ended with SIGTERM (exit 43) ends the
// X session and the kiosk with code 0.
TEST_F(PackageTest, KioskRestartsAKilledJukeboxButNotACleanlyEndedOne) {
  const fs::path log = Output("kiosk.log");
  e2e::ScopedEnv server("MELODECK_X_SERVER", "/usr/bin/Xvfb");
  const std::string display = ":" + std::to_string(e2e::FreeDisplayNumber());
  const std::string serverArgs = display + " -screen 0 1024x768x24 -nolisten tcp -noreset";
  e2e::ScopedEnv arguments("MELODECK_X_ARGS", serverArgs.c_str());
  e2e::ScopedEnv delay("MELODECK_RESTART_DELAY", "0");
  e2e::JukeboxEnvironment environment(display, dir_.Path() / "home");
  platform::ChildProcess kiosk;
  ASSERT_TRUE(e2e::StartLogged(kiosk, {Program("melodeck-kiosk").string(), cabinet_.string()}, log));

  const fs::path program = Program("melodeck");
  const fs::path marker = cabinet_ / "shutdowncheck";
  ASSERT_TRUE(WaitUntil([&] { return JukeboxesOf(program).size() == 1 && fs::exists(marker); }, kJukeboxStarts))
      << ReadHostFile(log);
  const pid_t first = JukeboxesOf(program).front();
  const fs::file_time_type firstMarker = fs::last_write_time(marker);
  kill(first, SIGKILL);

  // The next run is ready for SIGTERM once it has made its marker anew.
  pid_t second = 0;
  ASSERT_TRUE(WaitUntil(
      [&] {
        const std::vector<pid_t> running = JukeboxesOf(program);
        second = running.size() == 1 && running.front() != first ? running.front() : 0;
        std::error_code gone;
        return second != 0 && fs::last_write_time(marker, gone) != firstMarker;
      },
      kJukeboxStarts))
      << ReadHostFile(log);
  EXPECT_NE(ReadHostFile(log).find("signal 9 (KILL) (shutdowncheck left behind: yes); restarting"), std::string::npos)
      << ReadHostFile(log);
  kill(second, SIGTERM);

  EXPECT_EQ(kiosk.Wait(), 0) << ReadHostFile(log);
  EXPECT_TRUE(JukeboxesOf(program).empty());
  EXPECT_FALSE(fs::exists(marker));
  EXPECT_NE(ReadHostFile(log).find("exit code 43; the session ends"), std::string::npos) << ReadHostFile(log);
}

}  // namespace
