#include "gui/FitInside.h"

#include <gtest/gtest.h>

namespace {

TEST(FitInside, KeepsTheProportionsCentredInThePlace) {
  const struct {
    int width, height, boxWidth, boxHeight;
    FitRect expected;
  } cases[] = {
      {1920, 1080, 400, 300, {0, 37, 400, 225}},  // 16:9 in 4:3: bars above and below
      {300, 600, 400, 300, {125, 0, 150, 300}},   // portrait: bars at the sides
      {800, 600, 400, 300, {0, 0, 400, 300}},     // the place's own shape fills it
      {500, 500, 401, 300, {50, 0, 300, 300}},
      {100, 1, 40, 300, {0, 149, 40, 1}},   // never thinner than a pixel
      {10000, 1, 40, 30, {0, 14, 40, 1}},
      {0, 0, 40, 30, {0, 0, 40, 30}},       // no size: the whole place
  };
  for (const auto& c : cases) {
    const FitRect fit = FitInside(c.width, c.height, c.boxWidth, c.boxHeight);
    EXPECT_EQ((std::vector<int>{fit.x, fit.y, fit.w, fit.h}),
              (std::vector<int>{c.expected.x, c.expected.y, c.expected.w, c.expected.h}))
        << c.width << "x" << c.height << " in " << c.boxWidth << "x" << c.boxHeight;
  }
}

// A 16:9 cover scaled for a 4:3 place shows black bars above and below.
TEST(FitInside, CoverScaledForItsPlaceIsLetterboxed) {
  SDL_Surface* wide = SDL_CreateRGBSurface(SDL_SWSURFACE, 160, 90, 32, 0xFF0000, 0xFF00, 0xFF, 0);
  SDL_FillRect(wide, nullptr, SDL_MapRGB(wide->format, 255, 255, 255));
  SDL_Surface* boxed = Letterboxed(wide, 160, 120);
  ASSERT_NE(boxed, nullptr);
  const auto pixel = [&](int x, int y) {
    return static_cast<const uint32_t*>(boxed->pixels)[y * boxed->pitch / 4 + x] & 0xFFFFFF;
  };
  EXPECT_EQ(pixel(80, 5), 0u);
  EXPECT_EQ(pixel(80, 60), 0xFFFFFFu);
  EXPECT_EQ(pixel(80, 114), 0u);
  SDL_FreeSurface(boxed);
}

}  // namespace
