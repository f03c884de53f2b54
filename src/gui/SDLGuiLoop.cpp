// The main loop's calls: background work and input (the screen work of
// each pass is in SDLGuiFrame).
#include <cstdio>

#include "config/Configuration.h"
#include "gui/SDLGui.h"
#include "gui/Skin.h"
#include "platform/Clock.h"
#include "playback/Player.h"

void SDLGui::extrawork() {
  carousel.coverswithcache();
  video.FullAfterIdle();
}

void SDLGui::pool() {
  // The update's question is answered by a key pressed after it shows, not
  // by one kept from before.
  if (inputs.KeptCount() == 0) usbUpdate.PollUsbUpdate();
  if (queuePollCounter++ == 0) queueRequests.ReadQueueRequests();
  // The customer's input waits for the sale being saved, to act on what it
  // made; coins count as they come.
  if (purchases.Pending().Waiting()) {
    inputs.KeepInputWhileWaiting();
    return;
  }
  if (touchHeld) {
    router.RepeatHeldTouch();
    return;
  }
  serviceStatus.SaveRunningTimeWhenDue();
  // Input during a search that goes on over passes waits for its results,
  // coins counted and quit requests honoured at once.
  SDL_Event event;
  if (searcher.OnlineSearchRunning() || keyboardScreen.SongSearchRunning())
    inputs.KeepInputWhileWaiting();
  else if (!quitRequested && inputs.ReadInput(event))
    router.HandleEvent(event);
}

// The keyboard screens need their images, the searcher and the operator
// menu their lists.
bool SDLGui::CanEnter(int screen) {
  bool drawable = true;
  if (screen == kKeyboardScreen)
    drawable = config->phonekeyboard ? localResultsList != nullptr && onlineResultsList != nullptr
                                     : keyboardImage != nullptr;
  if (screen == kConfigScreen) drawable = configList != nullptr;
  if (InputRouter::TakesKeys(screen) && drawable) return true;
  std::printf("Pantalla no disponible: %d\n", screen);
  return false;
}

void SDLGui::RedrawCurrentDialog() {
  switch (dialog) {
    case kGenresScreen:
      genresList->Draw(screen, false);
      break;
    case kAlphabetScreen:
      alphabetScreen.DrawABC();
      break;
    case kKeyboardScreen:
      if (config->phonekeyboard)
        searcher.DrawSearch(true);
      else
        keyboardScreen.DrawKeyboard();
      break;
    case kResultsScreen:
      resultsList->Draw(screen, false);
      break;
    case kConfigScreen:
      menuScreen.DrawConfigList();
      break;
    default:
      break;
  }
  SDL_Flip(screen);
}

void SDLGui::DrawAll() {
  DrawBackground(false);
  panels.DrawGenre(true);
  panels.DrawCovers(true);
  panels.DrawTitles(true);
  panels.DrawTracks(true);
  panels.DrawCredits(true);
  panels.DrawQueue(true);
  if (config->touchscreen) panels.DrawButtons(true);
  redrawMode = kUpToDate;
  if (video.VideoPlaying()) {
    video.FullVideo();
    video.MiniVideo();
    if (!config->tvout) video.ShowVideoWindow();
  } else {
    video.HideVideoWindow();
    if (player != nullptr && player->playing) panels.DrawCoverMedia(true);
  }
  SDL_Flip(screen);
}

void SDLGui::UpdateAll() {
  UpdateBackground();
  panels.UpdateGenre();
  panels.UpdateCovers();
  panels.UpdateTitles();
  panels.UpdateTracks();
  panels.UpdateCredits();
  panels.UpdateQueue();
  panels.UpdatePlayingInfo();
  marqueeView.UpdateMarquee();
  panels.UpdateCoverMedia();
}

void SDLGui::ExternalAction(int event) {
  const std::lock_guard<std::mutex> lock(stateMutex);
  playEvents.push_back(event);
}

void SDLGui::ItemNotPlayed(const QueueElement& entry, const PlayReport& report) {
  if (!cashbox->PayBack(entry, report)) return;
  const std::lock_guard<std::mutex> lock(stateMutex);
  notPlayedEntries.push_back(entry);
  playEvents.push_back(Player::kNotPlayed);
}

void SDLGui::ItemPlayed(const QueueElement& entry, const PlayReport& report) { cashbox->Finish(entry, report); }

void SDLGui::ForgetPlayer(const Player* gone) {
  if (player == gone) player = nullptr;
}

bool SDLGui::CommonDialogKey(int key, bool secondBindings) {
  if (coins.CoinInputOfKey(key) != 0) return true;
  if (KeyIs(key, config->upvol) || (secondBindings && KeyIs(key, config->upvol2))) {
    volume.UpVol();
  } else if (KeyIs(key, config->downvol) || (secondBindings && KeyIs(key, config->downvol2))) {
    volume.DownVol();
  } else if (KeyIs(key, config->cancelsong) || (secondBindings && KeyIs(key, config->cancelsong2))) {
    StopPlayer();
  } else {
    return false;
  }
  return true;
}

void SDLGui::CloseDialog() {
  dialog = kMainScreen;
  redrawMode = kFullRedraw;
}

// A search's match chosen: its track is selected on the main screen, not
// bought.
void SDLGui::JumpToMatch(const QueueElement& match) {
  selGenre = match.genre;
  selDisc = match.disc;
  selTrack = match.track;
  carousel.ResetCoversCache();
  DrawBackground(true);
  CloseDialog();
}

// up and down move first; left and right then move as well, the key going
// on through the dialog's own roles.
void SDLGui::MoveInList(ListBox& list, int key) {
  if (KeyIs(key, config->up) || KeyIs(key, config->left)) list.Up();
  if (KeyIs(key, config->down) || KeyIs(key, config->right)) list.Down();
  list.Draw(screen, false);
}

void SDLGui::StopPlayer() {
  if (player != nullptr) player->PlayerStop();
}

void SDLGui::QuitProgram() {
  StopPlayer();
  quitRequested = 1;
}
