#pragma once
// Pictures keep their proportions: a cover of any shape is shown as large as
// its place allows, centred, and what it leaves of the place stays dark.
#include <SDL.h>

#include <algorithm>
#include <cstdint>

struct FitRect {
  int x = 0, y = 0, w = 0, h = 0;
};

// The largest rectangle of a width × height picture's proportions inside a
// boxWidth × boxHeight place, centred in it; the whole place for a picture
// without size.
inline FitRect FitInside(int width, int height, int boxWidth, int boxHeight) {
  if (width <= 0 || height <= 0) return FitRect{0, 0, boxWidth, boxHeight};
  // As wide as the place, unless it is then too high.
  int64_t w = boxWidth, h = int64_t{height} * boxWidth / width;
  if (h > boxHeight) {
    h = boxHeight;
    w = int64_t{width} * boxHeight / height;
  }
  const int fitW = std::max(1, static_cast<int>(w)), fitH = std::max(1, static_cast<int>(h));
  return FitRect{(boxWidth - fitW) / 2, (boxHeight - fitH) / 2, fitW, fitH};
}

// A copy of picture (already scaled to its FitInside size) in a width ×
// height surface of its own format, at its FitInside place, the rest opaque
// black; takes picture over. Null when the surface cannot be made.
SDL_Surface* Letterboxed(SDL_Surface* picture, int width, int height);
