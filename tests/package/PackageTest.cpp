// The Debian package as CPack built it: lintian's verdict, and the package
// unpacked into a folder of its own, from which the programs run on a
// private X server with the real media player: the jukebox on a cabinet
// made by the packaged cabinet maker, and the kiosk session that restarts
// a killed jukebox but not one that ended cleanly.
#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <regex>
#include <sstream>

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

// The package unpacked once for every test; it stays in the build folder,
// with the tests' logs, for a look after the run.
class UnpackedPackage : public testing::Environment {
 public:
  static fs::path Program(const std::string& name) { return root_ / "usr" / "bin" / name; }
  static const fs::path& Root() { return root_; }

  void SetUp() override {
    fs::remove_all(PACKAGE_OUTPUT_DIR);
    fs::create_directories(PACKAGE_OUTPUT_DIR);
    root_ = fs::path(PACKAGE_OUTPUT_DIR) / "root";
    if (PackageFile().empty()) return;  // each test says so
    ASSERT_EQ(e2e::RunLogged({"dpkg-deb", "-x", PackageFile().string(), root_}, Output("unpack.log")), 0)
        << ReadHostFile(Output("unpack.log"));
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
  ASSERT_EQ(
      e2e::RunLogged({UnpackedPackage::Program("melodeck-configtool").string(), "updatedb"}, Output("configtool.log")),
      0)
      << ReadHostFile(Output("configtool.log"));
}

// The running processes of a program of the unpacked package.
std::vector<pid_t> ProcessesOf(const fs::path& program) {
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
  for (const std::string program : {"melodeck", "melodeck-report"}) {
    const fs::path log = Output(program + "-version.log");
    ASSERT_EQ(e2e::RunLogged({UnpackedPackage::Program(program).string(), "--version"}, log), 0) << ReadHostFile(log);
    EXPECT_TRUE(std::regex_match(ReadHostFile(log), std::regex(program + " \\d+\\.\\d+\\.\\d+\n")))
        << ReadHostFile(log);
  }
}

// The kiosk user's one route to root: a sudoers rule, root's and read-only
// as sudo wants it, that names the root helper alone; both declared
// conffiles; the helper refuses what is not its own.
TEST(Package, RootHelperIsReachedThroughItsSudoersRuleOnly) {
  ASSERT_FALSE(PackageFile().empty()) << "no package in " << PACKAGE_DIR;
  const fs::path rule = UnpackedPackage::Root() / "etc" / "sudoers.d" / "melodeck";
  const fs::path log = Output("root-route.log");
  EXPECT_EQ(fs::status(rule).permissions(), fs::perms::owner_read | fs::perms::group_read);
  EXPECT_EQ(e2e::RunLogged({"visudo", "-c", "-f", rule.string()}, log), 0) << ReadHostFile(log);
  std::istringstream lines(ReadHostFile(rule));
  std::vector<std::string> rules;
  for (std::string line; std::getline(lines, line);)
    if (!line.empty() && line.front() != '#') rules.push_back(line);
  EXPECT_EQ(rules, std::vector<std::string>{"%melodeck ALL = (root) NOPASSWD: /usr/libexec/melodeck/melodeck-root"});

  ASSERT_EQ(e2e::RunLogged({"dpkg-deb", "-c", PackageFile().string()}, log), 0) << ReadHostFile(log);
  const std::string contents = ReadHostFile(log);
  EXPECT_TRUE(std::regex_search(contents, std::regex("-r--r----- root/root .* ./etc/sudoers.d/melodeck\n")))
      << contents;
  EXPECT_TRUE(std::regex_search(contents, std::regex("-rwxr-xr-x root/root .* ./usr/libexec/melodeck/melodeck-root\n")))
      << contents;
  ASSERT_EQ(e2e::RunLogged({"dpkg-deb", "-I", PackageFile().string(), "conffiles"}, log), 0) << ReadHostFile(log);
  EXPECT_NE(ReadHostFile(log).find("/etc/sudoers.d/melodeck\n"), std::string::npos) << ReadHostFile(log);
  EXPECT_NE(ReadHostFile(log).find("/etc/melodeck/root-helper\n"), std::string::npos) << ReadHostFile(log);

  const fs::path helper = UnpackedPackage::Root() / "usr" / "libexec" / "melodeck" / "melodeck-root";
  EXPECT_EQ(e2e::RunLogged({helper.string(), "reboot"}, log), 2) << ReadHostFile(log);
}

// The source package of the committed tree: it unpacks to the project with
// its debian/ folder, and lintian finds nothing its overrides do not
// explain.
TEST(Package, SourcePackageUnpacksAndIsLintianClean) {
  const fs::path out = Output("source-package");
  const fs::path log = Output("source-package.log");
  ASSERT_EQ(e2e::RunLogged({SOURCE_DIR "/scripts/package-source.sh", out.string()}, log), 0) << ReadHostFile(log);
  std::vector<fs::path> made;
  for (const fs::directory_entry& entry : fs::directory_iterator(out)) made.push_back(entry.path().filename());
  std::sort(made.begin(), made.end());
  ASSERT_EQ(made.size(), 3u) << testing::PrintToString(made);
  EXPECT_TRUE(std::regex_match(made[0].string(), std::regex("melodeck_[0-9.]+-[0-9]+\\.debian\\.tar\\.xz")));
  EXPECT_TRUE(std::regex_match(made[1].string(), std::regex("melodeck_[0-9.]+-[0-9]+\\.dsc")));
  EXPECT_TRUE(std::regex_match(made[2].string(), std::regex("melodeck_[0-9.]+\\.orig\\.tar\\.xz")));

  const fs::path dsc = out / made[1];
  const fs::path unpacked = Output("source-unpacked");
  ASSERT_EQ(e2e::RunLogged({"dpkg-source", "--no-copy", "-x", dsc.string(), unpacked.string()}, log), 0)
      << ReadHostFile(log);
  for (const char* file : {"CMakeLists.txt", "debian/control", "debian/changelog", "debian/melodeck.postinst",
                           "tools/root-helper/main.cpp"})
    EXPECT_TRUE(fs::exists(unpacked / file)) << file;
  EXPECT_NE(fs::status(unpacked / "debian" / "rules").permissions() & fs::perms::owner_exec, fs::perms::none);

  EXPECT_EQ(e2e::RunLogged({"lintian", "-I", "-E", "--pedantic", "--fail-on", "error,warning,info,pedantic",
                            dsc.string()},
                           log),
            0)
      << ReadHostFile(log);
}

TEST_F(PackageTest, NewCabinetAgainAddsWhatIsMissingOnlyButRefusesAForeignFolder) {
  EXPECT_TRUE(fs::exists(cabinet_ / "README"));
  EXPECT_NE(ReadHostFile(cabinet_ / "configuration").find("mediacontent=media\n"), std::string::npos);
  WriteHostFile(cabinet_ / "configuration", "mediacontent=media\nvolumen=55\n");
  EXPECT_TRUE(fs::is_empty(cabinet_ / "images")) << "the default pictures stay in the package";
  fs::remove(cabinet_ / "coin.wav");
  const fs::path log = Output("new-cabinet-again.log");
  EXPECT_EQ(e2e::RunLogged({Program("melodeck-new-cabinet").string(), cabinet_.string()}, log), 0) << ReadHostFile(log);
  EXPECT_EQ(ReadHostFile(cabinet_ / "configuration"), "mediacontent=media\nvolumen=55\n");
  EXPECT_TRUE(fs::exists(cabinet_ / "coin.wav"));
  EXPECT_TRUE(fs::exists(cabinet_ / "media" / "Pruebas" / "Tonos" / "01 - La.mp3"));

  WriteHostFile(dir_.Path() / "foreign" / "notes.txt", "");
  EXPECT_EQ(e2e::RunLogged({Program("melodeck-new-cabinet").string(), (dir_.Path() / "foreign").string()}, log), 1);
  EXPECT_NE(ReadHostFile(log).find("is not empty"), std::string::npos) << ReadHostFile(log);
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
  EXPECT_TRUE(jukebox.WaitForMediaPlayers(1, 3000ms));
  EXPECT_TRUE(jukebox.WaitForLog("Finish play", *playing, 10000ms)) << jukebox.Log();
  EXPECT_EQ(jukebox.Stop(5000ms), kCleanExitCode) << jukebox.Log();
}

// The kiosk's X server is Xvfb here, in place of the cabinet's Xorg.
class KioskTest : public PackageTest {
 protected:
  void SetUp() override {
    PackageTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    log_ = Output(std::string(testing::UnitTest::GetInstance()->current_test_info()->name()) + ".log");
    marker_ = cabinet_ / "shutdowncheck";
    display_ = ":" + std::to_string(e2e::FreeDisplayNumber());
    serverArgs_ = std::make_unique<e2e::ScopedEnv>(
        "MELODECK_X_ARGS", (display_ + " -screen 0 1024x768x24 -nolisten tcp -noreset").c_str());
    environment_ = std::make_unique<e2e::JukeboxEnvironment>(display_, dir_.Path() / "home");
    ASSERT_TRUE(e2e::StartLogged(kiosk_, {Program("melodeck-kiosk").string(), cabinet_.string()}, log_));
  }

