// The main loop's calls: background work and input (the screen work of
// each pass is in SDLGuiFrame).
#include <cstdio>

#include "config/Configuration.h"
#include "gui/SDLGui.h"
#include "gui/Skin.h"
#include "platform/Clock.h"
#include "playback/Player.h"

namespace {

const int kEventsDroppedAfterTouch = 10;
const uint32_t kRunningTimeInterval = 3000;
const uint32_t kTouchSettle = 10;
const uint32_t kLongPressErases = 1999;

bool IsMouseEvent(const SDL_Event& event) {
  return event.type == SDL_MOUSEMOTION || event.type == SDL_MOUSEBUTTONDOWN || event.type == SDL_MOUSEBUTTONUP;
}

}  // namespace

void SDLGui::extrawork() {
  coverswithcache();
  if (!miniVideo || !VideoPlaying()) return;
  if (platform::Ticks() - lastInputDuringVideo >= config->timeoutvideohide * 1000u) FullVideo();
}

void SDLGui::pool() {
  PollUsbUpdate();
  if (queuePollCounter++ == 0) ReadQueueRequests();
  if (touchHeld) {
    RepeatHeldTouch();
    return;
  }
  SaveRunningTimeWhenDue();
  SDL_Event event;
  if (!quitRequested && ReadInput(event)) HandleEvent(event);
}

void SDLGui::HandleEvent(const SDL_Event& event) {
  switch (event.type) {
    case SDL_KEYDOWN:
      if (IsAltF4(event))
        QuitProgram();
      else
        KeyDown(event.key.keysym.sym);
      break;
    case SDL_KEYUP:
      KeyUp(event.key.keysym.sym);
      break;
    case SDL_MOUSEBUTTONDOWN:
      MouseButtonDown(event.button.button);
      break;
    case SDL_QUIT:
      QuitProgram();
      break;
    default:
      break;
  }
}

// Coins were counted when the event was read.
void SDLGui::KeyDown(int key) {
  if (VideoPlaying() && !config->tvout) NoteInputDuringVideo();
  DispatchKey(key);
}

void SDLGui::KeyUp(int key) {
  if (CoinInputOfKey(key) != 0) return;
  if (KeyIs(key, config->left) || KeyIs(key, config->right))
    mainScreen.SideKeyReleased();
  else if (KeyIs(key, config->up) && dialog == kKeyboardScreen && config->phonekeyboard)
    SearcherSpaceKeyUp();
}

// A long press erases before the cursor (or the whole text with the cursor
// at its start); a short one types a space, except at the start.
void SDLGui::SearcherSpaceKeyUp() {
  auto hasSelection = [](const std::unique_ptr<ListBox>& list) {
    return list != nullptr && list->GetSelected() != -1;
  };
  if (hasSelection(localResultsList) || hasSelection(onlineResultsList)) return;
  if (platform::Ticks() - keyDownAt > kLongPressErases) {
    if (searchText.GetLength() > 0 && cursorPos > 0)
      searchText.RemoveChar(--cursorPos);
    else if (searchText.GetLength() > 0)
      searchText = "";
  } else {
    if (cursorPos == 0) return;
    searchText.InsertChar(' ', cursorPos++);
  }
  keyDownAt = 0;
  RedrawCurrentDialog();
}

// Mouse buttons that stand for coins were credited when read.
void SDLGui::MouseButtonDown(int button) {
  if (!config->touchscreen && config->mousecredit) return;
  platform::Delay(kTouchSettle);
  SDL_PumpEvents();
  int x = 0, y = 0;
  SDL_GetMouseState(&x, &y);
  if (button == SDL_BUTTON_LEFT) {
    if (dialog == kKeyboardScreen) {
      if (!keyboardScreen.TouchKeyboard(x, y)) return;
    } else {
      touchFunction(x, y);
    }
  }
  DropTouchEcho();
}

// While the button stays down the touch repeats at the pace touchFunction
// keeps; the pointer's events meanwhile are the touch itself, other input is
// handled as ever.
void SDLGui::RepeatHeldTouch() {
  SDL_Event event;
  if (ReadInput(event) && !IsMouseEvent(event)) HandleEvent(event);
  if (quitRequested) return;
  int x = 0, y = 0;
  if (SDL_GetMouseState(&x, &y) & SDL_BUTTON(SDL_BUTTON_LEFT))
    touchFunction(x, y);
  else
    touchHeld = 0;
}

