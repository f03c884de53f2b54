#include "gui/Frame.h"

#include <SDL_gfxPrimitives.h>

#include <algorithm>

SDL_Rect DrawFrame(SDL_Surface* target, const SDL_Rect& framed, int thickness, SDL_Color colour) {
  const int left = framed.x - thickness, top = framed.y - thickness;
  const int right = framed.x + framed.w - 1 + thickness, bottom = framed.y + framed.h - 1 + thickness;
  for (int k = 0; k < thickness; ++k)
    rectangleRGBA(target, static_cast<Sint16>(left + k), static_cast<Sint16>(top + k),
                  static_cast<Sint16>(right - k), static_cast<Sint16>(bottom - k), colour.r, colour.g, colour.b,
                  SDL_ALPHA_OPAQUE);
  const int x = std::max(0, left), y = std::max(0, top);
  const int w = std::min(target->w - 1, right) - x + 1, h = std::min(target->h - 1, bottom) - y + 1;
  return SDL_Rect{static_cast<Sint16>(x), static_cast<Sint16>(y), static_cast<Uint16>(std::max(0, w)),
                  static_cast<Uint16>(std::max(0, h))};
}
