// The ring of scaled covers around the selected disc. Moving one disc
// rotates the ring by one slot, so only the cover that comes into view has to
// be loaded; the loader reads or makes it on its worker thread, from the
// thumbnails kept on disk, and coverswithcache puts what it finished in
// place in the main loop's background step.
#include <SDL_rotozoom.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

#include "catalogue/MainLibrary.h"
#include "config/Configuration.h"
#include "gui/CoverDecoder.h"
#include "gui/FitInside.h"
#include "gui/SDLGui.h"
#include "gui/Skin.h"
#include "platform/Clock.h"
#include "platform/Files.h"
#include "platform/Paths.h"

namespace {

// The default cover in the selected slot's enlarged place.
Surface EnlargedDefaultCover(SDL_Surface* defaultCover, const CoverRing::Slot& slot, int gap) {
  return Surface(SDLGui::ScaledCopy(defaultCover, slot.width + gap, slot.height + gap));
}

// Adds what slot i still misses to wanted, each cover once: the selected
// slot's enlarged cover before its own.
void WantCovers(const CoverRing::Slot& slot, int i, int gap, std::vector<CoverLoader::Cover>& wanted) {
  if (slot.path.empty()) return;
  auto want = [&wanted](const CoverLoader::Cover& cover) {
    if (std::find(wanted.begin(), wanted.end(), cover) == wanted.end()) wanted.push_back(cover);
  };
  if (i == CoverRing::kSelected && slot.enlarged == nullptr) want({slot.path, slot.width + gap, slot.height + gap});
  if (slot.cover == nullptr) want({slot.path, slot.width, slot.height});
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

// The forward pass gives slot 10 onwards the selected disc and the ones
// after it, one cover's gap shorter than the carousel; the backward pass
// slot 9 downwards the discs before it, at the carousel's full height. Small
// genres are not wrapped, so their backward slots stay empty. The loader
// is then told what is still missing, the selected disc's enlarged cover
// first, as that is what shows.
void SDLGui::coverswithcache() {
  const std::vector<CoverRing::Place> places = CoverRing::Places(SelectedGenreDiscs(), selDisc);
  for (const CoverRing::Place& place : places) AssignCoverSlot(place);
  PlaceFinishedCovers();
  std::vector<CoverLoader::Cover> wanted;
  if (mediaCover.Waiting()) wanted.push_back(mediaCover.Wanted());
  for (const CoverRing::Place& place : places)
    WantCovers(*coverRing.At(place.slot), place.slot, skin->coverseparation, wanted);
  coverLoader.Want(wanted);
}

// A disc without a cover shows the default cover at once.
void SDLGui::AssignCoverSlot(const CoverRing::Place& place) {
  CoverSlot& slot = *coverRing.At(place.slot);
  if (slot.cover == nullptr) {
    slot.disc = place.disc;
    slot.width = skin->wcover;
    slot.height = place.forward ? skin->hcovers - skin->coverseparation : skin->hcovers;
    slot.path = library->GetCoverPath(selGenre, place.disc).Chars();
    if (slot.path.empty()) slot.cover = coverSurface;
  }
  if (place.slot == CoverRing::kSelected && slot.enlarged == nullptr && slot.path.empty())
    slot.enlarged = EnlargedDefaultCover(coverSurface, slot, skin->coverseparation);
}

// As many finished covers as the ring's step budget allows; those on screen
// that come in after the screen was drawn are drawn (a pending redraw draws
// them anyway).
void SDLGui::PlaceFinishedCovers() {
  CoverRing::Step step{platform::Ticks(), 0};
  bool shownPlaced = false;
  bool playingPlaced = false;
  CoverLoader::Finished finished;
  while (coverRing.MayLoad(step, platform::Ticks()) && coverLoader.TakeFinished(finished)) {
    std::fputs(finished.log.c_str(), stdout);
    shownPlaced = PlaceCover(finished) || shownPlaced;
    playingPlaced = mediaCover.Take(finished) || playingPlaced;
  }
  if (shownPlaced && dialog == kMainScreen && redrawMode == kUpToDate) DrawCovers(true);
  if (playingPlaced)
    DrawCoverMedia(dialog == kMainScreen && redrawMode == kUpToDate && (config->tvout || !VideoPlaying()));
}

// Every empty slot that waits for the cover at that size gets it, each its
// own copy, and a cover that cannot be read gives the default cover;
// whether a slot on screen got it.
bool SDLGui::PlaceCover(const CoverLoader::Finished& finished) {
  const CoverLoader::Cover& cover = finished.cover;
  const int gap = skin->coverseparation;
  bool given = false;
  auto image = [&finished, &given]() {
    const bool first = !given;
    given = true;
    return first ? finished.image : Surface(SDL_ConvertSurface(finished.image, finished.image->format, SDL_SWSURFACE));
  };
  bool shown = false;
  for (int i = 0; i < CoverRing::kSlots; ++i) {
    CoverSlot& slot = *coverRing.At(i);
    if (slot.path != cover.path) continue;
    const bool asCover = slot.cover == nullptr && cover.width == slot.width && cover.height == slot.height;
    const bool asEnlarged = i == CoverRing::kSelected && slot.enlarged == nullptr && cover.width == slot.width + gap &&
                            cover.height == slot.height + gap;
    if (asCover) slot.cover = finished.image != nullptr ? image() : coverSurface;
    if (asEnlarged) slot.enlarged = finished.image != nullptr ? image() : EnlargedDefaultCover(coverSurface, slot, gap);
    shown =
        shown || ((asCover || asEnlarged) && i >= CoverRing::kSelected && i < CoverRing::kSelected + CoverRing::kShown);
  }
  return shown;
}

SDL_Surface* SDLGui::PlayingCover(uint32_t genre, uint32_t disc) {
  return mediaCover.Get({library->GetCoverPath(genre, disc).Chars(), skin->wmedia, skin->hmedia});
}

// Every cover of the catalogue at the sizes the ring and the playing cover
// are shown at.
void SDLGui::TidyCoverThumbnails() {
  if (library == nullptr) return;
  auto inUse = std::make_shared<CoverThumbnails::InUse>();
  for (int genre = 0; genre < library->GetTotalGenres(); ++genre)
    for (int disc = 0; disc < library->GetTotalDiscs(genre); ++disc)
      inUse->AddCover(library->GetCoverPath(genre, disc));
  const int gap = skin->coverseparation;
  for (const CoverThumbnails::Size size :
       {CoverThumbnails::Size{skin->wcover, skin->hcovers - gap}, CoverThumbnails::Size{skin->wcover, skin->hcovers},
        CoverThumbnails::Size{skin->wcover + gap, skin->hcovers}, CoverThumbnails::Size{skin->wmedia, skin->hmedia}})
    inUse->AddSize(size);
  coverLoader.Tidy(std::move(inUse));
}

SDL_Surface* SDLGui::ShownCover(const CoverSlot& slot, bool selected) {
  if (!selected) return slot.cover != nullptr ? slot.cover : coverSurface;
  if (slot.enlarged != nullptr) return slot.enlarged;
  if (coverPlaceholder == nullptr)
    coverPlaceholder.reset(ScaledCopy(coverSurface, skin->wcover + skin->coverseparation, skin->hcovers));
  return coverPlaceholder;
}
