#pragma once
// The coin inputs apart from the rest of the GUI: each input's press, the
// coins it credits and the long hold that starts the operator-menu access
// sequence.
#include <SDL.h>

#include <cstdint>

class SDLGui;

class CoinInputs {
 public:
  explicit CoinInputs(SDLGui& gui) : gui(gui) {}
  CoinInputs(const CoinInputs&) = delete;
  CoinInputs& operator=(const CoinInputs&) = delete;

  // Coins: a coin input's key going down notes its press, going up credits
  // it, or after a hold over 3000 ms starts the operator-menu access
  // sequence; mouse buttons credit as coin1 and coin2 with mousecredit.
  void ObserveInput(const SDL_Event& event);
  // Credits one coin of the input bound to key, counts it and saves.
  void CreditKey(int key);
  // The coin input 1..6 bound to key; 0 when none is.
  int CoinInputOfKey(int key) const;
  // The key bound to coin input 1..6.
  int32_t CoinKeyOf(int input) const;

 private:
  // Each coin input's press: when its key went down (0: up) and when it was
  // last seen down (key repeat while held).
  struct CoinPress {
    uint32_t downAt = 0;
    uint32_t seenAt = 0;
  };

  void CoinPressed(int input);
  void CoinReleased(int key);
  void StartMenuSequence();
  void PlayCoinSound();

  SDLGui& gui;
  CoinPress coinPresses[6];
};
