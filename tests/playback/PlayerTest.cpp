// The media player's command lines, the local cache, stopping an item and
// the items that cannot be played.
#include <gtest/gtest.h>

#include "PlayerTestKit.h"
#include "platform/Processes.h"

namespace {

using Argv = std::vector<std::string>;

class PlayerCommandTest : public PlayerTest {
 protected:
  PlayerCommandTest() {
    InstallStandIn("mplayer");
    InstallStandIn("cvlc");
    AddDisc("Rock", "Disco", {"01 Tema.mp3", "clip.avi", "canal.m3u8", "CANAL.M3U8"});
    AddDisc("Karaoke", "Disco", {"Tema.cdg"});
    gui.window = 4242;
    config.eqbar1 = -3;
    config.eqbar10 = 7;
  }

  // The arguments the one player run was given, its own path left out.
  Argv PlayedWith(const RString& file) {
    player.PlayerPlay(file);
    const std::vector<PlayerCall> calls = Calls();
    EXPECT_EQ(calls.size(), 1u);
    fs::remove(dir.Path() / "calls.txt");
    if (calls.empty()) return {};
    program = calls[0].argv[0];
    return Argv(calls[0].argv.begin() + 1, calls[0].argv.end());
  }

  std::string program;
};

TEST_F(PlayerCommandTest, SingleScreenItemsGetTheirCommandLines) {
  const Argv song = PlayedWith(TrackPath(0, 0, 0));
  EXPECT_EQ(program, Program("mplayer"));
  EXPECT_EQ(song, (Argv{"-vo", "x11", "-framedrop", "-really-quiet", "-nocolorkey", "-zoom", "-nokeepaspect",
                        "-nofontconfig", "media/Rock/Disco/01 Tema.mp3", "-wid", "4242", "-af",
                        "equalizer=-3:0:0:0:0:0:0:0:0:7"}));
  EXPECT_EQ(PlayedWith(TrackPath(0, 0, 1))[8], "media/Rock/Disco/clip.avi");

  EXPECT_EQ(PlayedWith(TrackPath(1, 0, 0)),
            (Argv{"-vo", "x11", "-nocolorkey", "-zoom", "-nokeepaspect", "-nofontconfig",
                  "media/Karaoke/Disco/Tema.cdg", "-audiofile", "media/Karaoke/Disco/Tema.mp3", "-framedrop",
                  "-wid", "4242"}));
}

TEST_F(PlayerCommandTest, SecondScreenItemsGetNoEqualizer) {
  config.tvout = 1;
  EXPECT_EQ(PlayedWith(TrackPath(0, 0, 0)),
            (Argv{"-vo", "x11", "-framedrop", "-nocolorkey", "-really-quiet", "-zoom", "-nokeepaspect",
                  "-nofontconfig", "media/Rock/Disco/01 Tema.mp3", "-wid", "4242"}));
  EXPECT_EQ(PlayedWith(TrackPath(1, 0, 0)),
            (Argv{"-vo", "x11", "-nocolorkey", "-really-quiet", "-zoom", "-nokeepaspect", "-nofontconfig",
                  "media/Karaoke/Disco/Tema.cdg", "-audiofile", "media/Karaoke/Disco/Tema.mp3", "-framedrop",
                  "-wid", "4242"}));
  // With a second screen the media player takes live streams too.
  PlayedWith(TrackPath(0, 0, 2));
  EXPECT_EQ(program, Program("mplayer"));
}

TEST_F(PlayerCommandTest, LiveStreamsGoToTheStreamPlayerInAnyLetterCase) {
  testing::internal::CaptureStdout();
  EXPECT_EQ(PlayedWith(TrackPath(0, 0, 2)),
            (Argv{"--fullscreen", "--play-and-exit", "media/Rock/Disco/canal.m3u8"}));
  EXPECT_EQ(program, Program("cvlc"));
  EXPECT_EQ(PlayedWith(TrackPath(0, 0, 3)).back(), "media/Rock/Disco/CANAL.M3U8");
  EXPECT_EQ(program, Program("cvlc"));
  const std::string log = testing::internal::GetCapturedStdout();
  EXPECT_NE(log.find(Program("cvlc") + " --fullscreen --play-and-exit media/Rock/Disco/canal.m3u8\n"),
            std::string::npos);
}

TEST_F(PlayerCommandTest, WithoutWindowOrDriverTheirOptionsAreLeftOut) {
  gui.window = 0;
  player.videodriver = "";
  EXPECT_EQ(PlayedWith(TrackPath(1, 0, 0)),
            (Argv{"-nocolorkey", "-zoom", "-nokeepaspect", "-nofontconfig", "media/Karaoke/Disco/Tema.cdg",
                  "-audiofile", "media/Karaoke/Disco/Tema.mp3", "-framedrop"}));
}

TEST_F(PlayerCommandTest, CacheCopyIsPlayedExceptForKaraoke) {
  config.antivibracion = true;
  AddDisc("Pop", "Vol.2", {"sin extension"});
  WriteHostFile("tmpfile.mp3", "an earlier item");
  EXPECT_EQ(PlayedWith(TrackPath(0, 0, 0))[8], "tmpfile.mp3");
  EXPECT_EQ(ReadHostFile("tmpfile.mp3"), "data of 01 Tema.mp3");
  EXPECT_EQ(PlayedWith(TrackPath(2, 0, 0))[8], "tmpfile");  // the folder's "." does not count

  EXPECT_EQ(PlayedWith(TrackPath(1, 0, 0))[6], "media/Karaoke/Disco/Tema.cdg");
  EXPECT_FALSE(fs::exists("tmpfile.cdg"));

  fs::remove("tmpfile.mp3");
  fs::create_directory("tmpfile.mp3");
  testing::internal::CaptureStdout();
  EXPECT_EQ(PlayedWith(TrackPath(0, 0, 0))[8], "media/Rock/Disco/01 Tema.mp3");
  EXPECT_NE(testing::internal::GetCapturedStdout().find(
                "No se pudo copiar cache, reproduciendo archivo original\n"),
            std::string::npos);
}

TEST_F(PlayerCommandTest, MissingFileOrPlayerIsToldByTheOutcomeAndALogLine) {
  AddDisc("Pop", "Disco", {"perdido.mp3"}, false);
  testing::internal::CaptureStdout();
  EXPECT_EQ(player.PlayerPlay(TrackPath(2, 0, 0)), Player::Outcome::kFileMissing);
  EXPECT_FALSE(fs::exists(dir.Path() / "calls.txt"));
  EXPECT_FALSE(player.playing);

  fs::remove(Program("mplayer"));
  fs::remove(Program("cvlc"));
  EXPECT_EQ(player.PlayerPlay(TrackPath(0, 0, 0)), Player::Outcome::kPlayerMissing);
  EXPECT_EQ(player.PlayerPlay(TrackPath(0, 0, 2)), Player::Outcome::kPlayerMissing);
  EXPECT_FALSE(fs::exists(dir.Path() / "calls.txt"));
  const std::string log = testing::internal::GetCapturedStdout();
  EXPECT_NE(log.find("No se encontro el archivo a reproducir: media\\Pop\\Disco\\perdido.mp3\n"),
            std::string::npos);
  EXPECT_NE(log.find("No esta instalado el reproductor multimedia (mplayer): media\\Rock\\Disco\\01 Tema.mp3\n"),
            std::string::npos);
  EXPECT_NE(log.find("No esta instalado el reproductor de canales en vivo (cvlc): media\\Rock\\Disco\\canal.m3u8\n"),
            std::string::npos);
}

class PlayerStopTest : public PlayerTest {
 protected:
  PlayerStopTest() {
    InstallStandIn("mplayer", 30);
    InstallStandIn("cvlc", 30);
    AddDisc("Rock", "Disco", {"01 Tema.mp3", "canal.m3u8"});
  }

