// The whole jukebox on the demo cabinet, on a private X server with the real
// media player: queue requests, videos, skipping, and paying customers at
// the keys. Screenshots and logs of every test stay in the build folder.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/mount.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <initializer_list>
#include <memory>
#include <random>
#include <sstream>
#include <thread>
#include <vector>

#include "Harness.h"
#include "gui/FitInside.h"
#include "gui/Skin.h"
#include "platform/Processes.h"
#include "support/Files.h"
#include "support/LoopbackServer.h"
#include "support/TempDir.h"
#include "support/Wait.h"

namespace {

using e2e::Area;
using e2e::Jukebox;
using e2e::Millis;
using e2e::Screenshot;
namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

const int kScreenWidth = 1024, kScreenHeight = 768;
const int kCleanExitCode = 43;
// The demo cabinet's items last 2.5 to 3 s; the long versions of its songs 6
// to 9 s, of its videos 5 s.
const Millis kLongestSong = 9000ms;
const Millis kShortestSong = 6000ms;
// Queue requests are read every 256 passes of the main loop.
const Millis kRequestPickedUp = 10000ms;
// What the program does at once in answer to a key, a coin or an item's end
// shows within this even with every core busy.
const Millis kAnswered = 15000ms;
// A message box after a purchase stays up to 3 s.
const Millis kPurchaseSaved = 3000ms + kAnswered;
// Items that must still play while a case looks at them, or plays them through.
const char* const kSong = "Pop/Verano Azul/01 - Amanecer.mp3";
const char* const kVideo = "Videos/Videos Musicales/01 - Luces de la Ciudad.mp4";

// A queue entry as the log ("Index: g d t") and the saved state ("g,d,t")
// name it.
struct Entry {
  int genre = -1, disc = -1, track = -1;
  std::string Saved() const {
    return std::to_string(genre) + "," + std::to_string(disc) + "," + std::to_string(track);
  }
  std::string QueueLine() const { return "queueitem=" + Saved(); }
  std::string Playing() const { return "Reproduciendo [" + Saved() + "]"; }
};

Area AreaOf(int x, int y, int w, int h) { return Area{x, y, w, h}; }

int Occurrences(const std::string& text, const std::string& what) {
  int count = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size())) ++count;
  return count;
}

// The entries of the saved queue, "g,d,t" each, in queue order.
std::vector<std::string> SavedQueue(const std::string& saved) {
  std::vector<std::string> entries;
  std::istringstream lines(saved);
  for (std::string line; std::getline(lines, line);)
    if (line.rfind("queueitem=", 0) == 0) entries.push_back(line.substr(10));
  return entries;
}

// The share of the area's pixels in the colour of the program's messages.
double ShareOfMessageColour(const Screenshot& shot, const Area& area) {
  int coloured = 0;
  for (int y = area.y; y < area.y + area.h; ++y)
    for (int x = area.x; x < area.x + area.w; ++x) {
      const e2e::Pixel pixel = shot.At(x, y);
      if (pixel.r < 10 && std::abs(pixel.g - 128) < 10 && std::abs(pixel.b - 192) < 10) ++coloured;
    }
  return static_cast<double>(coloured) / (area.w * area.h);
}

// The message box's colour over the top margin of a box centred on the
// screen: any message of one line is at least 200 pixels wide and its text
// leaves these rows free.
double ShareOfMessageBox(const Screenshot& shot) {
  return ShareOfMessageColour(shot, Area{kScreenWidth / 2 - 90, kScreenHeight / 2 - 29, 180, 3});
}

bool ShowsAMessage(const Screenshot& shot) { return ShareOfMessageBox(shot) > 0.9; }

// The share of the area's pixels that are not black.
double ShareLit(const Screenshot& shot, const Area& area) {
  int lit = 0, total = 0;
  for (int y = area.y; y < area.y + area.h && y < shot.Height(); ++y)
    for (int x = area.x; x < area.x + area.w && x < shot.Width(); ++x, ++total) {
      const e2e::Pixel pixel = shot.At(x, y);
      if (pixel.r + pixel.g + pixel.b > 30) ++lit;
    }
  return total == 0 ? 0.0 : static_cast<double>(lit) / total;
}

// Each test: a copy of the demo cabinet, a private X server, a home folder
// of its own for the media player and the jukebox started on them; the main
// screen as first shown is the reference for later pictures.
class JukeboxEndToEnd : public testing::Test {
 protected:
  void SetUp() override {
    const std::string missing = e2e::MissingHostProgram();
    if (!missing.empty()) GTEST_SKIP() << missing << " is not installed";
    PrepareOutputFolder();
    std::string reason;
    bool toolsMissing = false;
    cabinet_ = dir_.Path() / "cabinet";
    if (!e2e::DemoCabinet::CopyTo(cabinet_, reason, toolsMissing)) {
      if (toolsMissing) GTEST_SKIP() << reason;
      FAIL() << reason;
    }
    fs::current_path(cabinet_);
    ReadSkin();
    ASSERT_TRUE(display_.Start("1024x768x24", output_ / "xvfb.log")) << "Xvfb did not start";
    environment_ = std::make_unique<e2e::JukeboxEnvironment>(display_.Name(), dir_.Path() / "home");
    jukebox_ = std::make_unique<Jukebox>(MELODECK_PROGRAM, cabinet_, output_ / "melodeck.log");
    ASSERT_TRUE(jukebox_->Start(kAnswered)) << "no jukebox window\n" << jukebox_->Log();
    WaitForTheMainScreen();
    idle_ = Shot("main-screen");
  }

  void TearDown() override {
    if (jukebox_) jukebox_->Stop(kAnswered);
  }

  // The first passes draw the main screen and load the covers: it is there
  // once two pictures in a row agree on the albums and the genre and the
  // albums are not blank.
  void WaitForTheMainScreen() {
    std::optional<Screenshot> previous;
    const bool drawn = WaitUntil(
        [&] {
          std::optional<Screenshot> shot = Screenshot::Take(display_.Name(), output_ / "drawing.png");
          const bool settled = shot && previous && ShareLit(*shot, covers_) > 0.3 &&
                               shot->ShareDifferingFrom(*previous, covers_) == 0 &&
                               shot->ShareDifferingFrom(*previous, genre_) == 0;
          previous = shot;
          return settled;
        },
        kAnswered);
    ASSERT_TRUE(drawn) << "the main screen was not drawn\n" << jukebox_->Log();
  }

  // The program ends cleanly on SIGTERM and leaves no media player behind.
  void ExpectCleanExit() {
    EXPECT_EQ(jukebox_->Stop(kAnswered), kCleanExitCode) << jukebox_->Log();
    // A player killed with an earlier run may wait a moment to be reaped.
    EXPECT_TRUE(WaitUntil([&] { return jukebox_->MediaPlayers().empty(); }, kAnswered));
  }

  Screenshot Shot(const std::string& step) {
    char name[64];
    std::snprintf(name, sizeof name, "%02d-%s.png", ++shots_, step.c_str());
    std::optional<Screenshot> shot = Screenshot::Take(display_.Name(), output_ / name);
    if (!shot) ADD_FAILURE() << "no screenshot " << name;
    return shot ? *shot : Screenshot();
  }

  // The long version of the cabinet's item or album at item, before it plays.
  void LongVersionOf(const fs::path& item) {
    ASSERT_TRUE(e2e::DemoCabinet::UseLongVersion(cabinet_, item)) << item;
  }

  // A request file of the queue folder, its line in the code page of the
  // program (the names used here are plain ASCII).
  void Request(const std::string& file, const std::string& line) {
    WriteHostFile(cabinet_ / "queue" / file, line + "\r\n");
  }