  std::string Log() const { return ReadHostFile(log_); }

  // The one jukebox of the kiosk once it runs its loop (its marker made
  // after start), other than the one given; 0 when none came in time.
  pid_t RunningJukebox(pid_t other, fs::file_time_type otherMarker) {
    pid_t found = 0;
    WaitUntil(
        [&] {
          const std::vector<pid_t> running = ProcessesOf(Program("melodeck"));
          std::error_code none;
          const bool markerMade = fs::exists(marker_) && fs::last_write_time(marker_, none) != otherMarker;
          found = running.size() == 1 && running.front() != other && markerMade ? running.front() : 0;
          return found != 0;
        },
        kJukeboxStarts);
    return found;
  }

  fs::path log_;
  fs::path marker_;
  e2e::ScopedEnv server_{"MELODECK_X_SERVER", "/usr/bin/Xvfb"};
  e2e::ScopedEnv delay_{"MELODECK_RESTART_DELAY", "0"};
  std::string display_;
  std::unique_ptr<e2e::ScopedEnv> serverArgs_;
  std::unique_ptr<e2e::JukeboxEnvironment> environment_;
  platform::ChildProcess kiosk_;
};

// A jukebox killed with SIGKILL is started again; one ended with SIGTERM
// (exit 43) ends the X session and the kiosk with code 0.
TEST_F(KioskTest, RestartsAKilledJukeboxButNotACleanlyEndedOne) {
  const pid_t first = RunningJukebox(0, {});
  ASSERT_NE(first, 0) << Log();
  const fs::file_time_type firstMarker = fs::last_write_time(marker_);
  kill(first, SIGKILL);

  const pid_t second = RunningJukebox(first, firstMarker);
  ASSERT_NE(second, 0) << Log();
  EXPECT_NE(Log().find("signal 9 (KILL) (shutdowncheck left behind: yes); restarting"), std::string::npos) << Log();
  kill(second, SIGTERM);

  EXPECT_EQ(kiosk_.Wait(), 0) << Log();
  EXPECT_TRUE(ProcessesOf(Program("melodeck")).empty());
  EXPECT_FALSE(fs::exists(marker_));
  EXPECT_NE(Log().find("exit code 43; the session ends"), std::string::npos) << Log();
}

// dpkg working on a root folder of its own, as on a cabinet; the maintainer
// scripts run outside it, told so by DPKG_ROOT.
int Dpkg(const fs::path& root, const std::string& action, const std::string& package, const fs::path& log) {
  fs::create_directories(root / "var" / "lib" / "dpkg" / "updates");
  fs::create_directories(root / "var" / "lib" / "dpkg" / "info");
  if (!fs::exists(root / "var" / "lib" / "dpkg" / "status"))
    WriteHostFile(root / "var" / "lib" / "dpkg" / "status", "");
  return e2e::RunLogged({"dpkg", "--root=" + root.string(), "--log=/dev/null", "--force-depends",
                         "--force-script-chrootless", action, package},
                        log);
}

// The package again as the next version, whose network checker writes its
// status under another name.
fs::path NextVersionPackage() {
  const fs::path tree = Output("next-version");
  const fs::path package = Output("next-version.deb");
  if (e2e::RunLogged({"dpkg-deb", "-R", PackageFile().string(), tree.string()}, Output("next-version.log")) != 0)
    return {};
  const fs::path control = tree / "DEBIAN" / "control";
  WriteHostFile(control,
                std::regex_replace(ReadHostFile(control), std::regex("\nVersion: (\\S+)"), "\nVersion: $1+next"));
  const fs::path checker = tree / "usr" / "share" / "melodeck" / "scripts" / "onlinechecker.py";
  WriteHostFile(checker,
                std::regex_replace(ReadHostFile(checker), std::regex("\"serverstatus\""), "\"serverstatus-next\""));
  if (e2e::RunLogged({"dpkg-deb", "-b", tree.string(), package.string()}, Output("next-version.log")) != 0) return {};
  return package;
}

// An owner's cabinet through an upgrade: the new scripts run in it at once,
// and what the owner changed (a skin picture, a setting, a site setting)
// stays, after the cabinet maker has been run again too; then a purge.
TEST(Package, UpgradeReachesTheCabinetAndKeepsWhatTheOwnerChanged) {
  const std::string missing = e2e::MissingHostProgram();
  if (!missing.empty()) GTEST_SKIP() << missing << " is not installed";
  ASSERT_FALSE(PackageFile().empty()) << "no package in " << PACKAGE_DIR;
  const fs::path root = Output("dpkg-root");
  const fs::path log = Output("upgrade.log");
  ASSERT_EQ(Dpkg(root, "-i", PackageFile(), log), 0) << ReadHostFile(log);
  const fs::path newCabinet = root / "usr" / "bin" / "melodeck-new-cabinet";
  const fs::path cabinet = root / "home" / "jukebox" / "cabinet";
  ASSERT_EQ(e2e::RunLogged({newCabinet.string(), cabinet.string()}, log), 0) << ReadHostFile(log);
  AddOneSong(cabinet);

  // The owner's: another skin picture, the checker on a closed loopback
  // port, the kiosk's restart delay.
  fs::copy_file(root / "usr" / "share" / "melodeck" / "cabinet" / "images" / "defaultcover.jpg",
                cabinet / "skins" / "skin.jpg");
  const std::string skin = ReadHostFile(cabinet / "skins" / "skin.jpg");
  const std::string settings = ReadHostFile(cabinet / "configuration") + "checkerhost=127.0.0.1\ncheckerport=9\n";
  WriteHostFile(cabinet / "configuration", settings);
  const fs::path kiosk = root / "etc" / "melodeck" / "kiosk";
  const std::string siteSettings = ReadHostFile(kiosk) + "MELODECK_RESTART_DELAY=5\n";
  WriteHostFile(kiosk, siteSettings);

  const fs::path next = NextVersionPackage();
  ASSERT_FALSE(next.empty()) << ReadHostFile(Output("next-version.log"));
  ASSERT_EQ(Dpkg(root, "-i", next, log), 0) << ReadHostFile(log);
  ASSERT_EQ(e2e::RunLogged({newCabinet.string(), cabinet.string()}, log), 0) << ReadHostFile(log);
  EXPECT_EQ(ReadHostFile(cabinet / "skins" / "skin.jpg"), skin);
  EXPECT_EQ(ReadHostFile(cabinet / "configuration"), settings);
  EXPECT_EQ(ReadHostFile(kiosk), siteSettings);
  EXPECT_FALSE(fs::exists(cabinet / "onlinechecker.py"));

  e2e::VirtualDisplay display;
  ASSERT_TRUE(display.Start("1024x768x24", Output("upgrade-xvfb.log"))) << "Xvfb did not start";
  e2e::JukeboxEnvironment environment(display.Name(), Output("upgrade-home"));
  e2e::Jukebox jukebox(root / "usr" / "bin" / "melodeck", cabinet, Output("upgrade-melodeck.log"));
  ASSERT_TRUE(jukebox.Start(kJukeboxStarts)) << "no jukebox window\n" << jukebox.Log();
  EXPECT_TRUE(WaitUntil([&] { return fs::exists(cabinet / "serverstatus-next"); }, kJukeboxStarts))
      << "the upgraded network checker did not run";
  EXPECT_EQ(jukebox.Log().find("Error al cargar"), std::string::npos) << "a default picture was not found";
  EXPECT_EQ(jukebox.Stop(5000ms), kCleanExitCode) << jukebox.Log();

  // A purge takes the site settings and the link that enabled a kiosk, and
  // leaves the cabinet.
  const fs::path enabled =
      root / "etc" / "systemd" / "system" / "graphical.target.wants" / "melodeck-kiosk@jukebox.service";
  fs::create_directories(enabled.parent_path());
  fs::create_symlink("/lib/systemd/system/melodeck-kiosk@.service", enabled);
  ASSERT_EQ(Dpkg(root, "--purge", "melodeck", log), 0) << ReadHostFile(log);
  EXPECT_FALSE(fs::exists(fs::symlink_status(enabled)));
  EXPECT_FALSE(fs::exists(root / "etc" / "melodeck"));
  EXPECT_EQ(ReadHostFile(cabinet / "configuration"), settings);
}

// The processes the kiosk started, itself first.
std::vector<pid_t> ProcessTree(pid_t root) {
  std::vector<pid_t> tree{root};
  for (size_t known = 0; known != tree.size();) {
    known = tree.size();
    tree = e2e::ProcessesWhere([&](const fs::path& proc) {
      const std::string stat = ReadHostFile(proc / "stat");
      const size_t commandEnd = stat.rfind(')');
      if (commandEnd == std::string::npos) return false;
      const pid_t self = std::stoi(proc.filename().string());
      const pid_t parent = std::atoi(stat.c_str() + commandEnd + 4);  // past ") S "
      return self == root || std::find(tree.begin(), tree.end(), parent) != tree.end();
    });
  }
  return tree;
}

// A stop reaches the kiosk as SIGTERM, to the kiosk alone (KillMode=mixed)
// or to every process at once (a group kill): either way the jukebox ends
// cleanly while its display is still there, then X and the kiosk end
// without xinit having to kill the server.
TEST_F(KioskTest, EndsTheJukeboxCleanlyOnAStop) {
  for (const bool everyProcess : {false, true}) {
    SCOPED_TRACE(everyProcess ? "SIGTERM to every process" : "SIGTERM to the kiosk");
    if (everyProcess) {
      log_ += ".group";
      ASSERT_TRUE(e2e::StartLogged(kiosk_, {Program("melodeck-kiosk").string(), cabinet_.string()}, log_));
    }
    ASSERT_NE(RunningJukebox(0, {}), 0) << Log();
    const std::vector<pid_t> stopped = everyProcess ? ProcessTree(kiosk_.Pid()) : std::vector<pid_t>{kiosk_.Pid()};
    EXPECT_GE(stopped.size(), everyProcess ? 5u : 1u) << "the kiosk, xinit, the session, X and the jukebox";
    for (const pid_t pid : stopped) kill(pid, SIGTERM);

    EXPECT_EQ(kiosk_.Wait(), 0) << Log();
    EXPECT_TRUE(WaitUntil([&] { return ProcessesOf(Program("melodeck")).empty(); })) << Log();
    EXPECT_FALSE(fs::exists(marker_));
    EXPECT_NE(Log().find("exit code 43; the session ends"), std::string::npos) << Log();
    EXPECT_EQ(Log().find("slow to shut down"), std::string::npos) << Log();
  }
}

// When the X server goes, the kiosk fails, for the service manager to start
// it again.
TEST_F(KioskTest, FailsWhenTheXServerGoesFirst) {
  ASSERT_NE(RunningJukebox(0, {}), 0) << Log();
  const std::vector<pid_t> servers = e2e::ProcessesWhere([&](const fs::path& proc) {
    const std::string command = ReadHostFile(proc / "cmdline");
    return command.rfind("/usr/bin/Xvfb", 0) == 0 && command.find(display_ + '\0') != std::string::npos;
  });
  ASSERT_EQ(servers.size(), 1u) << Log();
  kill(servers.front(), SIGKILL);
  EXPECT_EQ(kiosk_.Wait(), 1) << Log();
  EXPECT_TRUE(WaitUntil([&] { return ProcessesOf(Program("melodeck")).empty(); }))
      << "a jukebox outlived its X session";
  EXPECT_NE(Log().find("the X session ended before the jukebox did"), std::string::npos) << Log();
}

}  // namespace
