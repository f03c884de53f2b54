// Coins are counted once whoever reads their events: the main loop through
// redraws and touches, message boxes and blocking waits. Nothing a customer
// typed is dropped on the way, and the quit requests work everywhere.
#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "CoverCatalogue.h"
#include "SDLGuiTestCabinet.h"
#include "support/Files.h"

namespace {

class SDLGuiInputTest : public CabinetTest {
 protected:
  void SetUp() override {
    catalogue.AddGenre("Rock", 12);
    config.creditscoin1 = 1;
    config.creditscoin2 = 2;
    config.exit = SDLK_F9;
    ASSERT_EQ(Start(), 1) << setUpLog;
    gui.DrawAll();
  }

  static void Push(Uint8 type, int key) {
    SDL_Event event{};
    event.type = type;
    event.key.keysym.sym = static_cast<SDLKey>(key);
    ASSERT_EQ(SDL_PushEvent(&event), 0);
  }
  static void PushMouse(Uint8 button) {
    SDL_Event event{};
    event.type = SDL_MOUSEBUTTONDOWN;
    event.button.button = button;
    event.button.x = 500;
    event.button.y = 300;
    ASSERT_EQ(SDL_PushEvent(&event), 0);
  }
  void Down(int key) { Push(SDL_KEYDOWN, key); }
  void Up(int key) { Push(SDL_KEYUP, key); }
  void Pulse(int key) {
    Down(key);
    Up(key);
  }
  // Passes of the main loop until every input has been handled.
  void RunUntilIdle() {
    for (int pass = 0; pass < 100 && (SDL_PollEvent(nullptr) || !gui.Inputs().KeptCount() == 0); ++pass) {
      gui.draw();
      gui.pool();
    }
    gui.draw();
  }
  // A waiting message box; keys pushed before end i
  void Message(int timeout) { gui.Messages().ShowMsg("Agregado: Tema", gui.Writers().genreFont, timeout, true, true); }

  std::string SavedCredits() {
    const std::string saved = SavedFile();
    const size_t at = saved.find("savedcredits=");
    return at == std::string::npos ? "" : saved.substr(at + 13, saved.find('\n', at) - at - 13);
  }