  // The entry the program reported for the next queue request after from.
  Entry RequestedEntry(size_t& from) {
    Entry entry;
    const std::optional<size_t> found = jukebox_->WaitForLog("Index: ", from, kRequestPickedUp);
    if (!found) return entry;
    std::istringstream(jukebox_->Log().substr(*found)) >> entry.genre >> entry.disc >> entry.track;
    from = *found;
    return entry;
  }

  // Keys one after another, as a customer presses them.
  bool Keys(std::initializer_list<const char*> keys) {
    for (const char* key : keys) {
      if (!jukebox_->Key(key)) return false;
      std::this_thread::sleep_for(150ms);
    }
    return true;
  }

  // Waits for text in the log after from; moves from past it.
  bool LogShows(const std::string& text, size_t& from, Millis limit) {
    const std::optional<size_t> found = jukebox_->WaitForLog(text, from, limit);
    if (found) from = *found;
    return found.has_value();
  }

  // Screenshots until one shows what condition looks for, or limit passes;
  // the last one taken.
  Screenshot ShotWhen(const std::string& step, const std::function<bool(const Screenshot&)>& condition,
                      Millis limit = kAnswered) {
    Screenshot shot;
    WaitUntil([&] { return condition(shot = Shot(step)); }, limit);
    return shot;
  }

  // The main screen comes back as first shown where playback draws: media
  // panel, queue and now-playing information.
  void ExpectIdlePlaybackPanels(const std::string& step) {
    const auto idle = [&](const Screenshot& shot) {
      return shot.ShareDifferingFrom(idle_, media_) < 0.02 && shot.ShareDifferingFrom(idle_, queue_) < 0.02 &&
             shot.ShareDifferingFrom(idle_, info_) < 0.02;
    };
    EXPECT_TRUE(idle(ShotWhen(step, idle))) << step;
  }

  // A video comes to cover the whole screen: every quarter of it looks
  // different from the main screen.
  void ExpectFullScreenVideo(const std::string& step) {
    const int w = kScreenWidth / 2, h = kScreenHeight / 2;
    const auto full = [&](const Screenshot& shot) {
      for (const Area& quarter : {AreaOf(0, 0, w, h), AreaOf(w, 0, w, h), AreaOf(0, h, w, h), AreaOf(w, h, w, h)})
        if (shot.ShareDifferingFrom(idle_, quarter) <= 0.6) return false;
      return true;
    };
    EXPECT_TRUE(full(ShotWhen(step, full))) << step;
  }

  // Waits for the end of the item playing, the last of the queue. (The end
  // of the one before may be told after this one started.)
  void ExpectQueueRunsOut(size_t& from, Millis limit) {
    EXPECT_TRUE(LogShows("Player going to quiet state", from, limit)) << jukebox_->Log();
  }

  TempDir dir_;
  fs::path cabinet_;
  fs::path output_;
  e2e::VirtualDisplay display_;
  std::unique_ptr<Jukebox> jukebox_;
  Screenshot idle_;
  Area media_, queue_, info_, credits_, covers_, genre_;

 private:
  void PrepareOutputFolder() {
    const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
    output_ = fs::path(E2E_OUTPUT_DIR) / test->name();
    fs::remove_all(output_);
    fs::create_directories(output_);
  }

  // The panels' rectangles of the cabinet's skin on the test screen.
  void ReadSkin() {
    Skin skin(kScreenWidth, kScreenHeight, 1);
    skin.CalculateCoordinates(1, 0, 0);
    skin.SetSkinName(ConfiguredSkin().c_str());
    skin.CalculateCoordinates(1, 0, 0);
    media_ = AreaOf(skin.xmedia, skin.ymedia, skin.wmedia, skin.hmedia);
    queue_ = AreaOf(skin.xqueue, skin.yqueue, skin.wqueue, skin.hqueue);
    info_ = AreaOf(skin.xinfo, skin.yinfo, skin.winfo, skin.hinfo);
    credits_ = AreaOf(skin.xcredits, skin.ycredits, skin.wcredits, skin.hcredits);
    covers_ = AreaOf(skin.xcovers, skin.ycovers, skin.wcovers, skin.hcovers);
    genre_ = AreaOf(skin.xgenre, skin.ygenre, skin.wgenre, skin.hgenre);
  }

  std::string ConfiguredSkin() const {
    std::ifstream configuration(cabinet_ / "configuration", std::ios::binary);
    for (std::string line; std::getline(configuration, line);)
      if (line.rfind("skinname=", 0) == 0) return line.substr(9, line.find_last_not_of("\r") - 8);
    return "";
  }

  std::unique_ptr<e2e::JukeboxEnvironment> environment_;
  int shots_ = 0;
};

TEST_F(JukeboxEndToEnd, QueueRequestPlaysASongToItsEnd) {
  LongVersionOf(kSong);
  Request("pedido1", "Pop\\Verano Azul\\01 - Amanecer.mp3");
  size_t log = 0;
  const Entry song = RequestedEntry(log);
  ASSERT_GE(song.track, 0) << jukebox_->Log();
  ASSERT_TRUE(LogShows(song.Playing(), log, kAnswered)) << jukebox_->Log();
  const Clock::time_point started = Clock::now();
  EXPECT_TRUE(jukebox_->WaitForSavedLine(song.QueueLine(), true, kAnswered)) << jukebox_->SavedState();
  // The request file goes just after the state is saved.
  EXPECT_TRUE(WaitUntil([&] { return !fs::exists(cabinet_ / "queue" / "pedido1"); }, kAnswered));
  EXPECT_LE(jukebox_->MediaPlayers().size(), 1u);

  const Screenshot playing = ShotWhen("song-playing", [&](const Screenshot& shot) {
    return shot.ShareDifferingFrom(idle_, media_) > 0.3 && shot.ShareDifferingFrom(idle_, info_) > 0.005;
  });
  EXPECT_GT(playing.ShareDifferingFrom(idle_, media_), 0.3) << "no cover of the song playing";
  EXPECT_GT(playing.ShareDifferingFrom(idle_, info_), 0.005) << "no now-playing information";

  ExpectQueueRunsOut(log, kLongestSong + kAnswered);
  const Millis played = std::chrono::duration_cast<Millis>(Clock::now() - started);
  RecordProperty("song_ms", static_cast<int>(played.count()));
  EXPECT_GE(played, kShortestSong - 1000ms) << "the song did not play through";
  EXPECT_TRUE(jukebox_->WaitForSavedLine(song.QueueLine(), false, kAnswered)) << jukebox_->SavedState();
  EXPECT_TRUE(jukebox_->MediaPlayers().empty());
  ExpectIdlePlaybackPanels("song-finished");
  ExpectCleanExit();
}

TEST_F(JukeboxEndToEnd, QueuedVideoFillsTheScreenAndAKeyShrinksItToTheMediaPanel) {
  LongVersionOf(kVideo);
  Request("video1", "Videos\\Videos Musicales\\01 - Luces de la Ciudad.mp4");
  size_t log = 0;
  ASSERT_TRUE(LogShows("Iniciando reproduccion de video", log, kRequestPickedUp)) << jukebox_->Log();
  ExpectFullScreenVideo("video-full-screen");

  ASSERT_TRUE(jukebox_->Key("Down"));
  const Screenshot small = ShotWhen("video-small", [&](const Screenshot& shot) {
    return shot.ShareDifferingFrom(idle_, covers_) < 0.05 && shot.ShareDifferingFrom(idle_, media_) > 0.6;
  });
  EXPECT_GT(small.ShareDifferingFrom(idle_, media_), 0.6) << "no video in the media panel";
  EXPECT_LT(small.ShareDifferingFrom(idle_, covers_), 0.05) << "the video still covers the albums";
  EXPECT_LT(small.ShareDifferingFrom(idle_, genre_), 0.05);

  ExpectQueueRunsOut(log, kAnswered);
  ExpectIdlePlaybackPanels("video-finished");
  ExpectCleanExit();
}

