#include <SDL.h>
#include <gtest/gtest.h>

#include <string>

#include "CoverCatalogue.h"
#include "SDLGuiTestCabinet.h"
#include "playback/Player.h"

namespace {

const char kText[] = "Bienvenidos al karaoke";

// A catalogue of one video, the marquee text, and TV-out when a test asks
// for it before Open.
class SDLGuiMarqueeTest : public CabinetTest {
 protected:
  SDLGuiMarqueeTest() {
    GenreElement* genre = catalogue.AddGenre("Videos", 0);
    catalogue.AddTrack(catalogue.AddDisc(genre, "Clips", 0, false), "clip.mp4");
    config.marquesina = kText;
  }
  void Open() {
    ASSERT_EQ(Start(), 1) << setUpLog;
    gui.Resources().player = &player;
    gui.Display().redrawMode = SDLGui::kUpToDate;
  }
  void PlayVideo() {
    queue.AddElementToQueue(0, 0, 0);
    player.playing = 1;
  }
  std::string Draw() {
    testing::internal::CaptureStdout();
    gui.draw();
    return testing::internal::GetCapturedStdout();
  }
  void DrawAfter(uint32_t ms) {
    clock.Advance(ms);
    Draw();
  }
  SDL_Rect TextSize() {
    int w = 0, h = 0;
    gui.Writers().marqueeFont.SizeText(kText, &w, &h);
    return SDLGui::MakeRect(0, 0, w, h);
  }
  // Whether some pixel of the area differs from colour.
  bool Differs(const SDL_Rect& area, const Rgba& color) {
    for (int y = area.y; y < area.y + area.h; ++y)
      for (int x = area.x; x < area.x + area.w; ++x)
        if (!Near(ColorAt(gui.Display().screen, x, y), color)) return true;
    return false;
  }
  SDL_Rect MarqueePanel() const {
    return SDLGui::MakeRect(skin.xmarquee, skin.ymarquee, skin.wmarquee, skin.hmarquee);
  }
  void Paint(Uint8 r, Uint8 g, Uint8 b) { SDL_FillRect(gui.Display().screen, nullptr, SDL_MapRGB(gui.Display().screen->format, r, g, b)); }

