#pragma once
// Pixel access for tests on surfaces of any depth.
#include <SDL.h>

#include <cstring>
#include <tuple>

using Rgba = std::tuple<int, int, int, int>;

// Colour and opacity of one pixel; opaque on surfaces without alpha.
inline Rgba ColorAt(SDL_Surface* surface, int x, int y) {
  SDL_LockSurface(surface);
  const Uint8 bytes = surface->format->BytesPerPixel;
  const auto* at = static_cast<const Uint8*>(surface->pixels) + y * surface->pitch + x * bytes;
  Uint32 pixel = at[0];
  if (bytes == 2) {
    Uint16 wide = 0;
    std::memcpy(&wide, at, 2);
    pixel = wide;
  } else if (bytes == 3) {
    pixel = SDL_BYTEORDER == SDL_BIG_ENDIAN ? (at[0] << 16) | (at[1] << 8) | at[2]
                                            : (at[2] << 16) | (at[1] << 8) | at[0];
  } else if (bytes == 4) {
    std::memcpy(&pixel, at, 4);
  }
  SDL_UnlockSurface(surface);
  Uint8 r = 0, g = 0, b = 0, a = 0;
  SDL_GetRGBA(pixel, surface->format, &r, &g, &b, &a);
  return {r, g, b, a};
}

// A 24-bit surface filled with one colour.
inline SDL_Surface* FilledSurface(int w, int h, Uint8 r, Uint8 g, Uint8 b) {
  SDL_Surface* surface = SDL_CreateRGBSurface(0, w, h, 32, 0, 0, 0, 0);
  SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, r, g, b));
  return surface;
}

inline Rgba Opaque(int r, int g, int b) { return {r, g, b, 255}; }

// Whether two surfaces have the same size and the same colours everywhere.
inline bool SamePicture(SDL_Surface* a, SDL_Surface* b) {
  if (a->w != b->w || a->h != b->h) return false;
  for (int y = 0; y < a->h; ++y)
    for (int x = 0; x < a->w; ++x)
      if (ColorAt(a, x, y) != ColorAt(b, x, y)) return false;
  return true;
}

inline const char kTestFont[] = "/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf";
