#include "gui/FitInside.h"

SDL_Surface* Letterboxed(SDL_Surface* picture, int width, int height) {
  if (picture == nullptr || (picture->w == width && picture->h == height)) return picture;
  const SDL_PixelFormat* format = picture->format;
  SDL_Surface* boxed = SDL_CreateRGBSurface(SDL_SWSURFACE, width, height, format->BitsPerPixel, format->Rmask,
                                            format->Gmask, format->Bmask, format->Amask);
  if (boxed != nullptr) {
    SDL_FillRect(boxed, nullptr, SDL_MapRGBA(boxed->format, 0, 0, 0, SDL_ALPHA_OPAQUE));
    const FitRect fit = FitInside(picture->w, picture->h, width, height);
    SDL_Rect at{static_cast<Sint16>(fit.x), static_cast<Sint16>(fit.y), 0, 0};
    // Copied as it is, its own transparency included.
    SDL_SetAlpha(picture, 0, SDL_ALPHA_OPAQUE);
    SDL_BlitSurface(picture, nullptr, boxed, &at);
  }
  SDL_FreeSurface(picture);
  return boxed;
}
