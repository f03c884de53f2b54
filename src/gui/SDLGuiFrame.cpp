// The screen half of the main loop: pending redraws, the playback thread's
// events and the jukebox's timed duties, once per pass.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <optional>

#include "catalogue/Downloads.h"
#include "catalogue/MainLibrary.h"
#include "config/Configuration.h"
#include "gui/DownloadProgress.h"
#include "gui/SDLGui.h"
#include "gui/Skin.h"
#include "platform/Clock.h"
#include "platform/Files.h"
#include "platform/Paths.h"
#include "playback/Player.h"
#include "playback/Queue.h"

namespace {

const uint32_t kVolumeBarShown = 3000;
const uint32_t kMinute = 60000;

// The download script may still hold the finished file for a moment.
const uint32_t kDownloadSettle = 1000;
const char* const kDownloadComplete = "100";

}  // namespace

void SDLGui::draw() {
  FinishSales();
  RedrawWhenPending();
  playbackEvents.HandlePlaybackEvents();
  NoteSavingState();
  playbackEvents.ShowElapsedTime();
  ShowVolumeBarUntilDue();
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
  FollowDownloads();
  if (coinSound != nullptr) coinSound->CloseWhenDone();
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

void SDLGui::NoteSavingState() {
  cashbox->SaveIfDue();
  if (cashbox->SaveFailing() == shownSaveFailing && cashbox->LedgerFailing() == shownLedgerFailing) return;
  shownSaveFailing = cashbox->SaveFailing();
  shownLedgerFailing = cashbox->LedgerFailing();
  MarqueeCalc();
}

void SDLGui::CountFailure() {
  lastItemFailed = true;
  if (++failuresInARow != kFailuresForService) return;
  std::printf("%d elementos seguidos sin reproducir: el equipo necesita servicio tecnico\n", failuresInARow);
  cashbox->NoteService(std::to_string(failuresInARow) + " items in a row not played");
  MarqueeCalc();
}

void SDLGui::CountPlayed() {
  if (lastItemFailed) {
    lastItemFailed = false;
    return;
  }
  if (NeedsService()) MarqueeCalc();
  failuresInARow = 0;
}

// A next video needs nothing here: its own started event takes the screen.
void SDLGui::PlayFinished() {
  std::puts("Finish play");
  CountPlayed();
  if (player != nullptr && player->karaoke) {
    if (config->califkaraoke) KaraokeCalif();
    player->karaoke = 0;
  }
  if (queue->Count() > 0) {
    std::puts("COUNT");
    if (!VideoOnQueue()) {
      std::puts("Next play: Song");
      panels.DrawQueue(true);
      panels.DrawPlayingInfo(true);
      panels.DrawCoverMedia(true);
      if (config->tvout) {
        HideVideoWindow();
      } else {
        std::puts("Ocultando pantalla de video y redibujando");
        HideVideoWindow();
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

bool SDLGui::VideoOnQueue() const { return player != nullptr && player->IsVideoOnQueue(); }

// Timed duties ------------------------------------------------------------

// The bar stays 3000 ms, drawn again on every pass unless a video covers it,
// and then gives way to the background.
void SDLGui::ShowVolumeBarUntilDue() {
  if (volumeShownAt == 0) return;
  if (platform::Ticks() - volumeShownAt > kVolumeBarShown) {
    panels.ComposePanel(volumeSave, skin->xvolumen, skin->yvolumen);
    panels.ShowPanel(volumeSave, skin->xvolumen, skin->yvolumen);
    volumeShownAt = 0;
  } else if (!VideoPlaying()) {
    panels.DrawVolumen(true);
  }
}

void SDLGui::PlayRandomWhenIdle() {
  if (config->randomplay <= 0 || idleSince == 0) return;
  const uint32_t now = platform::Ticks();
  if (now - idleSince <= static_cast<uint32_t>(config->randomplay) * kMinute) return;
  const std::optional<QueueElement> track = Player::RandomTrack(*library);
  if (!track) return;  // an empty genre or album: drawn again next pass
  queue->AddElementToQueue(track->genre, track->disc, track->track);
  idleSince = now;
}

// Downloads ----------------------------------------------------------------

void SDLGui::FollowDownloads() {
  DownloadProgress progress;
  while (const std::optional<DownloadProgress::Report> report = progress.Next()) {
    if (report->kind == DownloadProgress::Report::kRefused) {
      RefuseDownload(report->name);
    } else if (report->kind == DownloadProgress::Report::kRunning) {
      ShowDownloadProgress(report->name, report->percent);
    } else {
      CompleteDownload(report->name);
      return;
    }
  }
}

// The list is shown again only while the searcher is on the screen.
int SDLGui::ShowDownloadProgress(const RString& name, const RString& percent) {
  if (onlineResultsList == nullptr) return -1;
  const RString fileName = name.BeforeLast('.');
  int row = 0;
  for (const RItemList* node = onlineResultsList->items.GetFirst(); node != nullptr;
       node = node->next, ++row) {
    const RString text(static_cast<const char*>(node->data));
    if (DownloadName(text) != fileName) continue;
    onlineResultsList->SetItem(DownloadProgress::Row(text.AfterFirst(' '), percent), row);
    const bool searcherShown = dialog == kKeyboardScreen && config->phonekeyboard;
    onlineResultsList->Draw(searcherShown ? screen : nullptr, false);
    return row;
  }
  return -1;
}

// A download named so that its path would lead out of its folder is
// neither charged nor queued.
void SDLGui::RefuseDownload(const RString& name) {
  std::printf("Descarga rechazada, nombre no valido: %s\n", name.Chars());
  ShowMsg("Descarga rechazada", genreFont, kRefusalTime, true, true);
}

// Without the credits in the coin-operated mode the download is refused; it
// stays on disk but is not queued. The charge and the queued track are saved
// together, with the price as what the entry was paid.
void SDLGui::CompleteDownload(const RString& name) {
  DownloadProgress::Forget(name);
  WaitKeepingInput(kDownloadSettle);
  const int32_t price = std::max(config->creditsdownloads, 0);
  if (JukeboxMode() && Credits() < price) {
    ShowMsg("Creditos insuficientes para DESCARGA", genreFont, kRefusalTime, true, true);
    return;
  }
  const uint32_t track = static_cast<uint32_t>(library->AddDownloadedTrack(name));
  const uint32_t disc = static_cast<uint32_t>(library->DownloadsDiscIndex());
  std::printf("Index of added download: 0 %u %u\n", disc, track);
  sales.Add(cashbox->Buy(QueueElement{0, disc, track, 0}, price), [this, name](const Cashbox::Outcome& outcome) {
    if (TellUnsold(outcome.sale)) return;
    panels.DrawCredits(true);
    panels.DrawQueue(true);
    const int row = ShowDownloadProgress(name, kDownloadComplete);
    if (row != -1) std::printf("Index item: %d\n", row);
  });
}
