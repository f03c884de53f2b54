#pragma once
// The main loop's input: each event read goes to the key, key-up, mouse or
// touch handling it needs, and keys go to the screen on top, the only one
// that takes input. Touch buttons are pressed as their keys.
#include <SDL.h>

class SDLGui;

class InputRouter {
 public:
  explicit InputRouter(SDLGui& gui) : gui(gui) {}
  InputRouter(const InputRouter&) = delete;
  InputRouter& operator=(const InputRouter&) = delete;

  // One input event of pool.
  void HandleEvent(const SDL_Event& event);
  // One pass while a touch is held: the touch repeats until the button is
  // released.
  void RepeatHeldTouch();
  // Hands a key to the current screen's handler.
  void DispatchKey(int key);
  // Whether a screen has a key handler.
  static bool TakesKeys(int screen);
  // Touch: the key of the touch button at a screen point (0: none, the point
  // is remembered), and a touch handled as that key.
  int getButtonTouched(int x, int y);
  int touchFunction(int x, int y);

 private:
  void KeyDown(int key);
  void KeyUp(int key);
  void MouseButtonDown(int button);
  // The screen's own handler takes the key.
  void HandToScreen(int screen, int key);
  // The searcher's space/erase key going up.
  void SearcherSpaceKeyUp();
  // The pointer's own events that follow a touch (a shaky finger) are
  // dropped; other input waits its turn.
  void DropTouchEcho();

  SDLGui& gui;
};
