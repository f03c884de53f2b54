// The karaoke score shown after a karaoke item that ended by itself.
#include <cstdlib>

#include "gui/SDLGui.h"
#include "programs/ExternalPrograms.h"

namespace {

// Scores below this one are booed.
const int kPassingScore = 6;
// The score pictures are made for a 1024 × 768 screen.
const SDL_Rect kScoreScreen = {0, 0, 1024, 768};
const int kLowDigitX = 700;
const int kHighDigitX = 380;
const int kDigitY = 200;

}  // namespace

// The video window the item played in would hide the score: it goes first.
void SDLGui::KaraokeCalif() {
  const int score = std::rand() % 10;
  const bool low = score < kPassingScore;
  video.HideVideoWindow();
  SDL_Rect at = MakeRect(0, 0, 0, 0);
  SDL_BlitSurface(low ? karaokeImage05 : karaokeImage610, nullptr, screen, &at);
  at = MakeRect(low ? kLowDigitX : kHighDigitX, kDigitY, 0, 0);
  SDL_BlitSurface(digitImages[score], nullptr, screen, &at);
  UpdateScreenArea(kScoreScreen);
  PlaySoundAndWait(low ? "abucheo.mp3" : "aplausos.mp3");
  DrawAll();
}