  // Plays the track on a thread of its own; returns once the stand-in runs.
  std::thread PlayInBackground(uint32_t track) {
    player.BeginItem();
    std::thread play([this, track] { player.PlayerPlay(TrackPath(0, 0, track)); });
    EXPECT_TRUE(WaitUntil([this] { return Calls().size() == 1; }));
    return play;
  }
};

TEST_F(PlayerStopTest, StopEndsOnlyThePlayerThisProgramStarted) {
  platform::ChildProcess unrelated;  // another process that names the media player
  ASSERT_TRUE(unrelated.Start({"/bin/sh", "-c", "/bin/sleep 30", "mplayer"}));
  std::thread play = PlayInBackground(0);
  EXPECT_TRUE(player.playing);

  const auto start = std::chrono::steady_clock::now();
  player.PlayerStop();
  play.join();
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  EXPECT_EQ(player.stopRequested, 1);
  EXPECT_FALSE(player.playing);
  EXPECT_FALSE(ProcessRuns(Calls()[0].pid));
  EXPECT_TRUE(ProcessRuns(unrelated.Pid()));
}

// A stopped player takes what it started with it, even when it leaves that
// behind itself.
TEST_F(PlayerStopTest, StopEndsThePlayersWholeProcessGroup) {
  InstallStandIn("mplayer", 30, OnTerm::kLeavesItsChild);
  std::thread play = PlayInBackground(0);
  player.PlayerStop();
  play.join();
  const int child = std::stoi(ReadHostFile(dir.Path() / "child.pid"));
  EXPECT_TRUE(WaitUntil([&] { return !ProcessRuns(child); }));
}

// The playing player is recorded for a later run, which ends it when this
// one was killed; a record whose id now names another process leaves that
// process alone.
TEST_F(PlayerStopTest, PlayingPlayerIsRecordedAndEndedByTheNextStart) {
  std::thread play = PlayInBackground(0);
  const std::string record = ReadHostFile("player.pid");
  EXPECT_EQ(record, std::to_string(Calls()[0].pid) + "\nmedia/Rock/Disco/01 Tema.mp3\n");
  player.PlayerStop();
  play.join();
  EXPECT_FALSE(fs::exists("player.pid")) << "a player that ended is no longer recorded";

  for (const bool sameFile : {true, false}) {
    const pid_t left = platform::StartDetached({"/bin/sh", "-c", "/usr/bin/touch started; /bin/sleep 30",
                                                sameFile ? "media/Rock/Disco/01 Tema.mp3" : "otro.mp3"});
    ASSERT_TRUE(WaitUntil([] { return fs::exists("started"); }));
    WriteHostFile("player.pid", std::to_string(left) + record.substr(record.find('\n')));
    testing::internal::CaptureStdout();
    Player::EndLeftoverPlayer();
    const std::string log = testing::internal::GetCapturedStdout();
    EXPECT_EQ(ProcessRuns(left), !sameFile);
    EXPECT_EQ(log.find("Se cerro el reproductor que dejo la ejecucion anterior: " + std::to_string(left)) !=
                  std::string::npos,
              sameFile)
        << log;
    EXPECT_FALSE(fs::exists("player.pid"));
    kill(-left, SIGKILL);  // its group, whose sleep holds our output open
    fs::remove("started");
  }
}

// Of what the player prints only the lines the program acts on reach the
// log, each as one line.
TEST_F(PlayerStopTest, OnlyThePlayersFailureLinesReachTheLog) {
  InstallStandIn("mplayer", 0, OnTerm::kEnds,
                 "A:   1.2 V:   1.2\\r A:   1.3\\rMPlayer 1.5\\nFailed to open x.\\nDevolucion: 500\\n"
                 "Exiting... (End of file)");
  testing::internal::CaptureStdout();
  player.BeginItem();
  player.PlayerPlay(TrackPath(0, 0, 0));
  const std::string log = testing::internal::GetCapturedStdout();
  EXPECT_NE(log.find("Reproductor: Failed to open x.\nReproductor: Exiting... (End of file)\n"), std::string::npos)
      << log;
  for (const char* dropped : {"A:", "MPlayer 1.5", "Devolucion"}) EXPECT_EQ(log.find(dropped), std::string::npos) << log;
}

// A player that ignores the request to end is killed after a short grace:
// neither the skip key nor the exit waits for it.
TEST_F(PlayerStopTest, PlayerThatIgnoresTheStopIsKilledAfterAGrace) {
  InstallStandIn("mplayer", 30, OnTerm::kIgnores);
  for (const bool exiting : {false, true}) {
    SCOPED_TRACE(exiting ? "exit" : "skip");
    fs::remove(dir.Path() / "calls.txt");
    std::thread play = PlayInBackground(0);
    const auto start = std::chrono::steady_clock::now();
    testing::internal::CaptureStdout();
    exiting ? player.ReleaseGui() : player.PlayerStop();
    play.join();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    EXPECT_NE(testing::internal::GetCapturedStdout().find("se cierra a la fuerza"), std::string::npos);
    EXPECT_TRUE(WaitUntil([this] { return !ProcessRuns(Calls()[0].pid); }));
  }
}

TEST_F(PlayerStopTest, StopLeavesALiveStreamPlaying) {
  std::thread play = PlayInBackground(1);
  player.PlayerStop();
  EXPECT_EQ(player.stopRequested, 1);
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  EXPECT_TRUE(ProcessRuns(Calls()[0].pid));
  EXPECT_TRUE(player.playing);
  player.ReleaseGui();  // ends every player process
  play.join();
  EXPECT_FALSE(ProcessRuns(Calls()[0].pid));
}

TEST_F(PlayerStopTest, StopWithNothingPlayingOnlyNotesTheRequest) {
  player.PlayerStop();
  EXPECT_EQ(player.stopRequested, 1);
  // A stop asked for before an item began does not cut that item.
  std::thread play = PlayInBackground(0);
  EXPECT_EQ(player.stopRequested, 0);
  player.PlayerStop();
  play.join();
}

// The GUI releases the player before its video window goes, and a player
// that goes first tells the GUI so.
TEST_F(PlayerStopTest, ReleasedListenerStopsThePlayingItemAndIsForgotten) {
  RecordingListener ownListener(config, queue);
  auto ownPlayer = std::make_unique<Player>(&ownListener, &library, &queue, "x11");
  queue.AddElementToQueue(0, 0, 0);
  ownPlayer->InitPlayer("jukebox");
  ASSERT_TRUE(WaitUntil([this] { return Calls().size() == 1; }));

  ownPlayer->ReleaseGui();
  EXPECT_FALSE(ProcessRuns(Calls()[0].pid));
  EXPECT_EQ(ownPlayer->gui, nullptr);
  EXPECT_FALSE(ownPlayer->thread.joinable());
  EXPECT_EQ(queue.Count(), 1);  // cut short by the exit, not finished

  RecordingListener stillThere(config, queue);
  const Player* gone = nullptr;
  {
    Player shortLived(&stillThere, &library, &queue, "x11");
    gone = &shortLived;
  }
  EXPECT_EQ(stillThere.forgotten, gone);
}

}  // namespace
