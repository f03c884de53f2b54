#include "gui/InputSource.h"

#include "config/Configuration.h"
#include "gui/SDLGui.h"
#include "platform/Clock.h"

namespace {

// More kept input than this during one wait is a stuck key, not a customer.
const size_t kMostKeptInput = 256;
// Blocking waits look at input this often.
const uint32_t kWaitStep = 10;

}  // namespace

bool InputSource::ReadInput(SDL_Event& event) {
  if (!kept.empty()) {
    event = kept.front();
    kept.pop_front();
    return true;
  }
  if (!SDL_PollEvent(&event)) return false;
  gui.coins.ObserveInput(event);
  return true;
}

void InputSource::KeepInputWhileWaiting() {
  SDL_Event event;
  while (SDL_PollEvent(&event)) {
    gui.coins.ObserveInput(event);
    if (IsQuitRequest(event)) gui.QuitProgram();
    if (event.type != SDL_MOUSEMOTION && kept.size() < kMostKeptInput) kept.push_back(event);
  }
}

void InputSource::WaitKeepingInput(uint32_t ms) {
  const uint32_t start = platform::Ticks();
  while (!gui.quitRequested && platform::Ticks() - start < ms) {
    KeepInputWhileWaiting();
    PauseBetweenPasses(kWaitStep);
  }
}

void InputSource::PauseBetweenPasses(uint32_t ms) {
  passes->PassEnded();
  platform::Delay(ms);
  passes->PassBegins();
}

bool InputSource::IsQuitRequest(const SDL_Event& event) const { return IsQuitRequest(event, gui.config->exit); }

bool InputSource::IsQuitRequest(const SDL_Event& event, int32_t exitKey) {
  return event.type == SDL_QUIT ||
         (event.type == SDL_KEYDOWN && (SDLGui::KeyIs(event.key.keysym.sym, exitKey) || IsAltF4(event)));
}

// Alt is read from the event itself: by the time the event is handled the
// keyboard's state may already have Alt up again (a quick chord).
bool InputSource::IsAltF4(const SDL_Event& event) {
  return event.type == SDL_KEYDOWN && event.key.keysym.sym == SDLK_F4 && (event.key.keysym.mod & KMOD_ALT) != 0;
}

bool InputSource::IsQuitKey(int key) const { return SDLGui::KeyIs(key, gui.config->exit); }
