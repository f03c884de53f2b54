// Touch input: the touch buttons of the screens.
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
    {701, 827, 581, 707, &MapKeys::enter}, {851, 977, 581, 707, &MapKeys::menu},
    {1, 127, 196, 322, &MapKeys::left},    {891, 1017, 196, 322, &MapKeys::right},
    {231, 319, 386, 474, &MapKeys::up},    {231, 319, 661, 749, &MapKeys::down},
    {925, 987, 11, 73, &MapKeys::up},
};

// The pace of a held touch.
const uint32_t kHeldScrollRepeat = 150;
const uint32_t kHeldRepeat = 50;

}  // namespace

int SDLGui::getButtonTouched(int x, int y) {
  for (const TouchArea& area : kTouchAreas)
    if (x > area.left && x <= area.right && y > area.top && y <= area.bottom) return config->*area.key;
  lastTouchX = x;
  lastTouchY = y;
  return 0;
}

// The operator menu takes no touches.
int SDLGui::touchFunction(int x, int y) {
  const int key = getButtonTouched(x, y);
  if (key == 0) return 0;
  if (dialog != kConfigScreen) DispatchKey(key);
  if (VideoPlaying() && !config->tvout) NoteInputDuringVideo();
  DrawButtons(true);
  touchHeld = 1;
  const bool scrolls = KeyIs(key, config->up) || KeyIs(key, config->down);
  platform::Delay(scrolls ? kHeldScrollRepeat : kHeldRepeat);
  return key;
}
