#include "gui/CoverDecoder.h"

#include <SDL_image.h>
#include <turbojpeg.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/Files.h"

namespace {

// The file's bytes; a std::string only as the buffer files are read into.
using Bytes = std::string;

// The decoder's pixels laid out as the 32-bit surface below reads them.
#if SDL_BYTEORDER == SDL_LIL_ENDIAN
constexpr int kPixelFormat = TJPF_BGRX;
#else
constexpr int kPixelFormat = TJPF_XRGB;
#endif

// GIF is left out: SDL_image's GIF decoder reads through null pointers
// and loops for good on files a fuzzer finds in seconds.
enum class Format { kUnknown, kJpeg, kPng, kBmp };

// The size an image file declares, read before anything is decoded.
struct Declared {
  Format format = Format::kUnknown;
  uint64_t width = 0, height = 0;
  // A JPEG whose frame is not baseline or extended sequential (progressive,
  // arithmetic coded): decoded whole before it is reduced, and slower.
  bool dearJpeg = false;
};

// What decoding one pixel costs against kImagePixelBudget, in time mostly:
// a sequential JPEG is decoded at a reduced scale; other images are decoded
// whole (and then scaled down); a progressive JPEG is decoded in several
// passes over the whole picture.
constexpr uint64_t kReducedJpegCost = 1, kWholeDecodeCost = 2, kDearJpegCost = 4;

uint64_t CostPerPixel(const Declared& declared) {
  if (declared.format != Format::kJpeg) return kWholeDecodeCost;
  return declared.dearJpeg ? kDearJpegCost : kReducedJpegCost;
}

bool Affordable(const Declared& declared, uint64_t costPerPixel) {
  return declared.width > 0 && declared.height > 0 &&
         declared.width * declared.height * costPerPixel <= kImagePixelBudget;
}

const unsigned char* Unsigned(const Bytes& data) { return reinterpret_cast<const unsigned char*>(data.data()); }

unsigned Byte(const Bytes& data, size_t at) { return at < data.size() ? Unsigned(data)[at] : 0; }

uint32_t LittleEndian16(const Bytes& data, size_t at) { return Byte(data, at) | Byte(data, at + 1) << 8; }

uint32_t LittleEndian32(const Bytes& data, size_t at) {
  return LittleEndian16(data, at) | LittleEndian16(data, at + 2) << 16;
}

uint32_t BigEndian32(const Bytes& data, size_t at) {
  return Byte(data, at) << 24 | Byte(data, at + 1) << 16 | Byte(data, at + 2) << 8 | Byte(data, at + 3);
}

bool StartsWith(const Bytes& data, const char* magic) { return data.compare(0, std::strlen(magic), magic) == 0; }

bool IsJpeg(const Bytes& data) { return data.size() > 3 && StartsWith(data, "\xFF\xD8\xFF"); }

// Walks the segments to the frame header; a file without one that can be
// found counts as dear.
bool IsDearJpeg(const Bytes& data) {
  size_t at = 2;
  while (at + 4 <= data.size() && Byte(data, at) == 0xFF) {
    const unsigned marker = Byte(data, at + 1);
    if (marker == 0xFF) {  // fill byte
      ++at;
      continue;
    }
    const bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
    if (frame) return marker != 0xC0 && marker != 0xC1;
    at += 2 + (Byte(data, at + 2) << 8 | Byte(data, at + 3));
  }
  return true;
}

Declared JpegSize(const Bytes& data) {
  Declared declared;
  tjhandle decoder = tjInitDecompress();
  int width = 0, height = 0, subsampling = 0, colourspace = 0;
  if (decoder != nullptr && tjDecompressHeader3(decoder, Unsigned(data), data.size(), &width, &height,
                                                &subsampling, &colourspace) == 0)
    declared = Declared{Format::kJpeg, static_cast<uint64_t>(width), static_cast<uint64_t>(height), IsDearJpeg(data)};
  if (decoder != nullptr) tjDestroy(decoder);
  return declared;
}

// The first chunk of a PNG is its header, IHDR: width and height first.
Declared PngSize(const Bytes& data) {
  if (data.size() < 24 || data.compare(12, 4, "IHDR") != 0) return {};
  return Declared{Format::kPng, BigEndian32(data, 16), BigEndian32(data, 20)};
}

// The old OS/2 header holds 16-bit sizes; the others signed 32-bit ones,
// a negative height for rows stored top-down.
Declared BmpSize(const Bytes& data) {
  if (data.size() < 26) return {};
  if (LittleEndian32(data, 14) == 12) return Declared{Format::kBmp, LittleEndian16(data, 18), LittleEndian16(data, 20)};
  const int64_t width = static_cast<int32_t>(LittleEndian32(data, 18));
  const int64_t height = static_cast<int32_t>(LittleEndian32(data, 22));
  if (width <= 0) return {};
  return Declared{Format::kBmp, static_cast<uint64_t>(width), static_cast<uint64_t>(std::llabs(height))};
}

Declared DeclaredSize(const Bytes& data) {
  if (IsJpeg(data)) return JpegSize(data);
  if (StartsWith(data, "\x89PNG\r\n\x1A\n")) return PngSize(data);
  if (StartsWith(data, "BM")) return BmpSize(data);
  return {};
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

SDL_Surface* DecodeReducedJpeg(const Bytes& data, const Declared& declared, int wantedWidth, int wantedHeight) {
  tjhandle decoder = tjInitDecompress();
  if (decoder == nullptr) return nullptr;
  const int width = static_cast<int>(declared.width), height = static_cast<int>(declared.height);
  const tjscalingfactor scale = ReducedScale(width, height, wantedWidth, wantedHeight);
  SDL_Surface* image = SDL_CreateRGBSurface(SDL_SWSURFACE, TJSCALED(width, scale), TJSCALED(height, scale), 32,
                                            0x00FF0000, 0x0000FF00, 0x000000FF, 0);
  if (image != nullptr &&
      !Decoded(decoder, tjDecompress2(decoder, Unsigned(data), data.size(), static_cast<unsigned char*>(image->pixels),
                                      image->w, image->pitch, image->h, kPixelFormat, 0))) {
    SDL_FreeSurface(image);
    image = nullptr;
  }
  tjDestroy(decoder);
  return image;
}

// Decoded by the loader of the format the header was read for, so that no
// other loader sees the data.
SDL_Surface* DecodeWhole(const Bytes& data, Format format) {
  SDL_RWops* source = SDL_RWFromConstMem(data.data(), static_cast<int>(data.size()));
  if (source == nullptr) return nullptr;
  SDL_Surface* image = nullptr;
  switch (format) {
    case Format::kJpeg: image = IMG_LoadJPG_RW(source); break;
    case Format::kPng: image = IMG_LoadPNG_RW(source); break;
    case Format::kBmp: image = IMG_LoadBMP_RW(source); break;
    case Format::kUnknown: break;
  }
  SDL_RWclose(source);
  return image;
}

SDL_Surface* Decode(const RString& path, int wantedWidth, int wantedHeight) {
  Bytes data;
  if (!platform::ReadRegularFile(path.Chars(), kLargestImageFile, data)) {
    IMG_SetError("not a regular file of at most %u bytes", static_cast<unsigned>(kLargestImageFile));
    return nullptr;
  }
  const Declared declared = DeclaredSize(data);
  if (declared.format == Format::kUnknown) {
    IMG_SetError("not a JPEG, PNG or BMP image");
    return nullptr;
  }
  if (!Affordable(declared, CostPerPixel(declared))) {
    // SDL's formatting knows no 64-bit conversions.
    const std::string size = std::to_string(declared.width) + "x" + std::to_string(declared.height);
    IMG_SetError("declared size %s over the pixel budget", size.c_str());
    return nullptr;
  }
  if (declared.format == Format::kJpeg) {
    if (SDL_Surface* image = DecodeReducedJpeg(data, declared, wantedWidth, wantedHeight)) return image;
    // The whole decode costs more than the reduced one it stands in for.
    if (!Affordable(declared, std::max(CostPerPixel(declared), kWholeDecodeCost))) return nullptr;
  }
  return DecodeWhole(data, declared.format);
}

}  // namespace

SDL_Surface* DecodeCover(const RString& path, int width, int height) { return Decode(path, width, height); }

SDL_Surface* DecodeImage(const RString& path) { return Decode(path, INT32_MAX, INT32_MAX); }