TEST_F(JukeboxEndToEnd, CancelSongKeyEndsThePlayingItemAndTheNextStarts) {
  LongVersionOf(kSong);
  Request("a1", "Pop\\Verano Azul\\01 - Amanecer.mp3");
  Request("a2", "Pop\\Verano Azul\\02 - Bailando Sola.mp3");
  size_t log = 0;
  const Entry first = RequestedEntry(log);
  // The first may start playing before or after the second request is read.
  size_t firstStarts = log;
  const Entry second = RequestedEntry(log);
  ASSERT_GE(second.track, 0) << jukebox_->Log();
  ASSERT_TRUE(LogShows(first.Playing(), firstStarts, kAnswered)) << jukebox_->Log();
  std::vector<pid_t> players;
  ASSERT_TRUE([&] {
    for (int tries = 0; tries < 100 && players.empty(); ++tries, std::this_thread::sleep_for(20ms))
      players = jukebox_->MediaPlayers();
    return players.size() == 1;
  }()) << "media players running: " << players.size();

  const Clock::time_point pressed = Clock::now();
  ASSERT_TRUE(jukebox_->Key("F8"));
  ASSERT_TRUE(LogShows(second.Playing(), log, kAnswered)) << jukebox_->Log();
  const Millis skipped = std::chrono::duration_cast<Millis>(Clock::now() - pressed);
  RecordProperty("skip_ms", static_cast<int>(skipped.count()));
  EXPECT_LT(skipped, 1000ms) << "the next item took too long to start";
  // The next item may start before the screen has dealt with the skipped one.
  EXPECT_TRUE(jukebox_->WaitForLog("Finish play", 0, kAnswered)) << jukebox_->Log();
  EXPECT_EQ(kill(players[0], 0), -1) << "the skipped item's player still runs";
  EXPECT_TRUE(jukebox_->WaitForSavedLine(first.QueueLine(), false, kAnswered)) << jukebox_->SavedState();
  EXPECT_TRUE(jukebox_->WaitForSavedLine(second.QueueLine(), true, kAnswered)) << jukebox_->SavedState();
  ExpectCleanExit();
}

// The demo cabinet opens on the all-music genre, its albums by title:
// 01 Boleros del Alma, 02 Brillo (4 songs), 03 Cartas de Amor, 04 Clasicos
// del Karaoke, 05 Corazon Digital (3 songs), 06 En Vivo (2 videos), ...
TEST_F(JukeboxEndToEnd, PaidSongFromCoinToSilence) {
  LongVersionOf("Pop/Brillo/02 - Cometa.mp3");
  ASSERT_TRUE(jukebox_->Press("c", 150ms));
  EXPECT_TRUE(jukebox_->WaitForSavedLine("savedcredits=1", true, kAnswered)) << jukebox_->SavedState();
  EXPECT_TRUE(jukebox_->WaitForSavedLine("counter1=1", true, kAnswered)) << jukebox_->SavedState();
  EXPECT_GT(Shot("coin-credited").ShareDifferingFrom(idle_, credits_), 0.002) << "the credits box did not change";

  const Entry song{0, 1, 1};  // Brillo, "02 - Cometa"
  ASSERT_TRUE(Keys({"Right", "Down", "Return"}));
  ShotWhen("song-added-message", ShowsAMessage);
  EXPECT_TRUE(jukebox_->WaitForSavedLine(song.QueueLine(), true, kPurchaseSaved)) << jukebox_->SavedState();
  EXPECT_TRUE(jukebox_->WaitForSavedLine("savedcredits=0", true, kAnswered)) << jukebox_->SavedState();
  size_t log = 0;
  ASSERT_TRUE(LogShows(song.Playing(), log, kAnswered)) << jukebox_->Log();
  // The song starts while the message is still up; its cover follows.
  const Screenshot playing = ShotWhen("paid-song-playing", [&](const Screenshot& shot) {
    return shot.ShareDifferingFrom(idle_, media_) > 0.3;
  });
  EXPECT_LT(playing.ShareDifferingFrom(idle_, credits_), 0.002) << "the credits box does not show 0 again";
  EXPECT_GT(playing.ShareDifferingFrom(idle_, media_), 0.3);

  ExpectQueueRunsOut(log, kLongestSong + kAnswered);
  EXPECT_TRUE(jukebox_->WaitForSavedLine(song.QueueLine(), false, kAnswered)) << jukebox_->SavedState();
  ExpectIdlePlaybackPanels("paid-song-finished");
  ExpectCleanExit();
}

TEST_F(JukeboxEndToEnd, PaidVideoFromCoinToSilence) {
  LongVersionOf("Videos/En Vivo/01 - Concierto Ac\xC3\xBAstico.mp4");
  ASSERT_TRUE(jukebox_->Press("v", 150ms));
  EXPECT_TRUE(jukebox_->WaitForSavedLine("savedcredits=2", true, kAnswered)) << jukebox_->SavedState();

  const Entry video{0, 5, 0};  // En Vivo, "01 - Concierto Acustico"
  ASSERT_TRUE(Keys({"Right", "Right", "Right", "Right", "Right", "Return"}));
  ShotWhen("video-added-message", ShowsAMessage);
  ASSERT_TRUE(jukebox_->Key("Escape"));  // closes the message early
  EXPECT_TRUE(jukebox_->WaitForSavedLine(video.QueueLine(), true, kPurchaseSaved)) << jukebox_->SavedState();
  EXPECT_TRUE(jukebox_->WaitForSavedLine("savedcredits=0", true, kAnswered)) << jukebox_->SavedState();
  // The playback thread's line and the screen's line come in either order.
  size_t log = 0, shown = 0;
  ASSERT_TRUE(LogShows(video.Playing(), log, kAnswered)) << jukebox_->Log();
  ASSERT_TRUE(LogShows("Iniciando reproduccion de video", shown, kAnswered)) << jukebox_->Log();
  log = std::max(log, shown);
  ExpectFullScreenVideo("paid-video-playing");

  ExpectQueueRunsOut(log, kAnswered);
  EXPECT_TRUE(jukebox_->WaitForSavedLine(video.QueueLine(), false, kAnswered)) << jukebox_->SavedState();
  ExpectIdlePlaybackPanels("paid-video-finished");
  ExpectCleanExit();
}

TEST_F(JukeboxEndToEnd, PaidWholeAlbumAfterTypedZeroConfirmation) {
  for (int coin = 0; coin < 3; ++coin) ASSERT_TRUE(jukebox_->Press("c", 100ms));
  EXPECT_TRUE(jukebox_->WaitForSavedLine("savedcredits=3", true, kAnswered)) << jukebox_->SavedState();

  // Album 05 (Corazon Digital), track 0: the whole album, typed with no
  // pause at all, so the track digit comes during the album's full redraw.
  // A move clears the highlight; the first enter brings it back, the second
  // buys.
  size_t log = 0;
  ASSERT_TRUE(jukebox_->KeysAtOnce({"0", "5", "0", "Down", "Return"}));
  ASSERT_TRUE(jukebox_->Key("Return"));
  ASSERT_TRUE(LogShows("Compra: 3 elementos del album 0,4 por 3 creditos, quedan 0", log, kPurchaseSaved))
      << jukebox_->Log();
  // Saved before it is logged, the album may start playing first.
  log = 0;
  EXPECT_EQ(Occurrences(jukebox_->Log(), "Compra:"), 1) << "bought before the confirmation";
  Shot("album-added-message");
  const Entry tracks[] = {{0, 4, 0}, {0, 4, 1}, {0, 4, 2}};
  EXPECT_TRUE(jukebox_->WaitForSavedLine("savedcredits=0", true, kAnswered)) << jukebox_->SavedState();
  for (const Entry& track : tracks)
    EXPECT_TRUE(jukebox_->WaitForSavedLine(track.QueueLine(), true, kAnswered)) << jukebox_->SavedState();

  ASSERT_TRUE(LogShows(tracks[0].Playing(), log, kAnswered)) << jukebox_->Log();
  Shot("album-playing");
  for (const Entry& next : {tracks[1], tracks[2]})
    ASSERT_TRUE(LogShows(next.Playing(), log, kLongestSong + kAnswered)) << jukebox_->Log();
  ExpectQueueRunsOut(log, kLongestSong + kAnswered);
  // The quiet state is logged just before it is saved.
  EXPECT_TRUE(WaitUntil([&] { return jukebox_->SavedState().find("queueitem") == std::string::npos; }, kAnswered))
      << jukebox_->SavedState();
  ExpectIdlePlaybackPanels("album-finished");
  ExpectCleanExit();
}

