// The blinking text cursor of the keyboard screens.
#include "gui/TextCursor.h"

#include <SDL_gfxPrimitives.h>

#include "config/Configuration.h"
#include "gui/SDLGui.h"
#include "gui/Skin.h"
#include "platform/Clock.h"

namespace {

const uint32_t kCursorBlink = 499;

}  // namespace

// A one-pixel line after the first cursorPos characters of the typed text,
// black and white in turn.
void TextCursor::BlinkTextCursor() {
  const uint32_t now = platform::Ticks();
  if (now - cursorBlinkAt <= kCursorBlink) return;
  const RString typed = gui.searchText.GetSubString(0, gui.cursorPos);
  int w = 0, h = 0;
  gui.keyboardFont.SizeText(typed.Chars(), &w, &h);
  const SDL_Rect text = TypedTextOrigin();
  const Uint8 shade = cursorPhase == 0 ? 0 : 255;
  vlineRGBA(gui.screen, static_cast<Sint16>(text.x + w), text.y, static_cast<Sint16>(text.y + h), shade, shade, shade,
            255);
  gui.UpdateScreenArea(SDLGui::MakeRect(text.x + w, text.y, 1, h + 1));
  cursorPhase = cursorPhase == 0 ? 1 : 0;
  cursorBlinkAt = now;
}

// The typed text's top-left corner: inside the searcher image centred on the
// screen, or inside the keyboard image.
SDL_Rect TextCursor::TypedTextOrigin() const {
  if (!gui.config->phonekeyboard) {
    const SDL_Rect keyboard = gui.keyboardScreen.KeyboardArea();
    return SDLGui::MakeRect(keyboard.x + KeyboardScreen::kTextX, keyboard.y + KeyboardScreen::kTextY, 0, 0);
  }
  const int w = gui.searchPhoneImage != nullptr ? gui.searchPhoneImage->w : 0;
  const int h = gui.searchPhoneImage != nullptr ? gui.searchPhoneImage->h : 0;
  return SDLGui::MakeRect(gui.skin->width / 2 - w / 2 + SearcherScreen::kTextX,
                          gui.skin->height / 2 - h / 2 + SearcherScreen::kTextY, 0, 0);
}
