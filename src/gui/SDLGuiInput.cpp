// Every input event the GUI reads comes through here: coins are counted the
// moment SDL hands their events over, whoever reads them (the main loop, a
// message box, a blocking wait), and input read during a wait is kept for
// the main loop instead of being lost.
#include <cstdio>

#include "config/Configuration.h"
#include "gui/SDLGui.h"
#include "platform/Clock.h"

namespace {

// A coin acceptor's pulse is short; a longer hold is the operator's.
const uint32_t kLongestCoinPulse = 3000;
// A key held down repeats every 60 ms after 200 ms: a press that has shown
// no sign for this long lost its release.
const uint32_t kPressForgotten = 1000;
// More kept input than this during one wait is a stuck key, not a customer.
const size_t kMostKeptInput = 256;
// Blocking waits look at input this often.
const uint32_t kWaitStep = 10;

bool IsKeyEvent(const SDL_Event& event) { return event.type == SDL_KEYDOWN || event.type == SDL_KEYUP; }

}  // namespace

bool SDLGui::ReadInput(SDL_Event& event) {
  if (!keptInput.empty()) {
    event = keptInput.front();
    keptInput.pop_front();
    return true;
  }
  if (!SDL_PollEvent(&event)) return false;
  ObserveInput(event);
  return true;
}

void SDLGui::KeepInputWhileWaiting() {
  SDL_Event event;
  while (SDL_PollEvent(&event)) {
    ObserveInput(event);
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

void SDLGui::ObserveInput(const SDL_Event& event) {
  if (IsKeyEvent(event)) {
    const int key = event.key.keysym.sym;
    const int input = CoinInputOfKey(key);
    if (input == 0) return;
    if (event.type == SDL_KEYDOWN)
      CoinPressed(input);
    else
      CoinReleased(key);
  } else if (event.type == SDL_MOUSEBUTTONDOWN && !config->touchscreen && config->mousecredit) {
    if (event.button.button == SDL_BUTTON_LEFT) CreditKey(config->coin1);
    if (event.button.button == SDL_BUTTON_RIGHT) CreditKey(config->coin2);
  }
}

// Key repeat brings the press again while the key is held. A new press of
// an input whose last one went quiet means that one's release never came:
// it was a coin, and is credited now.
void SDLGui::CoinPressed(int input) {
  CoinPress& press = coinPresses[input - 1];
  const uint32_t now = platform::Ticks();
  if (press.downAt != 0 && now - press.seenAt > kPressForgotten) {
    std::printf("Credito detectado %d (sin liberacion)\n", CoinKeyOf(input));
    CreditKey(CoinKeyOf(input));
    press.downAt = 0;
  }
  if (press.downAt == 0) press.downAt = now;
  press.seenAt = now;
}

// A release whose press was never seen (it came before the program did) is
// a pulse of unknown length: a coin.
void SDLGui::CoinReleased(int key) {
  CoinPress& press = coinPresses[CoinInputOfKey(key) - 1];
  const bool held = press.downAt != 0 && platform::Ticks() - press.downAt > kLongestCoinPulse;
  press = CoinPress{};
  if (held) {
    StartMenuSequence();
    return;
  }
  std::printf("Credito detectado %d\n", key);
  CreditKey(key);
}

// The sequence goes on with keys of the main screen; elsewhere the hold
// does nothing.
void SDLGui::StartMenuSequence() {
  if (dialog != kMainScreen) return;
  ShowMsg("Presione secuencia de botones Menu Inteligente", genreFont, 0, false, false);
  menuSequenceStep = 1;
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
