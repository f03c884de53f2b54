// Image files and scaled copies of them for every screen.
#include <SDL_rotozoom.h>

#include "gui/CoverDecoder.h"
#include "gui/FitInside.h"
#include "gui/SDLGui.h"
#include "platform/Files.h"
#include "platform/Paths.h"

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
