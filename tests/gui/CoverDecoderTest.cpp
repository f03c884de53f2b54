#include "gui/CoverDecoder.h"

#include <SDL.h>
#include <gtest/gtest.h>
#include <SDL_image.h>
#include <turbojpeg.h>

#include <string>
#include <vector>

#include "Surfaces.h"
#include "support/Files.h"
#include "support/HostileFiles.h"
#include "support/Png.h"
#include "support/TempDir.h"

namespace {

// A JPEG of one colour, width x height.
std::string SolidJpeg(int width, int height, unsigned char r, unsigned char g, unsigned char b, int flags = 0) {
  std::vector<unsigned char> pixels;
  for (int i = 0; i < width * height; ++i) pixels.insert(pixels.end(), {r, g, b});
  tjhandle encoder = tjInitCompress();
  unsigned char* jpeg = nullptr;
  unsigned long size = 0;
  tjCompress2(encoder, pixels.data(), width, 0, height, TJPF_RGB, &jpeg, &size, TJSAMP_420, 90, flags);
  std::string data(reinterpret_cast<char*>(jpeg), size);
  tjFree(jpeg);
  tjDestroy(encoder);
  return data;
}

std::string BmpOf(int width, int height) {
  SDL_Surface* surface = FilledSurface(width, height, 200, 40, 60);
  SDL_SaveBMP(surface, "made.bmp");
  SDL_FreeSurface(surface);
  return ReadHostFile("made.bmp");
}

bool NearColour(const Rgba& a, const Rgba& b) {
  return std::abs(std::get<0>(a) - std::get<0>(b)) <= 8 && std::abs(std::get<1>(a) - std::get<1>(b)) <= 8 &&
         std::abs(std::get<2>(a) - std::get<2>(b)) <= 8;
}

// A JPEG comes at the smallest reduced scale that still fills the size
// asked for, never enlarged; other images, and a JPEG the reduced decode
// refuses, whole; a cut-short JPEG as far as it goes.
TEST(CoverDecoder, DecodesAtTheSmallestScaleThatFillsTheSize) {
  TempDir dir;
  const std::string scan = SolidJpeg(1000, 800, 200, 40, 60);
  struct Case {
    const char* name;
    std::string data;
    int width, height;
    int expectedWidth, expectedHeight;
  } cases[] = {
      {"quarter", scan, 150, 120, 250, 200},
      {"whole width needed", scan, 1000, 10, 1000, 800},
      {"eighth of a large scan", SolidJpeg(2400, 2400, 200, 40, 60), 150, 150, 300, 300},
      {"small cover kept small", SolidJpeg(100, 80, 200, 40, 60), 150, 120, 100, 80},
      {"bitmap named jpg", BmpOf(300, 200), 150, 120, 300, 200},
      {"cut short", scan.substr(0, scan.size() / 2), 150, 120, 250, 200},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WriteHostFile("cover.jpg", c.data);
    SDL_Surface* image = DecodeCover("cover.jpg", c.width, c.height);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->w, c.expectedWidth);
    EXPECT_EQ(image->h, c.expectedHeight);
    EXPECT_TRUE(NearColour(ColorAt(image, 0, 0), Opaque(200, 40, 60)));
    SDL_FreeSurface(image);
  }
}

TEST(CoverDecoder, DamagedJpegIsNotDecoded) {
  TempDir dir;
  WriteHostFile("cover.jpg", "\xFF\xD8\xFF\xE0 not a picture");
  EXPECT_EQ(DecodeCover("cover.jpg", 150, 120), nullptr);
  EXPECT_EQ(DecodeCover("missing.jpg", 150, 120), nullptr);
}

// A GIF of one white pixel.
const std::string kGif("GIF89a\x01\x00\x01\x00\x80\x00\x00\x00\x00\x00\xFF\xFF\xFF!\xF9\x04\x01\x00\x00\x00\x00"
                       ",\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00;",
                       43);

std::string WithBytes(std::string data, size_t at, const std::string& bytes) { return data.replace(at, bytes.size(), bytes); }

// A JPEG whose frame header (of the marker given) declares more pixels
// than it holds: height and width, big-endian.
std::string JpegDeclaring(const char* frameMarker, int flags, const std::string& size) {
  const std::string jpeg = SolidJpeg(16, 16, 200, 40, 60, flags);
  return WithBytes(jpeg, jpeg.find(frameMarker) + 5, size);
}

// A file of a folder others write: whatever it is, it is not decoded, and
// nothing waits, throws or runs out of memory.
TEST(CoverDecoder, SpecialAndOversizeFilesAreNotDecoded) {
  for (const HostileFile& hostile : HostileFiles(kLargestImageFile + 1)) {
    SCOPED_TRACE(hostile.kind);
    TempDir dir;
    hostile.make("cover.jpg");
    EXPECT_EQ(DecodeCover("cover.jpg", 150, 120), nullptr);
    EXPECT_EQ(DecodeImage("cover.jpg"), nullptr);
  }
}

// An image is decoded only when the size its header declares is within the
// budget, whatever its file's size; a format whose size is not read is not
// decoded at all.
TEST(CoverDecoder, ImagesDeclaringTooManyPixelsAreRefusedBeforeDecoding) {
  TempDir dir;
  const std::string bmp = BmpOf(30, 20);
  struct Case {
    const char* name;
    std::string data;
    int expectedWidth;  // 0: refused
  } cases[] = {
      {"png", SolidPng(30, 20, 30, 20), 30},
      {"png declaring 15000 x 15000", SolidPng(30, 20, 15000, 15000), 0},
      {"png of 2100 x 2100", SolidPng(2100, 2100, 2100, 2100), 2100},
      {"png declaring 2900 x 2900", SolidPng(30, 20, 2900, 2900), 0},
      {"jpeg declaring 15000 x 15000", JpegDeclaring("\xFF\xC0", 0, "\x3A\x98\x3A\x98"), 0},
      {"jpeg declaring 4200 x 4200", JpegDeclaring("\xFF\xC0", 0, "\x10\x68\x10\x68"), 0},
      {"progressive jpeg declaring 2100 x 2100", JpegDeclaring("\xFF\xC2", TJFLAG_PROGRESSIVE, "\x08\x34\x08\x34"), 0},
      {"gif, whose decoder falls over on hostile files", kGif, 0},
      {"bmp", bmp, 30},
      {"bmp of 40000 x 40000", WithBytes(bmp, 18, std::string("\x40\x9C\0\0\x40\x9C\0\0", 8)), 0},
      {"bmp of 1000 x 40000 top-down", WithBytes(WithBytes(bmp, 18, std::string("\xE8\x03\0\0", 4)), 22, "\xC0\x63\xFF\xFF"), 0},
      {"tiff", std::string("II*\0\x08\0\0\0", 8) + std::string(64, '\0'), 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WriteHostFile("cover.jpg", c.data);
    for (SDL_Surface* image : {DecodeCover("cover.jpg", 150, 120), DecodeImage("cover.jpg")}) {
      EXPECT_EQ(image != nullptr ? image->w : 0, c.expectedWidth) << IMG_GetError();
      SDL_FreeSurface(image);
    }
  }
  WriteHostFile("cover.jpg", JpegDeclaring("\xFF\xC0", 0, "\x3A\x98\x3A\x98"));
  EXPECT_EQ(DecodeCover("cover.jpg", 150, 120), nullptr);
  EXPECT_STREQ(IMG_GetError(), "declared size 15000x15000 over the pixel budget");
}

}  // namespace
