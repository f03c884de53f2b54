#include <SDL.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "CoverCatalogue.h"
#include "SDLGuiTestCabinet.h"
#include "platform/System.h"
#include "playback/Player.h"
#include "support/Files.h"
#include "support/HostileFiles.h"

namespace {

namespace fs = std::filesystem;

const std::string kLongTitle = "Titulo " + std::string(60, 'x') + " ABCDEFGHIJKLMNOPQRSTUVWXYZ fin.mp3";

// Genre 0 "Pop" (album "Exitos": Uno, Dos and a title too wide for the
// tracks list), genre 1 "Videos" (album "Clips": one video), genre 2
// "Karaoke" (album "Noche": one song, on disk).
class SDLGuiFrameTest : public CabinetTest {
 protected:
  SDLGuiFrameTest() {
    AddAlbum("Pop", "Exitos", {"Uno.mp3", "Dos.mp3", kLongTitle});
    AddAlbum("Videos", "Clips", {"clip.mp4"});
    AddAlbum("Karaoke", "Noche", {"cancion.mp3"});
  }

  void SetUp() override {
    ASSERT_EQ(Start(), 1) << setUpLog;
    gui.Resources().player = &player;
    gui.Display().redrawMode = SDLGui::kUpToDate;
  }

  void AddAlbum(const char* genreName, const char* title, const std::vector<std::string>& tracks) {
    GenreElement* genre = catalogue.AddGenre(genreName, 0);
    DiscElement* disc = catalogue.AddDisc(genre, title, 0, false);
    for (const std::string& track : tracks) catalogue.AddTrack(disc, track);
  }

  // One pass of draw, its log returned.
  // A pass, and what follows the sales it made once they are saved.
  std::string Draw() {
    testing::internal::CaptureStdout();
    gui.draw();
    FinishSales();
    return testing::internal::GetCapturedStdout();
  }
  static bool Has(const std::string& log, const std::string& text) {
    return log.find(text) != std::string::npos;
  }
  // A point of the volume panel: plain background while no bar is shown.
  Rgba VolumePanel() { return ColorAt(gui.Display().screen, skin.xvolumen + 1, skin.yvolumen + 1); }
  void Blacken() { SDL_FillRect(gui.Display().screen, nullptr, 0); }

