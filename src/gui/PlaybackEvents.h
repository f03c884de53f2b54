#pragma once
// The playback thread's events, dealt with on the GUI's side in the order
// posted: a video or song started, an item not played (its refund told),
// and the elapsed time of what plays. The end of an item is the GUI's
// PlayFinished.
#include "playback/Queue.h"

class SDLGui;

class PlaybackEvents {
 public:
  explicit PlaybackEvents(SDLGui& gui) : gui(gui) {}
  PlaybackEvents(const PlaybackEvents&) = delete;
  PlaybackEvents& operator=(const PlaybackEvents&) = delete;

  // Every event posted so far, oldest first.
  void HandlePlaybackEvents();
  // The playing item's panel changes once a second.
  void ShowElapsedTime();

 private:
  void VideoStarted();
  void SongStarted();
  void StartPlayClock();
  // An item that could not be played at all: in the coin-operated mode what
  // was paid for it goes back, saved with the queue it has left, and told
  // on the screen and in the log. After ServiceStatus::kFailuresForService such items in a
  // row the cabinet needs service, which the marquee tells until an item
  // plays.
  void NotPlayed();
  void Refund(const QueueElement& entry);

  SDLGui& gui;
};
