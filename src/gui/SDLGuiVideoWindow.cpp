// The window the media player draws video into: over the media panel, full
// screen, or over the TV-out area.
#include "gui/SDLGui.h"

unsigned long SDLGui::GetWindowPlayerHandle() {
  const std::lock_guard<std::mutex> lock(stateMutex);
  return playerWindow != nullptr ? playerWindow->Handle() : 0;
}

