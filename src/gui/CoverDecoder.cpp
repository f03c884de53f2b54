#include "gui/CoverDecoder.h"

#include <SDL_image.h>
#include <turbojpeg.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/Paths.h"

namespace {

using Bytes = std::vector<unsigned char>;

// The decoder's pixels laid out as the 32-bit surface below reads them.
#if SDL_BYTEORDER == SDL_LIL_ENDIAN
constexpr int kPixelFormat = TJPF_BGRX;
#else
constexpr int kPixelFormat = TJPF_XRGB;
#endif

bool IsJpeg(const Bytes& data) { return data.size() > 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF; }

Bytes ReadHostFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// The smallest reduction of width x height that still fills wanted in both
// directions; 1/1 when none does.
tjscalingfactor ReducedScale(int width, int height, int wantedWidth, int wantedHeight) {
  int count = 0;
  const tjscalingfactor* factors = tjGetScalingFactors(&count);
  tjscalingfactor best{1, 1};
  for (int i = 0; factors != nullptr && i < count; ++i) {
    const tjscalingfactor factor = factors[i];
    if (factor.num > factor.denom) continue;
    const int scaledWidth = TJSCALED(width, factor);
    if (scaledWidth >= wantedWidth && TJSCALED(height, factor) >= wantedHeight && scaledWidth < TJSCALED(width, best))
      best = factor;
  }
  return best;
}

// A decode with warnings (a cut-short file, say) gives the picture as far as
// it goes, as SDL_image's own decode does.
bool Decoded(tjhandle decoder, int result) { return result == 0 || tjGetErrorCode(decoder) == TJERR_WARNING; }

SDL_Surface* DecodeReducedJpeg(const Bytes& data, int wantedWidth, int wantedHeight) {
  tjhandle decoder = tjInitDecompress();
  if (decoder == nullptr) return nullptr;
  SDL_Surface* image = nullptr;
  int width = 0, height = 0, subsampling = 0, colourspace = 0;
  if (tjDecompressHeader3(decoder, data.data(), data.size(), &width, &height, &subsampling, &colourspace) == 0) {
    const tjscalingfactor scale = ReducedScale(width, height, wantedWidth, wantedHeight);
    image = SDL_CreateRGBSurface(SDL_SWSURFACE, TJSCALED(width, scale), TJSCALED(height, scale), 32, 0x00FF0000,
                                 0x0000FF00, 0x000000FF, 0);
    if (image != nullptr && !Decoded(decoder, tjDecompress2(decoder, data.data(), data.size(),
                                                            static_cast<unsigned char*>(image->pixels), image->w,
                                                            image->pitch, image->h, kPixelFormat, 0))) {
      SDL_FreeSurface(image);
      image = nullptr;
    }
  }
  tjDestroy(decoder);
  return image;
}

}  // namespace

SDL_Surface* DecodeCover(const RString& path, int width, int height) {
  const std::string hostPath = platform::ToHostPath(path.Chars());
  const Bytes data = ReadHostFile(hostPath);
  if (IsJpeg(data))
    if (SDL_Surface* image = DecodeReducedJpeg(data, width, height)) return image;
  // A file that could not be read is opened by SDL_image, which says why.
  if (data.empty()) return IMG_Load(hostPath.c_str());
  return IMG_Load_RW(SDL_RWFromConstMem(data.data(), static_cast<int>(data.size())), 1);
}