  CoverCatalogue catalogue{library};
  Player player{&gui, &library, &queue, ""};
};

// Playback events ------------------------------------------------------------

TEST_F(SDLGuiFrameTest, FinishedWithAnEmptyQueueRedrawsSavesAndStartsTheIdleTime) {
  Blacken();
  gui.ExternalAction(Player::kFinished);
  const std::string log = Draw();
  EXPECT_EQ(log.rfind("Finish play\n", 0), 0u) << log;
  EXPECT_TRUE(Has(log, "Player going to quiet state\n"));
  EXPECT_FALSE(Has(log, "COUNT"));
  EXPECT_PRED2(Near, VolumePanel(), Color(kSkinBlue));
  EXPECT_TRUE(StateSaved());
  EXPECT_TRUE(gui.PendingPlaybackEvents().empty());
  EXPECT_EQ(gui.Input().idleSince, clock.Ticks());

  fs::remove("tempdata");
  Draw();  // handled: nothing more
  EXPECT_FALSE(StateSaved());
}

TEST_F(SDLGuiFrameTest, VideoStartedTakesTheWholeScreen) {
  queue.AddElementToQueue(1, 0, 0);
  player.playing = 1;
  gui.Input().miniVideo = 1;
  gui.Input().idleSince = 5;
  gui.Timing().playSeconds = 7;
  gui.Video().HideVideoWindow();
  clock.Advance(100);
  gui.ExternalAction(Player::kVideoStarted);
  EXPECT_TRUE(Has(Draw(), "Iniciando reproduccion de video\n"));
  EXPECT_TRUE(gui.Resources().playerWindow->IsVisible());
  EXPECT_EQ(gui.Resources().playerWindow->Area().w, 1024);
  EXPECT_EQ(gui.Resources().playerWindow->Area().h, 768);
  EXPECT_EQ(gui.Input().miniVideo, 0);
  EXPECT_EQ(gui.Input().idleSince, 0u);
  EXPECT_EQ(gui.Timing().playSeconds, 0u);
  EXPECT_EQ(gui.Timing().playStartedAt, clock.Ticks());
  EXPECT_TRUE(gui.PendingPlaybackEvents().empty());

  // Over an open dialog the video window stays where it is.
  gui.Resources().playerWindow->Move(SDLGui::MakeRect(1, 2, 3, 4));
  gui.Display().dialog = SDLGui::kGenresScreen;
  gui.ExternalAction(Player::kVideoStarted);
  Draw();
  EXPECT_EQ(gui.Resources().playerWindow->Area().x, 1);
}

TEST_F(SDLGuiFrameTest, FinishedBeforeASongHidesTheVideoAndRedraws) {
  queue.AddElementToQueue(0, 0, 1);
  gui.Video().ShowVideoWindow();
  Blacken();
  gui.ExternalAction(Player::kFinished);
  const std::string log = Draw();
  EXPECT_TRUE(Has(log, "Finish play\nCOUNT\nNext play: Song\nOcultando pantalla de video y redibujando\n"))
      << log;
  EXPECT_FALSE(gui.Resources().playerWindow->IsVisible());
  EXPECT_PRED2(Near, VolumePanel(), Color(kSkinBlue));
  EXPECT_EQ(gui.Input().idleSince, clock.Ticks());
}

// A message box held the loop while a video ended and the next song began:
// the end still hides the video before the song is shown.
TEST_F(SDLGuiFrameTest, EventsPostedWhileTheLoopWasHeldAreAllHandledInOrder) {
  queue.AddElementToQueue(0, 0, 1);
  player.playing = 1;
  gui.Video().ShowVideoWindow();
  gui.ExternalAction(Player::kFinished);
  gui.ExternalAction(Player::kSongStarted);
  const std::string log = Draw();
  EXPECT_TRUE(Has(log, "Finish play\nCOUNT\nNext play: Song\n")) << log;
  EXPECT_FALSE(gui.Resources().playerWindow->IsVisible());
  EXPECT_EQ(gui.Timing().playStartedAt, clock.Ticks());
  EXPECT_TRUE(gui.PendingPlaybackEvents().empty());
}

TEST_F(SDLGuiFrameTest, FinishedBeforeAVideoLeavesTheScreenToIt) {
  queue.AddElementToQueue(1, 0, 0);
  gui.Video().ShowVideoWindow();
  Blacken();
  gui.ExternalAction(Player::kFinished);
  const std::string log = Draw();
  EXPECT_TRUE(Has(log, "COUNT\nNext play: Video\n")) << log;
  EXPECT_TRUE(gui.Resources().playerWindow->IsVisible());
  EXPECT_EQ(VolumePanel(), Opaque(0, 0, 0));
  EXPECT_TRUE(StateSaved());
}

// The panel is drawn at the start (00:00) and then once per whole second.
// Nobody pays for silence: a paid item whose file is missing gives its price
// back once, saved with the queue it has left, so a restart cannot give it
// again.
TEST_F(SDLGuiFrameTest, PaidItemThatCouldNotPlayIsPaidBackOnce) {
  config.playmode = "jukebox";
  config.creditsbyplay = 2;
  GiveCredits(gui, 5);
  gui.Selection().selTrack = 1;
  testing::internal::CaptureStdout();
  gui.Sales().EnterPlay();
  FinishSales();
  testing::internal::GetCapturedStdout();
  ASSERT_EQ(gui.Credits(), 3);
  testing::internal::CaptureStdout();
  player.PlayNext();  // no file on disk
  const std::string paidBack = testing::internal::GetCapturedStdout();
  EXPECT_TRUE(Has(paidBack, "Devolucion: 2 creditos por [0,0,1], quedan 5\n")) << paidBack;
  const std::string log = Draw();
  EXPECT_TRUE(Has(log, "No se pudo reproducir [0,0,1]\n")) << log;
  EXPECT_EQ(gui.Credits(), 5);
  EXPECT_TRUE(Has(SavedFile(), "savedcredits=5\n"));
  EXPECT_FALSE(Has(SavedFile(), "queueitem"));
  Draw();
  EXPECT_EQ(gui.Credits(), 5);
}

// A save between the playback thread's news and its handling already holds
// the payback, as the entry has left the queue.
TEST_F(SDLGuiFrameTest, StateSavedBeforeThePaybackIsHandedOutHoldsIt) {
  config.playmode = "jukebox";
  GiveCredits(gui, 1);
  queue.AddElementToQueue(0, 0, 0, 2);
  gui.ItemNotPlayed(QueueElement{0, 0, 0, 0, 2}, PlayReport{});
  gui.Resources().cashbox->Save();
  EXPECT_TRUE(Has(SavedFile(), "savedcredits=3\n"));
  EXPECT_FALSE(Has(SavedFile(), "queueitem"));
  Draw();
  EXPECT_EQ(gui.Credits(), 3);
  EXPECT_TRUE(Has(SavedFile(), "savedcredits=3\n"));
}

// Only what was paid goes back, whatever the mode is now: an entry bought
// with coins before the operator switched to a free mode was still paid.
TEST_F(SDLGuiFrameTest, OnlyWhatWasPaidGoesBack) {
  const struct {
    const char* mode;
    int32_t paid;
  } cases[] = {{"jukebox", 0}, {"fiesta", 0}, {"fiesta", 2}, {"aleatorio", 2}};
  for (const auto& item : cases) {
    SCOPED_TRACE(std::string(item.mode) + std::to_string(item.paid));
    config.playmode = item.mode;
    GiveCredits(gui, 1);
    queue.AddElementToQueue(0, 0, 0, item.paid);
    testing::internal::CaptureStdout();
    gui.ItemNotPlayed(QueueElement{0, 0, 0, 0, item.paid}, PlayReport{});
    gui.ExternalAction(Player::kFinished);
    const std::string paidBack = testing::internal::GetCapturedStdout();
    const std::string log = paidBack + Draw();
    EXPECT_TRUE(Has(log, "No se pudo reproducir [0,0,0]\n")) << log;
    EXPECT_EQ(Has(log, "Devolucion"), item.paid > 0);
    EXPECT_EQ(gui.Credits(), 1 + item.paid);
  }
}

// Three items in a row that could not play call for service on the marquee
// until an item plays.
TEST_F(SDLGuiFrameTest, ThreeFailuresInARowCallForServiceUntilAnItemPlays) {
  config.marquesina = "Bienvenidos";
  std::string log;
  for (int failure = 0; failure < 3; ++failure) {
    EXPECT_STREQ(gui.MarqueeText().c_str(), "Bienvenidos");
    queue.AddElementToQueue(0, 0, 0);
    gui.ItemNotPlayed(QueueElement{0, 0, 0}, PlayReport{});
    gui.ExternalAction(Player::kFinished);
    log += Draw();
  }
  EXPECT_TRUE(Has(log, "3 elementos seguidos sin reproducir: el equipo necesita servicio tecnico\n")) << log;
  EXPECT_STREQ(gui.MarqueeText().c_str(), "Equipo fuera de servicio: llame al encargado");
  gui.ExternalAction(Player::kFinished);
  Draw();
  EXPECT_STREQ(gui.MarqueeText().c_str(), "Bienvenidos");
}

TEST_F(SDLGuiFrameTest, ElapsedTimeIsRedrawnOncePerSecond) {
  queue.AddElementToQueue(0, 0, 0);
  player.playing = 1;
  gui.ExternalAction(Player::kSongStarted);
  Draw();
  EXPECT_EQ(gui.Timing().playStartedAt, clock.Ticks());
  const int x = skin.xinfo + skin.winfo - 1, y = skin.yinfo + skin.hinfo - 1;
  const Rgba marker = Opaque(255, 0, 255);
  auto mark = [&] {
    SDL_Rect dot = SDLGui::MakeRect(x, y, 1, 1);
    SDL_FillRect(gui.Display().screen, &dot, SDL_MapRGB(gui.Display().screen->format, 255, 0, 255));
  };
  mark();
  clock.Advance(999);
  Draw();
  EXPECT_EQ(gui.Timing().playSeconds, 0u);
  EXPECT_EQ(ColorAt(gui.Display().screen, x, y), marker);
  clock.Advance(1);
  Draw();
  EXPECT_EQ(gui.Timing().playSeconds, 1u);
  EXPECT_NE(ColorAt(gui.Display().screen, x, y), marker);
  mark();
  clock.Advance(500);
  Draw();
  EXPECT_EQ(ColorAt(gui.Display().screen, x, y), marker) << "redrawn within the second";
  clock.Advance(2000);
  Draw();
  EXPECT_EQ(gui.Timing().playSeconds, 3u);

  player.playing = 0;
  clock.Advance(1000);
  Draw();
  EXPECT_EQ(gui.Timing().playSeconds, 3u);
}

// Selected title scroll --------------------------------------------------------

class SDLGuiTitleScrollTest : public SDLGuiFrameTest {
 protected:
  void SetUp() override {
    SDLGuiFrameTest::SetUp();
    gui.Selection().selTrack = 2;
    gui.Panels().DrawTracks(true);
    gui.Selection().titleScrollAt = clock.Ticks();
  }
  std::string Row() const { return gui.Lists().tracksList->GetItem(static_cast<int>(gui.Selection().selTrack)); }
  // The long title's row with its first characters scrolled out.
  static std::string RowFrom(size_t offset) {
    return "3.- " + kLongTitle.substr(0, kLongTitle.size() - 4).substr(offset);
  }
};

TEST_F(SDLGuiTitleScrollTest, LongTitleMovesOneCharacterEvery301Ms) {
  ASSERT_TRUE(gui.Lists().tracksList->MustMove(Row().c_str()));
  clock.Advance(300);
  Draw();
  EXPECT_EQ(gui.Selection().titleScrollOffset, 0u);
  clock.Advance(1);
  Draw();
  EXPECT_EQ(gui.Selection().titleScrollOffset, 1u);
  EXPECT_EQ(Row(), RowFrom(0));
  clock.Advance(301);
  Draw();
  EXPECT_EQ(gui.Selection().titleScrollOffset, 2u);
  EXPECT_EQ(Row(), RowFrom(1));

  gui.Lists().tracksList->Draw(gui.Display().screen, true);  // the whole album offered
  clock.Advance(301);
  Draw();
  EXPECT_EQ(gui.Selection().titleScrollOffset, 3u);
  EXPECT_TRUE(gui.Lists().tracksList->highlightAll);

  gui.Display().dialog = SDLGui::kGenresScreen;  // only on the main screen
  clock.Advance(1000);
  Draw();
  EXPECT_EQ(gui.Selection().titleScrollOffset, 3u);
}

TEST_F(SDLGuiTitleScrollTest, ScrolledOutTitlePausesThenStartsAgain) {
  gui.Selection().titleScrollOffset = static_cast<uint32_t>(kLongTitle.size() - 5);
  clock.Advance(301);
  Draw();
  EXPECT_EQ(Row(), RowFrom(kLongTitle.size() - 5));  // its last character
  clock.Advance(301);
  Draw();
  EXPECT_EQ(gui.Selection().titleScrollOffset, 0u);
  EXPECT_EQ(gui.Selection().titleScrollAt, clock.Ticks() + 3000);
  clock.Advance(3300);
  Draw();
  EXPECT_EQ(gui.Selection().titleScrollOffset, 0u);
  clock.Advance(1);
  Draw();
  EXPECT_EQ(gui.Selection().titleScrollOffset, 1u);
  EXPECT_EQ(Row(), RowFrom(0));
}

TEST_F(SDLGuiTitleScrollTest, ShortTitlesAndFullScreenVideosKeepStill) {
  gui.Selection().selTrack = 0;
  clock.Advance(5000);
  Draw();
  EXPECT_EQ(gui.Selection().titleScrollOffset, 0u);
  EXPECT_EQ(Row(), "1.- Uno");

  gui.Selection().selTrack = 2;
  queue.AddElementToQueue(1, 0, 0);  // a video at the head, full screen
  Draw();
  EXPECT_EQ(gui.Selection().titleScrollOffset, 0u);
  gui.Input().miniVideo = 1;
  Draw();
  EXPECT_EQ(gui.Selection().titleScrollOffset, 1u);
}

// Random play ------------------------------------------------------------------

TEST_F(SDLGuiFrameTest, RandomPlayQueuesAfterTheIdleMinutesAndAgainLater) {
  config.randomplay = 2;
  gui.Input().idleSince = clock.Ticks();
  clock.Advance(120000);
  Draw();
  EXPECT_EQ(queue.Count(), 0);
  clock.Advance(1);
  Draw();
  ASSERT_EQ(queue.Count(), 1);
  EXPECT_TRUE(gui.Panels().TrackExists(*queue.GetElementFromQueue(0)));
  EXPECT_EQ(gui.Input().idleSince, clock.Ticks());
  // Saved at once, as every change of the queue.
  EXPECT_NE(SavedFile().find("\nqueueitem="), std::string::npos) << SavedFile();
  clock.Advance(120001);
  Draw();
  EXPECT_EQ(queue.Count(), 2);

  gui.ExternalAction(Player::kSongStarted);  // something plays: no idle time
  Draw();
  clock.Advance(600000);
  Draw();
  EXPECT_EQ(queue.Count(), 2);
}

// Downloads --------------------------------------------------------------------

class SDLGuiDownloadsTest : public SDLGuiFrameTest {
 protected:
  void SetUp() override {
    SDLGuiFrameTest::SetUp();
    gui.Lists().onlineResultsList->AddItem("[M] Uno");
    gui.Lists().onlineResultsList->AddItem("[D] Mi video");
    gui.Lists().onlineResultsList->AddItem("[%] Otro video");
  }
  static void Progress(const std::string& name, const std::string& line) {
    WriteHostFile("downloadsprogress/" + name, line);
  }
  std::string Row(int i) const { return gui.Lists().onlineResultsList->GetItem(i); }
};

TEST_F(SDLGuiDownloadsTest, PercentageShowsInTheRow) {
  Progress("[D] Mi video.mp4", "45\r\n");
  Progress(".oculto", "100\n");
  Draw();
  EXPECT_EQ(Row(1), "[45%] Mi video");
  Progress("[D] Otro video.webm", "7\n");
  Draw();
  EXPECT_EQ(Row(1), "[45%] Mi video");
  EXPECT_EQ(Row(2), "[7%] Otro video");
  // The row finds its download by the name the jukebox gave it.
  gui.Lists().onlineResultsList->AddItem("[%] AC/DC en vivo");
  Progress("[D] AC_DC en vivo.mp4", "60\n");
  Draw();
  EXPECT_EQ(Row(3), "[60%] AC/DC en vivo");
  EXPECT_EQ(queue.Count(), 0);
  EXPECT_TRUE(fs::exists("downloadsprogress/.oculto"));
}

// A progress file that is no regular file, or a link to one elsewhere
// saying "100", is passed over without waiting: nothing is shown, charged
// or queued.
TEST_F(SDLGuiDownloadsTest, ProgressThatIsNoRegularFileIsPassedOver) {
  WriteHostFile("outside", "100\n");
  std::vector<HostileFile> hostiles = HostileFiles(0);
  hostiles.push_back(LinkTo("outside"));
  for (const HostileFile& hostile : hostiles) {
    SCOPED_TRACE(hostile.kind);
    fs::remove_all("downloadsprogress");
    hostile.make("downloadsprogress/[D] Mi video.mp4");
    Draw();
    EXPECT_EQ(Row(1), "[D] Mi video");
    EXPECT_EQ(queue.Count(), 0);
  }
}

// Outside the coin-operated mode a download is free; in it, one without
// the credits is refused.
TEST_F(SDLGuiDownloadsTest, CompletedDownloadIsQueuedFreeOutsideTheCoinOperatedMode) {
  config.playmode = "fiesta";
  config.creditsdownloads = 1;
  Progress("[D] Mi video.mp4", "100\n");
  const uint32_t before = clock.Ticks();
  const std::string log = Draw();
  EXPECT_GE(clock.Ticks() - before, 1000u);
  EXPECT_FALSE(fs::exists("downloadsprogress/[D] Mi video.mp4"));
  EXPECT_EQ(gui.Credits(), 0);
  ASSERT_EQ(queue.Count(), 1);
  const QueueElement entry = *queue.GetElementFromQueue(0);
  EXPECT_EQ(entry.genre, 0u);
  EXPECT_EQ(library.GetDiscTitle(0, entry.disc), RString("Descargas"));
  EXPECT_EQ(library.GetTrackTitle(0, entry.disc, entry.track), RString("[D] Mi video.mp4"));
  EXPECT_EQ(library.GetTotalDiscs(0), 2);
  EXPECT_TRUE(Has(log, "Index of added download: 0 1 0\n")) << log;
  EXPECT_TRUE(Has(log, "Index item: 1\n"));
  EXPECT_EQ(Row(1), "[100%] Mi video");
  const std::string saved = SavedFile();
  EXPECT_EQ(saved.rfind("savedcredits=0\n", 0), 0u) << saved;
  EXPECT_TRUE(Has(saved, "queueitemstring=Pop/Descargas/[D] Mi video.mp4\n"));

  // The same title again: the track is found, not made twice.
  Progress("[D] Mi video.mp4", "100\n");
  Draw();
  EXPECT_EQ(library.GetTotalTracks(0, entry.disc), 1);
  EXPECT_EQ(queue.Count(), 2);
  EXPECT_EQ(gui.Credits(), 0);

  config.playmode = "jukebox";
  Progress("[D] Otro video.mp4", "100\n");
  Draw();  // refused for 5000 ms
  EXPECT_FALSE(fs::exists("downloadsprogress/[D] Otro video.mp4"));
  EXPECT_EQ(queue.Count(), 2);
  gui.Selection().selGenre = 0, gui.Selection().selDisc = 0, gui.Selection().selTrack = 0;
  gui.Sales().EnterPlay();
  EXPECT_EQ(queue.Count(), 2);
  EXPECT_EQ(gui.Credits(), 0);
}

// A "\\" in the name of a download would open another name than the one it
// reads as: it is refused, nothing charged or queued.
TEST_F(SDLGuiDownloadsTest, DownloadNameHoldingBackslashesIsRefused) {
  config.playmode = "jukebox";
  GiveCredits(gui, 5);
  config.creditsdownloads = 2;
  Progress("[D] a\\..\\..\\db", "100\n");
  const std::string log = Draw();
  EXPECT_TRUE(Has(log, "Descarga rechazada, nombre no valido: [D] a")) << log;
  EXPECT_EQ(gui.Credits(), 5);
  EXPECT_EQ(queue.Count(), 0);
  EXPECT_TRUE(fs::is_empty("downloadsprogress"));
}

TEST_F(SDLGuiDownloadsTest, TwoCompletedDownloadsTakeTwoPasses) {
  config.playmode = "jukebox";
  GiveCredits(gui, 5);
  config.creditsdownloads = 2;
  Progress("[D] Mi video.mp4", "100\n");
  Progress("[D] Otro video.mp4", "100\n");
  Draw();
  EXPECT_EQ(queue.Count(), 1);
  EXPECT_EQ(gui.Credits(), 3);
  const std::string saved = SavedFile();
  EXPECT_EQ(saved.rfind("savedcredits=3\n", 0), 0u) << saved;
  EXPECT_TRUE(Has(saved, " video.mp4\nqueueitempaid=2\n")) << saved;
  EXPECT_EQ(std::distance(fs::directory_iterator("downloadsprogress"), fs::directory_iterator()), 1);
  Draw();
  EXPECT_EQ(queue.Count(), 2);
  EXPECT_EQ(gui.Credits(), 1);
  EXPECT_EQ(Row(1), "[100%] Mi video");
  EXPECT_EQ(Row(2), "[100%] Otro video");
}

// Karaoke score ------------------------------------------------------------------

// A stand-in media player first on PATH records each call; it plays an item
// for as many seconds as "playtime" says and a crowd sound not at all.
class SDLGuiKaraokeTest : public SDLGuiFrameTest {
 protected:
  SDLGuiKaraokeTest() : savedPath_(platform::GetEnv("PATH")) {}
  ~SDLGuiKaraokeTest() override { platform::SetEnv("PATH", savedPath_); }

