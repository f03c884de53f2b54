// Every input event the GUI reads comes through here: coins are counted the
// moment SDL hands their events over, whoever reads them (the main loop, a
// message box, a blocking wait), and input read during a wait is kept for
// the main loop instead of being lost.
#include <cstdio>

#include "config/Configuration.h"
#include "gui/SDLGui.h"
#include "platform/Clock.h"

namespace {

// More kept input than this during one wait is a stuck key, not a customer.
const size_t kMostKeptInput = 256;
// Blocking waits look at input this often.
const uint32_t kWaitStep = 10;

}  // namespace

bool SDLGui::ReadInput(SDL_Event& event) {
  if (!keptInput.empty()) {
    event = keptInput.front();
    keptInput.pop_front();
    return true;
  }
  if (!SDL_PollEvent(&event)) return false;
  coins.ObserveInput(event);
  return true;
}

void SDLGui::KeepInputWhileWaiting() {
  SDL_Event event;
  while (SDL_PollEvent(&event)) {
    coins.ObserveInput(event);
    if (IsQuitRequest(event)) QuitProgram();
    if (event.type != SDL_MOUSEMOTION && keptInput.size() < kMostKeptInput) keptInput.push_back(event);
  }
}

void SDLGui::WaitKeepingInput(uint32_t ms) {
  const uint32_t start = platform::Ticks();
  while (!quitRequested && platform::Ticks() - start < ms) {
    KeepInputWhileWaiting();
    PauseBetweenPasses(kWaitStep);
  }
}

void SDLGui::PauseBetweenPasses(uint32_t ms) {
  passObserver->PassEnded();
  platform::Delay(ms);
  passObserver->PassBegins();
}

bool SDLGui::IsQuitRequest(const SDL_Event& event) const {
  return event.type == SDL_QUIT ||
         (event.type == SDL_KEYDOWN && (IsQuitKey(event.key.keysym.sym) || IsAltF4(event)));
}

// Alt is read from the event itself: by the time the event is handled the
// keyboard's state may already have Alt up again (a quick chord).
bool SDLGui::IsAltF4(const SDL_Event& event) {
  return event.type == SDL_KEYDOWN && event.key.keysym.sym == SDLK_F4 && (event.key.keysym.mod & KMOD_ALT) != 0;
}

bool SDLGui::IsQuitKey(int key) const { return KeyIs(key, config->exit); }

void SDLGui::QuitProgram() {
  StopPlayer();
  quitRequested = 1;
}