// A customer's evening in fast motion: 100 coin pulses at random moments
// among moves, album and track numbers typed with no pause, purchases of
// the songs of albums 02 and 05 (1 credit each) and the queue playing.
// Every coin is credited once: the saved credits and the screen show the
// coins less the purchases, and every purchase was queued.
TEST_F(JukeboxEndToEnd, HundredCoinsAmongBrowsingAndPurchasesAreAllCredited) {
  std::mt19937 random(20261207);
  const char* const moves[] = {"Right", "Left", "Down", "Up"};
  const struct {
    const char* digit;
    int tracks;
  } albums[] = {{"2", 4}, {"5", 3}};
  // The inputs count as handled once the log has been quiet for a while:
  // songs long enough to leave it so.
  LongVersionOf("Pop/Brillo");
  LongVersionOf("Pop/Coraz\xC3\xB3n Digital");
  int coins = 0, buys = 0;
  std::string lastBought;
  while (coins < 100) {
    const unsigned action = random() % 8;
    if (action < 5) {
      ASSERT_TRUE(jukebox_->Press("c", Millis(20 + random() % 60)));
      ++coins;
    } else if (action == 5) {
      ASSERT_TRUE(jukebox_->Key(moves[random() % 4]));
    } else {
      // Escape closes a message still up (or deletes a digit), Left ends
      // any number entry; the same track twice in a row would ask for VIP.
      const auto& album = albums[random() % 2];
      const std::string track = std::to_string(1 + random() % album.tracks);
      if (album.digit + track == lastBought) continue;
      lastBought = album.digit + track;
      ASSERT_TRUE(jukebox_->KeysAtOnce({"Escape", "Left", "0", album.digit, track, "Return"}));
      ++buys;
    }
    std::this_thread::sleep_for(Millis(random() % 250));
  }
  ASSERT_TRUE(jukebox_->Key("Escape"));

  // The last inputs are handled once the log stops growing.
  std::string log;
  ASSERT_TRUE(WaitUntil(
      [&] {
        const std::string before = jukebox_->Log();
        std::this_thread::sleep_for(3500ms);
        log = jukebox_->Log();
        return Occurrences(log, "Credito detectado") == coins && log.size() == before.size();
      },
      60000ms))
      << coins << " coins sent\n" << jukebox_->Log();
  const int purchases = Occurrences(log, "Compra: ");
  EXPECT_EQ(Occurrences(log, "Compra: 0,"), purchases) << "only single songs were bought";
  EXPECT_EQ(Occurrences(log, "Compra VIP"), 0);
  EXPECT_GT(purchases, 10) << buys << " purchases tried";
  const int credits = coins - purchases;
  RecordProperty("coins", coins);
  RecordProperty("purchases", purchases);
  EXPECT_TRUE(jukebox_->WaitForSavedLine("savedcredits=" + std::to_string(credits), true, kAnswered))
      << jukebox_->SavedState();
  EXPECT_TRUE(jukebox_->WaitForSavedLine("counter1=" + std::to_string(coins), true, kAnswered));
  const Screenshot before = Shot("after-the-coins");

  // Every purchase was queued: played, playing or waiting.
  EXPECT_EQ(kCleanExitCode, jukebox_->Stop(kAnswered));
  const std::vector<std::string> waiting = SavedQueue(jukebox_->SavedState());
  const int started = Occurrences(jukebox_->Log(), "Reproduciendo [0,");
  const bool headStarted = !waiting.empty() && jukebox_->Log().rfind("Reproduciendo [" + waiting[0] + "]") !=
                                                   std::string::npos;
  EXPECT_EQ(started + static_cast<int>(waiting.size()) - (headStarted ? 1 : 0), purchases);

  // The screen showed what was saved: a new start shows the same credits.
  jukebox_ = std::make_unique<Jukebox>(MELODECK_PROGRAM, cabinet_, output_ / "melodeck-again.log");
  ASSERT_TRUE(jukebox_->Start(kAnswered));
  ASSERT_TRUE(WaitUntil([&] { return Shot("restarted").ShareDifferingFrom(before, credits_) < 0.001; }, kAnswered))
      << "the credits shown differ from the saved " << credits;
}

// The purchase is saved with the lowered credits before its message shows,
// so a crash during the message loses nothing, and the song plays after the
// restart.
TEST_F(JukeboxEndToEnd, PurchaseSurvivesACrashDuringItsMessage) {
  LongVersionOf("Pop/Brillo/02 - Cometa.mp3");  // still queued when the crash comes
  ASSERT_TRUE(jukebox_->Press("c", 100ms));
  ASSERT_TRUE(jukebox_->WaitForSavedLine("savedcredits=1", true, kAnswered)) << jukebox_->SavedState();
  const Entry song{0, 1, 1};  // Brillo, "02 - Cometa"
  ASSERT_TRUE(jukebox_->KeysAtOnce({"Right", "Down", "Return"}));
  size_t log = 0;
  ASSERT_TRUE(LogShows("Compra: " + song.Saved(), log, kAnswered)) << jukebox_->Log();
  jukebox_->Kill();
  for (pid_t player : jukebox_->MediaPlayers()) kill(player, SIGKILL);
  EXPECT_TRUE(jukebox_->WaitForSavedLine("savedcredits=0", true, 0ms)) << jukebox_->SavedState();
  EXPECT_TRUE(jukebox_->WaitForSavedLine(song.QueueLine(), true, 0ms)) << jukebox_->SavedState();

  jukebox_ = std::make_unique<Jukebox>(MELODECK_PROGRAM, cabinet_, output_ / "melodeck-again.log");
  ASSERT_TRUE(jukebox_->Start(kAnswered));
  log = 0;
  EXPECT_TRUE(LogShows(song.Playing(), log, kAnswered)) << jukebox_->Log();
  ExpectCleanExit();
}

