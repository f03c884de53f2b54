// The ring of scaled covers around the selected disc. Moving one disc
// rotates the ring by one slot, so only the cover that comes into view has to
// be loaded; the loading is done by coverswithcache in the main loop's
// background step.
#include <SDL_image.h>
#include <SDL_rotozoom.h>

#include <cstdio>

#include "catalogue/MainLibrary.h"
#include "gui/SDLGui.h"
#include "gui/Skin.h"
#include "platform/Paths.h"

namespace {

SDLGui::CoverSlot* SlotOf(const RItemList* node) {
  return static_cast<SDLGui::CoverSlot*>(node->data);
}


}  // namespace

SDL_Surface* SDLGui::LoadImageFile(const RString& path) {
  return IMG_Load(platform::ToHostPath(path.Chars()).c_str());
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
}

void SDLGui::EmptyCoverSlot(CoverSlot* slot) {
  if (slot->cover != coverSurface) SDL_FreeSurface(slot->cover);
  slot->cover = nullptr;
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

  uint32_t disc = selDisc;
  RItemList* node = coverCache.GetItemRaw(kSelectedSlot);
  for (int i = kSelectedSlot; i < kCoverSlots; ++i) {
    if (!wraps && disc == count) break;
    if (node == nullptr) {
      std::printf("Error, puntero incorrecto en coverscache, item %d\n", i);
    } else {
      FillCoverSlot(SlotOf(node), disc, skin->wcover, skin->hcovers - skin->coverseparation);
      node = node->next;
    }
    disc = wraps ? (disc + 1) % count : disc + 1;
  }
  if (!wraps) return;

  disc = (selDisc + count - 1) % count;
  node = coverCache.GetItemRaw(kSelectedSlot - 1);
  for (int i = kSelectedSlot - 1; i >= 0 && node != nullptr; --i, node = node->prev) {
    FillCoverSlot(SlotOf(node), disc, skin->wcover, skin->hcovers);
    disc = (disc + count - 1) % count;
  }
}

void SDLGui::FillCoverSlot(CoverSlot* slot, uint32_t disc, int width, int height) {
  if (slot->cover != nullptr) return;
  slot->disc = disc;
  slot->cover = LoadCover(library->GetCoverPath(selGenre, disc), width, height);
}

// A disc without a cover, or whose cover cannot be read or scaled, shows the
// default cover.
SDL_Surface* SDLGui::LoadCover(const RString& path, int width, int height) {
  if (path.GetLength() == 0) return coverSurface;
  SDL_Surface* image = LoadImageFile(path);
  if (image == nullptr) {
    std::printf("Error loading cover <%s>\n%s\n", path.Chars(), IMG_GetError());
    return coverSurface;
  }
  SDL_Surface* scaled = ScaledCopy(image, width, height);
  SDL_FreeSurface(image);
  return scaled != nullptr ? scaled : coverSurface;
}
