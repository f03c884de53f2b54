// The GUI's start and end: the display set up (DisplaySetup) and the state
// restored; the running-time counter and the online indicator.
#include <SDL_image.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "base/RTextFile.h"
#include "config/Configuration.h"
#include "gui/SDLGui.h"
#include "gui/Skin.h"
#include "platform/Clock.h"
#include "platform/Files.h"
#include "playback/Player.h"

namespace {

const int kKeyRepeatDelay = 200;
const int kKeyRepeatInterval = 60;
const uint32_t kSettleDelay = 1000;

}  // namespace

SDLGui::SDLGui(Queue* playQueue) : queue(playQueue) { marquee.Drawn(platform::Ticks()); }

SDLGui::~SDLGui() {
  // The player draws into the video window: it stops before the window goes.
  if (player != nullptr) player->ReleaseGui();
  playerWindow.reset();
  tracksList.reset();
  genresList.reset();
  queueList.reset();
  resultsList.reset();
  configList.reset();
  localResultsList.reset();
  onlineResultsList.reset();
  carousel.Forget();
  // Pictures go before SDL does.
  Images() = ScreenImages();
  marquee.Forget();
  coinSound.reset();
  if (!sdlStarted_) return;
  IMG_Quit();
  SDL_Quit();
}

SDL_Rect SDLGui::MakeRect(int x, int y, int w, int h) {
  return {static_cast<Sint16>(x), static_cast<Sint16>(y), static_cast<Uint16>(w > 0 ? w : 0),
          static_cast<Uint16>(h > 0 ? h : 0)};
}

SDL_Surface* SDLGui::NewSurface(int w, int h) {
  return SDL_CreateRGBSurface(0, w > 0 ? w : 0, h > 0 ? h : 0, 32, 0, 0, 0, 0);
}

int SDLGui::initialize(Skin* guiSkin, MainLibrary* mainLibrary, Player* mediaPlayer,
                       Configuration* configuration) {
  lastOnlineCheck = platform::Ticks();
  config = configuration;
  skin = guiSkin;
  library = mainLibrary;
  player = mediaPlayer;
  if (!setup.OpenDisplay()) return 0;
  idleSince = platform::Ticks();
  if (!setup.LoadWriters()) return 0;
  SDL_EnableKeyRepeat(kKeyRepeatDelay, kKeyRepeatInterval);
  platform::Delay(kSettleDelay);
  setup.ReserveSurfaces();
  setup.LoadImages();
  carousel.TidyCoverThumbnails();
  SDL_WM_SetCaption("Melodeck", "");
  setup.CreatePlayerWindow();
  RestoreSavedState();
  if (config->volumen >= 0) VolumeControl::ApplyVolume(config->volumen);
  setup.PlaceCursor();
  if (config->tvout) setup.PrepareTvOut();
  if (config->periodoservicio != 0) serviceStatus.RemindServiceWhenDue();
  ShowSdlWindow();
  readyAt = platform::Ticks();
  return 1;
}

// A volume configured in "configuration" wins over the one saved at the
// last run; -1 means that none was configured.
void SDLGui::RestoreSavedState() {
  const int32_t configuredVolume = config->volumen;
  cashbox = std::make_unique<Cashbox>(*queue, *config, library);
  if (const std::optional<int32_t> volume = cashbox->Restore()) config->volumen = *volume;
  if (configuredVolume != -1) config->volumen = configuredVolume;
}

void SDLGui::DrawBackground(bool update) {
  SDL_BlitSurface(background, nullptr, screen, nullptr);
  if (update) UpdateBackground();
}

void SDLGui::UpdateBackground() {
  SDL_BlitSurface(background, nullptr, screen, nullptr);
  SDL_Flip(screen);
}

void SDLGui::UpdateScreenArea(const SDL_Rect& area) {
  if (screen == nullptr) return;
  const int left = std::max<int>(area.x, 0);
  const int top = std::max<int>(area.y, 0);
  const int right = std::min<int>(area.x + area.w, screen->w);
  const int bottom = std::min<int>(area.y + area.h, screen->h);
  if (right <= left || bottom <= top) return;
  SDL_UpdateRect(screen, left, top, right - left, bottom - top);
}
