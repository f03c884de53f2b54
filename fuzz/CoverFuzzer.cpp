// A cover file: whatever it holds, decoding neither crashes nor yields a
// picture beyond the pixel budget, whatever its header said.
#include <SDL.h>

#include <cstdlib>

#include "ScratchFile.h"
#include "gui/CoverDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::WriteInput("cover.jpg", data, size);
  for (SDL_Surface* image : {DecodeCover("cover.jpg", 150, 120), DecodeImage("cover.jpg")}) {
    if (image != nullptr && uint64_t(image->w) * uint64_t(image->h) > kImagePixelBudget) std::abort();
    SDL_FreeSurface(image);
  }
  return 0;
}