// A jukebox killed outright during a song takes its media player with it.
// Its restart ends a player left over all the same (one started here in its
// place, recorded as the killed run recorded its own) before it plays the
// song again: exactly one media player plays.
TEST_F(JukeboxEndToEnd, KilledJukeboxLeavesOnePlayerAfterItsRestart) {
  // The song lasts minutes here: its player is not ended by the song's end.
  LongVersionOf(kSong);
  const fs::path songFile = cabinet_ / "media" / kSong;
  const std::string once = ReadHostFile(songFile);
  std::string longer;
  for (int copy = 0; copy < 30; ++copy) longer += once;
  WriteHostFile(songFile, longer);
  Request("pedido1", "Pop\\Verano Azul\\01 - Amanecer.mp3");
  size_t log = 0;
  const Entry song = RequestedEntry(log);
  ASSERT_TRUE(LogShows(song.Playing(), log, kAnswered)) << jukebox_->Log();
  ASSERT_TRUE(jukebox_->WaitForSavedLine(song.QueueLine(), true, kAnswered)) << jukebox_->SavedState();
  ASSERT_TRUE(WaitUntil([&] { return fs::exists(cabinet_ / "player.pid"); }, kAnswered));
  const std::string record = ReadHostFile(cabinet_ / "player.pid");
  const std::string file = record.substr(record.find('\n') + 1, record.size() - record.find('\n') - 2);
  ASSERT_TRUE(jukebox_->WaitForMediaPlayers(1, kAnswered));
  jukebox_->Kill();
  EXPECT_TRUE(WaitUntil([&] { return jukebox_->MediaPlayers().empty(); }, kAnswered))
      << "the media player outlived the jukebox";

  const pid_t leftover = platform::StartDetached({"mplayer", "-really-quiet", "-vo", "null", "-loop", "0", file});
  ASSERT_GT(leftover, 0);
  const std::shared_ptr<void> endLeftover(nullptr, [leftover](void*) { kill(leftover, SIGKILL); });
  WriteHostFile(cabinet_ / "player.pid", std::to_string(leftover) + "\n" + file + "\n");
  ASSERT_TRUE(jukebox_->WaitForMediaPlayers(1, kAnswered));
  jukebox_ = std::make_unique<Jukebox>(MELODECK_PROGRAM, cabinet_, output_ / "melodeck-again.log");
  ASSERT_TRUE(jukebox_->Start(kAnswered));
  log = 0;
  ASSERT_TRUE(LogShows(song.Playing(), log, kAnswered)) << jukebox_->Log();
  EXPECT_NE(jukebox_->Log().find("Se cerro el reproductor que dejo la ejecucion anterior: " + std::to_string(leftover)),
            std::string::npos)
      << jukebox_->Log();
  EXPECT_TRUE(WaitUntil(
      [&] {
        const std::vector<pid_t> players = jukebox_->MediaPlayers();
        return players.size() == 1 && players.front() != leftover;
      },
      kAnswered))
      << jukebox_->MediaPlayers().size() << " media players";
  ExpectCleanExit();
}

// A video plays in the small panel while the customer buys: the messages
// are read above it, and an item that ends while a question waits still
// gives the next song its cover.
TEST_F(JukeboxEndToEnd, MessagesShowAboveTheVideoAndTheNextSongGetsItsCover) {
  for (int coin = 0; coin < 2; ++coin) ASSERT_TRUE(jukebox_->Press("v", 100ms));
  ASSERT_TRUE(jukebox_->WaitForSavedLine("savedcredits=4", true, kAnswered)) << jukebox_->SavedState();
  LongVersionOf(kVideo);
  LongVersionOf(kSong);
  Request("a1", "Videos\\Videos Musicales\\01 - Luces de la Ciudad.mp4");
  Request("a2", "Pop\\Verano Azul\\01 - Amanecer.mp3");
  size_t log = 0;
  RequestedEntry(log);  // the video
  const Entry song = RequestedEntry(log);
  ASSERT_GE(song.track, 0) << jukebox_->Log();
  ASSERT_TRUE(LogShows("Iniciando reproduccion de video", log, kAnswered)) << jukebox_->Log();

  // Album 02, track 3: "Agregado" over the video, now in the small panel.
  ASSERT_TRUE(jukebox_->KeysAtOnce({"0", "2", "3", "Return"}));
  ASSERT_TRUE(LogShows("Compra: 0,1,2", log, kAnswered)) << jukebox_->Log();
  const Screenshot added = ShotWhen("added-over-the-video", ShowsAMessage);
  EXPECT_GT(added.ShareDifferingFrom(idle_, media_), 0.3) << "no video in the media panel";
  EXPECT_TRUE(ShowsAMessage(added)) << added.File();

  // Enter again: the VIP question waits while the video ends and the
  // requested song starts.
  ASSERT_TRUE(jukebox_->KeysAtOnce({"Escape", "Return"}));
  ASSERT_TRUE(LogShows(song.Playing(), log, kAnswered)) << jukebox_->Log();
  EXPECT_TRUE(ShowsAMessage(Shot("question-while-the-song-starts")));
  ASSERT_TRUE(jukebox_->Key("Escape"));  // declined
  EXPECT_TRUE(WaitUntil([&] { return Shot("song-after-the-question").ShareDifferingFrom(idle_, media_) > 0.3; },
                        kAnswered))
      << "no cover for the song";
  EXPECT_TRUE(jukebox_->WaitForSavedLine("savedcredits=3", true, kAnswered)) << jukebox_->SavedState();
  ExpectCleanExit();
}

// The genres of the demo cabinet: 0 the all-music genre, 1 "Canción
// Romántica" (0 Boleros del Alma, 1 Cartas de Amor: "03 - Luna de Miel"),
// ... The customer picks the genre from the list, looks at the alphabet,
// types LUNA on the on-screen keyboard with the arrows, picks the result and
// buys it; it plays to its end.
TEST_F(JukeboxEndToEnd, GenreListKeyboardSearchAndPurchaseOfTheResult) {
  ASSERT_TRUE(jukebox_->Key("g"));
  const Area dialog = AreaOf(kScreenWidth / 2 - 150, kScreenHeight / 2 - 100, 300, 200);
  const auto changed = [&](const Area& area) {
    return [&, area](const Screenshot& shot) { return shot.ShareDifferingFrom(idle_, area) > 0.1; };
  };
  EXPECT_TRUE(changed(dialog)(ShotWhen("genre-list", changed(dialog))));
  ASSERT_TRUE(jukebox_->KeysAtOnce({"Down", "Return"}));
  EXPECT_TRUE(changed(covers_)(ShotWhen("first-album-of-the-genre", changed(covers_))));

  ASSERT_TRUE(jukebox_->Key("Next"));
  ShotWhen("alphabet", changed(dialog));
  ASSERT_TRUE(jukebox_->Key("Escape"));

  ASSERT_TRUE(jukebox_->Key("F3"));
  // From Q: down to A, on to L; up to O, back to U; down twice to M, left
  // to N; up to H, back to A; up to Q, left round to the search key.
  ASSERT_TRUE(jukebox_->KeysAtOnce({"Down", "Right", "Right", "Right", "Right", "Right", "Right", "Right", "Right",
                                    "Return", "Up", "Left", "Left", "Return", "Down", "Down", "Left", "Return", "Up",
                                    "Left", "Left", "Left", "Left", "Left", "Return"}));
  Screenshot typed = ShotWhen("keyboard-typed", changed(dialog));
  ASSERT_TRUE(jukebox_->KeysAtOnce({"Up", "Left", "Return"}));
  const Screenshot results = ShotWhen("results", [&](const Screenshot& shot) {
    return shot.ShareDifferingFrom(typed, dialog) > 0.3;
  });
  ASSERT_TRUE(jukebox_->Key("Return"));

  const Entry song{1, 1, 2};
  ASSERT_TRUE(jukebox_->Press("c", 100ms));
  ASSERT_TRUE(jukebox_->WaitForSavedLine("savedcredits=1", true, kAnswered)) << jukebox_->SavedState();
  ASSERT_TRUE(jukebox_->Key("Return"));
  size_t log = 0;
  // Saved before it is logged, the purchase may start playing first.
  ASSERT_TRUE(LogShows("Compra: " + song.Saved(), log, kAnswered)) << jukebox_->Log();
  log = 0;
  ASSERT_TRUE(LogShows(song.Playing(), log, kAnswered)) << jukebox_->Log();
  ExpectQueueRunsOut(log, kLongestSong + kAnswered);
  ExpectCleanExit();
}

