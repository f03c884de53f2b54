#include "gui/ListBox.h"

#include <gtest/gtest.h>

#include <string>

#include "Surfaces.h"

namespace {

constexpr SDL_Color kGreen = {0, 255, 0, 0};

class ListBoxTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError(); }

  void SetUp() override {
    ASSERT_TRUE(writer_.LoadFont(kTestFont, {255, 255, 255, 0}, 20));
    rowHeight_ = writer_.GetFontHeight();
  }

  static void AddItems(ListBox& list, int count) {
    for (int i = 0; i < count; ++i) list.AddItem(("Tema " + std::to_string(i)).c_str());
  }

  // A list rectangle with room for the given rows and half a row more.
  SDL_Rect RectForRows(int rows) {
    return {10, 20, 300, static_cast<Uint16>(rows * rowHeight_ + rowHeight_ / 2)};
  }

  // Draws the list over a black backdrop.
  static void DrawOnBlack(ListBox& list, bool highlight = false) {
    SDL_FillRect(list.GetSurface(), nullptr, 0);
    list.Draw(nullptr, highlight);
  }
  // Whether the list's surface shows the (green) bar colour at (x, y).
  static bool BarAt(ListBox& list, int x, int y) {
    return ColorAt(list.GetSurface(), x, y) == Opaque(0, 255, 0);
  }

  SDL_TTFWriter writer_;
  int rowHeight_ = 0;
};

TEST_F(ListBoxTest, SelectionScrollsTheView) {
  ListBox list(RectForRows(4), &writer_);
  ASSERT_EQ(list.GetNVisibles(), 4);
  AddItems(list, 10);
  EXPECT_EQ(list.GetSelected(), 0);

  list.SetSelected(3);
  EXPECT_EQ(list.primerVisible, 3);
  list.SetSelected(8);
  EXPECT_EQ(list.primerVisible, 6);
  list.SetSelected(10);  // out of the list: ignored
  EXPECT_EQ(list.GetSelected(), 8);
  list.SetSelected(-2);
  EXPECT_EQ(list.GetSelected(), 8);

  list.Down();
  list.Down();
  EXPECT_EQ(list.GetSelected(), 9);
  EXPECT_EQ(list.primerVisible, 6);

  list.SetSelected(0);
  list.Down();
  list.Down();
  list.Down();
  EXPECT_EQ(list.primerVisible, 0);
  list.Down();
  EXPECT_EQ(list.GetSelected(), 4);
  EXPECT_EQ(list.primerVisible, 1);

  list.SetSelected(2);
  EXPECT_EQ(list.primerVisible, 2);
  list.Up();
  EXPECT_EQ(list.GetSelected(), 1);
  EXPECT_EQ(list.primerVisible, 1);
  list.SetSelected(0);
  list.Up();
  EXPECT_EQ(list.GetSelected(), 0);
}

TEST_F(ListBoxTest, ShortListNeverScrolls) {
  ListBox list(RectForRows(4), &writer_);
  list.SetVerticalBarColor(kGreen);
  AddItems(list, 3);
  list.SetSelected(2);
  EXPECT_EQ(list.primerVisible, 0);
  DrawOnBlack(list);
  EXPECT_FALSE(BarAt(list, 295, list.rect.h - 1));
  EXPECT_TRUE(BarAt(list, 295, 2 * rowHeight_));  // the selection bar
}

TEST_F(ListBoxTest, ScrollBarGeometry) {
  ListBox list({0, 0, 300, 200}, &writer_);
  // Padding that leaves room for exactly five rows.
  list.SetPadding(0, (200 - 5 * rowHeight_) / 2);
  ASSERT_EQ(list.GetNVisibles(), 5);
  list.SetVerticalBarColor(kGreen);
  AddItems(list, 20);

  list.SetSelected(15);
  EXPECT_EQ(list.primerVisible, 15);
  DrawOnBlack(list);
  EXPECT_FALSE(BarAt(list, 279, 170));
  EXPECT_FALSE(BarAt(list, 290, 149));
  EXPECT_TRUE(BarAt(list, 280, 150));
  EXPECT_TRUE(BarAt(list, 299, 199));

  list.SetSelected(0);
  DrawOnBlack(list);
  EXPECT_TRUE(BarAt(list, 290, 0));
  EXPECT_TRUE(BarAt(list, 290, 49));
  EXPECT_FALSE(BarAt(list, 290, 50 + rowHeight_));
}

TEST_F(ListBoxTest, NoSelectionTurnsTheScrollBarOffForGood) {
  ListBox list(RectForRows(4), &writer_);
  list.SetVerticalBarColor(kGreen);
  list.SetSelected(-1);  // allowed on an empty list
  EXPECT_FALSE(list.showBar);
  AddItems(list, 10);
  DrawOnBlack(list);
  for (int y = 0; y < list.rect.h; ++y) ASSERT_FALSE(BarAt(list, 295, y)) << y;

  list.SetSelected(0);
  DrawOnBlack(list);
  EXPECT_FALSE(list.showBar);
  EXPECT_TRUE(BarAt(list, 295, 0));  // selection bar only
  EXPECT_FALSE(BarAt(list, 295, list.rect.h - 1));
}

