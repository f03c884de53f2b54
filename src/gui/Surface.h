#pragma once
// A picture that frees itself when its last holder lets it go. Shared, so
// that one picture can stand in several places (the default cover in every
// slot of the cover ring) without anybody keeping count by hand.
#include <SDL.h>

#include <memory>

class Surface {
 public:
  Surface() = default;
  // Takes over a surface SDL made; null stays empty.
  explicit Surface(SDL_Surface* owned) { reset(owned); }

  void reset(SDL_Surface* owned = nullptr) {
    if (owned == nullptr)
      picture_.reset();
    else
      picture_.reset(owned, SDL_FreeSurface);
  }
  SDL_Surface* get() const { return picture_.get(); }
  operator SDL_Surface*() const { return picture_.get(); }  // NOLINT: read as SDL's pointer everywhere
  SDL_Surface* operator->() const { return picture_.get(); }

 private:
  std::shared_ptr<SDL_Surface> picture_;
};