  CoverCatalogue catalogue{library};
  Player player{&gui, &library, &queue, ""};
};

TEST_F(SDLGuiMarqueeTest, TextScrollsOnePixelPerStepThenReentersOnTheRight) {
  Open();
  ASSERT_GT(skin.wmarquee, 0);
  EXPECT_EQ(gui.MarqueePart().X(), 0);
  gui.MarqueePart().Drawn(clock.Ticks());
  DrawAfter(10);
  EXPECT_EQ(gui.MarqueePart().X(), 0);
  DrawAfter(1);
  EXPECT_EQ(gui.MarqueePart().X(), -1);
  EXPECT_TRUE(Differs(MarqueePanel(), Color(kSkinBlue)));
  Draw();  // at most one step per 10 ms
  EXPECT_EQ(gui.MarqueePart().X(), -1);

  const int width = TextSize().w;
  gui.MarqueePart().PlaceAt(-width + 1);
  DrawAfter(11);
  EXPECT_EQ(gui.MarqueePart().X(), -width);
  EXPECT_FALSE(Differs(MarqueePanel(), Color(kSkinBlue)));  // all of it out
  DrawAfter(11);
  EXPECT_EQ(gui.MarqueePart().X(), skin.wmarquee);
  EXPECT_EQ(gui.MarqueePart().Y(), 0);
}

// Each step shows what rendering the text afresh over the panel's piece of
// the background shows, also once the call for service has taken the
// text's place and when the text is back.
TEST_F(SDLGuiMarqueeTest, EachStepShowsTheTextAsRenderedAfresh) {
  Open();
  for (const bool needsService : {false, true, false}) {
    // Items fail in a row until the cabinet needs service; one then plays.
    for (int item = 0; item < ServiceStatus::kFailuresForService && needsService; ++item)
      gui.Service().CountFailure();
    if (!needsService) gui.Service().CountPlayed();
    gui.Service().CountPlayed();
    ASSERT_EQ(gui.Service().NeedsService(), needsService);
    for (int step = 0; step < 2; ++step) {
      DrawAfter(11);
      SDL_Surface* afresh = SDLGui::NewSurface(skin.wmarquee, skin.hmarquee);
      SDL_Rect piece = MarqueePanel();
      SDL_BlitSurface(gui.Images().background, &piece, afresh, nullptr);
      SDL_Surface* text = gui.Writers().marqueeFont.DrawText2(nullptr, gui.MarqueeText().Chars(), 0, 0, 0);
      EXPECT_NE(text, nullptr);
      SDL_Rect at = SDLGui::MakeRect(gui.MarqueePart().X(), gui.MarqueePart().Y(), 0, 0);
      SDL_BlitSurface(text, nullptr, afresh, &at);
      EXPECT_TRUE(SamePicture(gui.Images().marqueeSave, afresh)) << "needs service " << needsService << ", step " << step;
      SDL_FreeSurface(text);
      SDL_FreeSurface(afresh);
    }
  }
}

// Touch cabinets show the marquee over a full-screen video in a black strip
// with the back button; others show none.
TEST_F(SDLGuiMarqueeTest, FullScreenVideoGetsTheStripOnlyOnTouchCabinets) {
  Open();
  PlayVideo();
  Paint(255, 0, 0);
  DrawAfter(11);
  EXPECT_EQ(ColorAt(gui.Display().screen, 5, 95), Opaque(255, 0, 0));
  EXPECT_EQ(ColorAt(gui.Display().screen, skin.xmarquee + 1, skin.ymarquee + 1), Opaque(255, 0, 0));

  config.touchscreen = true;
  DrawAfter(11);
  EXPECT_EQ(ColorAt(gui.Display().screen, 5, 95), Opaque(0, 0, 0));
  EXPECT_PRED2(Near, ColorAt(gui.Display().screen, 930, 5), Opaque(16, 16, 16));
  EXPECT_EQ(ColorAt(gui.Display().screen, 5, 100), Opaque(255, 0, 0));
}

class SDLGuiTvOutTest : public SDLGuiMarqueeTest {
 protected:
  void SetUp() override {
    config.tvout = 1;
    config.tvoutxres = 320;
    config.tvoutyres = 240;
    const std::pair<const char*, Rgba> ads[] = {
        {"publicidad/b.jpg", Opaque(0, 200, 0)},
        {"publicidad/A.jpg", Opaque(200, 0, 0)},
        {"publicidad/c.jpg", Opaque(0, 0, 200)}};
    std::filesystem::create_directories("publicidad");
    for (const auto& [file, color] : ads) {
      SDL_Surface* image = FilledSurface(320, 240, std::get<0>(color), std::get<1>(color), std::get<2>(color));
      SDL_SaveBMP(image, file);
      SDL_FreeSurface(image);
    }
    Open();
  }
  // A point of the TV picture clear of the bouncing text.
  Rgba TvCorner() { return ColorAt(gui.Display().screen, 1024 + 319, 239); }
  SDL_Rect TextArea() {
    SDL_Rect area = TextSize();
    area.x = static_cast<Sint16>(1024 + gui.MarqueePart().TvX());
    area.y = static_cast<Sint16>(gui.MarqueePart().TvY());
    return area;
  }
};

TEST_F(SDLGuiTvOutTest, TextBouncesTwoPixelsPerStepAtTheEdges) {
  const SDL_Rect text = TextSize();
  gui.MarqueePart().PlaceTvText(320 - text.w - 1, 240 - text.h - 1);
  gui.MarqueePart().TvMoved(clock.Ticks());
  DrawAfter(5);
  EXPECT_EQ(gui.MarqueePart().TvX(), 320 - text.w - 1);
  DrawAfter(1);
  EXPECT_EQ(gui.MarqueePart().TvX(), 320 - text.w + 1);
  EXPECT_EQ(gui.MarqueePart().TvY(), 240 - text.h + 1);
  EXPECT_TRUE(gui.MarqueePart().TvGoesLeft());
  EXPECT_TRUE(gui.MarqueePart().TvGoesUp());
  EXPECT_TRUE(Differs(TextArea(), Color(kTvYellow)));
  DrawAfter(6);
  EXPECT_EQ(gui.MarqueePart().TvX(), 320 - text.w - 1);
  EXPECT_EQ(gui.MarqueePart().TvY(), 240 - text.h - 1);

  gui.MarqueePart().PlaceTvText(2, gui.MarqueePart().TvY());
  DrawAfter(6);
  EXPECT_EQ(gui.MarqueePart().TvX(), 0);
  EXPECT_FALSE(gui.MarqueePart().TvGoesLeft());
  DrawAfter(6);
  EXPECT_EQ(gui.MarqueePart().TvX(), 2);
}

TEST_F(SDLGuiTvOutTest, AdvertisingChangesEveryFiveMinutesInListingOrder) {
  EXPECT_PRED2(Near, TvCorner(), Color(kTvYellow));
  clock.Advance(300000);
  Draw();
  EXPECT_PRED2(Near, TvCorner(), Color(kTvYellow));
  clock.Advance(1);
  const std::string log = Draw();
  EXPECT_EQ(log, "Cambiando imagen publicitaria\nNueva imagen publicitaria: publicidad/A.jpg\n");
  EXPECT_EQ(TvCorner(), Opaque(200, 0, 0));
  for (const Rgba& next : {Opaque(0, 200, 0), Opaque(0, 0, 200), Opaque(200, 0, 0)}) {
    clock.Advance(300001);
    Draw();
    EXPECT_EQ(TvCorner(), next);
  }
}

TEST_F(SDLGuiTvOutTest, VideoAtTheHeadKeepsThePictureWaiting) {
  PlayVideo();
  const uint32_t tick = gui.MarqueePart().TvMovedAt();
  clock.Advance(300001);
  EXPECT_EQ(Draw().find("Cambiando"), std::string::npos);
  EXPECT_EQ(gui.MarqueePart().TvMovedAt(), tick);
  queue.Remove(0);
  EXPECT_NE(Draw().find("Cambiando"), std::string::npos);
}

}  // namespace
