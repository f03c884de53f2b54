// The floors of the jukebox's idle CPU on a cabinet, for bench/idle.sh. The
// GUI is set up on the cabinet as at start-up (display mode, skin, fonts,
// panel surfaces) and the main screen drawn once; then the loop only
//   poll     reads input and sleeps 10 ms per pass;
//   marquee  also moves the marquee text, rendered once, one pixel per step
//            at the quickest pace of the jukebox's marquee (more than 10 ms
//            apart): the panel's piece of the background (converted to the
//            panel's format once), the text, the panel onto the screen and
//            that rectangle pushed, sleeping until the next step.
// Prints "listo" when its loop starts; runs until the window is closed.
// Usage: idle_loop poll|marquee CABINET
#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "catalogue/MainLibrary.h"
#include "config/Configuration.h"
#include "gui/SDLGui.h"
#include "gui/Skin.h"
#include "platform/Clock.h"
#include "platform/System.h"
#include "playback/Queue.h"

namespace {

const uint32_t kPass = 10;
const uint32_t kMarqueeStep = kPass + 1;

// Reads input until the window is closed; step runs every pass.
template <class Step>
void Loop(SDLGui& gui, Step step) {
  std::puts("listo");
  std::fflush(stdout);
  for (SDL_Event event; !(gui.Inputs().ReadInput(event) && event.type == SDL_QUIT);) step();
}

void MoveMarquee(SDLGui& gui, const Skin& skin) {
  SDL_Surface* text = gui.Writers().marqueeFont.DrawText2(nullptr, gui.Resources().config->marquesina.Chars(), 0, 0, 0);
  SDL_Rect panel = SDLGui::MakeRect(skin.xmarquee, skin.ymarquee, skin.wmarquee, skin.hmarquee);
  SDL_Surface* backdrop = SDLGui::NewSurface(skin.wmarquee, skin.hmarquee);
  SDL_BlitSurface(gui.Images().background, &panel, backdrop, nullptr);
  int x = skin.wmarquee;
  uint32_t stepAt = platform::Ticks();
  Loop(gui, [&] {
    const uint32_t since = platform::Ticks() - stepAt;
    if (since < kMarqueeStep) {
      platform::Delay(kMarqueeStep - since);
      return;
    }
    stepAt = platform::Ticks();
    if (--x <= -text->w) x = skin.wmarquee;
    SDL_BlitSurface(backdrop, nullptr, gui.Images().marqueeSave, nullptr);
    SDL_Rect at = SDLGui::MakeRect(x, 0, 0, 0);
    SDL_BlitSurface(text, nullptr, gui.Images().marqueeSave, &at);
    SDL_BlitSurface(gui.Images().marqueeSave, nullptr, gui.Display().screen, &panel);
    SDL_UpdateRect(gui.Display().screen, panel.x, panel.y, panel.w, panel.h);
  });
  SDL_FreeSurface(backdrop);
  SDL_FreeSurface(text);
}

}  // namespace

int main(int argc, char** argv) {
  const bool marquee = argc == 3 && std::strcmp(argv[1], "marquee") == 0;
  if (argc != 3 || (!marquee && std::strcmp(argv[1], "poll") != 0) || chdir(argv[2]) != 0) {
    std::fprintf(stderr, "Usage: idle_loop poll|marquee CABINET\n");
    return 2;
  }
  MainLibrary library;
  Configuration config(&library);
  config.LoadConfiguration("configuration");
  config.LoadUserConfiguration();
  int width = 0, height = 0;
  platform::PrimaryScreenSize(width, height);
  Skin skin(static_cast<uint16_t>(width), static_cast<uint16_t>(height), 1);
  skin.SetSkinName(config.skinname);
  skin.CalculateCoordinates(1, 0, 0);
  library.LoadContentFromDB();
  Queue queue;
  SDLGui gui(&queue);
  if (!gui.initialize(&skin, &library, nullptr, &config)) return 1;
  gui.DrawAll();
  if (marquee)
    MoveMarquee(gui, skin);
  else
    Loop(gui, [] { platform::Delay(kPass); });
  return 0;
}
