#pragma once
// The message box: a text in a box centred on the screen, and the wait for
// a key that may go with it.
#include <cstdint>
#include <functional>

#include "base/RString.h"

class SDL_TTFWriter;
class SDLGui;

class MessageBox {
 public:
  explicit MessageBox(SDLGui& gui) : gui(gui) {}
  MessageBox(const MessageBox&) = delete;
  MessageBox& operator=(const MessageBox&) = delete;

  // Shows text in writer's font. With wait, input is read until a key other
  // than a coin or cancelsong goes down (its code is returned) or timeout
  // ms passed (-1: no limit); coins are credited and cancelsong stops the
  // playing item meanwhile, and a quit request ends the wait and the
  // program. With restore the covered area comes back. A video window that
  // would hide the box steps aside while it shows. -1 when no key ended it.
  int ShowMsg(const RString& text, SDL_TTFWriter& writer, int timeout, bool wait, bool restore);
  // A notice in the genre font, gone after timeout ms or a key.
  void ShowNotice(const RString& text, int timeout);
  // How long a notice and a refusal (not enough credits) stay.
  static constexpr int kNoticeTime = 3000;
  static constexpr int kRefusalTime = 5000;
  // Reads input until a key other than a coin or cancelsong goes down (true,
  // with its code) or timeout ms passed since start, or while stillWanted
  // (when given) says so.
  bool WaitForKey(uint32_t start, int timeout, int& key, const std::function<bool()>& stillWanted = nullptr);

 private:
  SDLGui& gui;
};
