#include "gui/MediaCover.h"

SDL_Surface* MediaCover::Get(const CoverLoader::Cover& cover) {
  wanted_ = cover;
  if (!given_ || !(given_->cover == wanted_) || given_->image == nullptr) return nullptr;
  // The caller frees what it is given.
  ++given_->image->refcount;
  return given_->image;
}

bool MediaCover::Waiting() const { return !wanted_.path.empty() && !(given_ && given_->cover == wanted_); }

bool MediaCover::Take(const CoverLoader::Finished& finished) {
  if (!Waiting() || !(finished.cover == wanted_)) return false;
  given_ = finished;
  return true;
}
