// Where the media player's video window goes: over the media panel, full
// screen, or hidden under a box it would cover.
#include "gui/VideoPlacement.h"

#include "config/Configuration.h"
#include "gui/SDLGui.h"
#include "gui/Skin.h"
#include "platform/Clock.h"
#include "playback/Player.h"

void VideoPlacement::SetVideoArea(const SDL_Rect& area) {
  if (gui.playerWindow != nullptr) gui.playerWindow->Move(area);
}

void VideoPlacement::FullVideo() {
  if (gui.config->tvout || gui.dialog != 0) return;
  SDL_FillRect(gui.screen, nullptr, SDL_MapRGB(gui.screen->format, 0, 0, 0));
  SDL_Flip(gui.screen);
  if (gui.config->touchscreen)
    SetVideoArea(SDLGui::MakeRect(0, 100, gui.skin->width, gui.skin->height - 75));
  else
    SetVideoArea(SDLGui::MakeRect(0, 0, gui.skin->width, gui.skin->height));
  gui.miniVideo = 0;
}

void VideoPlacement::HideVideoWindow() {
  if (gui.playerWindow != nullptr) gui.playerWindow->Hide();
}

void VideoPlacement::ShowVideoWindow() {
  if (gui.playerWindow != nullptr) gui.playerWindow->Show();
}

// The video window lies above everything SDL draws: while a box that it
// would cover is up, it hides. A box that stays on screen keeps it hidden
// until the next full redraw places the video again.
bool VideoPlacement::HideVideoOver(const SDL_Rect& box) {
  if (gui.playerWindow == nullptr || !gui.playerWindow->IsVisible()) return false;
  const SDL_Rect& video = gui.playerWindow->Area();
  const bool overlaps = box.x < video.x + video.w && video.x < box.x + box.w && box.y < video.y + video.h &&
                        video.y < box.y + box.h;
  if (overlaps) HideVideoWindow();
  return overlaps;
}

bool VideoPlacement::VideoPlaying() const { return gui.player != nullptr && gui.player->IsVideoPlaying(); }

bool VideoPlacement::VideoOnQueue() const { return gui.player != nullptr && gui.player->IsVideoOnQueue(); }

void VideoPlacement::FullAfterIdle() {
  if (!gui.miniVideo || !VideoPlaying()) return;
  if (platform::Ticks() - lastInputDuringVideo >= gui.config->timeoutvideohide * 1000u) FullVideo();
}

void VideoPlacement::NoteInputDuringVideo() {
  lastInputDuringVideo = platform::Ticks();
  if (!gui.miniVideo) MiniVideo();
}

void VideoPlacement::MiniVideo() {
  if (gui.config->tvout) return;
  SetVideoArea(SDLGui::MakeRect(gui.skin->xmedia, gui.skin->ymedia, gui.skin->wmedia, gui.skin->hmedia));
  gui.miniVideo = 1;
  gui.panels.DrawQueue(false);
  gui.panels.DrawTracks(false);
  gui.panels.DrawPlayingInfo(false);
  gui.UpdateAll();
  gui.mainScreen.RestartTitleScroll();
}
