#pragma once
// The playing item's cover at the media panel's size, read through the
// cover loader: the panel shows the default cover until the loader gives it.
#include <SDL.h>

#include <optional>

#include "gui/CoverLoader.h"

class MediaCover {
 public:
  // The cover asked for, for the caller to free; null while the loader has
  // not given it, and when there is none or it cannot be decoded.
  SDL_Surface* Get(const CoverLoader::Cover& cover);
  // Whether the loader is still to give the cover last asked for.
  bool Waiting() const;
  const CoverLoader::Cover& Wanted() const { return wanted_; }
  // Keeps a finished cover when it is the one waited for; whether it was.
  bool Take(const CoverLoader::Finished& finished);
  void Forget() { given_.reset(); }

 private:
  CoverLoader::Cover wanted_;
  std::optional<CoverLoader::Finished> given_;
};
