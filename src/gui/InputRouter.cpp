// The main loop's input: events to their handling, keys to the screen on
// top, touches on the touch buttons of the screens as their keys.
#include "gui/InputRouter.h"

#include "config/Configuration.h"
#include "gui/SDLGui.h"
#include "gui/Skin.h"
#include "platform/Clock.h"

namespace {

// A touch button's area in screen pixels, left and top bounds excluded,
// right and bottom included, and the key role it presses. The areas belong
// to the buttons as drawn for a 1024 × 768 screen.
struct TouchArea {
  int left, right, top, bottom;
  int32_t MapKeys::*key;
};

const TouchArea kTouchAreas[] = {
    {701, 827, 581, 707, &MapKeys::enter},  {851, 977, 581, 707, &MapKeys::menu}, {1, 127, 196, 322, &MapKeys::left},
    {891, 1017, 196, 322, &MapKeys::right}, {231, 319, 386, 474, &MapKeys::up},   {231, 319, 661, 749, &MapKeys::down},
    {925, 987, 11, 73, &MapKeys::up},
};

// The pace of a held touch.
const uint32_t kHeldScrollRepeat = 150;
const uint32_t kHeldRepeat = 50;
const int kEventsDroppedAfterTouch = 10;
const uint32_t kTouchSettle = 10;
const uint32_t kLongPressErases = 1999;

bool IsMouseEvent(const SDL_Event& event) {
  return event.type == SDL_MOUSEMOTION || event.type == SDL_MOUSEBUTTONDOWN || event.type == SDL_MOUSEBUTTONUP;
}

}  // namespace

int InputRouter::getButtonTouched(int x, int y) {
  for (const TouchArea& area : kTouchAreas)
    if (x > area.left && x <= area.right && y > area.top && y <= area.bottom) return gui.config->*area.key;
  gui.lastTouchX = x;
  gui.lastTouchY = y;
  return 0;
}

// The operator menu takes no touches.
int InputRouter::touchFunction(int x, int y) {
  const int key = getButtonTouched(x, y);
  if (key == 0) return 0;
  if (gui.dialog != SDLGui::kConfigScreen) DispatchKey(key);
  if (gui.video.VideoPlaying() && !gui.config->tvout) gui.video.NoteInputDuringVideo();
  gui.Panels().DrawButtons(true);
  gui.touchHeld = 1;
  const bool scrolls = SDLGui::KeyIs(key, gui.config->up) || SDLGui::KeyIs(key, gui.config->down);
  platform::Delay(scrolls ? kHeldScrollRepeat : kHeldRepeat);
  return key;
}

void InputRouter::HandleEvent(const SDL_Event& event) {
  switch (event.type) {
    case SDL_KEYDOWN:
      if (InputSource::IsAltF4(event))
        gui.QuitProgram();
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
      gui.QuitProgram();
      break;
    default:
      break;
  }
}

// Coins were counted when the event was read.
void InputRouter::KeyDown(int key) {
  if (gui.video.VideoPlaying() && !gui.config->tvout) gui.video.NoteInputDuringVideo();
  DispatchKey(key);
}

void InputRouter::KeyUp(int key) {
  if (gui.coins.CoinInputOfKey(key) != 0) return;
  if (SDLGui::KeyIs(key, gui.config->left) || SDLGui::KeyIs(key, gui.config->right))
    gui.mainScreen.SideKeyReleased();
  else if (SDLGui::KeyIs(key, gui.config->up) && gui.dialog == SDLGui::kKeyboardScreen && gui.config->phonekeyboard)
    SearcherSpaceKeyUp();
}

// A long press erases before the cursor (or the whole text with the cursor
// at its start); a short one types a space, except at the start.
void InputRouter::SearcherSpaceKeyUp() {
  auto hasSelection = [](const std::unique_ptr<ListBox>& list) { return list != nullptr && list->GetSelected() != -1; };
  if (hasSelection(gui.localResultsList) || hasSelection(gui.onlineResultsList)) return;
  if (platform::Ticks() - gui.keyDownAt > kLongPressErases) {
    if (gui.searchText.GetLength() > 0 && gui.cursorPos > 0)
      gui.searchText.RemoveChar(--gui.cursorPos);
    else if (gui.searchText.GetLength() > 0)
      gui.searchText = "";
  } else {
    if (gui.cursorPos == 0) return;
    gui.searchText.InsertChar(' ', gui.cursorPos++);
  }
  gui.keyDownAt = 0;
  gui.RedrawCurrentDialog();
}

// Mouse buttons that stand for coins were credited when read.
void InputRouter::MouseButtonDown(int button) {
  if (!gui.config->touchscreen && gui.config->mousecredit) return;
  platform::Delay(kTouchSettle);
  SDL_PumpEvents();
  int x = 0, y = 0;
  SDL_GetMouseState(&x, &y);
  if (button == SDL_BUTTON_LEFT) {
    if (gui.dialog == SDLGui::kKeyboardScreen) {
      if (!gui.keyboardScreen.TouchKeyboard(x, y)) return;
    } else {
      touchFunction(x, y);
    }
  }
  DropTouchEcho();
}

// While the button stays down the touch repeats at the pace touchFunction
// keeps; the pointer's events meanwhile are the touch itself, other input is
// handled as ever.
void InputRouter::RepeatHeldTouch() {
  SDL_Event event;
  if (gui.inputs.ReadInput(event) && !IsMouseEvent(event)) HandleEvent(event);
  if (gui.quitRequested) return;
  int x = 0, y = 0;
  if (SDL_GetMouseState(&x, &y) & SDL_BUTTON(SDL_BUTTON_LEFT))
    touchFunction(x, y);
  else
    gui.touchHeld = 0;
}

bool InputRouter::TakesKeys(int screen) { return screen >= SDLGui::kMainScreen && screen <= SDLGui::kConfigScreen; }

void InputRouter::HandToScreen(int screen, int key) {
  switch (screen) {
    case SDLGui::kMainScreen:
      return gui.mainScreen.keydown_main(key);
    case SDLGui::kGenresScreen:
      return gui.genresScreen.keydown_genreslist(key);
    case SDLGui::kAlphabetScreen:
      return gui.alphabetScreen.keydown_abclist(key);
    case SDLGui::kKeyboardScreen:
      return gui.config->phonekeyboard ? gui.searcher.keydown_searcher(key) : gui.keyboardScreen.keydown_keyboard(key);
    case SDLGui::kResultsScreen:
      return gui.keyboardScreen.keydown_result(key);
    case SDLGui::kConfigScreen:
      return gui.menuScreen.keydown_config(key);
    default:
      return;
  }
}

// The main screen has its own place for the quit keys among its roles;
// every other screen quits on them before its handler sees them. A screen
// without a handler goes back to the main screen.
void InputRouter::DispatchKey(int key) {
  if (gui.dialog != SDLGui::kMainScreen && gui.inputs.IsQuitKey(key)) {
    gui.QuitProgram();
  } else if (TakesKeys(gui.dialog)) {
    HandToScreen(gui.dialog, key);
  } else {
    gui.dialog = SDLGui::kMainScreen;
    gui.redrawMode = SDLGui::kFullRedraw;
  }
}

void InputRouter::DropTouchEcho() {
  SDL_Event echo[kEventsDroppedAfterTouch];
  SDL_PumpEvents();
  const int count = SDL_PeepEvents(echo, kEventsDroppedAfterTouch, SDL_GETEVENT, SDL_MOUSEEVENTMASK);
  for (int i = 0; i < count; ++i) gui.coins.ObserveInput(echo[i]);
}