  void SetUp() override {
    SDLGuiFrameTest::SetUp();
    const fs::path bin = dir.Path() / "bin";
    WriteHostFile(bin / "mplayer", "#!/bin/sh\necho \"$*\" >> '" + (dir.Path() / "calls.txt").string() +
                                       "'\ncase \"$*\" in *aplausos*|*abucheo*) exit 0;; esac\n"
                                       "trap 'kill $! 2>/dev/null; exit 0' TERM\n"
                                       "/bin/sleep \"$(cat '" + (dir.Path() / "playtime").string() +
                                       "')\" &\nwait\n");
    fs::permissions(bin / "mplayer", fs::perms::owner_all);
    platform::SetEnv("PATH", bin.string() + ":" + savedPath_);
    WriteHostFile("media/Karaoke/Noche/cancion.mp3", "karaoke");
    WriteHostFile("playtime", "0");
    config.califkaraoke = true;
    queue.AddElementToQueue(2, 0, 0);
  }
  std::string Calls() const { return ReadHostFile(dir.Path() / "calls.txt"); }
  // The crowd sound the next score gets.
  static std::string NextCrowdSound() {
    std::srand(11);
    const int score = std::rand() % 10;
    std::srand(11);
    return score < 6 ? "abucheo.mp3" : "aplausos.mp3";
  }

