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
const uint32_t kInputPause = 1;
const uint32_t kTouchSettle = 10;
const uint32_t kLongestCoinPulse = 3000;
const uint32_t kLongPressErases = 1999;

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
  if (!quitRequested && SDL_PollEvent(&event)) HandleEvent(event);
  platform::Delay(kInputPause);
}

void SDLGui::HandleEvent(const SDL_Event& event) {
  switch (event.type) {
    case SDL_KEYDOWN:
      KeyDown(event.key.keysym.sym);
      break;
    case SDL_KEYUP:
      KeyUp(event.key.keysym.sym);
      break;
    case SDL_MOUSEBUTTONDOWN:
      MouseButtonDown(event.button.button);
      break;
    case SDL_QUIT:
      StopPlayer();
      quitRequested = 1;
      break;
    default:
      break;
  }
}

void SDLGui::KeyDown(int key) {
  if (VideoPlaying() && !config->tvout) NoteInputDuringVideo();
  if (CoinInputOfKey(key) != 0 && coinPressedAt == 0) coinPressedAt = platform::Ticks();
  DispatchKey(key);
}

void SDLGui::KeyUp(int key) {
  if (CoinInputOfKey(key) != 0)
    CoinReleased(key);
  else if (KeyIs(key, config->left) || KeyIs(key, config->right))
    sideKeyHeldSince = 0;
  else if (KeyIs(key, config->up) && dialog == kKeyboardScreen && config->phonekeyboard)
    SearcherSpaceKeyUp();
}

void SDLGui::CoinReleased(int key) {
  const bool pulse = coinPressedAt != 0 && platform::Ticks() - coinPressedAt <= kLongestCoinPulse;
  coinPressedAt = 0;
  if (pulse) {
    std::printf("Credito detectado %d\n", key);
    CreditKey(key);
    return;
  }
  ShowMsg("Presione secuencia de botones Menu Inteligente", genreFont, 0, false, false);
  menuSequenceStep = 1;
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

void SDLGui::MouseButtonDown(int button) {
  if (!config->touchscreen && config->mousecredit) {
    if (button == SDL_BUTTON_LEFT) CreditKey(config->coin1);
    if (button == SDL_BUTTON_RIGHT) CreditKey(config->coin2);
    return;
  }
  platform::Delay(kTouchSettle);
  SDL_PumpEvents();
  int x = 0, y = 0;
  SDL_GetMouseState(&x, &y);
  if (button == SDL_BUTTON_LEFT) {
    if (dialog == kKeyboardScreen) {
      if (!TouchKeyboard(x, y)) return;
    } else {
      touchFunction(x, y);
    }
  }
  DiscardEvents(kEventsDroppedAfterTouch);
}

// While the button stays down the touch repeats at the pace touchFunction
// keeps.
void SDLGui::RepeatHeldTouch() {
  SDL_Event event;
  SDL_PollEvent(&event);
  int x = 0, y = 0;
  if (SDL_GetMouseState(&x, &y) & SDL_BUTTON(SDL_BUTTON_LEFT))
    touchFunction(x, y);
  else
    touchHeld = 0;
}

// The handlers of the other screens join as they are written:
// keydown_genreslist, keydown_abclist, keydown_keyboard or, with
// phonekeyboard, keydown_searcher, keydown_result and keydown_config.
SDLGui::KeyHandler SDLGui::ScreenKeyHandler() const {
  switch (dialog) {
    case kMainScreen:
      return &SDLGui::keydown_main;
    default:
      return nullptr;
  }
}

void SDLGui::DispatchKey(int key) {
  const KeyHandler handler = ScreenKeyHandler();
  if (handler != nullptr) (this->*handler)(key);
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
  RestartTitleScroll();
}

// The alphabet, keyboard and searcher screens draw themselves here once
// their drawing exists (DrawABC, DrawKeyboard, DrawSearch(true)).
void SDLGui::RedrawCurrentDialog() {
  switch (dialog) {
    case kGenresScreen:
      genresList->Draw(screen, false);
      break;
    case kResultsScreen:
      resultsList->Draw(screen, false);
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

// A quit request among them is honoured rather than lost.
void SDLGui::DiscardEvents(int count) {
  SDL_Event event;
  for (int i = 0; i < count && SDL_PollEvent(&event); ++i)
    if (event.type == SDL_QUIT) HandleEvent(event);
}

void SDLGui::ExternalAction(int event) {
  SDL_mutexP(stateMutex);
  playEvent = event;
  SDL_mutexV(stateMutex);
}
