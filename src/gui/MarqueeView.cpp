// The marquee text scrolling through its panel, and the TV-out picture: the
// same text bouncing over advertising images that change every five minutes.
#include "gui/MarqueeView.h"

#include <cstdio>

#include "config/Configuration.h"
#include "gui/SDLGui.h"
#include "gui/Skin.h"
#include "platform/Clock.h"
#include "playback/Player.h"

namespace {

// Over a full-screen video on touch cabinets: a black strip at the top with
// the back button at its right end.
const SDL_Rect kVideoStrip = {0, 0, 1024, 100};
const int kBackButtonX = 924;

// Blits the strip with its top-left corner at (x, y), which may lie left of
// or above the target.
void BlitStrip(const Marquee::TextStrip& strip, SDL_Surface* target, int x, int y) {
  if (target == nullptr || strip.surface == nullptr) return;
  SDL_Rect to = SDLGui::MakeRect(x, y, 0, 0);
  SDL_BlitSurface(strip.surface, nullptr, target, &to);
}

}  // namespace

// Marquee ------------------------------------------------------------------

// Once the text has left on the left, it re-enters on the right the pass
// after.
void MarqueeView::DrawMarquee() {
  MarqueeStrip();
  if (gui.marquee.HasLeft()) {
    gui.MarqueeCalc();
    return;
  }
  if (!gui.marquee.StepDue(platform::Ticks())) return;
  gui.marquee.StepLeft();
  DrawMarqueeText();
}

// A full-screen video without touch screen shows no marquee.
void MarqueeView::DrawMarqueeText() {
  const bool fullScreenVideo = gui.video.VideoPlaying() && !gui.config->tvout && !gui.miniVideo;
  if (fullScreenVideo && !gui.config->touchscreen) return;
  if (fullScreenVideo) {
    SDL_Rect strip = kVideoStrip;
    SDL_FillRect(gui.screen, &strip, SDL_MapRGB(gui.screen->format, 0, 0, 0));
    BlitStrip(gui.marquee.LastStrip(), gui.screen, gui.marquee.X(), gui.marquee.Y());
    SDL_Rect back = SDLGui::MakeRect(kBackButtonX, 0, 0, 0);
    if (gui.backImage != nullptr) SDL_BlitSurface(gui.backImage, nullptr, gui.screen, &back);
    gui.marquee.Drawn(platform::Ticks());
    gui.UpdateScreenArea(kVideoStrip);
    return;
  }
  ComposeMarqueePanel();
  BlitStrip(gui.marquee.LastStrip(), gui.marqueeSave, gui.marquee.X(), gui.marquee.Y());
  gui.marquee.Drawn(platform::Ticks());
  UpdateMarquee();
}

// The call for service and the operator's text take turns; each is rendered
// when it comes.
const Marquee::TextStrip& MarqueeView::MarqueeStrip() { return gui.marquee.Strip(gui.MarqueeText(), gui.marqueeFont); }

// Copying the piece already in the panel's format spares converting it at
// every step.
void MarqueeView::ComposeMarqueePanel() {
  if (gui.marqueeSave == nullptr || gui.background == nullptr) return;
  if (gui.marqueeBackdrop == nullptr) {
    gui.marqueeBackdrop.reset(SDLGui::NewSurface(gui.marqueeSave->w, gui.marqueeSave->h));
    gui.Panels().ComposePanel(gui.marqueeBackdrop, gui.skin->xmarquee, gui.skin->ymarquee);
  }
  SDL_BlitSurface(gui.marqueeBackdrop, nullptr, gui.marqueeSave, nullptr);
}

void MarqueeView::UpdateMarquee() { gui.Panels().ShowPanel(gui.marqueeSave, gui.skin->xmarquee, gui.skin->ymarquee); }

// TV-out ---------------------------------------------------------------------

// A video at the head of the queue covers the TV area; the picture then
// waits.
void MarqueeView::DrawTVOUT() {
  if (gui.video.VideoOnQueue()) return;
  const uint32_t now = platform::Ticks();
  if (gui.marquee.TvStepDue(now)) MoveTvText();
  if (gui.marquee.AdvertisingDue(now)) ShowNextAdvertising();
}

// Only the text's own rectangle is erased and drawn again.
void MarqueeView::MoveTvText() {
  const Marquee::TextStrip& strip = MarqueeStrip();
  const int textW = strip.width, textH = strip.height;
  const int left = gui.skin->width;
  SDL_Rect from = SDLGui::MakeRect(gui.marquee.TvX(), gui.marquee.TvY(), textW, textH);
  SDL_Rect to = SDLGui::MakeRect(left + gui.marquee.TvX(), gui.marquee.TvY(), 0, 0);
  if (gui.tvOutImage != nullptr) SDL_BlitSurface(gui.tvOutImage, &from, gui.screen, &to);
  gui.UpdateScreenArea(SDLGui::MakeRect(left + gui.marquee.TvX(), gui.marquee.TvY(), textW, textH));

  gui.marquee.BounceTv(gui.config->tvoutxres, gui.config->tvoutyres);
  BlitStrip(strip, gui.screen, left + gui.marquee.TvX(), gui.marquee.TvY());
  gui.UpdateScreenArea(SDLGui::MakeRect(left + gui.marquee.TvX(), gui.marquee.TvY(), textW, textH));
  gui.marquee.TvMoved(platform::Ticks());
}

// The entries of "publicidad" in listing order, round and round. Without
// entries, or when one cannot be loaded, the picture shown stays.
void MarqueeView::ShowNextAdvertising() {
  std::puts("Cambiando imagen publicitaria");
  const RString file = gui.marquee.NextAdvertising(platform::Ticks());
  if (file.GetLength() == 0) return;
  const RString path = "publicidad/" + file;
  std::printf("Nueva imagen publicitaria: %s\n", path.Chars());
  SDL_Surface* image = SDLGui::LoadImageFile(path);
  if (image == nullptr) {
    std::printf("Error al cargar imagen publicitaria: %s\n", path.Chars());
    return;
  }
  gui.tvOutImage.reset(image);
  SDL_Rect at = SDLGui::MakeRect(gui.skin->width, 0, 0, 0);
  SDL_BlitSurface(gui.tvOutImage, nullptr, gui.screen, &at);
  gui.UpdateScreenArea(SDLGui::MakeRect(gui.skin->width, 0, gui.config->tvoutxres, gui.skin->height));
}
