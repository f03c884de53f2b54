// The ring of scaled covers around the selected disc. Moving one disc
// rotates the ring by one slot, so only the cover that comes into view has to
// be loaded; the loader reads or makes it on its worker thread, from the
// thumbnails kept on disk, and coverswithcache puts what it finished in
// place in the main loop's background step.
#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

#include "catalogue/MainLibrary.h"
#include "config/Configuration.h"
#include "gui/CoverCarousel.h"
#include "gui/SDLGui.h"
#include "gui/Skin.h"
#include "platform/Clock.h"

namespace {

// Adds what slot i still misses to wanted, each cover once: the selected
// slot's enlarged cover before its own.
void WantCovers(const CoverRing::Slot& slot, int i, CoverThumbnails::Size enlarged,
                std::vector<CoverLoader::Cover>& wanted) {
  if (slot.path.empty()) return;
  auto want = [&wanted](const CoverLoader::Cover& cover) {
    if (std::find(wanted.begin(), wanted.end(), cover) == wanted.end()) wanted.push_back(cover);
  };
  if (i == CoverRing::kSelected && slot.enlarged == nullptr) want({slot.path, enlarged.width, enlarged.height});
  if (slot.cover == nullptr) want({slot.path, slot.width, slot.height});
}

}  // namespace

void CoverCarousel::ResetCoversCache() { coverRing.Empty(); }

void CoverCarousel::Forget() {
  coverLoader.Stop();
  mediaCover.Forget();
  coverRing.Empty();
  coverPlaceholder.reset();
}

int CoverCarousel::SelectedGenreDiscs() const {
  const GenreElement* genre = gui.library != nullptr ? gui.library->GetGenre(gui.selGenre) : nullptr;
  return genre != nullptr ? genre->GetTotalDiscs() : 0;
}

int CoverCarousel::CoversOnScreen() const { return CoverRing::CoversOnScreen(SelectedGenreDiscs(), gui.selDisc); }

void CoverCarousel::SlideRight() {
  gui.selTrack = 0;
  coverRing.TurnForward();
}

void CoverCarousel::SlideLeft() {
  gui.selTrack = 0;
  coverRing.TurnBack();
}

// The forward pass gives slot 10 onwards the selected disc and the ones
// after it, one cover's gap shorter than the carousel; the backward pass
// slot 9 downwards the discs before it, at the carousel's full height. Small
// genres are not wrapped, so their backward slots stay empty. The loader
// is then told what is still missing, the selected disc's enlarged cover
// first, as that is what shows.
void CoverCarousel::coverswithcache() {
  const std::vector<CoverRing::Place> places = CoverRing::Places(SelectedGenreDiscs(), gui.selDisc);
  for (const CoverRing::Place& place : places) AssignCoverSlot(place);
  PlaceFinishedCovers();
  std::vector<CoverLoader::Cover> wanted;
  if (mediaCover.Waiting()) wanted.push_back(mediaCover.Wanted());
  for (const CoverRing::Place& place : places)
    WantCovers(*coverRing.At(place.slot), place.slot, EnlargedSize(), wanted);
  coverLoader.Want(wanted);
}

// A disc without a cover shows the default cover at once.
void CoverCarousel::AssignCoverSlot(const CoverRing::Place& place) {
  CoverRing::Slot& slot = *coverRing.At(place.slot);
  if (slot.cover == nullptr) {
    slot.disc = place.disc;
    slot.width = gui.skin->wcover;
    slot.height = place.forward ? gui.skin->hcovers - gui.skin->coverseparation : gui.skin->hcovers;
    slot.path = gui.library->GetCoverPath(gui.selGenre, place.disc).Chars();
    if (slot.path.empty()) slot.cover = gui.coverSurface;
  }
  if (place.slot == CoverRing::kSelected && slot.enlarged == nullptr && slot.path.empty())
    slot.enlarged = Placeholder();
}

