// The ring of scaled covers around the selected disc. Moving one disc
// rotates the ring by one slot, so only the cover that comes into view has to
// be loaded; the loading is done by coverswithcache in the main loop's
// background step, from the thumbnails kept on disk.
#include <SDL_rotozoom.h>

#include <cstdio>

#include "catalogue/MainLibrary.h"
#include "gui/CoverDecoder.h"
#include "gui/SDLGui.h"
#include "gui/Skin.h"
#include "platform/Clock.h"
#include "platform/Files.h"
#include "platform/Paths.h"

namespace {

SDLGui::CoverSlot* SlotOf(const RItemList* node) {
  return static_cast<SDLGui::CoverSlot*>(node->data);
}


}  // namespace

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
  const double zoomX = static_cast<double>(width) / image->w;
  const double zoomY = static_cast<double>(height) / image->h;
  if (image->format->BitsPerPixel != 8) return zoomSurface(image, zoomX, zoomY, SMOOTHING_ON);
  SDL_Surface* trueColour = NewSurface(image->w, image->h);
  if (trueColour == nullptr) return nullptr;
  SDL_BlitSurface(image, nullptr, trueColour, nullptr);
  SDL_Surface* scaled = zoomSurface(trueColour, zoomX, zoomY, SMOOTHING_ON);
  SDL_FreeSurface(trueColour);
  return scaled;
}

void SDLGui::InitCoversCache() {
  for (int i = 0; i < kCoverSlots; ++i) coverCache.AddItem(new CoverSlot);
}

// The default cover is shared by the slots and owned by the GUI.
void SDLGui::FreeCoversCache() {
  for (RItemList* node = coverCache.GetFirst(); node != nullptr; node = node->next) {
    EmptyCoverSlot(SlotOf(node));
    delete SlotOf(node);
  }
  coverCache.Clear();
  coverPlaceholder.reset();
}

void SDLGui::EmptyCoverSlot(CoverSlot* slot) {
  slot->cover.reset();
  slot->enlarged.reset();
}

void SDLGui::ResetCoversCache() {
  for (RItemList* node = coverCache.GetFirst(); node != nullptr; node = node->next)
    EmptyCoverSlot(SlotOf(node));
}

SDLGui::CoverSlot* SDLGui::GetCoverSlot(int i) const {
  const RItemList* node = coverCache.GetItemRaw(i);
  return node != nullptr ? SlotOf(node) : nullptr;
}

int SDLGui::SelectedGenreDiscs() const {
  const GenreElement* genre = library != nullptr ? library->GetGenre(selGenre) : nullptr;
  return genre != nullptr ? genre->GetTotalDiscs() : 0;
}

int SDLGui::CoversOnScreen() const {
  const int discs = SelectedGenreDiscs();
  int shown = discs < kCoversShown ? discs : kCoversShown;
  if (discs <= kSmallGenreDiscs) {
    const int fromSelection = selDisc < static_cast<uint32_t>(discs) ? discs - selDisc : 0;
    if (fromSelection < shown) shown = fromSelection;
  }
  return shown;
}

// Takes slot index out of the ring, emptied; null when there is none.
SDLGui::CoverSlot* SDLGui::TakeOutCoverSlot(int index) {
  CoverSlot* slot = GetCoverSlot(index);
  if (slot == nullptr) {
    std::puts("Puntero incorrecto en pcover al recorrer portadas hacia la izquierda");
    return nullptr;
  }
  EmptyCoverSlot(slot);
  coverCache.DeleteItem(index);
  return slot;
}

void SDLGui::SlideRight() {
  selTrack = 0;
  CoverSlot* slot = TakeOutCoverSlot(0);
  if (slot == nullptr || coverCache.AddItem(slot)) return;
  std::puts("Error al agregar elemento al final de la lista de portadas");
  delete slot;
}

void SDLGui::SlideLeft() {
  selTrack = 0;
  CoverSlot* slot = TakeOutCoverSlot(kCoverSlots - 1);
  if (slot == nullptr || coverCache.PrependItem(slot)) return;
  std::puts("Error al agregar elemento al inicio de la lista de portadas");
  delete slot;
}

// The forward pass fills slot 10 onwards with the selected disc and the ones
// after it, one cover's gap shorter than the carousel; the backward pass
// fills slot 9 downwards with the discs before it, at the carousel's full
// height. Small genres are not wrapped, so their backward slots stay empty.
void SDLGui::coverswithcache() {
  const int discs = SelectedGenreDiscs();
  if (discs == 0 || selDisc >= static_cast<uint32_t>(discs)) return;
  const uint32_t count = static_cast<uint32_t>(discs);
  const bool wraps = discs > kSmallGenreDiscs;
  CoverStep step{platform::Ticks(), 0};
  bool shownLoaded = false;

  const int forwardHeight = skin->hcovers - skin->coverseparation;
  uint32_t disc = selDisc;
  RItemList* node = coverCache.GetItemRaw(kSelectedSlot);
  for (int i = kSelectedSlot; i < kCoverSlots; ++i) {
    if (!wraps && disc == count) break;
    if (node == nullptr) {
      std::printf("Error, puntero incorrecto en coverscache, item %d\n", i);
    } else {
      const bool loaded = FillCoverSlot(SlotOf(node), disc, skin->wcover, forwardHeight, i == kSelectedSlot, step);
      shownLoaded = shownLoaded || (loaded && i < kSelectedSlot + kCoversShown);
      node = node->next;
    }
    disc = wraps ? (disc + 1) % count : disc + 1;
  }
  if (wraps) {
    disc = (selDisc + count - 1) % count;
    node = coverCache.GetItemRaw(kSelectedSlot - 1);
    for (int i = kSelectedSlot - 1; i >= 0 && node != nullptr; --i, node = node->prev) {
      FillCoverSlot(SlotOf(node), disc, skin->wcover, skin->hcovers, false, step);
      disc = (disc + count - 1) % count;
    }
  }
  // A pending redraw draws them anyway.
  if (shownLoaded && dialog == kMainScreen && redrawMode == kUpToDate) DrawCovers(true);
}

bool SDLGui::MayLoadCover(CoverStep& step) const {
  const bool may = step.loads == 0 || platform::Ticks() - step.start < coverStepBudget;
  if (may) ++step.loads;
  return may;
}

// The selected disc's enlarged cover is what shows, so it comes first.
bool SDLGui::FillCoverSlot(CoverSlot* slot, uint32_t disc, int width, int height, bool selected,
                           CoverStep& step) {
  if (slot->cover == nullptr) {
    slot->disc = disc;
    slot->width = width;
    slot->height = height;
  }
  bool loaded = false;
  if (selected && slot->enlarged == nullptr && MayLoadCover(step)) {
    slot->enlarged = LoadEnlargedCover(*slot);
    loaded = true;
  }
  if (slot->cover == nullptr && MayLoadCover(step)) {
    slot->cover = LoadCover(slot->disc, width, height);
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
