// The marquee text scrolling through its panel, and the TV-out picture: the
// same text bouncing over advertising images that change every five minutes.
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
const RString kServiceText = "Equipo fuera de servicio: llame al encargado";
const RString kSaveFailureText = "No se pueden guardar los creditos: llame al encargado";
const RString kLedgerFailureText = "No se puede escribir el registro de ventas: llame al encargado";


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
void SDLGui::DrawMarquee() {
  MarqueeStrip();
  if (marquee.HasLeft()) {
    MarqueeCalc();
    return;
  }
  if (!marquee.StepDue(platform::Ticks())) return;
  marquee.StepLeft();
  DrawMarqueeText();
}

// A full-screen video without touch screen shows no marquee.
void SDLGui::DrawMarqueeText() {
  const bool fullScreenVideo = VideoPlaying() && !config->tvout && !miniVideo;
  if (fullScreenVideo && !config->touchscreen) return;
  if (fullScreenVideo) {
    SDL_Rect strip = kVideoStrip;
    SDL_FillRect(screen, &strip, SDL_MapRGB(screen->format, 0, 0, 0));
    BlitStrip(marquee.LastStrip(), screen, marquee.X(), marquee.Y());
    SDL_Rect back = MakeRect(kBackButtonX, 0, 0, 0);
    if (backImage != nullptr) SDL_BlitSurface(backImage, nullptr, screen, &back);
    marquee.Drawn(platform::Ticks());
    UpdateScreenArea(kVideoStrip);
    return;
  }
  ComposeMarqueePanel();
  BlitStrip(marquee.LastStrip(), marqueeSave, marquee.X(), marquee.Y());
  marquee.Drawn(platform::Ticks());
  UpdateMarquee();
}

void SDLGui::MarqueeCalc() { marquee.Restart(skin->wmarquee); }

const RString& SDLGui::MarqueeText() const {
  if (cashbox->SaveFailing()) return kSaveFailureText;
  if (cashbox->LedgerFailing()) return kLedgerFailureText;
  return NeedsService() ? kServiceText : config->marquesina;
}

// The call for service and the operator's text take turns; each is rendered
// when it comes.
const Marquee::TextStrip& SDLGui::MarqueeStrip() { return marquee.Strip(MarqueeText(), marqueeFont); }

// Copying the piece already in the panel's format spares converting it at
// every step.
void SDLGui::ComposeMarqueePanel() {
  if (marqueeSave == nullptr || background == nullptr) return;
  if (marqueeBackdrop == nullptr) {
    marqueeBackdrop.reset(NewSurface(marqueeSave->w, marqueeSave->h));
    ComposePanel(marqueeBackdrop, skin->xmarquee, skin->ymarquee);
  }
  SDL_BlitSurface(marqueeBackdrop, nullptr, marqueeSave, nullptr);
}

void SDLGui::UpdateMarquee() { ShowPanel(marqueeSave, skin->xmarquee, skin->ymarquee); }

// TV-out ---------------------------------------------------------------------

// A video at the head of the queue covers the TV area; the picture then
// waits.
void SDLGui::DrawTVOUT() {
  if (VideoOnQueue()) return;
  const uint32_t now = platform::Ticks();
  if (marquee.TvStepDue(now)) MoveTvText();
  if (marquee.AdvertisingDue(now)) ShowNextAdvertising();
}

// Only the text's own rectangle is erased and drawn again.
void SDLGui::MoveTvText() {
  const Marquee::TextStrip& strip = MarqueeStrip();
  const int textW = strip.width, textH = strip.height;
  const int left = skin->width;
  SDL_Rect from = MakeRect(marquee.TvX(), marquee.TvY(), textW, textH);
  SDL_Rect to = MakeRect(left + marquee.TvX(), marquee.TvY(), 0, 0);
  if (tvOutImage != nullptr) SDL_BlitSurface(tvOutImage, &from, screen, &to);
  UpdateScreenArea(MakeRect(left + marquee.TvX(), marquee.TvY(), textW, textH));

  marquee.BounceTv(config->tvoutxres, config->tvoutyres);
  BlitStrip(strip, screen, left + marquee.TvX(), marquee.TvY());
  UpdateScreenArea(MakeRect(left + marquee.TvX(), marquee.TvY(), textW, textH));
  marquee.TvMoved(platform::Ticks());
}

// The entries of "publicidad" in listing order, round and round. Without
// entries, or when one cannot be loaded, the picture shown stays.
void SDLGui::ShowNextAdvertising() {
  std::puts("Cambiando imagen publicitaria");
  const RString file = marquee.NextAdvertising(platform::Ticks());
  if (file.GetLength() == 0) return;
  const RString path = "publicidad/" + file;
  std::printf("Nueva imagen publicitaria: %s\n", path.Chars());
  SDL_Surface* image = LoadImageFile(path);
  if (image == nullptr) {
    std::printf("Error al cargar imagen publicitaria: %s\n", path.Chars());
    return;
  }
  tvOutImage.reset(image);
  SDL_Rect at = MakeRect(skin->width, 0, 0, 0);
  SDL_BlitSurface(tvOutImage, nullptr, screen, &at);
  UpdateScreenArea(MakeRect(skin->width, 0, config->tvoutxres, skin->height));
}
