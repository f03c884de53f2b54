#pragma once
// Player: plays the queue, one item at a time, through outside player
// processes on its own playback thread. Songs, videos and karaoke go to the
// media player, which draws video into the GUI's video window; live-stream
// playlists go to the stream player. The GUI hears of each item through its
// playback events.
#include <sys/types.h>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "base/RString.h"
#include "platform/Processes.h"
#include "playback/PlayerListener.h"
#include "playback/PlayerOutput.h"
#include "playback/Queue.h"

class Configuration;
class MainLibrary;

class Player {
 public:
  // Playback events posted to the listener.
  static constexpr int kVideoStarted = 9;
  static constexpr int kSongStarted = 10;
  static constexpr int kFinished = 13;
  // An item could not be played at all (see PlayerListener::ItemNotPlayed).
  static constexpr int kNotPlayed = 14;

  // The listener must have its settings before anything plays.
  Player(PlayerListener* listener, MainLibrary* library, Queue* queue, const RString& videodriver);
  // Stops the playback thread and its player process, and leaves the
  // listener without a player.
  ~Player();
  Player(const Player&) = delete;
  Player& operator=(const Player&) = delete;

  // How playing one file went.
  enum class Outcome { kPlayed, kStopped, kFileMissing, kPlayerMissing, kPlayerFailed };
  // A player that ends by itself sooner than this after its start has not
  // played the item: it could not open the file or the sound output.
  static constexpr uint32_t kFailedAtOnce = 2000;
  // How long a player asked to stop may take before it is killed.
  static constexpr uint32_t kStopGrace = 1500;

  // Stores the play mode and starts the playback thread (once); a player
  // process that an earlier run left behind is ended first.
  void InitPlayer(const RString& mode);
  // Ends the player process recorded in "player.pid" by a run that did not
  // end its player, when it still runs.
  static void EndLeftoverPlayer();
  // Marks the start of an item: playing, with no stop pending.
  void BeginItem();
  // Plays one file (internal path) and returns when its player process has
  // ended; a missing file or player, or a player failing at once, is told
  // by the outcome and a log line.
  Outcome PlayerPlay(const RString& file);
  // Ends the media player process that plays the current item (a live
  // stream plays on; a player that ignores the request is killed after
  // kStopGrace) and notes that the item was cut short.
  void PlayerStop();
  // Stops the playback thread: no further item starts, the running player
  // process (stream player included) ends, the thread is waited for and the
  // listener is forgotten. The GUI calls it before its video window goes.
  void ReleaseGui();

  bool IsVideoOnQueue() const;
  bool IsVideoPlaying() const;
  // Copies a file, replacing the target.
  static bool Copy(const RString& from, const RString& to);

  // One pass of the playback loop, without its pause: fills an empty queue
  // in the automatic play modes, then plays the head of the queue, if any.
  void PlayNext();
  // A uniformly drawn catalogue track; none when the drawn genre or disc is
  // empty (the caller draws again later).
  static std::optional<QueueElement> RandomTrack(const MainLibrary& library);
  // The track that follows position in catalogue order, going round to the
  // first track after the last; empty genres and discs are passed over.
  // None when the catalogue holds no track.
  static std::optional<QueueElement> FollowingTrack(const MainLibrary& library,
                                                    const QueueElement& position);

  PlayerListener* gui;
  MainLibrary* library;
  Queue* queue;
  RString videodriver;
  RString playmode = "";
  // Shared with the main thread.
  std::atomic<uint8_t> playing{0};
  std::atomic<int32_t> stopRequested{0};
  // An ended karaoke item waits to be scored; the GUI clears it.
  std::atomic<uint8_t> karaoke{0};
  std::atomic<uint8_t> stopThread{0};
  std::thread thread;

 private:
  void PlayerLoop();
  void FillEmptyQueue();
  void PlayHead(const QueueElement& entry);
  // Plays an entry of the catalogue.
  Outcome PlayEntry(const QueueElement& entry);
  // False, with a log line, for an entry whose names lead out of the media
  // folder.
  bool StaysInMediaFolder(const QueueElement& entry) const;
  void CopyToFavourites(const QueueElement& entry, const RString& file);
  bool InCatalogue(const QueueElement& entry) const;
  // The head of the queue when it lies in the catalogue.
  std::optional<QueueElement> CatalogueHead() const;
  void Post(int event);
  const Configuration& Settings() const { return gui->PlayerSettings(); }

  struct PlayerCommand {
    // Empty when the player it needs is not installed.
    platform::Argv argv;
    // Host path of the file played; it is on the process's command line.
    std::string file;
    // The media player, which PlayerStop ends (the stream player it leaves).
    bool mediaPlayer = true;
  };
  // The file actually played: the local cache copy when it is on.
  RString CachedFile(const RString& file) const;
  // The command that plays file, given as played (the file or its cache).
  PlayerCommand CommandFor(const RString& file, const RString& played) const;
  platform::Argv MediaPlayerCommand(const RString& played, bool karaokeItem) const;
  platform::Argv StreamPlayerCommand(const RString& played) const;
  // Runs the command to its end unless a stop came first.
  Outcome RunToEnd(const PlayerCommand& command);
  // False when a stop came first or the player could not be started.
  bool StartProcess(const PlayerCommand& command);
  // Waits for the player process to end, killing it once a request to end
  // it has gone unheeded for kStopGrace.
  void WaitForProcessEnd();
  // Logs what the player process printed that the program acts on.
  void LogPlayerOutput();
  bool StopOverdue();
  // Expects processMutex_ to be held.
  void EndRunningProcess();

  QueueElement lastPlayed_{};
  // Used by the playback thread alone.
  PlayerOutput output_;
  // Used by the playback thread alone; the main thread ends the process by
  // its id, under processMutex_, and never waits for it.
  platform::ChildProcess process_;
  std::mutex processMutex_;
  pid_t runningPid_ = -1;
  bool runningMediaPlayer_ = false;
  // Part of the running process's command line, to tell it from a process
  // that took over its id.
  std::string runningMark_;
  // A stop came while the item was being prepared: its process never starts.
  bool itemCut_ = false;
  // When the running process was asked to end; none while it was not.
  std::optional<uint32_t> endRequestedAt_;
};