// The searcher on, searching a loopback source (an RSS feed) that lists the
// demo's first video under each title, from a new start.
class OnlineEndToEnd : public JukeboxEndToEnd {
 protected:
  void StartWithLoopbackSource(const std::vector<std::string>& titles) {
    const fs::path served = dir_.Path() / "served";
    fs::create_directories(served / "media");
    fs::copy_file(cabinet_ / "media" / "Videos" / "Videos Musicales" / "01 - Luces de la Ciudad.mp4",
                  served / "media" / "1.mp4");
    ASSERT_TRUE(source_.Start(served));
    std::string items;
    for (const std::string& title : titles)
      items += "<item><title>" + title + "</title><enclosure url=\"" + source_.Address() + "/media/1.mp4\"/></item>";
    WriteHostFile(served / "buscar.rss", "<rss><channel><title>Buscar</title>" + items + "</channel></rss>");

    EXPECT_EQ(jukebox_->Stop(5000ms), kCleanExitCode);
    std::string configuration = ReadHostFile(cabinet_ / "configuration");
    configuration.replace(configuration.find("phonekeyboard=no"), 16, "phonekeyboard=yes");
    WriteHostFile(cabinet_ / "configuration",
                  configuration + "busquedaenlinea=" + source_.Address() + "/buscar.rss?q={text}\r\n");
    jukebox_ = std::make_unique<Jukebox>(MELODECK_PROGRAM, cabinet_, output_ / "melodeck-searcher.log");
    ASSERT_TRUE(jukebox_->Start(15000ms));
    ASSERT_TRUE(jukebox_->Press("v", 100ms));
    ASSERT_TRUE(jukebox_->WaitForSavedLine("savedcredits=2", true, kAnswered)) << jukebox_->SavedState();
  }

  // The searcher typing "VID" on the number keys; enter searches on-line.
  void SearchOnline() {
    ASSERT_TRUE(jukebox_->Key("F3"));
    ASSERT_TRUE(jukebox_->KeysAtOnce({"8", "8", "8", "4", "4", "4", "3", "Return"}));
  }

  // The entry of the download the log reports added after log.
  Entry AddedDownload(size_t& log) {
    if (!LogShows("Index of added download: 0 ", log, 30000ms)) return Entry{};
    const std::string added = jukebox_->Log().substr(log);
    return Entry{0, std::stoi(added), std::stoi(added.substr(added.find(' ') + 1))};
  }

  LoopbackServer source_;
};

// The on-line search and a paid download, through the real yt-dlp and a
// loopback source of a video of the demo cabinet under a hostile title. The
// second result is refused for too few credits, then, after one more coin,
// downloaded, paid once it completes and queued; after a power cut it is
// still queued and plays.
TEST_F(OnlineEndToEnd, OnlineResultIsDownloadedPaidOnceAndPlayed) {
  const std::string hostile = "\"; touch pwned; \" $(id)";
  StartWithLoopbackSource({"Video de Prueba", "&quot;; touch pwned; &quot; $(id)"});
  SearchOnline();
  size_t log = 0;
  ASSERT_TRUE(LogShows("line: " + hostile, log, 30000ms)) << jukebox_->Log();
  Shot("online-results");
  ASSERT_TRUE(jukebox_->KeysAtOnce({"Down", "Down", "Return"}));
  ShotWhen("download-refused", ShowsAMessage);
  ASSERT_TRUE(jukebox_->Key("Escape"));
  ASSERT_TRUE(jukebox_->Press("c", 100ms));
  ASSERT_TRUE(jukebox_->WaitForSavedLine("savedcredits=3", true, kAnswered)) << jukebox_->SavedState();
  EXPECT_EQ(Occurrences(jukebox_->Log(), "Iniciando descarga"), 0) << jukebox_->Log();

  ASSERT_TRUE(jukebox_->Key("Return"));
  ASSERT_TRUE(LogShows("Iniciando descarga", log, kAnswered)) << jukebox_->Log();
  const Entry download = AddedDownload(log);
  ASSERT_GE(download.track, 0) << jukebox_->Log();
  ASSERT_TRUE(jukebox_->WaitForSavedLine("queueitempaid=3", true, kAnswered)) << jukebox_->SavedState();
  jukebox_->Kill();
  for (pid_t player : jukebox_->MediaPlayers()) kill(player, SIGKILL);
  Shot("download-done");
  const std::string saved = jukebox_->SavedState();
  EXPECT_EQ(saved.rfind("savedcredits=0\n", 0), 0u) << saved;
  EXPECT_EQ(Occurrences(saved, "queueitemstring=TODA LA MUSICA/Descargas/[D] " + hostile + "."), 1) << saved;

  jukebox_ = std::make_unique<Jukebox>(MELODECK_PROGRAM, cabinet_, output_ / "melodeck-after-the-cut.log");
  ASSERT_TRUE(jukebox_->Start(kAnswered));
  log = 0;
  ASSERT_TRUE(LogShows(download.Playing(), log, kAnswered)) << jukebox_->Log();
  ExpectQueueRunsOut(log, 15000ms);
  EXPECT_TRUE(jukebox_->WaitForSavedLine("savedcredits=0", true, kAnswered)) << jukebox_->SavedState();
  EXPECT_EQ(Occurrences(jukebox_->Log(), "Devolucion"), 0) << jukebox_->Log();
  EXPECT_FALSE(fs::exists(cabinet_ / "pwned"));
  ExpectCleanExit();
}

// The number the log gives after text, which start-up prints once.
int LoggedNumber(const Jukebox& jukebox, const std::string& text, Millis limit) {
  const std::optional<size_t> found = jukebox.WaitForLog(text, 0, limit);
  return found ? std::stoi(jukebox.Log().substr(*found)) : -1;
}

// A paid download whose title holds "/" plays, its row having found it by
// the name the jukebox gave it. The catalogue tool then writes the album
// into "db"; after a restart "Descargas" is one album of the all-music
// genre, and the download plays again.
TEST_F(OnlineEndToEnd, DownloadPlaysAgainAfterTheCatalogueToolRan) {
  const int albums = LoggedNumber(*jukebox_, "Albumes en TODA LA MUSICA: ", kAnswered);
  StartWithLoopbackSource({"AC/DC en Vivo"});
  ASSERT_TRUE(jukebox_->Press("c", 100ms));
  ASSERT_TRUE(jukebox_->WaitForSavedLine("savedcredits=3", true, kAnswered)) << jukebox_->SavedState();
  SearchOnline();
  size_t log = 0;
  ASSERT_TRUE(LogShows("line: AC/DC en Vivo", log, 30000ms)) << jukebox_->Log();
  ASSERT_TRUE(jukebox_->KeysAtOnce({"Down", "Return"}));
  const Entry download = AddedDownload(log);
  ASSERT_GE(download.track, 0) << jukebox_->Log();
  // The screen's line and the playback thread's come in either order.
  size_t indexed = log;
  EXPECT_TRUE(LogShows("Index item: 0\n", indexed, kAnswered)) << jukebox_->Log();
  ASSERT_TRUE(LogShows(download.Playing(), log, kAnswered)) << jukebox_->Log();
  ExpectQueueRunsOut(log, 15000ms);
  ASSERT_EQ(jukebox_->Stop(kAnswered), kCleanExitCode);

  ASSERT_EQ(e2e::RunLogged({MELODECK_CONFIGTOOL, "updatedb"}, output_ / "configtool.log"), 0);
  jukebox_ = std::make_unique<Jukebox>(MELODECK_PROGRAM, cabinet_, output_ / "melodeck-after-configtool.log");
  ASSERT_TRUE(jukebox_->Start(kAnswered));
  EXPECT_EQ(LoggedNumber(*jukebox_, "Albumes en TODA LA MUSICA: ", kAnswered), albums + 1) << jukebox_->Log();
  Request("otra-vez", "TODA LA MUSICA\\Descargas\\[D] AC_DC en Vivo.mp4");
  log = 0;
  const Entry again = RequestedEntry(log);
  ASSERT_GE(again.track, 0) << jukebox_->Log();
  ASSERT_TRUE(LogShows(again.Playing(), log, kAnswered)) << jukebox_->Log();
  ExpectQueueRunsOut(log, 15000ms);
  EXPECT_EQ(Occurrences(jukebox_->Log(), "Devolucion"), 0) << jukebox_->Log();
  ExpectCleanExit();
}

