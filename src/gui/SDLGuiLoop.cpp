// The main loop's calls: background work, screen work and input.
#include <SDL_gfxPrimitives.h>

#include <cstdio>

#include "config/Configuration.h"
#include "gui/SDLGui.h"
#include "gui/Skin.h"
#include "platform/Clock.h"
#include "playback/Player.h"

namespace {

const int kEventsDroppedAfterRedraw = 10;
const int kEventsDroppedAfterTouch = 10;
const uint32_t kOnlineCheckInterval = 1999;
const uint32_t kRunningTimeInterval = 3000;
const uint32_t kInputPause = 1;
const uint32_t kTouchSettle = 10;
const uint32_t kLongestCoinPulse = 3000;
const uint32_t kLongPressErases = 1999;
const uint32_t kVolumeBarShown = 3000;
const uint32_t kCursorBlink = 499;
const uint32_t kTitleScrollPause = 3000;

}  // namespace

void SDLGui::extrawork() {
  coverswithcache();
  if (!miniVideo || !VideoPlaying()) return;
  if (platform::Ticks() - lastInputDuringVideo >= config->timeoutvideohide * 1000u) FullVideo();
}

// The steps in their order; the playback events and the elapsed time come
// after the pending redraw, the title scroll, random play and the marquee
// before the text cursor, the TV-out and the downloads after it.
void SDLGui::draw() {
  RedrawWhenPending();
  ShowVolumeBarUntilDue();
  CheckOnlineWhenDue();
  if (dialog == kKeyboardScreen) BlinkTextCursor();
}

void SDLGui::RedrawWhenPending() {
  if (redrawMode == kFullRedraw) {
    DrawAll();
    DiscardEvents(kEventsDroppedAfterRedraw);
  } else if (redrawMode == kPartialRedraw) {
    extrawork();
    DrawCovers(true);
    DrawTitles(true);
    DrawTracks(true);
    DrawButtons(true);
    redrawMode = kUpToDate;
  }
}

// The bar stays 3000 ms, drawn again on every pass unless a video covers it,
// and then gives way to the background.
void SDLGui::ShowVolumeBarUntilDue() {
  if (volumeShownAt == 0) return;
  if (platform::Ticks() - volumeShownAt > kVolumeBarShown) {
    ComposePanel(volumeSave, skin->xvolumen, skin->yvolumen);
    ShowPanel(volumeSave, skin->xvolumen, skin->yvolumen);
    volumeShownAt = 0;
  } else if (!VideoPlaying()) {
    DrawVolumen(true);
  }
}

void SDLGui::CheckOnlineWhenDue() {
  const uint32_t now = platform::Ticks();
  if (lastOnlineCheck == 0 || now - lastOnlineCheck <= kOnlineCheckInterval) return;
  OnlineChecker();
  lastOnlineCheck = now;
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
  titleScrollOffset = 0;
  titleScrollAt = platform::Ticks() + kTitleScrollPause;
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

// The marquee's region joins after the playing information once the marquee
// exists.
void SDLGui::UpdateAll() {
  UpdateBackground();
  UpdateGenre();
  UpdateCovers();
  UpdateTitles();
  UpdateTracks();
  UpdateCredits();
  UpdateQueue();
  UpdatePlayingInfo();
  UpdateCoverMedia();
}

// A one-pixel line after the first cursorPos characters of the typed text,
// black and white in turn.
void SDLGui::BlinkTextCursor() {
  const uint32_t now = platform::Ticks();
  if (now - cursorBlinkAt <= kCursorBlink) return;
  const RString typed = searchText.GetSubString(0, cursorPos);
  int w = 0, h = 0;
  keyboardFont.SizeText(typed.c_str() != nullptr ? typed.c_str() : "", &w, &h);
  const SDL_Rect text = TypedTextOrigin();
  const Uint8 shade = cursorPhase == 0 ? 0 : 255;
  vlineRGBA(screen, static_cast<Sint16>(text.x + w), text.y, static_cast<Sint16>(text.y + h),
            shade, shade, shade, 255);
  UpdateScreenArea(MakeRect(text.x + w, text.y, 1, h + 1));
  cursorPhase = cursorPhase == 0 ? 1 : 0;
  cursorBlinkAt = now;
}

// The typed text's top-left corner: inside the searcher image centred on the
// screen, or inside the keyboard image.
SDL_Rect SDLGui::TypedTextOrigin() const {
  if (!config->phonekeyboard) {
    const SDL_Rect keyboard = KeyboardArea();
    return MakeRect(keyboard.x + kKeyboardTextX, keyboard.y + kKeyboardTextY, 0, 0);
  }
  const int w = searchPhoneImage != nullptr ? searchPhoneImage->w : 0;
  const int h = searchPhoneImage != nullptr ? searchPhoneImage->h : 0;
  return MakeRect(skin->width / 2 - w / 2 + searchTextX, skin->height / 2 - h / 2 + searchTextY, 0, 0);
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
