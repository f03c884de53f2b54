// Touch input: the touch buttons of the screens and the on-screen keyboard.
#include <array>

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

// The key grid: rows of typing keys, then the action keys' row.
const int kKeyPitch = 84;
const char* const kKeyRows[] = {"QWERTYUIOP", "ASDFGHJKL\xD1", "ZXCVBNM", "0123456789"};
const int kActionCharacter = 95;
// Where the first key's corner lies inside the keyboard image.
const int kFirstKeyX = 20, kFirstKeyY = 80;
const int kKeyboardAboveCentre = 50;

std::array<SDLGui::KeyboardKey, SDLGui::kKeyboardKeyCount> KeyboardLayout() {
  std::array<SDLGui::KeyboardKey, SDLGui::kKeyboardKeyCount> keys{};
  int index = 0;
  int row = 0;
  for (const char* letters : kKeyRows) {
    for (int column = 0; letters[column] != '\0'; ++column)
      keys[index++] = {static_cast<unsigned char>(letters[column]), kKeyPitch * column, kKeyPitch * row};
    ++row;
  }
  const int actionsY = kKeyPitch * row;
  keys[SDLGui::kEraseKey] = {kActionCharacter, 0, actionsY};
  keys[SDLGui::kCursorLeftKey] = {kActionCharacter, 2 * kKeyPitch, actionsY};
  keys[SDLGui::kSpaceKey] = {' ', 3 * kKeyPitch, actionsY};
  keys[SDLGui::kCursorRightKey] = {kActionCharacter, 7 * kKeyPitch, actionsY};
  keys[SDLGui::kSearchKey] = {kActionCharacter, 8 * kKeyPitch, actionsY};
  return keys;
}

bool Inside(const SDL_Rect& area, int x, int y) {
  return x >= area.x && x < area.x + area.w && y >= area.y && y < area.y + area.h;
}

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

// A touch outside the keyboard closes it; on a key it acts as that key.
bool SDLGui::TouchKeyboard(int x, int y) {
  if (!Inside(KeyboardArea(), x, y)) {
    dialog = kMainScreen;
    redrawMode = kFullRedraw;
    return true;
  }
  const int index = KeyboardKeyAtPoint(x, y);
  if (index < 0) return true;
  keyboardKey = index;
  // The catalogue search of the keyboard screen takes this key over once it
  // is written; until then the key only highlights.
  if (index == kSearchKey) return false;
  const bool types = index != kEraseKey && index != kCursorLeftKey && index != kCursorRightKey;
  if (types && searchText.GetLength() > 0 && searchText.GetChar(searchText.GetLength() - 1) == '|') {
    searchText.RemoveLastChar();
    if (cursorPos > searchText.GetLength()) cursorPos = searchText.GetLength();
  }
  EditSearchText(index);
  RedrawCurrentDialog();
  return true;
}

const SDLGui::KeyboardKey& SDLGui::KeyboardKeyOf(int index) {
  static const std::array<KeyboardKey, kKeyboardKeyCount> keys = KeyboardLayout();
  return keys[static_cast<size_t>(index)];
}

SDL_Surface* SDLGui::KeyHighlightOf(int index) const {
  if (index == kEraseKey || index == kSearchKey) return keyHighlights[1];
  if (index == kSpaceKey) return keyHighlights[2];
  return keyHighlights[0];
}

SDL_Rect SDLGui::KeyboardArea() const {
  const int w = keyboardImage != nullptr ? keyboardImage->w : 0;
  const int h = keyboardImage != nullptr ? keyboardImage->h : 0;
  return MakeRect(skin->width / 2 - w / 2, skin->height / 2 - h / 2 - kKeyboardAboveCentre, w, h);
}

// Key edges are exclusive on all four sides.
int SDLGui::KeyboardKeyAtPoint(int x, int y) const {
  const SDL_Rect keyboard = KeyboardArea();
  for (int index = 0; index < kKeyboardKeyCount; ++index) {
    const SDL_Surface* highlight = KeyHighlightOf(index);
    if (highlight == nullptr) continue;
    const KeyboardKey& key = KeyboardKeyOf(index);
    const int left = keyboard.x + key.x + kFirstKeyX;
    const int top = keyboard.y + key.y + kFirstKeyY;
    if (x > left && x < left + highlight->w && y > top && y < top + highlight->h) return index;
  }
  return -1;
}

void SDLGui::EditSearchText(int index) {
  switch (index) {
    case kCursorRightKey:
      if (cursorPos < searchText.GetLength()) ++cursorPos;
      break;
    case kCursorLeftKey:
      if (cursorPos > 0) --cursorPos;
      break;
    case kEraseKey:
      if (cursorPos > 0) searchText.RemoveChar(--cursorPos);
      break;
    case kSearchKey:
      break;
    default:
      searchText.InsertChar(static_cast<char>(KeyboardKeyOf(index).character), cursorPos++);
      break;
  }
}