// A cabinet whose media folder holds nothing shows the owner what to do and
// stays there, without restarts; a coin is still credited and saved.
TEST_F(JukeboxEndToEnd, EmptyMediaFolderShowsWhatToDoAndCountsCoins) {
  ASSERT_EQ(jukebox_->Stop(kAnswered), kCleanExitCode);
  fs::remove_all(cabinet_ / "media");
  fs::create_directories(cabinet_ / "media");
  fs::remove(cabinet_ / "db");
  jukebox_ = std::make_unique<Jukebox>(MELODECK_PROGRAM, cabinet_, output_ / "melodeck-empty.log");
  ASSERT_TRUE(jukebox_->Start(kAnswered)) << jukebox_->Log();
  size_t log = 0;
  ASSERT_TRUE(LogShows("No hay contenido multimedia en media; esperando al encargado", log, kAnswered));
  const Area middle = AreaOf(kScreenWidth / 2 - 150, kScreenHeight / 2 - 60, 300, 120);
  const auto shown = [&](const Screenshot& shot) { return ShareOfMessageColour(shot, middle) > 0.5; };
  EXPECT_TRUE(shown(ShotWhen("no-media", shown)));
  ASSERT_TRUE(jukebox_->Press("v", 100ms));
  EXPECT_TRUE(jukebox_->WaitForSavedLine("savedcredits=2", true, kAnswered)) << jukebox_->SavedState();
  EXPECT_TRUE(shown(ShotWhen("no-media-credited", shown)));
  EXPECT_EQ(jukebox_->Stop(kAnswered), kCleanExitCode) << jukebox_->Log();
}

// A 16:9 cover keeps its shape in the media panel: dark bands above and
// below it, the picture between.
TEST_F(JukeboxEndToEnd, WideCoverOfThePlayingSongKeepsItsProportions) {
  LongVersionOf(kSong);
  ASSERT_EQ(e2e::RunLogged({"/usr/bin/python3", "-c",
                            "import sys\nfrom PIL import Image, ImageDraw\n"
                            "image = Image.new('RGB', (320, 180), (250, 160, 20))\n"
                            "ImageDraw.Draw(image).ellipse((90, 20, 230, 160), fill=(20, 40, 160))\n"
                            "image.save(sys.argv[1])\n",
                            (cabinet_ / "media" / "Pop" / "Verano Azul" / "cover.jpg").string()},
                           output_ / "cover.log"),
            0);
  Request("ancha", "Pop\\Verano Azul\\01 - Amanecer.mp3");
  size_t log = 0;
  const Entry song = RequestedEntry(log);
  ASSERT_TRUE(LogShows(song.Playing(), log, kAnswered)) << jukebox_->Log();
  const FitRect fit = FitInside(16, 9, media_.w, media_.h);
  const Area band = AreaOf(media_.x, media_.y + 1, media_.w, fit.y - 2);
  const Area picture = AreaOf(media_.x, media_.y + fit.y + 2, media_.w, fit.h - 4);
  const auto fitted = [&](const Screenshot& shot) { return ShareLit(shot, picture) > 0.95 && ShareLit(shot, band) < 0.05; };
  EXPECT_TRUE(fitted(ShotWhen("wide-cover", fitted))) << "bands " << fit.y << " px";
  ExpectQueueRunsOut(log, kLongestSong + kAnswered);
  ExpectCleanExit();
}

// The operator menu, as the operator reaches it: by its key and by the
// access sequence (a coin input held over 3 s, then up and down). Coin 1 is
// set from 1 to 2 credits and saved; after a restart one coin gives 2
// credits, which buy a Wi-Fi code whose QR dialog closes once its image is
// taken away (the code used).
class OperatorEndToEnd : public JukeboxEndToEnd {
 protected:
  // The middle of the operator menu's list.
  const Area menu_ = AreaOf(kScreenWidth / 2 - 100, kScreenHeight / 2 - 190, 200, 380);
  // The code dialog's middle, where the QR image is drawn.
  const Area qr_ = AreaOf(kScreenWidth / 2 - 100, kScreenHeight / 2 - 110, 200, 220);

  // The menu's selection bar in the middle of the screen: the demo's
  // selection colour, which the main screen shows only at its left.
  bool ShowsTheMenu(const Screenshot& shot) const {
    int selected = 0, total = 0;
    for (int y = menu_.y - 50; y < menu_.y + menu_.h + 50; ++y)
      for (int x = menu_.x; x < menu_.x + menu_.w; ++x, ++total) {
        const e2e::Pixel pixel = shot.At(x, y);
        if (pixel.r < 8 && std::abs(pixel.g - 122) < 8 && std::abs(pixel.b - 190) < 8) ++selected;
      }
    return selected > total / 50;
  }
  bool MenuGone(const Screenshot& shot) const { return shot.ShareDifferingFrom(idle_, menu_) < 0.05; }

  bool FileHolds(const std::string& name, const std::string& text, Millis limit) const {
    return WaitUntil([&] { return ReadHostFile(cabinet_ / name).find(text) != std::string::npos; }, limit);
  }

  void Restart() {
    EXPECT_EQ(jukebox_->Stop(5000ms), kCleanExitCode) << jukebox_->Log();
    jukebox_ = std::make_unique<Jukebox>(MELODECK_PROGRAM, cabinet_, output_ / "melodeck-restarted.log");
    ASSERT_TRUE(jukebox_->Start(15000ms)) << "no jukebox window after the restart\n" << jukebox_->Log();
  }

  // The text of the QR code in a screenshot, as zbarimg reads it.
  static std::string QrText(const Screenshot& shot) {
    const fs::path decoded = shot.File().string() + ".txt";
    platform::OutputOptions output;
    output.stdoutFile = decoded.string();
    output.quiet = true;
    platform::RunAndWait({"zbarimg", "--raw", "-q", shot.File().string()}, output);
    std::string text = ReadHostFile(decoded);
    return text.substr(0, text.find('\n'));
  }
};

