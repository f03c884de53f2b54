// The ring of scaled covers around the selected disc. Moving one disc
// rotates the ring by one slot, so only the cover that comes into view has to
// be loaded; the loading is done by coverswithcache in the main loop's
// background step, from the thumbnails kept on disk.
#include <SDL_rotozoom.h>

#include <cstdio>

#include "catalogue/MainLibrary.h"
#include "gui/CoverDecoder.h"
#include "gui/FitInside.h"
#include "gui/SDLGui.h"
#include "gui/Skin.h"
#include "platform/Clock.h"
#include "platform/Files.h"
#include "platform/Paths.h"

// The cabinet's own picture, else the one shipped with the program.
SDL_Surface* SDLGui::LoadImageFile(const RString& path) {
  const std::string host = platform::DefaultableFileHostPath(path.Chars());
  return DecodeImage(RString(platform::FromHostText(host).c_str()));
}

// The scaler gives an 8-bit result the colour key of palette index 0, so
// the first colour of a paletted image (the black of a QR code) would turn
// transparent: such an image is scaled from a true-colour copy.
SDL_Surface* SDLGui::ScaledCopy(SDL_Surface* image, int width, int height) {
  if (image == nullptr || image->w == 0 || image->h == 0 || width <= 0 || height <= 0)
    return nullptr;
  const FitRect fit = FitInside(image->w, image->h, width, height);
  const double zoomX = static_cast<double>(fit.w) / image->w;
  const double zoomY = static_cast<double>(fit.h) / image->h;
  if (image->format->BitsPerPixel != 8)
    return Letterboxed(zoomSurface(image, zoomX, zoomY, SMOOTHING_ON), width, height);
  SDL_Surface* trueColour = NewSurface(image->w, image->h);
  if (trueColour == nullptr) return nullptr;
  SDL_BlitSurface(image, nullptr, trueColour, nullptr);
  SDL_Surface* scaled = zoomSurface(trueColour, zoomX, zoomY, SMOOTHING_ON);
  SDL_FreeSurface(trueColour);
  return Letterboxed(scaled, width, height);
}

void SDLGui::ResetCoversCache() { coverRing.Empty(); }

int SDLGui::SelectedGenreDiscs() const {
  const GenreElement* genre = library != nullptr ? library->GetGenre(selGenre) : nullptr;
  return genre != nullptr ? genre->GetTotalDiscs() : 0;
}

int SDLGui::CoversOnScreen() const { return CoverRing::CoversOnScreen(SelectedGenreDiscs(), selDisc); }

void SDLGui::SlideRight() {
  selTrack = 0;
  coverRing.TurnForward();
}

void SDLGui::SlideLeft() {
  selTrack = 0;
  coverRing.TurnBack();
}

// The forward pass fills slot 10 onwards with the selected disc and the ones
// after it, one cover's gap shorter than the carousel; the backward pass
// fills slot 9 downwards with the discs before it, at the carousel's full
// height. Small genres are not wrapped, so their backward slots stay empty.
void SDLGui::coverswithcache() {
  const int discs = SelectedGenreDiscs();
  if (discs == 0 || selDisc >= static_cast<uint32_t>(discs)) return;
  const uint32_t count = static_cast<uint32_t>(discs);
  const bool wraps = discs > CoverRing::kSmallGenreDiscs;
  CoverRing::Step step{platform::Ticks(), 0};
  bool shownLoaded = false;

  const int forwardHeight = skin->hcovers - skin->coverseparation;
  uint32_t disc = selDisc;
  for (int i = CoverRing::kSelected; i < CoverRing::kSlots; ++i) {
    if (!wraps && disc == count) break;
    const bool loaded =
        FillCoverSlot(*coverRing.At(i), disc, skin->wcover, forwardHeight, i == CoverRing::kSelected, step);
    shownLoaded = shownLoaded || (loaded && i < CoverRing::kSelected + CoverRing::kShown);
    disc = wraps ? (disc + 1) % count : disc + 1;
  }
  if (wraps) {
    disc = (selDisc + count - 1) % count;
    for (int i = CoverRing::kSelected - 1; i >= 0; --i) {
      FillCoverSlot(*coverRing.At(i), disc, skin->wcover, skin->hcovers, false, step);
      disc = (disc + count - 1) % count;
    }
  }
  // A pending redraw draws them anyway.
  if (shownLoaded && dialog == kMainScreen && redrawMode == kUpToDate) DrawCovers(true);
}

// The selected disc's enlarged cover is what shows, so it comes first.
bool SDLGui::FillCoverSlot(CoverSlot& slot, uint32_t disc, int width, int height, bool selected,
                           CoverRing::Step& step) {
  if (slot.cover == nullptr) {
    slot.disc = disc;
    slot.width = width;
    slot.height = height;
  }
  bool loaded = false;
  if (selected && slot.enlarged == nullptr && coverRing.MayLoad(step, platform::Ticks())) {
    slot.enlarged = LoadEnlargedCover(slot);
    loaded = true;
  }
  if (slot.cover == nullptr && coverRing.MayLoad(step, platform::Ticks())) {
    slot.cover = LoadCover(slot.disc, width, height);
    loaded = true;
  }
  return loaded;
}

// A disc without a cover, or whose cover cannot be read or scaled, shows the
// default cover.
Surface SDLGui::LoadCover(uint32_t disc, int width, int height) {
  SDL_Surface* cover = CoverThumbnail(selGenre, disc, width, height);
  return cover != nullptr ? Surface(cover) : coverSurface;
}

SDL_Surface* SDLGui::CoverThumbnail(uint32_t genre, uint32_t disc, int width, int height) {
  const RString path = library->GetCoverPath(genre, disc);
  return path.GetLength() > 0 ? coverThumbnails.Get(path, width, height) : nullptr;
}

Surface SDLGui::LoadEnlargedCover(const CoverSlot& slot) {
  const int gap = skin->coverseparation;
  Surface cover = LoadCover(slot.disc, slot.width + gap, slot.height + gap);
  return cover != coverSurface ? cover : Surface(ScaledCopy(coverSurface, slot.width + gap, slot.height + gap));
}

SDL_Surface* SDLGui::ShownCover(const CoverSlot& slot, bool selected) {
  if (!selected) return slot.cover != nullptr ? slot.cover : coverSurface;
  if (slot.enlarged != nullptr) return slot.enlarged;
  if (coverPlaceholder == nullptr)
    coverPlaceholder.reset(ScaledCopy(coverSurface, skin->wcover + skin->coverseparation, skin->hcovers));
  return coverPlaceholder;
}
