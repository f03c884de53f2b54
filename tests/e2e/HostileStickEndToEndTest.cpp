// The whole jukebox against a hostile USB stick and hostile covers, on a
// private X server: links out of the stick, a FIFO, a device, an update
// larger than the free space of the media disk (a small tmpfs where the
// test may mount one), and covers that declare gigapixels. Nothing outside
// the media folder changes and coins are credited throughout.
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>

#include "Harness.h"
#include "support/Files.h"
#include "support/HostileFiles.h"
#include "support/Png.h"
#include "support/TempDir.h"
#include "support/Wait.h"

namespace {

using e2e::Jukebox;
using e2e::Millis;
namespace fs = std::filesystem;
using namespace std::chrono_literals;

const int kCleanExitCode = 43;
// What the program does at once in answer to a key or a coin shows within
// this even with every core busy.
const Millis kAnswered = 15000ms;
// The whole process, the media player aside.
const long kMostPeakKilobytes = 250 * 1024;

// Every entry below a folder, not followed through links, with what it
// holds: the text of small files, the size of large ones, a link's target.
std::map<std::string, std::string> Snapshot(const fs::path& folder) {
  std::map<std::string, std::string> entries;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder)) {
    std::string& seen = entries[fs::relative(entry.path(), folder).string()];
    if (entry.is_symlink())
      seen = "-> " + fs::read_symlink(entry.path()).string();
    else if (entry.is_regular_file())
      seen = entry.file_size() < 4096 ? ReadHostFile(entry.path()) : std::to_string(entry.file_size());
  }
  return entries;
}

uintmax_t BytesBelow(const fs::path& folder) {
  uintmax_t bytes = 0;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder))
    if (entry.is_regular_file()) bytes += entry.file_size();
  return bytes;
}

// The demo cabinet with the stick's drive "e:" at stick/, a folder
// outside both that links lead to, and the jukebox not yet started.
class HostileEndToEnd : public testing::Test {
 protected:
  void SetUp() override {
    const std::string missing = e2e::MissingHostProgram();
    if (!missing.empty()) GTEST_SKIP() << missing << " is not installed";
    output_ = fs::path(E2E_OUTPUT_DIR) / testing::UnitTest::GetInstance()->current_test_info()->name();
    fs::remove_all(output_);
    fs::create_directories(output_);
    std::string reason;
    bool toolsMissing = false;
    cabinet_ = dir_.Path() / "cabinet";
    if (!e2e::DemoCabinet::CopyTo(cabinet_, reason, toolsMissing)) {
      if (toolsMissing) GTEST_SKIP() << reason;
      FAIL() << reason;
    }
    std::ofstream(cabinet_ / "configuration", std::ios::app) << "usb_path=e\n";
    fs::create_directories(cabinet_ / "dosdevices");
    fs::create_directory_symlink(stick_, cabinet_ / "dosdevices" / "e:");
    WriteHostFile(outside_ / "shadow", "root:x:0:0");
    WriteHostFile(outside_ / "ssh" / "id_rsa", "secret");
    WriteHostFile(outside_ / "victim", "untouched");
  }

  void TearDown() override {
    if (jukebox_) jukebox_->Stop(kAnswered);
    if (mounted_) umount2((cabinet_ / "media").c_str(), MNT_DETACH);
  }

  void StartJukebox() {
    ASSERT_TRUE(display_.Start("1024x768x24", output_ / "xvfb.log")) << "Xvfb did not start";
    environment_ = std::make_unique<e2e::JukeboxEnvironment>(display_.Name(), dir_.Path() / "home");
    jukebox_ = std::make_unique<Jukebox>(MELODECK_PROGRAM, cabinet_, output_ / "melodeck.log");
    ASSERT_TRUE(jukebox_->Start(kAnswered)) << "no jukebox window\n" << jukebox_->Log();
  }

  // An album "Hostil\Nuevo" with one good track, beside links out of the
  // stick (a track, an album, a genre), a FIFO and a device; made aside and
  // moved into place by InsertStick.
  void PrepareStick() {
    const fs::path album = staged_ / "Hostil" / "Nuevo";
    WriteHostFile(album / "bueno.mp3", "a good track");
    fs::create_symlink(outside_ / "shadow", album / "shadow.mp3");
    fs::create_directory_symlink(outside_ / "ssh", staged_ / "Hostil" / "ssh");
    fs::create_directory_symlink(outside_, staged_ / "Sistema");
    const std::vector<HostileFile> hostiles = HostileFiles(0);
    for (size_t i = 0; i < hostiles.size(); ++i) hostiles[i].make(album / ("especial" + std::to_string(i) + ".mp3"));
  }

  void InsertStick() { fs::rename(staged_, stick_ / "ACTUALIZACION"); }

  // A coin, seen credited in the saved state.
  void Coin() {
    ASSERT_TRUE(jukebox_->Press("c", 150ms));
    ++credits_;
    EXPECT_TRUE(jukebox_->WaitForSavedLine("savedcredits=" + std::to_string(credits_), true, kAnswered))
        << jukebox_->SavedState();
  }

  void ExpectLog(const std::string& text, size_t& from) {
    const std::optional<size_t> found = jukebox_->WaitForLog(text, from, kAnswered);
    ASSERT_TRUE(found) << text << "\n" << jukebox_->Log();
    from = *found;
  }

