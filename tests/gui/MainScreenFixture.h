#pragma once
// The main screen set up on a generated catalogue, for the tests of its keys
// and of paying for plays. Message boxes that wait for a key get it from
// events pushed before the call; those with a time limit end on the manual
// clock.
#include <SDL.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "CoverCatalogue.h"
#include "SDLGuiTestCabinet.h"

class MainScreenTest : public CabinetTest {
 protected:
  // Sets the GUI up on the catalogue built so far, the main screen drawn.
  void Open() {
    ASSERT_EQ(Start(), 1) << setUpLog;
    gui.DrawAll();
    Select(0, 0, 0);
  }

  // Selects a track as the panels show it.
  void Select(uint32_t genre, uint32_t disc, uint32_t track) {
    gui.Selection().selGenre = genre;
    gui.Selection().selDisc = disc;
    gui.Selection().selTrack = track;
    gui.Carousel().ResetCoversCache();
    gui.Panels().DrawTracks(true);
  }

  void Press(int key) { gui.Main().keydown_main(key); }

  // The next key a waiting message box reads.
  static void Answer(int key) {
    SDL_Event event{};
    event.type = SDL_KEYDOWN;
    event.key.keysym.sym = static_cast<SDLKey>(key);
    ASSERT_EQ(SDL_PushEvent(&event), 0);
  }

  // Milliseconds that an action kept the program waiting: a message box
  // shown for its full time takes at least that long.
  uint32_t WaitOf(const std::function<void()>& action) {
    const uint32_t start = clock.Ticks();
    action();
    return clock.Ticks() - start;
  }

  // What an action printed.
  static std::string LogOf(const std::function<void()>& action) {
    testing::internal::CaptureStdout();
    action();
    return testing::internal::GetCapturedStdout();
  }

  CoverCatalogue catalogue{library};
};