  CoverCatalogue catalogue{library};
};

struct CoinCase {
  const char* name;
  std::function<void()> insert;
  int credits;
};

TEST_F(SDLGuiInputTest, EveryCoinPulseIsCreditedExactlyOnce) {
  const int c1 = config.coin1, c2 = config.coin2;
  const std::vector<CoinCase> cases = {
      {"during a full redraw",
       [&] {
         Pulse(c1);
         gui.Display().redrawMode = SDLGui::kFullRedraw;
         RunUntilIdle();
       },
       1},
      {"behind a touch",
       [&] {
         config.touchscreen = true;
         PushMouse(SDL_BUTTON_LEFT);
         Pulse(c1);
         RunUntilIdle();
       },
       1},
      {"while a touch is held",
       [&] {
         gui.Input().touchHeld = 1;
         Pulse(c1);
         RunUntilIdle();
       },
       1},
      {"pressed during a message, released after it",
       [&] {
         Down(c1);
         Down(SDLK_F1);  // closes the message
         Message(-1);
         Up(c1);
         RunUntilIdle();
       },
       1},
      {"pressed before a message, released during it",
       [&] {
         Down(c1);
         RunUntilIdle();
         Up(c1);
         Message(3000);
         RunUntilIdle();
       },
       1},
      {"two inputs overlapping",
       [&] {
         Down(c1);
         Down(c2);
         Up(c1);
         Up(c2);
         RunUntilIdle();
       },
       3},
      {"two inputs overlapping across a message",
       [&] {
         Down(c1);
         Down(c2);
         Down(SDLK_F1);
         Message(-1);
         Up(c2);
         Up(c1);
         RunUntilIdle();
       },
       3},
      {"a release lost, then a pulse 10 s later",
       [&] {
         Down(c1);
         RunUntilIdle();
         clock.Advance(10000);
         Pulse(c1);
         RunUntilIdle();
       },
       2},
      {"a release whose press came before the program",
       [&] {
         Up(c1);
         RunUntilIdle();
       },
       1},
      {"held for two seconds with key repeat",
       [&] {
         Down(c1);
         for (int repeat = 0; repeat < 30; ++repeat) {
           RunUntilIdle();
           clock.Advance(60);
           Down(c1);
         }
         Up(c1);
         RunUntilIdle();
       },
       1},
      {"during a blocking wait",
       [&] {
         Pulse(c2);
         gui.Inputs().KeepInputWhileWaiting();
         RunUntilIdle();
       },
       2},
      {"a mouse button standing for a coin during a message",
       [&] {
         config.mousecredit = true;
         PushMouse(SDL_BUTTON_RIGHT);
         Message(3000);
         RunUntilIdle();
       },
       2},
  };
  for (const CoinCase& coin : cases) {
    SCOPED_TRACE(coin.name);
    GiveCredits(gui, 0);
    config.touchscreen = config.mousecredit = false;
    coin.insert();
    EXPECT_EQ(gui.Credits(), coin.credits);
    EXPECT_EQ(gui.Resources().cashbox->CoinCount(1) * 1 + gui.Resources().cashbox->CoinCount(2) * 2, coin.credits);
    EXPECT_EQ(SavedCredits(), std::to_string(coin.credits));
    EXPECT_EQ(gui.Input().menuSequenceStep, 0);
    gui.Input().menuSequenceStep = 0;
  }
}

// Only a hold over 3000 ms asks for the operator menu, key repeat or no
TEST_F(SDLGuiInputTest, LongHoldStartsTheMenuSequenceInsteadOfCrediting) {
  const struct {
    uint32_t held;
    bool repeats;
    int credits;
    int step;
  } holds[] = {{3000, false, 1, 0}, {3001, false, 0, 1}, {3500, true, 0, 1}};
  for (const auto& hold : holds) {
    SCOPED_TRACE(hold.held);
    GiveCredits(gui, 0);
    gui.Input().menuSequenceStep = 0;
    Down(config.coin1);
    RunUntilIdle();
    const uint32_t pressed = clock.Ticks();
    while (clock.Ticks() - pressed < hold.held) {
      clock.Advance(std::min<uint32_t>(50, hold.held - (clock.Ticks() - pressed)));
      if (hold.repeats) Down(config.coin1);
      RunUntilIdle();
    }
    Up(config.coin1);
    gui.pool();
    EXPECT_EQ(gui.Credits(), hold.credits);
    EXPECT_EQ(gui.Input().menuSequenceStep, hold.step);
  }
}

TEST_F(SDLGuiInputTest, DigitsTypedAtOnceSurviveTheAlbumRedraw) {
  for (int key : {config.n0, config.n5, config.n2}) Down(key);
  RunUntilIdle();
  EXPECT_EQ(gui.Selection().selDisc, 4u);
  EXPECT_EQ(gui.Selection().selTrack, 1u);
}

TEST_F(SDLGuiInputTest, QuitRequestsWorkInEveryWait) {
  const std::vector<std::pair<const char*, std::function<void()>>> waits = {
      {"main loop", [&] { RunUntilIdle(); }},
      {"message box", [&] { Message(-1); }},
      {"blocking wait", [&] { gui.Inputs().KeepInputWhileWaiting(); }},
      {"screen without a handler",
       [&] {
         gui.Display().dialog = SDLGui::kGenresScreen;
         RunUntilIdle();
       }},
  };
  for (const auto& [name, wait] : waits) {
    SCOPED_TRACE(name);
    for (bool byKey : {false, true}) {
      gui.Display().quitRequested = 0;
      if (byKey) {
        Down(config.exit);
      } else {
        SDL_Event quit{};
        quit.type = SDL_QUIT;
        ASSERT_EQ(SDL_PushEvent(&quit), 0);
      }
      wait();
      EXPECT_FALSE(gui.stillactive());
      PendingEvents();
      for (SDL_Event left; gui.Inputs().ReadInput(left);) {
      }
    }
  }
}

}  // namespace