TEST_F(ListBoxTest, HighlightAllLastsUntilTheSelectionChanges) {
  ListBox list(RectForRows(4), &writer_);
  list.SetVerticalBarColor(kGreen);
  AddItems(list, 10);
  DrawOnBlack(list, true);
  EXPECT_TRUE(list.highlightAll);
  EXPECT_TRUE(BarAt(list, 0, list.rect.h - 1));
  list.Down();
  EXPECT_FALSE(list.highlightAll);
  list.Draw(nullptr, true);
  list.SetSelected(50);
  EXPECT_FALSE(list.highlightAll);
  list.Draw(nullptr, true);
  list.Free();
  EXPECT_FALSE(list.highlightAll);
}

TEST_F(ListBoxTest, RowsAreDrawnFromTheFirstVisibleItem) {
  ListBox list(RectForRows(4), &writer_);
  list.SetPadding(6, 4);
  AddItems(list, 10);
  list.SetSelected(-1);
  list.primerVisible = 5;
  DrawOnBlack(list);

  SDL_Surface* expected = FilledSurface(list.rect.w, list.rect.h, 0, 0, 0);
  for (int row = 0; row < list.GetNVisibles(); ++row)
    writer_.DrawText2(expected, list.GetItem(5 + row), 6, 4 + row * rowHeight_, 300 - 12);
  EXPECT_TRUE(SamePicture(list.GetSurface(), expected));
  SDL_FreeSurface(expected);
}

TEST_F(ListBoxTest, SavedBackgroundIsTheBackdrop) {
  SDL_Surface* screen = FilledSurface(400, 300, 0, 0, 0);
  const SDL_Rect rect = RectForRows(4);
  SDL_Rect under = rect;
  SDL_FillRect(screen, &under, SDL_MapRGB(screen->format, 0, 0, 200));

  ListBox list(rect, &writer_);
  list.SaveBackground(screen, nullptr);
  AddItems(list, 10);
  list.Draw(screen, false);
  list.Free();
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.GetSelected(), -1);
  EXPECT_EQ(list.primerVisible, 0);
  SDL_FillRect(screen, nullptr, 0);
  list.Draw(screen, false);
  for (int y = 0; y < rect.h; ++y)
    for (int x = 0; x < rect.w; ++x)
      ASSERT_EQ(ColorAt(screen, rect.x + x, rect.y + y), Opaque(0, 0, 200)) << x << "," << y;
  EXPECT_EQ(ColorAt(screen, rect.x - 1, rect.y), Opaque(0, 0, 0));

  SDL_Rect elsewhere = {0, 0, rect.w, rect.h};  // now black
  list.SaveBackground(screen, &elsewhere);
  list.Draw(nullptr, false);
  EXPECT_EQ(ColorAt(list.GetSurface(), 5, 5), Opaque(0, 0, 0));
  SDL_FreeSurface(screen);
}

TEST_F(ListBoxTest, ItemsAreOwnedCopies) {
  ListBox list(RectForRows(4), &writer_);
  std::string text = "Bolero";
  list.AddItem(text.c_str());
  list.AddItem(RString());
  text[0] = 'X';
  EXPECT_STREQ(list.GetItem(0), "Bolero");
  EXPECT_STREQ(list.GetItem(1), "");
  list.SetItem("Son", 0);
  list.SetItem("Nada", 5);
  EXPECT_STREQ(list.GetItem(0), "Son");
  EXPECT_EQ(list.GetItem(5), nullptr);
  EXPECT_EQ(list.Count(), 2);
}

TEST_F(ListBoxTest, MustMoveWhenWiderThanTheRowLessTheBar) {
  const char* text = "Una canci\xF3n con un nombre largo";
  int width = 0;
  writer_.SizeText(text, &width, nullptr);
  ListBox fits({0, 0, static_cast<Uint16>(width + 20), 40}, &writer_);
  ListBox tooNarrow({0, 0, static_cast<Uint16>(width + 19), 40}, &writer_);
  EXPECT_FALSE(fits.MustMove(text));
  EXPECT_TRUE(tooNarrow.MustMove(text));
}

TEST_F(ListBoxTest, PaddingAndAFontThatFailedToLoad) {
  ListBox list({10, 20, 300, 200}, &writer_);
  list.SetPadding(20, 65);
  EXPECT_EQ(list.innerRect.x, 30);
  EXPECT_EQ(list.innerRect.y, 85);
  EXPECT_EQ(list.innerRect.w, 260);
  EXPECT_EQ(list.innerRect.h, 70);
  EXPECT_EQ(list.GetNVisibles(), 70 / rowHeight_);

  SDL_TTFWriter noFont;
  ListBox empty({0, 0, 100, 100}, &noFont);
  EXPECT_EQ(empty.GetNVisibles(), 0);
  empty.AddItem("x");
  testing::internal::CaptureStdout();
  empty.Draw(nullptr, false);
  testing::internal::GetCapturedStdout();
  EXPECT_FALSE(empty.MustMove("x"));
}

}  // namespace
