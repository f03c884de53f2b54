#include "gui/MessageBox.h"

#include "config/Configuration.h"
#include "gui/SDLGui.h"
#include "gui/Skin.h"
#include "platform/Clock.h"

namespace {

const int kBoxMargin = 25;
const uint32_t kIdlePoll = 1;
const uint32_t kAfterTimeout = 10;

}  // namespace

int MessageBox::ShowMsg(const RString& text, SDL_TTFWriter& writer, int timeout, bool wait, bool restore) {
  const uint32_t start = platform::Ticks();
  const char* chars = text.Chars();
  int textW = 0, textH = 0;
  writer.SizeText(chars, &textW, &textH);
  const int boxW = textW + 2 * kBoxMargin;
  const int boxH = textH + 2 * kBoxMargin;
  const int left = boxW < gui.skin->width ? gui.skin->width / 2 - boxW / 2 : 0;
  const SDL_Rect box = SDLGui::MakeRect(left, gui.skin->height / 2 - boxH / 2, boxW, boxH);
  const bool videoHidden = gui.video.HideVideoOver(box);

  SDL_Surface* covered = SDLGui::NewSurface(boxW, boxH);
  SDL_Rect from = box;
  SDL_BlitSurface(gui.screen, &from, covered, nullptr);
  SDL_Rect fill = box;
  SDL_FillRect(gui.screen, &fill, SDL_MapRGB(gui.screen->format, 0, 128, 192));
  writer.DrawText2(gui.screen, chars, box.x + kBoxMargin, box.y + kBoxMargin, textW + 100);
  gui.UpdateScreenArea(box);

  int key = -1;
  const bool keyPressed = wait && WaitForKey(start, timeout, key);
  if (keyPressed || restore) {
    SDL_Rect to = box;
    SDL_BlitSurface(covered, nullptr, gui.screen, &to);
    gui.UpdateScreenArea(box);
    if (videoHidden && gui.video.VideoPlaying()) gui.video.ShowVideoWindow();
  }
  SDL_FreeSurface(covered);
  return keyPressed ? key : -1;
}

// Coins are credited as they are read; a quit request ends the wait and
// the program.
bool MessageBox::WaitForKey(uint32_t start, int timeout, int& key, const std::function<bool()>& stillWanted) {
  for (;;) {
    SDL_Event event;
    while (gui.inputs.ReadInput(event)) {
      if (gui.inputs.IsQuitRequest(event)) {
        gui.QuitProgram();
        return false;
      }
      if (event.type != SDL_KEYDOWN) continue;
      const int sym = event.key.keysym.sym;
      if (SDLGui::KeyIs(sym, gui.config->cancelsong)) {
        gui.StopPlayer();
      } else if (gui.coins.CoinInputOfKey(sym) == 0) {
        key = sym;
        return true;
      }
    }
    if (timeout != -1 && platform::Ticks() - start > static_cast<uint32_t>(timeout)) {
      gui.inputs.PauseBetweenPasses(kAfterTimeout);
      return false;
    }
    if (stillWanted && !stillWanted()) return false;
    gui.inputs.PauseBetweenPasses(kIdlePoll);
  }
}

void MessageBox::ShowNotice(const RString& text, int timeout) {
  ShowMsg(text, gui.genreFont, timeout, true, true);
}
