#pragma once
// The blinking text cursor of the keyboard screens, after the typed text's
// first cursorPos characters.
#include <SDL.h>

#include <cstdint>

class SDLGui;

class TextCursor {
 public:
  explicit TextCursor(SDLGui& gui) : gui(gui) {}
  TextCursor(const TextCursor&) = delete;
  TextCursor& operator=(const TextCursor&) = delete;

  void BlinkTextCursor();

 private:
  SDL_Rect TypedTextOrigin() const;

  SDLGui& gui;
  uint32_t cursorBlinkAt = 0;
  uint8_t cursorPhase = 0;
};
