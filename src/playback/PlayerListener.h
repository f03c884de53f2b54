#pragma once
// What the player needs of the screen that shows its playback: somewhere to
// post playback events, the window video is drawn into, and the settings.
// The GUI implements it; the player knows nothing else of the GUI.
//
// What the playback thread shares with the main thread, and how:
// - set before it starts and not changed after: the settings but tvout,
//   and the catalogue, but for tracks added to the downloads album, which
//   an append-only table publishes with an atomic count;
// - atomic: Configuration::tvout and Player's playing, stopRequested,
//   karaoke and stopThread;
// - behind one lock each, taken through RAII: the queue (its own), the
//   credits and the saved state (Cashbox), the playback events and the
//   video window (SDLGui::stateMutex), the running player (Player's own).
#include <cstdint>

#include "playback/Queue.h"

class Configuration;

// How the playback thread saw an item go: played to its end, cut short, or
// not played at all, and when it started and ended (Unix seconds).
struct PlayReport {
  enum class End { kPlayed, kSkipped, kFailed };
  End end = End::kPlayed;
  int64_t started = 0, ended = 0;
};
class Player;

class PlayerListener {
 public:
  virtual ~PlayerListener() = default;
  // Called on the playback thread: one of Player's playback events. Every
  // event is kept until the screen has dealt with it.
  virtual void ExternalAction(int event) = 0;
  // Called on the playback thread: the entry at the head of the queue could
  // not be played at all (its file or player missing, or the player gave up
  // at once). The listener takes it out of the queue (Queue::RemoveHeadIf)
  // together with noting what it owes for it, so that no state it saves
  // meanwhile holds both the entry and its payback, or neither. Comes before
  // the entry's finished event.
  virtual void ItemNotPlayed(const QueueElement& entry, const PlayReport& report) = 0;
  // Called on the playback thread: the entry at the head of the queue was
  // played or stopped. The listener takes it out of the queue and keeps
  // that, so that a power cut does not play it again. Comes before the
  // entry's finished event.
  virtual void ItemPlayed(const QueueElement& entry, const PlayReport& report) = 0;
  // The window system's handle of the video window; 0 when there is none.
  virtual unsigned long GetWindowPlayerHandle() = 0;
  virtual const Configuration& PlayerSettings() const = 0;
  // The player goes away: the listener must not reach it any more.
  virtual void ForgetPlayer(const Player* player) = 0;
};
