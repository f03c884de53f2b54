// The main loop's calls: background work, screen work and input.
#include "config/Configuration.h"
#include "gui/SDLGui.h"
#include "gui/Skin.h"
#include "platform/Clock.h"

namespace {

const int kEventsDroppedAfterRedraw = 10;
const uint32_t kOnlineCheckInterval = 1999;
const uint32_t kRunningTimeInterval = 3000;
const uint32_t kInputPause = 1;

}  // namespace

void SDLGui::extrawork() {}

void SDLGui::draw() {
  if (redrawMode == 0) {
    DrawAll();
    DiscardEvents(kEventsDroppedAfterRedraw);
  }
  const uint32_t now = platform::Ticks();
  if (lastOnlineCheck != 0 && now - lastOnlineCheck > kOnlineCheckInterval) {
    OnlineChecker();
    lastOnlineCheck = now;
  }
}

void SDLGui::pool() {
  SaveRunningTimeWhenDue();
  SDL_Event event;
  if (!quitRequested && SDL_PollEvent(&event) && event.type == SDL_QUIT) {
    StopPlayer();
    quitRequested = 1;
  }
  platform::Delay(kInputPause);
}

void SDLGui::DrawAll() {
  DrawBackground(false);
  DrawCredits(false);
  redrawMode = 2;
  if (!VideoPlaying()) HideVideoWindow();
  PlacePanel(creditsSave, skin->xcredits, skin->ycredits);
  SDL_Flip(screen);
}

// Whole seconds are added; the remainder counts towards the next save.
void SDLGui::SaveRunningTimeWhenDue() {
  if (config->periodoservicio == 0) return;
  const uint32_t elapsed = platform::Ticks() - lastRunTimeSave;
  if (elapsed <= kRunningTimeInterval) return;
  save_exec(static_cast<int>(elapsed / 1000));
  lastRunTimeSave += elapsed / 1000 * 1000;
}

void SDLGui::DiscardEvents(int count) {
  SDL_Event event;
  for (int i = 0; i < count && SDL_PollEvent(&event); ++i) {
  }
}

void SDLGui::ExternalAction(int event) {
  SDL_mutexP(stateMutex);
  playEvent = event;
  SDL_mutexV(stateMutex);
}
