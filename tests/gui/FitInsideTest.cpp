#include "gui/FitInside.h"

#include <gtest/gtest.h>

#include <vector>

TEST(FitInside, KeepsTheProportionsCentredInThePlace) {
  const struct {
    int width, height, boxWidth, boxHeight;
    std::vector<int> fit;  // x, y, w, h
  } cases[] = {
      {1920, 1080, 400, 300, {0, 37, 400, 225}},  // 16:9 in 4:3: bands above and below
      {300, 600, 400, 300, {125, 0, 150, 300}},   // portrait: bands at the sides
      {800, 600, 400, 300, {0, 0, 400, 300}},     // the place's own shape fills it
      {10000, 1, 40, 30, {0, 14, 40, 1}},         // never thinner than a pixel
      {0, 0, 40, 30, {0, 0, 40, 30}},             // no size: the whole place
  };
  for (const auto& c : cases) {
    const FitRect fit = FitInside(c.width, c.height, c.boxWidth, c.boxHeight);
    EXPECT_EQ((std::vector<int>{fit.x, fit.y, fit.w, fit.h}), c.fit) << c.width << "x" << c.height;
  }
}
