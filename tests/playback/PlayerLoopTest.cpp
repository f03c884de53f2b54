// The playback loop: automatic play modes, favourites copies, playback
// events, karaoke scoring marks and entries outside the catalogue.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include "PlayerTestKit.h"

namespace {

class PlayerLoopTest : public PlayerTest {
 protected:
  PlayerLoopTest() { InstallStandIn("mplayer"); }

  // The files the stand-in player was given, one per run.
  std::vector<std::string> PlayedFiles() const {
    std::vector<std::string> files;
    for (const PlayerCall& call : Calls()) files.push_back(call.argv[9]);
    return files;
  }
  std::vector<std::string> PlayAll(int passes) {
    for (int i = 0; i < passes; ++i) player.PlayNext();
    return PlayedFiles();
  }
};

TEST_F(PlayerLoopTest, ContinuousModeFollowsTheCatalogueAndGoesRound) {
  AddDisc("Pop", "Uno", {"a.mp3", "b.mp3"});
  AddDisc("Rock", "Vacio", {});
  AddDisc("Rock", "Dos", {"c.mp3"});
  player.playmode = "continuo";
  // The first automatic item after start-up is track 1 of disc 0 of genre 0.
  EXPECT_EQ(PlayAll(1), (std::vector<std::string>{"media/Pop/Uno/b.mp3"}));

  queue.AddElementToQueue(1, 1, 0);  // the last track of the last genre
  EXPECT_EQ(PlayAll(4), (std::vector<std::string>{"media/Pop/Uno/b.mp3", "media/Rock/Dos/c.mp3",
                                                  "media/Pop/Uno/a.mp3", "media/Pop/Uno/b.mp3",
                                                  "media/Rock/Dos/c.mp3"}));
  EXPECT_EQ(queue.Count(), 0);
}

TEST_F(PlayerLoopTest, FollowingTrackPassesOverEmptyPartsAndEmptyCatalogues) {
  EXPECT_FALSE(Player::FollowingTrack(library, QueueElement{}));
  AddEmptyGenre("Vacio");
  AddDisc("Rock", "Sin temas", {});
  EXPECT_FALSE(Player::FollowingTrack(library, QueueElement{}));

  AddDisc("Rock", "Dos", {"c.mp3"});
  for (const QueueElement& from : {QueueElement{}, QueueElement{1, 1, 0}, QueueElement{7, 3, 9}}) {
    const std::optional<QueueElement> next = Player::FollowingTrack(library, from);
    ASSERT_TRUE(next);
    EXPECT_TRUE(next->SamePlay(QueueElement{1, 1, 0}));
  }
}

TEST_F(PlayerLoopTest, RandomModeWithAnEmptyGenreAddsNothingThatPass) {
  AddEmptyGenre("Vacio");
  player.playmode = "aleatorio";
  player.PlayNext();
  EXPECT_EQ(queue.Count(), 0);
  EXPECT_EQ(Event(), RecordingListener::kNoEvent);

  AddDisc("Vacio", "Uno", {"a.mp3"});
  const std::optional<QueueElement> drawn = Player::RandomTrack(library);
  ASSERT_TRUE(drawn);
  EXPECT_TRUE(drawn->SamePlay(QueueElement{0, 0, 0}));
  EXPECT_EQ(PlayAll(1), (std::vector<std::string>{"media/Vacio/Uno/a.mp3"}));
}

TEST_F(PlayerLoopTest, PlayedItemsAreCopiedToTheirGenresFavouritesFolder) {
  AddEmptyGenre(MainLibrary::kFavouritesGenreName);
  AddDisc(MainLibrary::kFavouritesGenreName, "Rock", {"viejo.mp3"});
  AddDisc("Rock", "Disco", {"01 Tema.mp3"});
  fs::create_directories("media/100+ Favoritas/100+ Favoritas");
  config.favoritos = true;
  queue.AddElementToQueue(1, 0, 0);
  queue.AddElementToQueue(0, 0, 0);
  testing::internal::CaptureStdout();
  PlayAll(2);
  const std::string log = testing::internal::GetCapturedStdout();
  EXPECT_EQ(ReadHostFile("media/100+ Favoritas/Rock/01 Tema.mp3"), "data of 01 Tema.mp3");
  EXPECT_TRUE(fs::is_empty("media/100+ Favoritas/100+ Favoritas"));
  EXPECT_EQ(log.find("Agregando a favoritas\n"), log.rfind("Agregando a favoritas\n"));  // once

  config.favoritos = false;
  fs::remove("media/100+ Favoritas/Rock/01 Tema.mp3");
  queue.AddElementToQueue(1, 0, 0);
  PlayAll(1);
  EXPECT_FALSE(fs::exists("media/100+ Favoritas/Rock/01 Tema.mp3"));
}

// Titles such as a queue request or the catalogue file could give.
TEST_F(PlayerLoopTest, TitlesClimbingOutOfTheMediaFolderPlayNothingAndEmptyNothing) {
  const std::string escapedDots = "\x81" "2E\x81" "2E";
  const std::string escapedClimb = escapedDots + "\\" + escapedDots + "\\" + escapedDots + "\\clave.txt";
  AddDisc("Pop", "Verano Azul", {"..\\..\\..\\db", "../../../clave", "AC/DC Live.mp4", escapedClimb.c_str()}, false);
  WriteHostFile("db", "the catalogue");
  WriteHostFile("clave", "secret");
  WriteHostFile("clave.txt", "secret");
  WriteHostFile("media/Pop/Verano Azul/AC/DC Live.mp4", "live");
  config.favoritos = true;
  config.antivibracion = true;
  for (uint32_t track : {0u, 1u, 2u, 3u}) queue.AddElementToQueue(0, 0, track);
  testing::internal::CaptureStdout();
  // Played from the cabinet's copy.
  EXPECT_EQ(PlayAll(4), (std::vector<std::string>{"tmpfile.mp4"}));
  const std::string log = testing::internal::GetCapturedStdout();
  EXPECT_EQ(queue.Count(), 0);
  EXPECT_EQ(ReadHostFile("db"), "the catalogue");
  EXPECT_EQ(ReadHostFile("clave"), "secret");
  EXPECT_EQ(ReadHostFile("tmpfile.mp4"), "live");
  EXPECT_FALSE(fs::exists("tmpfile.txt"));
  EXPECT_FALSE(fs::exists("media/100+ Favoritas/Pop/clave.txt"));
  EXPECT_NE(log.find("Pista rechazada, nombre no valido: media\\Pop\\Verano Azul\\..\\..\\..\\db\n"),
            std::string::npos);
}

// Queue requests and downloads append tracks and discs on the main thread
// while the playback thread draws and plays them; the appended discs of the
// second genre are empty and never give a track.
TEST_F(PlayerLoopTest, TracksAndDiscsAppendedWhilePlayingAreSeenWhole) {
  AddDisc("Pop", "Uno", {"a.mp3"});
  AddDisc("Vacio", "Nada", {});
  GenreElement* empty = library.GetGenre(1);
  player.playmode = "aleatorio";
  std::atomic<bool> playing{true};
  std::thread playback([&] {
    while (playing) player.PlayNext();
  });
  DiscElement* disc = library.GetDisc(0, 0);
  int appended = 0;
  for (; Calls().size() < 5 && appended < 5000; ++appended) {
    const std::string title = "t" + std::to_string(appended) + ".mp3";
    WriteHostFile(fs::path("media/Pop/Uno") / title, "x");
    disc->AddTrack(library.NewTrack(title.c_str(), static_cast<uint32_t>(title.size())));
    empty->AddDisc(library.NewDisc(empty, "Nada", 4));
  }
  playing = false;
  playback.join();
  EXPECT_GE(Calls().size(), 5u);
  EXPECT_EQ(library.GetTotalTracks(0, 0), appended + 1);
  EXPECT_EQ(library.GetTotalDiscs(1), appended + 1);
  for (const std::string& file : PlayedFiles()) EXPECT_EQ(file.rfind("media/Pop/Uno/", 0), 0u) << file;
}

TEST_F(PlayerLoopTest, EachItemStartsAndFinishesWithItsEvents) {
  InstallStandIn("mplayer", 30);
  AddDisc("Rock", "Disco", {"01 Tema.mp3", "clip.mp4"});
  queue.AddElementToQueue(0, 0, 0);
  queue.AddElementToQueue(0, 0, 1);
  testing::internal::CaptureStdout();
  std::thread pass = PlayNextInBackground();
  EXPECT_EQ(Event(), Player::kSongStarted);
  EXPECT_EQ(queue.Count(), 2);  // the head leaves only when it is over
  player.PlayerStop();
  pass.join();
  EXPECT_EQ(Event(), Player::kFinished);
  EXPECT_EQ(queue.Count(), 1);
  EXPECT_EQ(player.stopRequested, 0);

  fs::remove(dir.Path() / "calls.txt");
  pass = PlayNextInBackground();
  EXPECT_EQ(Event(), Player::kVideoStarted);
  EXPECT_TRUE(player.IsVideoPlaying());
  player.PlayerStop();
  pass.join();
  EXPECT_FALSE(player.IsVideoPlaying());
  EXPECT_NE(testing::internal::GetCapturedStdout().find("Reproduciendo [0,0,1]\n"), std::string::npos);
}

TEST_F(PlayerLoopTest, KaraokeThatEndsByItselfIsMarkedForScoring) {
  AddDisc("Karaoke", "Disco", {"Tema.cdg", "Otro.cdg"});
  InstallStandIn("mplayer", 3);  // longer than a player that fails at once
  queue.AddElementToQueue(0, 0, 0);
  testing::internal::CaptureStdout();
  player.PlayNext();
  EXPECT_EQ(player.karaoke, 1);
  EXPECT_NE(testing::internal::GetCapturedStdout().find("Apunto de calificar karaoke\n"), std::string::npos);

  player.karaoke = 0;
  InstallStandIn("mplayer", 30);
  fs::remove(dir.Path() / "calls.txt");
  queue.AddElementToQueue(0, 0, 1);
  std::thread pass = PlayNextInBackground();
  player.PlayerStop();
  pass.join();
  EXPECT_EQ(player.karaoke, 0);
  EXPECT_TRUE(gui.NotPlayed().empty());
}

TEST_F(PlayerLoopTest, EntriesOutsideTheCatalogueAreDroppedWithAFinishedEvent) {
  AddDisc("Karaoke", "Disco", {"Tema.cdg"});
  queue.AddElementToQueue(5, 0, 0);
  queue.AddElementToQueue(0, 3, 0);
  queue.AddElementToQueue(0, 0, 9);
  EXPECT_FALSE(player.IsVideoOnQueue());
  for (int left = 2; left >= 0; --left) {
    player.PlayNext();
    EXPECT_EQ(queue.Count(), left);
    EXPECT_EQ(Event(), Player::kFinished);
  }
  EXPECT_TRUE(PlayedFiles().empty());
  EXPECT_EQ(player.karaoke, 0);
}

// The entry, with what was paid for it, reaches the listener after it left
// the queue and before its finished event.
TEST_F(PlayerLoopTest, ItemsThatCannotBePlayedAtAllAreToldWithTheirPayment) {
  AddDisc("Rock", "Disco", {"01 Tema.mp3"});
  AddDisc("Rock", "Perdidos", {"perdido.mp3"}, false);
  const struct {
    const char* cause;
    QueueElement entry;
    std::function<void()> prepare;
    const char* logLine;
  } cases[] = {
      {"missing file", {0, 1, 0}, [] {}, "No se encontro el archivo a reproducir"},
      {"player failing at once", {0, 0, 0}, [] {}, "El reproductor termino al instante sin reproducir"},
      {"missing player", {0, 0, 0}, [this] { fs::remove(Program("mplayer")); },
       "No esta instalado el reproductor multimedia"},
  };
  int paid = 1;
  for (const auto& item : cases) {
    SCOPED_TRACE(item.cause);
    item.prepare();
    queue.AddElementToQueue(item.entry.genre, item.entry.disc, item.entry.track, ++paid);
    testing::internal::CaptureStdout();
    player.PlayNext();
    EXPECT_NE(testing::internal::GetCapturedStdout().find(item.logLine), std::string::npos);
    EXPECT_EQ(queue.Count(), 0);
    EXPECT_EQ(Event(), Player::kFinished);
    ASSERT_FALSE(gui.NotPlayed().empty());
    EXPECT_TRUE(gui.NotPlayed().back().SamePlay(item.entry));
    EXPECT_EQ(gui.NotPlayed().back().paid, paid);
  }
  EXPECT_EQ(gui.NotPlayed().size(), 3u);
  EXPECT_EQ(gui.Ends(), std::vector<PlayReport::End>(3, PlayReport::End::kFailed));
}

// Neither an item that played its time nor one stopped by the customer.
TEST_F(PlayerLoopTest, PlayedOrStoppedItemsAreNotTold) {
  AddDisc("Rock", "Disco", {"01 Tema.mp3"});
  InstallStandIn("mplayer", 3);
  queue.AddElementToQueue(0, 0, 0, 2);
  player.PlayNext();
  InstallStandIn("mplayer", 300);
  fs::remove(dir.Path() / "calls.txt");
  queue.AddElementToQueue(0, 0, 0, 2);
  std::thread pass = PlayNextInBackground();
  // The stop comes once the player plays; a stop that was lost would leave
  // the item playing for its 300 s.
  ASSERT_TRUE(WaitUntil([&] { return fs::exists(dir.Path() / "calls.txt"); }));
  const auto stoppedAt = std::chrono::steady_clock::now();
  player.PlayerStop();
  pass.join();
  EXPECT_LT(std::chrono::steady_clock::now() - stoppedAt, std::chrono::seconds(60));
  EXPECT_EQ(queue.Count(), 0);
  EXPECT_TRUE(gui.NotPlayed().empty());
  EXPECT_EQ(gui.Ends(), (std::vector<PlayReport::End>{PlayReport::End::kPlayed, PlayReport::End::kSkipped}));
}

TEST_F(PlayerLoopTest, OnlyTheFinishedEntryLeavesTheQueue) {
  InstallStandIn("mplayer", 30);
  AddDisc("Rock", "Disco", {"a.mp3", "b.mp3", "c.mp3"});
  queue.AddElementToQueue(0, 0, 0);
  std::thread pass = PlayNextInBackground();
  // Meanwhile the main thread empties the queue and queues something else.
  queue.Remove(0);
  queue.AddElementToQueue(0, 0, 2);
  player.PlayerStop();
  pass.join();
  ASSERT_EQ(queue.Count(), 1);
  EXPECT_EQ(queue.GetElementFromQueue(0)->track, 2u);
}

TEST_F(PlayerLoopTest, ThePlaybackThreadPlaysTheQueueUntilStopped) {
  AddDisc("Rock", "Disco", {"a.mp3", "b.mp3"});
  queue.AddElementToQueue(0, 0, 0);
  queue.AddElementToQueue(0, 0, 1);
  player.InitPlayer("jukebox");
  EXPECT_TRUE(WaitUntil([this] { return queue.Count() == 0 && Event() == Player::kFinished; }));
  EXPECT_EQ(PlayedFiles(), (std::vector<std::string>{"media/Rock/Disco/a.mp3", "media/Rock/Disco/b.mp3"}));
  player.ReleaseGui();
  EXPECT_FALSE(player.thread.joinable());
}

}  // namespace
