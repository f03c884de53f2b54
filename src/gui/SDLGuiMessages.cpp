// The message box, coins and credits, and the volume.
#include <algorithm>
#include <cmath>

#include "config/Configuration.h"
#include "gui/SDLGui.h"
#include "gui/Skin.h"
#include "platform/Clock.h"
#include "playback/Player.h"
#include "programs/ExternalPrograms.h"

namespace {

const int kBoxMargin = 25;
const uint32_t kIdlePoll = 1;
const uint32_t kAfterTimeout = 10;
const int kVolumeStep = 2;

int ClampPercent(int percent) { return std::clamp(percent, 0, 100); }

}  // namespace

int SDLGui::ShowMsg(const RString& text, SDL_TTFWriter& writer, int timeout, bool wait,
                    bool restore) {
  const uint32_t start = platform::Ticks();
  const char* chars = text.Chars();
  int textW = 0, textH = 0;
  writer.SizeText(chars, &textW, &textH);
  const int boxW = textW + 2 * kBoxMargin;
  const int boxH = textH + 2 * kBoxMargin;
  const int left = boxW < skin->width ? skin->width / 2 - boxW / 2 : 0;
  const SDL_Rect box = MakeRect(left, skin->height / 2 - boxH / 2, boxW, boxH);
  const bool videoHidden = video.HideVideoOver(box);

  SDL_Surface* covered = NewSurface(boxW, boxH);
  SDL_Rect from = box;
  SDL_BlitSurface(screen, &from, covered, nullptr);
  SDL_Rect fill = box;
  SDL_FillRect(screen, &fill, SDL_MapRGB(screen->format, 0, 128, 192));
  writer.DrawText2(screen, chars, box.x + kBoxMargin, box.y + kBoxMargin, textW + 100);
  UpdateScreenArea(box);

  int key = -1;
  const bool keyPressed = wait && WaitForKey(start, timeout, key);
  if (keyPressed || restore) {
    SDL_Rect to = box;
    SDL_BlitSurface(covered, nullptr, screen, &to);
    UpdateScreenArea(box);
    if (videoHidden && video.VideoPlaying()) video.ShowVideoWindow();
  }
  SDL_FreeSurface(covered);
  return keyPressed ? key : -1;
}

// Coins are credited as they are read; a quit request ends the wait and
// the program.
bool SDLGui::WaitForKey(uint32_t start, int timeout, int& key, bool (SDLGui::*stillWanted)() const) {
  for (;;) {
    SDL_Event event;
    while (ReadInput(event)) {
      if (IsQuitRequest(event)) {
        QuitProgram();
        return false;
      }
      if (event.type != SDL_KEYDOWN) continue;
      const int sym = event.key.keysym.sym;
      if (KeyIs(sym, config->cancelsong)) {
        StopPlayer();
      } else if (coins.CoinInputOfKey(sym) == 0) {
        key = sym;
        return true;
      }
    }
    if (timeout != -1 && platform::Ticks() - start > static_cast<uint32_t>(timeout)) {
      PauseBetweenPasses(kAfterTimeout);
      return false;
    }
    if (stillWanted != nullptr && !(this->*stillWanted)()) return false;
    PauseBetweenPasses(kIdlePoll);
  }
}

void SDLGui::UpVol() { StepVolume(kVolumeStep); }

void SDLGui::DownVol() { StepVolume(-kVolumeStep); }

// A step at the limit changes nothing but still shows the bar.
void SDLGui::StepVolume(int step) {
  int32_t& volume = config->volumen;
  const int limit = step > 0 ? 100 : 0;
  if (step > 0 ? volume >= limit : volume <= limit) {
    volume = limit;
  } else {
    volume = ClampPercent(volume + step);
    ApplyVolume(volume);
    cashbox->SetVolume(volume);
  }
  if (!video.VideoPlaying() || miniVideo) panels.DrawVolumen(true);
  volumeShownAt = platform::Ticks();
}

// The cabinet's audio device and its volume tool both come down to the
// system's master mixer here.
void SDLGui::ApplyVolume(int percent) { SetMasterVolume(ClampPercent(percent)); }

void SDLGui::StopPlayer() {
  if (player != nullptr) player->PlayerStop();
}

void SDLGui::ShowNotice(const RString& text, int timeout) {
  ShowMsg(text, genreFont, timeout, true, true);
}
