#pragma once
// The main screen's carousel apart from the rest of the GUI: the ring of
// covers around the selected disc, the loader that reads them on its worker
// thread and the playing item's cover. It follows the GUI's selection.
#include <SDL.h>

#include <cstdint>

#include "gui/CoverLoader.h"
#include "gui/CoverRing.h"
#include "gui/MediaCover.h"
#include "gui/Surface.h"

class SDLGui;

class CoverCarousel {
 public:
  explicit CoverCarousel(SDLGui& gui) : gui(gui) {}
  CoverCarousel(const CoverCarousel&) = delete;
  CoverCarousel& operator=(const CoverCarousel&) = delete;

  // Empties every slot; used when the genre changes or the selection jumps.
  void ResetCoversCache();
  // Rotate the ring after selDisc moved one disc back or forward; the new
  // slot is empty and selTrack goes back to 0.
  void SlideLeft();
  void SlideRight();
  // Gives every empty slot its disc, puts the covers the loader finished in
  // place as far as the ring's step budget allows and asks it for those
  // still missing, the selected one and those on screen first. Covers on
  // screen that come in after the screen was drawn are drawn.
  void coverswithcache();
  // The ring of covers around the selected disc.
  CoverRing& Ring() { return coverRing; }
  CoverLoader& Loading() { return coverLoader; }
  // What the carousel shows for a slot: its cover (enlarged when selected),
  // or the default cover while it is not loaded.
  SDL_Surface* ShownCover(const CoverRing::Slot& slot, bool selected);
  // How many covers the carousel shows for the selection: up to four, and in
  // small genres none past the last disc.
  int CoversOnScreen() const;
  // The disc count of the selected genre; 0 when there is no such genre.
  int SelectedGenreDiscs() const;
  // The disc's cover at the media panel's size (MediaCover::Get).
  SDL_Surface* PlayingCover(uint32_t genre, uint32_t disc);
  // Asks the loader to delete the thumbnails no longer read.
  void TidyCoverThumbnails();
  // The loader stopped and every cover freed, before SDL goes.
  void Forget();

 private:
  void AssignCoverSlot(const CoverRing::Place& place);
  void PlaceFinishedCovers();
  bool PlaceCover(const CoverLoader::Finished& finished);
  CoverThumbnails::Size EnlargedSize() const;
  // The default cover at the selected cover's size.
  const Surface& Placeholder();

  SDLGui& gui;
  CoverLoader coverLoader;
  MediaCover mediaCover;
  Surface coverPlaceholder;
  CoverRing coverRing;
};
