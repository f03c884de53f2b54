// The playback thread's events on the GUI's side: started items shown, items
// not played told, the elapsed time.
#include "gui/PlaybackEvents.h"

#include <cstdio>
#include <mutex>

#include "config/Configuration.h"
#include "gui/SDLGui.h"
#include "platform/Clock.h"
#include "playback/Player.h"

// Every event is dealt with, in the order posted: an item that finished
// while the loop was held up (a message box) still hides its video and
// redraws before the next item's start is shown. The lock guards only the
// taking, so the playback thread never waits for a redraw.
void PlaybackEvents::HandlePlaybackEvents() {
  for (;;) {
    int event = 0;
    {
      const std::lock_guard<std::mutex> lock(gui.stateMutex);
      if (!gui.playEvents.empty()) {
        event = gui.playEvents.front();
        gui.playEvents.pop_front();
      }
    }
    switch (event) {
      case Player::kVideoStarted:
        VideoStarted();
        break;
      case Player::kSongStarted:
        SongStarted();
        break;
      case Player::kNotPlayed:
        NotPlayed();
        break;
      case Player::kFinished:
        gui.PlayFinished();
        break;
      default:
        return;
    }
  }
}

// With TV-out the video plays on the second screen and the main screen
// only shows what plays; otherwise the video takes the whole screen.
void PlaybackEvents::VideoStarted() {
  StartPlayClock();
  gui.video.ShowVideoWindow();
  if (gui.config->tvout) {
    gui.Panels().DrawPlayingInfo(true);
    gui.Panels().DrawCoverMedia(true);
    gui.Panels().DrawQueue(true);
    gui.RedrawCurrentDialog();
  } else {
    std::puts("Iniciando reproduccion de video");
    gui.video.FullVideo();
  }
}

void PlaybackEvents::SongStarted() {
  StartPlayClock();
  gui.Panels().DrawPlayingInfo(true);
  gui.Panels().DrawQueue(true);
  gui.Panels().DrawCoverMedia(true);
  gui.RedrawCurrentDialog();
}

void PlaybackEvents::StartPlayClock() {
  gui.playStartedAt = platform::Ticks();
  gui.playSeconds = 0;
  gui.idleSince = 0;
}

void PlaybackEvents::NotPlayed() {
  QueueElement entry;
  {
    const std::lock_guard<std::mutex> lock(gui.stateMutex);
    entry = gui.notPlayedEntries.front();
    gui.notPlayedEntries.pop_front();
  }
  std::printf("No se pudo reproducir [%u,%u,%u]\n", entry.genre, entry.disc, entry.track);
  if (entry.paid > 0) Refund(entry);
  gui.serviceStatus.CountFailure();
}

// The cashbox paid it back on the playback thread, with the entry's leaving
// the queue; here it is told.
void PlaybackEvents::Refund(const QueueElement& entry) {
  gui.Panels().DrawCredits(true);
  RString text;
  text.sprintf(entry.paid == 1 ? "No se pudo reproducir: se devuelve %d credito"
                               : "No se pudo reproducir: se devuelven %d creditos",
               entry.paid);
  gui.messageBox.ShowNotice(text, MessageBox::kNoticeTime);
}

// The panel changes once a second; the started events drew its 00:00.
void PlaybackEvents::ShowElapsedTime() {
  if (gui.player == nullptr || !gui.player->playing || gui.dialog != SDLGui::kMainScreen) return;
  const uint32_t seconds = (platform::Ticks() - gui.playStartedAt) / 1000;
  if (seconds <= gui.playSeconds) return;
  gui.playSeconds = seconds;
  gui.Panels().DrawPlayingInfo(true);
}
