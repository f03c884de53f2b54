#pragma once
// Every input event the GUI reads comes through here: coins are counted the
// moment SDL hands their events over, whoever reads them (the main loop, a
// message box, a blocking wait), and input read during a wait is kept for
// the main loop instead of being lost. The waits end their pass at every
// step, for the pass observer.
#include <SDL.h>

#include <cstddef>
#include <cstdint>
#include <deque>

#include "gui/PassObserver.h"

class SDLGui;

class InputSource {
 public:
  explicit InputSource(SDLGui& gui) : gui(gui) {}
  InputSource(const InputSource&) = delete;
  InputSource& operator=(const InputSource&) = delete;

  // The next input event: one kept during a blocking wait, else SDL's next
  // one. Every event is seen by CoinInputs::ObserveInput exactly once, when
  // SDL hands it over. False when there is none.
  bool ReadInput(SDL_Event& event);
  // For blocking waits: takes what SDL holds, counts its coins and keeps the
  // rest (mouse motion aside) for the main loop. A quit request (window
  // system, exit key, Alt+F4) sets quitRequested at once.
  void KeepInputWhileWaiting();
  // Sleeps ms in short steps, crediting coins and keeping other input for
  // the main loop; ends early on a quit request.
  void WaitKeepingInput(uint32_t ms);
  // Ends the pass, sleeps ms and begins the next: for the waits that read
  // input in a loop of their own, so that each of their steps is a pass.
  void PauseBetweenPasses(uint32_t ms);
  size_t KeptCount() const { return kept.size(); }

  // Whether the event asks the program to end, on whatever screen: the
  // window system, the exit key, or F4 pressed with Alt.
  bool IsQuitRequest(const SDL_Event& event) const;
  // The same with exitKey as the exit key, for a screen without the GUI.
  static bool IsQuitRequest(const SDL_Event& event, int32_t exitKey);
  static bool IsAltF4(const SDL_Event& event);
  bool IsQuitKey(int key) const;

  void ObservePasses(PassObserver* observer) { passes = observer != nullptr ? observer : &unobserved; }
  PassObserver& Passes() { return *passes; }

 private:
  SDLGui& gui;
  // Input read by blocking waits, in the order it came, for the main loop.
  std::deque<SDL_Event> kept;
  PassObserver unobserved;
  PassObserver* passes = &unobserved;
};
