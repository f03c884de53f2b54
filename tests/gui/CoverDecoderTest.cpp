#include "gui/CoverDecoder.h"

#include <SDL.h>
#include <gtest/gtest.h>
#include <turbojpeg.h>

#include <string>
#include <vector>

#include "Surfaces.h"
#include "support/Files.h"
#include "support/TempDir.h"

namespace {

// A JPEG of one colour, width x height.
std::string SolidJpeg(int width, int height, unsigned char r, unsigned char g, unsigned char b) {
  std::vector<unsigned char> pixels;
  for (int i = 0; i < width * height; ++i) pixels.insert(pixels.end(), {r, g, b});
  tjhandle encoder = tjInitCompress();
  unsigned char* jpeg = nullptr;
  unsigned long size = 0;
  tjCompress2(encoder, pixels.data(), width, 0, height, TJPF_RGB, &jpeg, &size, TJSAMP_420, 90, 0);
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
      {"eighth of a large scan", SolidJpeg(4000, 4000, 200, 40, 60), 150, 150, 500, 500},
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

}  // namespace