  // The media folder on a tmpfs of its own, its free space spare bytes:
  // false when the test may not mount one.
  bool MountSmallMedia(uintmax_t spare) {
    const fs::path media = cabinet_ / "media", demo = cabinet_ / "media-demo";
    const uintmax_t size = BytesBelow(media) + spare;
    fs::rename(media, demo);
    fs::create_directory(media);
    const std::string options = "size=" + std::to_string((size + 4095) / 4096 * 4) + "k";
    if (mount("tmpfs", media.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, options.c_str()) != 0) {
      fs::remove(media);
      fs::rename(demo, media);
      return false;
    }
    mounted_ = true;
    fs::copy(demo, media, fs::copy_options::recursive | fs::copy_options::copy_symlinks);
    return true;
  }

  long PeakKilobytes() const {
    const std::vector<pid_t> jukeboxes = e2e::ProcessesWhere([&](const fs::path& proc) {
      std::error_code error;
      return fs::read_symlink(proc / "exe", error).filename() == "melodeck" &&
             fs::equivalent(fs::read_symlink(proc / "cwd", error), cabinet_, error);
    });
    if (jukeboxes.size() != 1) return -1;
    std::istringstream status(ReadHostFile("/proc/" + std::to_string(jukeboxes[0]) + "/status"));
    for (std::string line; std::getline(status, line);)
      if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
    return -1;
  }

  TempDir dir_;
  fs::path cabinet_, output_;
  const fs::path stick_ = dir_.Path() / "stick";
  const fs::path staged_ = stick_ / "preparada";
  const fs::path outside_ = dir_.Path() / "outside";
  e2e::VirtualDisplay display_;
  std::unique_ptr<e2e::JukeboxEnvironment> environment_;
  std::unique_ptr<Jukebox> jukebox_;
  bool mounted_ = false;
  int credits_ = 0;
};

// The stick holds more than the media disk has free beyond the margin:
// the update is refused with nothing copied, and coins count before, at
// the prompt and during the refusal.
TEST_F(HostileEndToEnd, StickLargerThanTheFreeSpaceIsRefusedWhole) {
  const uintmax_t spare = uintmax_t{96} << 20;
  const bool small = MountSmallMedia(spare);
  PrepareStick();
  // Without a small disk of its own the file outgrows the test's disk.
  const uintmax_t free = fs::space(cabinet_ / "media").available;
  MakeSparseFile(staged_ / "Hostil" / "Nuevo" / "Grande.mp4", small ? spare : free + 1);
  RecordProperty("media", small ? "tmpfs" : "the test's own disk");
  const auto mediaBefore = Snapshot(cabinet_ / "media");
  const auto outsideBefore = Snapshot(outside_);
  StartJukebox();
  Coin();
  InsertStick();
  size_t log = 0;
  ExpectLog("Actualizacion detectada", log);
  Coin();
  ASSERT_TRUE(jukebox_->Key("Return"));
  ExpectLog("Actualizacion rechazada: espacio insuficiente", log);
  Coin();
  EXPECT_EQ(Snapshot(cabinet_ / "media"), mediaBefore);
  EXPECT_EQ(Snapshot(outside_), outsideBefore);
  EXPECT_EQ(jukebox_->Stop(kAnswered), kCleanExitCode) << jukebox_->Log();
}

// The stick's good track is copied as a new file in place of a link the
// media folder held under its name; links, the FIFO and the device are
// left out; coins count while the update waits for the stick to go.
TEST_F(HostileEndToEnd, HostileStickIsCopiedSafely) {
  PrepareStick();
  fs::create_directories(cabinet_ / "media" / "Hostil" / "Nuevo");
  fs::create_symlink(outside_ / "victim", cabinet_ / "media" / "Hostil" / "Nuevo" / "bueno.mp3");
  const auto outsideBefore = Snapshot(outside_);
  StartJukebox();
  InsertStick();
  size_t log = 0;
  ExpectLog("Actualizacion detectada", log);
  ASSERT_TRUE(jukebox_->Key("Return"));
  ExpectLog("Actualizacion terminada", log);
  Coin();
  EXPECT_EQ(Snapshot(outside_), outsideBefore);
  EXPECT_EQ(Snapshot(cabinet_ / "media" / "Hostil"),
            (std::map<std::string, std::string>{{"Nuevo", ""}, {"Nuevo/bueno.mp3", "a good track"}}));
  EXPECT_FALSE(fs::exists(cabinet_ / "media" / "Sistema"));
  EXPECT_NE(ReadHostFile(cabinet_ / "db").find("\tNuevo"), std::string::npos);
  fs::remove_all(stick_ / "ACTUALIZACION");
  Coin();
  EXPECT_EQ(jukebox_->Stop(kAnswered), kCleanExitCode) << jukebox_->Log();
}

// Every cover of the cabinet declares 15,000 x 15,000 pixels in 650 KB:
// each shows the default cover, the jukebox stays within its memory and
// coins count at once.
TEST_F(HostileEndToEnd, CoverBombsShowTheDefaultCoverWithinTheMemoryBudget) {
  const std::string bomb = SolidPng(15000, 15000, 15000, 15000, 0, 0, 0);
  int covers = 0;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(cabinet_ / "media")) {
    const std::string extension = entry.path().extension().string();
    if (!entry.is_regular_file() || (extension != ".jpg" && extension != ".png")) continue;
    WriteHostFile(entry.path(), bomb);
    ++covers;
  }
  ASSERT_GT(covers, 0);
  StartJukebox();
  size_t log = 0;
  ExpectLog("Error loading cover <", log);
  Coin();
  const long peak = PeakKilobytes();
  EXPECT_GT(peak, 0);
  EXPECT_LT(peak, kMostPeakKilobytes);
  RecordProperty("peak_kilobytes", std::to_string(peak));
  EXPECT_EQ(jukebox_->Stop(kAnswered), kCleanExitCode) << jukebox_->Log();
}

}  // namespace
