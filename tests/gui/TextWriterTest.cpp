#include "gui/fontsdl.h"

#include <gtest/gtest.h>

#include <string>

#include "Surfaces.h"

namespace {

class TextWriterTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError(); }

  void SetUp() override { ASSERT_TRUE(writer_.LoadFont(kTestFont, kWhite, 24)); }

  int WidthOf(const char* text) {
    int w = 0;
    int h = 0;
    EXPECT_TRUE(writer_.SizeText(text, &w, &h));
    return w;
  }

  // Width of what DrawText2 renders for text within maxWidth.
  int DrawnWidth(const char* text, unsigned maxWidth) {
    SDL_Surface* drawn = writer_.DrawText2(nullptr, text, 0, 0, maxWidth);
    if (drawn == nullptr) return -1;
    const int w = drawn->w;
    SDL_FreeSurface(drawn);
    return w;
  }

  // Whether text renders exactly like the given UCS-2 characters.
  bool RendersAs(const char* text, const Uint16* chars) {
    SDL_Surface* drawn = writer_.DrawText2(nullptr, text, 0, 0, 0);
    SDL_Surface* expected = TTF_RenderUNICODE_Blended(writer_.GetFont(), chars, kWhite);
    const bool same = drawn != nullptr && expected != nullptr && SamePicture(drawn, expected);
    SDL_FreeSurface(drawn);
    SDL_FreeSurface(expected);
    return same;
  }

  static constexpr SDL_Color kWhite = {255, 255, 255, 0};
  SDL_TTFWriter writer_;
};

TEST_F(TextWriterTest, LoadedFont) {
  ASSERT_NE(writer_.GetFont(), nullptr);
  EXPECT_EQ(writer_.GetFontHeight(), TTF_FontHeight(writer_.GetFont()));
  EXPECT_GT(writer_.GetFontHeight(), 0);
}

TEST_F(TextWriterTest, WriterWithoutFontDrawsNothing) {
  SDL_TTFWriter missing;
  testing::internal::CaptureStdout();
  EXPECT_FALSE(missing.LoadFont("fonts\\nothere.ttf", kWhite, 24));
  EXPECT_EQ(missing.DrawText2(nullptr, "Hola", 0, 0, 50), nullptr);
  const std::string log = testing::internal::GetCapturedStdout();
  EXPECT_EQ(log.rfind("TTF_OpenFont: ", 0), 0u) << log;
  EXPECT_NE(log.find("\nError al crear texto: "), std::string::npos) << log;
  EXPECT_EQ(missing.GetFont(), nullptr);
  int w = -1;
  EXPECT_FALSE(missing.SizeText("Hola", &w, nullptr));
  EXPECT_EQ(w, 0);
}

TEST_F(TextWriterTest, ShorteningIsStrictlyNarrowerThanMaxWidth) {
  const char* text = "Cumbia del sol";
  const int full = WidthOf(text);
  EXPECT_EQ(DrawnWidth(text, 0), full);
  EXPECT_EQ(DrawnWidth(text, full + 1), full);
  EXPECT_EQ(DrawnWidth(text, full), WidthOf("Cumbia del so"));

  const int upToDel = WidthOf("Cumbia del");
  EXPECT_EQ(DrawnWidth(text, upToDel + 1), upToDel);
  EXPECT_EQ(DrawnWidth(text, upToDel), WidthOf("Cumbia de"));
  // The first character always stays, however narrow the box.
  EXPECT_EQ(DrawnWidth("W", 1), WidthOf("W"));
  EXPECT_EQ(DrawnWidth("Wide", 1), WidthOf("W"));
}

TEST_F(TextWriterTest, LongTextsAreCutTo511Characters) {
  const std::string longText(600, 'i');
  EXPECT_EQ(DrawnWidth(longText.c_str(), 0), WidthOf(std::string(511, 'i').c_str()));
  EXPECT_GT(WidthOf(longText.c_str()), WidthOf(std::string(511, 'i').c_str()));
}

TEST_F(TextWriterTest, DrawsOntoTargetAtPosition) {
  SDL_Surface* target = FilledSurface(200, 60, 0, 0, 0);
  EXPECT_EQ(writer_.DrawText2(target, "H", 100, 10, 0), target);
  bool leftTouched = false;
  bool rightTouched = false;
  for (int y = 0; y < target->h; ++y)
    for (int x = 0; x < target->w; ++x)
      if (ColorAt(target, x, y) != Opaque(0, 0, 0)) (x < 100 ? leftTouched : rightTouched) = true;
  EXPECT_FALSE(leftTouched);
  EXPECT_TRUE(rightTouched);
  SDL_FreeSurface(target);
}

TEST_F(TextWriterTest, Windows1252LettersRenderAsTheirUnicodeCharacters) {
  const Uint16 euro[] = {0x20AC, 0};
  const Uint16 latin1Control[] = {0x0080, 0};
  const Uint16 question[] = {'?', 0};
  EXPECT_TRUE(RendersAs("\x80", euro));
  EXPECT_FALSE(RendersAs("\x80", latin1Control));
  EXPECT_FALSE(RendersAs("\x80", question));

  const Uint16 quoted[] = {0x201C, 'S', 0xED, 0x201D, 0};
  EXPECT_TRUE(RendersAs("\x93S\xED\x94", quoted));

  int w = 0;
  int h = 0;
  TTF_SizeUNICODE(writer_.GetFont(), quoted, &w, &h);
  EXPECT_EQ(WidthOf("\x93S\xED\x94"), w);
}

}  // namespace