SDLGui::KeyHandler SDLGui::KeyHandlerOf(int screen) const {
  switch (screen) {
    case kMainScreen:
      return &SDLGui::keydown_main;
    case kGenresScreen:
      return &SDLGui::keydown_genreslist;
    case kAlphabetScreen:
      return &SDLGui::keydown_abclist;
    case kKeyboardScreen:
      return config->phonekeyboard ? &SDLGui::keydown_searcher : &SDLGui::keydown_keyboard;
    case kResultsScreen:
      return &SDLGui::keydown_result;
    case kConfigScreen:
      return &SDLGui::keydown_config;
    default:
      return nullptr;
  }
}

bool SDLGui::ActOnFirstRole(int key, const KeyRole* roles, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    if (KeyIs(key, config->*roles[i].binding)) {
      (this->*roles[i].action)();
      return true;
    }
  }
  return false;
}

SDLGui::KeyHandler SDLGui::ScreenKeyHandler() const { return KeyHandlerOf(dialog); }

// The keyboard screens need their images, the searcher and the operator
// menu their lists.
bool SDLGui::CanEnter(int screen) {
  bool drawable = true;
  if (screen == kKeyboardScreen)
    drawable = config->phonekeyboard ? localResultsList != nullptr && onlineResultsList != nullptr
                                     : keyboardImage != nullptr;
  if (screen == kConfigScreen) drawable = configList != nullptr;
  if (KeyHandlerOf(screen) != nullptr && drawable) return true;
  std::printf("Pantalla no disponible: %d\n", screen);
  return false;
}

// The main screen has its own place for the quit keys among its roles;
// every other screen quits on them before its handler sees them. A screen
// without a handler goes back to the main screen.
void SDLGui::DispatchKey(int key) {
  const KeyHandler handler = ScreenKeyHandler();
  if (dialog != kMainScreen && IsQuitKey(key)) {
    QuitProgram();
  } else if (handler != nullptr) {
    (this->*handler)(key);
  } else {
    dialog = kMainScreen;
    redrawMode = kFullRedraw;
  }
}

void SDLGui::NoteInputDuringVideo() {
  lastInputDuringVideo = platform::Ticks();
  if (!miniVideo) MiniVideo();
}

void SDLGui::MiniVideo() {
  if (config->tvout) return;
  SetVideoArea(MakeRect(skin->xmedia, skin->ymedia, skin->wmedia, skin->hmedia));
  miniVideo = 1;
  DrawQueue(false);
  DrawTracks(false);
  DrawPlayingInfo(false);
  UpdateAll();
  mainScreen.RestartTitleScroll();
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
  DrawGenre(true);
  DrawCovers(true);
  DrawTitles(true);
  DrawTracks(true);
  DrawCredits(true);
  DrawQueue(true);
  if (config->touchscreen) DrawButtons(true);
  redrawMode = kUpToDate;
  if (VideoPlaying()) {
    FullVideo();
    MiniVideo();
    if (!config->tvout) ShowVideoWindow();
  } else {
    HideVideoWindow();
    if (player != nullptr && player->playing) DrawCoverMedia(true);
  }
  SDL_Flip(screen);
}

void SDLGui::UpdateAll() {
  UpdateBackground();
  UpdateGenre();
  UpdateCovers();
  UpdateTitles();
  UpdateTracks();
  UpdateCredits();
  UpdateQueue();
  UpdatePlayingInfo();
  UpdateMarquee();
  UpdateCoverMedia();
}

// Whole seconds are added; the remainder counts towards the next save.
void SDLGui::SaveRunningTimeWhenDue() {
  if (config->periodoservicio == 0) return;
  const uint32_t elapsed = platform::Ticks() - lastRunTimeSave;
  if (elapsed <= kRunningTimeInterval) return;
  save_exec(static_cast<int>(elapsed / 1000));
  lastRunTimeSave += elapsed / 1000 * 1000;
}

void SDLGui::DropTouchEcho() {
  SDL_Event echo[kEventsDroppedAfterTouch];
  SDL_PumpEvents();
  const int count = SDL_PeepEvents(echo, kEventsDroppedAfterTouch, SDL_GETEVENT, SDL_MOUSEEVENTMASK);
  for (int i = 0; i < count; ++i) ObserveInput(echo[i]);
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
  if (CoinInputOfKey(key) != 0) return true;
  if (KeyIs(key, config->upvol) || (secondBindings && KeyIs(key, config->upvol2))) {
    UpVol();
  } else if (KeyIs(key, config->downvol) || (secondBindings && KeyIs(key, config->downvol2))) {
    DownVol();
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
  ResetCoversCache();
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