 private:
  std::string savedPath_;
};

TEST_F(SDLGuiKaraokeTest, KaraokeEndedByItselfIsScored) {
  player.PlayNext();
  ASSERT_EQ(player.karaoke, 1);
  ASSERT_EQ(gui.PendingPlaybackEvents().back(), Player::kFinished);
  const std::string sound = NextCrowdSound();
  Blacken();
  Draw();
  EXPECT_TRUE(Has(Calls(), "-nofontconfig " + sound + "\n")) << Calls();
  EXPECT_EQ(player.karaoke, 0);
  EXPECT_PRED2(Near, VolumePanel(), Color(kSkinBlue));  // the main screen again
}

TEST_F(SDLGuiKaraokeTest, StoppedKaraokeIsNotScored) {
  WriteHostFile("playtime", "30");
  std::thread playback([this] { player.PlayNext(); });
  for (int i = 0; i < 500 && Calls().empty(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  player.PlayerStop();
  playback.join();
  EXPECT_EQ(player.karaoke, 0);
  Draw();
  EXPECT_FALSE(Has(Calls(), "aplausos"));
  EXPECT_FALSE(Has(Calls(), "abucheo"));
}

TEST_F(SDLGuiKaraokeTest, ScoringSwitchedOffClearsTheMark) {
  config.califkaraoke = false;
  player.PlayNext();
  Draw();
  EXPECT_EQ(player.karaoke, 0);
  EXPECT_FALSE(Has(Calls(), "aplausos"));
  EXPECT_FALSE(Has(Calls(), "abucheo"));
}

}  // namespace
