// The window the media player draws video into: over the media panel, full
// screen, or over the TV-out area.
#include "config/Configuration.h"
#include "gui/SDLGui.h"
#include "gui/Skin.h"

unsigned long SDLGui::GetWindowPlayerHandle() {
  const std::lock_guard<std::mutex> lock(stateMutex);
  return playerWindow != nullptr ? playerWindow->Handle() : 0;
}

void SDLGui::SetVideoArea(const SDL_Rect& area) {
  if (playerWindow != nullptr) playerWindow->Move(area);
}

void SDLGui::FullVideo() {
  if (config->tvout || dialog != 0) return;
  SDL_FillRect(screen, nullptr, SDL_MapRGB(screen->format, 0, 0, 0));
  SDL_Flip(screen);
  if (config->touchscreen)
    SetVideoArea(MakeRect(0, 100, skin->width, skin->height - 75));
  else
    SetVideoArea(MakeRect(0, 0, skin->width, skin->height));
  miniVideo = 0;
}

void SDLGui::HideVideoWindow() {
  if (playerWindow != nullptr) playerWindow->Hide();
}

void SDLGui::ShowVideoWindow() {
  if (playerWindow != nullptr) playerWindow->Show();
}
