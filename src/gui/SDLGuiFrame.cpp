// The screen half of the main loop: pending redraws, the playback thread's
// events and the jukebox's timed duties, once per pass.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <optional>

#include "catalogue/MainLibrary.h"
#include "config/Configuration.h"
#include "gui/SDLGui.h"
#include "gui/Skin.h"
#include "platform/Clock.h"
#include "platform/Files.h"
#include "platform/Paths.h"
#include "playback/Player.h"
#include "playback/Queue.h"

namespace {

const uint32_t kMinute = 60000;

}  // namespace

void SDLGui::draw() {
  purchases.Finish();
  RedrawWhenPending();
  playbackEvents.HandlePlaybackEvents();
  serviceStatus.NoteSavingState();
  playbackEvents.ShowElapsedTime();
  volume.ShowVolumeBarUntilDue();
  serviceStatus.CheckOnlineWhenDue();
  mainScreen.ScrollSelectedTitle();
  PlayRandomWhenIdle();
  if (dialog != kKeyboardScreen || config->phonekeyboard) marqueeView.DrawMarquee();
  if (dialog == kKeyboardScreen) {
    textCursor.BlinkTextCursor();
    if (config->phonekeyboard && searchText.GetLength() > 0) searcher.AsyncSearch(false);
  }
  if (config->tvout) marqueeView.DrawTVOUT();
  searcher.FollowOnlineSearch();
  keyboardScreen.FollowSongSearch();
  downloads.FollowDownloads();
}

void SDLGui::RedrawWhenPending() {
  if (redrawMode == kFullRedraw) {
    DrawAll();
  } else if (redrawMode == kPartialRedraw) {
    extrawork();
    panels.DrawCovers(true);
    panels.DrawTitles(true);
    panels.DrawTracks(true);
    panels.DrawButtons(true);
    redrawMode = kUpToDate;
  }
}

// Playback events --------------------------------------------------------

std::deque<int> SDLGui::PendingPlaybackEvents() {
  const std::lock_guard<std::mutex> lock(stateMutex);
  return playEvents;
}

// A next video needs nothing here: its own started event takes the screen.
void SDLGui::PlayFinished() {
  std::puts("Finish play");
  serviceStatus.CountPlayed();
  if (player != nullptr && player->karaoke) {
    if (config->califkaraoke) KaraokeCalif();
    player->karaoke = 0;
  }
  if (queue->Count() > 0) {
    std::puts("COUNT");
    if (!video.VideoOnQueue()) {
      std::puts("Next play: Song");
      panels.DrawQueue(true);
      panels.DrawPlayingInfo(true);
      panels.DrawCoverMedia(true);
      if (config->tvout) {
        video.HideVideoWindow();
      } else {
        std::puts("Ocultando pantalla de video y redibujando");
        video.HideVideoWindow();
        DrawAll();
        UpdateAll();
        RedrawCurrentDialog();
      }
      panels.DrawButtons(true);
    } else {
      std::puts("Next play: Video");
      if (config->tvout) {
        panels.DrawQueue(true);
        panels.DrawPlayingInfo(true);
        RedrawCurrentDialog();
      }
    }
  } else {
    DrawAll();
    panels.DrawPlayingInfo(true);
    panels.DrawCoverMedia(true);
    UpdateAll();
    RedrawCurrentDialog();
    panels.DrawButtons(true);
    std::puts("Player going to quiet state");
  }
  cashbox->AskSave();
  idleSince = platform::Ticks();
}

// Timed duties ------------------------------------------------------------

void SDLGui::PlayRandomWhenIdle() {
  if (config->randomplay <= 0 || idleSince == 0) return;
  const uint32_t now = platform::Ticks();
  if (now - idleSince <= static_cast<uint32_t>(config->randomplay) * kMinute) return;
  const std::optional<QueueElement> track = Player::RandomTrack(*library);
  if (!track) return;  // an empty genre or album: drawn again next pass
  cashbox->AddFree(*track);
  idleSince = now;
}
