// Coins are counted the moment SDL hands their events over, whoever reads
// them; a long hold of a coin input is the operator's.
#include "gui/CoinInputs.h"

#include <cstdio>
#include <memory>

#include "config/Configuration.h"
#include "gui/SDLGui.h"
#include "platform/Clock.h"

namespace {

// A coin acceptor's pulse is short; a longer hold is the operator's.
const uint32_t kLongestCoinPulse = 3000;
// A key held down repeats every 60 ms after 200 ms: a press that has shown
// no sign for this long lost its release.
const uint32_t kPressForgotten = 1000;
const char* const kCoinSound = "coin.wav";

bool IsKeyEvent(const SDL_Event& event) { return event.type == SDL_KEYDOWN || event.type == SDL_KEYUP; }

}  // namespace

void CoinInputs::ObserveInput(const SDL_Event& event) {
  if (IsKeyEvent(event)) {
    const int key = event.key.keysym.sym;
    const int input = CoinInputOfKey(key);
    if (input == 0) return;
    if (event.type == SDL_KEYDOWN)
      CoinPressed(input);
    else
      CoinReleased(key);
  } else if (event.type == SDL_MOUSEBUTTONDOWN && !gui.config->touchscreen && gui.config->mousecredit) {
    if (event.button.button == SDL_BUTTON_LEFT) CreditKey(gui.config->coin1);
    if (event.button.button == SDL_BUTTON_RIGHT) CreditKey(gui.config->coin2);
  }
}

// Key repeat brings the press again while the key is held. A new press of
// an input whose last one went quiet means that one's release never came:
// it was a coin, and is credited now.
void CoinInputs::CoinPressed(int input) {
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
void CoinInputs::CoinReleased(int key) {
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
void CoinInputs::StartMenuSequence() {
  if (gui.dialog != SDLGui::kMainScreen) return;
  gui.messageBox.ShowMsg("Presione secuencia de botones Menu Inteligente", gui.genreFont, 0, false, false);
  gui.menuSequenceStep = 1;
}

int32_t CoinInputs::CoinKeyOf(int input) const { return gui.config->CoinKey(input); }

int CoinInputs::CoinInputOfKey(int key) const { return gui.config->CoinInput(key); }

void CoinInputs::CreditKey(int key) {
  if (gui.config->soundcredit) PlayCoinSound();
  gui.cashbox->CreditCoin(CoinInputOfKey(key));
  gui.panels.DrawCredits(true);
  gui.inputs.Passes().CreditsDrawn();
}

// Plays "coin.wav" without waiting for it; silent without the file or an
// audio device.
void CoinInputs::PlayCoinSound() {
  if (gui.coinSound == nullptr) gui.coinSound = std::make_unique<SoundClip>(kCoinSound);
  gui.coinSound->Play();
}