// As many finished covers as the ring's step budget allows; those on screen
// that come in after the screen was drawn are drawn (a pending redraw draws
// them anyway).
void CoverCarousel::PlaceFinishedCovers() {
  CoverRing::Step step{platform::Ticks(), 0};
  bool shownPlaced = false;
  bool playingPlaced = false;
  CoverLoader::Finished finished;
  while (coverRing.MayLoad(step, platform::Ticks()) && coverLoader.TakeFinished(finished)) {
    std::fputs(finished.log.c_str(), stdout);
    shownPlaced = PlaceCover(finished) || shownPlaced;
    playingPlaced = mediaCover.Take(finished) || playingPlaced;
  }
  const bool mainUpToDate = gui.dialog == SDLGui::kMainScreen && gui.redrawMode == SDLGui::kUpToDate;
  if (shownPlaced && mainUpToDate) gui.panels.DrawCovers(true);
  if (playingPlaced) gui.panels.DrawCoverMedia(mainUpToDate && (gui.config->tvout || !gui.video.VideoPlaying()));
}

// Every empty slot that waits for the cover at that size gets it, each its
// own copy, and a cover that cannot be read gives the default cover;
// whether a slot on screen got it.
bool CoverCarousel::PlaceCover(const CoverLoader::Finished& finished) {
  const CoverLoader::Cover& cover = finished.cover;
  const CoverThumbnails::Size enlarged = EnlargedSize();
  bool given = false;
  auto image = [&finished, &given]() {
    const bool first = !given;
    given = true;
    return first ? finished.image : Surface(SDL_ConvertSurface(finished.image, finished.image->format, SDL_SWSURFACE));
  };
  bool shown = false;
  for (int i = 0; i < CoverRing::kSlots; ++i) {
    CoverRing::Slot& slot = *coverRing.At(i);
    if (slot.path != cover.path) continue;
    const bool asCover = slot.cover == nullptr && cover.width == slot.width && cover.height == slot.height;
    const bool asEnlarged = i == CoverRing::kSelected && slot.enlarged == nullptr && cover.width == enlarged.width &&
                            cover.height == enlarged.height;
    if (asCover) slot.cover = finished.image != nullptr ? image() : gui.coverSurface;
    if (asEnlarged) slot.enlarged = finished.image != nullptr ? image() : Placeholder();
    shown =
        shown || ((asCover || asEnlarged) && i >= CoverRing::kSelected && i < CoverRing::kSelected + CoverRing::kShown);
  }
  return shown;
}

SDL_Surface* CoverCarousel::PlayingCover(uint32_t genre, uint32_t disc) {
  return mediaCover.Get({gui.library->GetCoverPath(genre, disc).Chars(), gui.skin->wmedia, gui.skin->hmedia});
}

// Every cover of the catalogue at the sizes the ring and the playing cover
// are shown at.
void CoverCarousel::TidyCoverThumbnails() {
  if (gui.library == nullptr) return;
  auto inUse = std::make_shared<CoverThumbnails::InUse>();
  for (int genre = 0; genre < gui.library->GetTotalGenres(); ++genre)
    for (int disc = 0; disc < gui.library->GetTotalDiscs(genre); ++disc)
      inUse->AddCover(gui.library->GetCoverPath(genre, disc));
  const Skin& skin = *gui.skin;
  for (const CoverThumbnails::Size size :
       {CoverThumbnails::Size{skin.wcover, skin.hcovers - skin.coverseparation},
        CoverThumbnails::Size{skin.wcover, skin.hcovers}, EnlargedSize(), CoverThumbnails::Size{skin.wmedia, skin.hmedia}})
    inUse->AddSize(size);
  coverLoader.Tidy(std::move(inUse));
}

SDL_Surface* CoverCarousel::ShownCover(const CoverRing::Slot& slot, bool selected) {
  if (!selected) return slot.cover != nullptr ? slot.cover : gui.coverSurface;
  return slot.enlarged != nullptr ? slot.enlarged : Placeholder();
}

// The selected cover fills the carousel's height, whichever pass loaded the
// slot's own cover.
CoverThumbnails::Size CoverCarousel::EnlargedSize() const {
  return {gui.skin->wcover + gui.skin->coverseparation, gui.skin->hcovers};
}

const Surface& CoverCarousel::Placeholder() {
  if (coverPlaceholder == nullptr) {
    const CoverThumbnails::Size size = EnlargedSize();
    coverPlaceholder.reset(SDLGui::ScaledCopy(gui.coverSurface, size.width, size.height));
  }
  return coverPlaceholder;
}