TEST_F(OperatorEndToEnd, CoinValueSavedInTheMenuThenAWifiCodeBought) {
  ASSERT_TRUE(jukebox_->Key("F2"));
  EXPECT_TRUE(ShowsTheMenu(ShotWhen("menu-by-key", [&](const Screenshot& s) { return ShowsTheMenu(s); })));
  ASSERT_TRUE(jukebox_->Key("Escape"));
  EXPECT_TRUE(MenuGone(ShotWhen("menu-left", [&](const Screenshot& s) { return MenuGone(s); })));

  size_t log = 0;
  ASSERT_TRUE(jukebox_->Press("c", 3400ms));
  ShotWhen("access-sequence-asked", ShowsAMessage);
  ASSERT_TRUE(Keys({"Up", "Down"}));
  ASSERT_TRUE(LogShows("Abrir menu inteligente", log, kAnswered)) << jukebox_->Log();
  EXPECT_TRUE(ShowsTheMenu(ShotWhen("menu-by-sequence", [&](const Screenshot& s) { return ShowsTheMenu(s); })));
  EXPECT_EQ(jukebox_->SavedState().find("savedcredits=1"), std::string::npos) << "the long hold was credited";

  // Coin 1 (row 0) one up, then "Guardar y salir" (row 12).
  ASSERT_TRUE(Keys({"Right"}));
  Shot("coin-value-raised");
  ASSERT_TRUE(Keys({"Down", "Down", "Down", "Down", "Down", "Down", "Down", "Down", "Down", "Down", "Down", "Down"}));
  ASSERT_TRUE(Keys({"Return"}));
  EXPECT_TRUE(FileHolds("configuser", "creditscoin1=2\n", kAnswered)) << ReadHostFile(cabinet_ / "configuser");
  ShotWhen("changes-saved-message", ShowsAMessage);

  Restart();
  ASSERT_TRUE(jukebox_->Press("c", 150ms));
  EXPECT_TRUE(jukebox_->WaitForSavedLine("savedcredits=2", true, kAnswered)) << jukebox_->SavedState();

  // F6: the question for 1 credit, Up: for 2, Return buys.
  ASSERT_TRUE(jukebox_->Key("F6"));
  ShotWhen("wifi-question", ShowsAMessage);
  ASSERT_TRUE(Keys({"Up"}));
  ASSERT_TRUE(Keys({"Return"}));
  log = 0;
  ASSERT_TRUE(LogShows("Esperando que se consuma codigo ", log, 10000ms)) << jukebox_->Log();
  const std::string code = jukebox_->Log().substr(log, 4);
  EXPECT_NE(jukebox_->Log().find("Ejecutando: code.py " + code + " 2"), std::string::npos) << jukebox_->Log();
  EXPECT_TRUE(jukebox_->WaitForSavedLine("savedcredits=0", true, 1000ms)) << jukebox_->SavedState();
  const Screenshot dialog = ShotWhen("wifi-code-dialog", [&](const Screenshot& s) {
    return s.ShareDifferingFrom(idle_, qr_) > 0.5 && !QrText(s).empty();
  });
  EXPECT_EQ(QrText(dialog), "http://10.42.0.1/wifi?codigo=" + code);

  const fs::path image = cabinet_ / "wificodes" / (code + ".png");
  ASSERT_TRUE(fs::exists(image));
  fs::remove(image);
  const Screenshot closed = ShotWhen("wifi-code-used", [&](const Screenshot& s) {
    return s.ShareDifferingFrom(idle_, qr_) < 0.05;
  });
  EXPECT_LT(closed.ShareDifferingFrom(idle_, qr_), 0.05) << "the code dialog stayed";
  EXPECT_TRUE(jukebox_->WaitForSavedLine("savedcredits=0", true, 1000ms)) << jukebox_->SavedState();
  ExpectCleanExit();
}

// Free play takes nothing: three songs bought with no credits leave none
// owed, and coins inserted meanwhile are still there for the coin-operated
// mode.
TEST_F(OperatorEndToEnd, FreePlayTakesNoCreditsAndCoinsStayTheCustomers) {
  WriteHostFile(cabinet_ / "configuser", "creditscoin1=1\ncreditscoin2=3\nplaymode=fiesta\ntvout=0\n");
  Restart();
  size_t log = 0;
  for (const char* move : {"Right", "Down", "Down"}) {
    ASSERT_TRUE(Keys({move, "Return"}));
    EXPECT_TRUE(LogShows("por 0 creditos, quedan 0", log, kAnswered)) << jukebox_->Log();
    ShotWhen("free-song-bought", [](const Screenshot& shot) { return !ShowsAMessage(shot); });
  }
  EXPECT_EQ(Occurrences(jukebox_->Log(), "Compra: "), 3) << jukebox_->Log();
  EXPECT_TRUE(jukebox_->WaitForSavedLine("savedcredits=0", true, kAnswered)) << jukebox_->SavedState();
  ASSERT_TRUE(jukebox_->Press("c", 150ms));
  ASSERT_TRUE(jukebox_->Press("c", 150ms));
  EXPECT_TRUE(jukebox_->WaitForSavedLine("savedcredits=2", true, kAnswered)) << jukebox_->SavedState();

  WriteHostFile(cabinet_ / "configuser", "creditscoin1=1\ncreditscoin2=3\nplaymode=jukebox\ntvout=0\n");
  Restart();
  EXPECT_TRUE(jukebox_->WaitForSavedLine("savedcredits=2", true, 0ms)) << jukebox_->SavedState();
  ASSERT_TRUE(Keys({"Return"}));
  log = 0;
  EXPECT_TRUE(LogShows("por 1 creditos, quedan 1", log, kAnswered)) << jukebox_->Log();
  EXPECT_TRUE(jukebox_->WaitForSavedLine("savedcredits=1", true, kAnswered)) << jukebox_->SavedState();
  ExpectCleanExit();
}

// A tmpfs mounted for one test, unmounted however the test ends.
class SmallDisk {
 public:
  SmallDisk(const fs::path& folder, const char* size) : folder_(folder) {
    fs::create_directories(folder);
    mounted_ = mount("tmpfs", folder.c_str(), "tmpfs", 0, size) == 0;
  }
  ~SmallDisk() {
    if (mounted_) umount2(folder_.c_str(), MNT_DETACH);
  }
  bool Mounted() const { return mounted_; }

 private:
  fs::path folder_;
  bool mounted_ = false;
};

// Fills the file system of folder with one file; its path.
fs::path FillUp(const fs::path& folder) {
  const fs::path filler = folder / "relleno";
  std::ofstream out(filler, std::ios::binary);
  const std::string block(1 << 16, '\0');
  while (out.write(block.data(), block.size())) {
  }
  return filler;
}

// The cabinet's disk fills up while it runs: coins are still credited and
// shown, the failure is logged, a purchase is refused and nothing charged;
// once there is room again every coin is in "tempdata".
TEST_F(OperatorEndToEnd, FullDiskSellsNothingAndKeepsEveryCoin) {
  ASSERT_EQ(jukebox_->Stop(kAnswered), kCleanExitCode);
  SmallDisk disk(dir_.Path() / "small", "size=48m");
  if (!disk.Mounted()) GTEST_SKIP() << "no tmpfs can be mounted here";
  const fs::path cabinet = dir_.Path() / "small" / "cabinet";
  fs::copy(cabinet_, cabinet, fs::copy_options::recursive | fs::copy_options::copy_symlinks);
  fs::current_path(cabinet);
  jukebox_ = std::make_unique<Jukebox>(MELODECK_PROGRAM, cabinet, output_ / "melodeck-small-disk.log");
  ASSERT_TRUE(jukebox_->Start(kAnswered)) << jukebox_->Log();
  WaitForTheMainScreen();

  const fs::path filler = FillUp(dir_.Path() / "small");
  size_t log = 0;
  ASSERT_TRUE(jukebox_->Press("c", 150ms));
  EXPECT_TRUE(LogShows("No se pudo guardar tempdata: No space left on device", log, kAnswered)) << jukebox_->Log();
  EXPECT_TRUE(LogShows("Moneda: entrada 1, 1 creditos, quedan 1", log, kAnswered)) << jukebox_->Log();
  ASSERT_TRUE(jukebox_->Press("c", 150ms));
  EXPECT_TRUE(LogShows("quedan 2", log, kAnswered)) << jukebox_->Log();
  EXPECT_GT(Shot("coins-on-a-full-disk").ShareDifferingFrom(idle_, credits_), 0.002);
  ASSERT_TRUE(Keys({"Right", "Down", "Return"}));
  EXPECT_TRUE(LogShows("Compra no realizada: no se pudo guardar", log, kAnswered)) << jukebox_->Log();
  EXPECT_TRUE(ShowsAMessage(ShotWhen("purchase-refused", ShowsAMessage)));
  EXPECT_EQ(jukebox_->Log().find("Reproduciendo"), std::string::npos) << jukebox_->Log();
  EXPECT_EQ(jukebox_->SavedState().find("queueitem"), std::string::npos) << jukebox_->SavedState();

  fs::remove(filler);
  EXPECT_TRUE(jukebox_->WaitForSavedLine("savedcredits=2", true, kAnswered)) << jukebox_->Log();
  EXPECT_TRUE(jukebox_->WaitForSavedLine("counter1=2", true, 0ms)) << jukebox_->SavedState();
  EXPECT_TRUE(LogShows("Estado guardado de nuevo en tempdata", log, kAnswered)) << jukebox_->Log();
  ExpectCleanExit();
}

}  // namespace
