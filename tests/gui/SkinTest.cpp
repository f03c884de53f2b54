#include "gui/Skin.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "platform/Processes.h"
#include "support/Files.h"
#include "support/TempDir.h"

namespace {

// Every rectangle in the order of the worked tables: genre, titles, covers,
// coverseparation, wcover, trackslist, info, credits, genreslist, abclist,
// queue, media, volumen, marquee.
std::vector<int32_t> Layout(const Skin& s) {
  return {s.xgenre, s.ygenre, s.wgenre, s.hgenre,
          s.xtitles, s.ytitles, s.wtitles, s.htitles,
          s.xcovers, s.ycovers, s.wcovers, s.hcovers, s.coverseparation, s.wcover,
          s.xtrackslist, s.ytrackslist, s.wtrackslist, s.htrackslist,
          s.xinfo, s.yinfo, s.winfo, s.hinfo,
          s.xcredits, s.ycredits, s.wcredits, s.hcredits,
          s.xgenreslist, s.ygenreslist, s.wgenreslist, s.hgenreslist,
          s.xabclist, s.yabclist, s.wabclist, s.habclist,
          s.xqueue, s.yqueue, s.wqueue, s.hqueue,
          s.xmedia, s.ymedia, s.wmedia, s.hmedia,
          s.xvolumen, s.yvolumen, s.wvolumen, s.hvolumen,
          s.xmarquee, s.ymarquee, s.wmarquee, s.hmarquee};
}

const char kMissingSkinMessage[] =
    "Error al abrir el archivo de coordenadas del skin, se usaran valores por default\n";

class SkinTest : public ::testing::Test {
 protected:
  // A 1024 × 768 skin laid out with the given "skins/skin.txt".
  Skin WithSkinFile(const std::string& contents, uint16_t w = 1024, uint16_t h = 768) {
    WriteHostFile("skins/skin.txt", contents);
    Skin skin(w, h, 1);
    skin.CalculateCoordinates(1, 0, 0);
    return skin;
  }

  TempDir dir_;
};

TEST_F(SkinTest, DefaultsAt800x600WithoutSkinFile) {
  Skin skin(0, 0, 1);
  EXPECT_EQ(skin.width, 800);
  EXPECT_EQ(skin.height, 600);
  EXPECT_EQ(skin.name, "skin");
  testing::internal::CaptureStdout();
  skin.CalculateCoordinates(1, 0, 0);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), kMissingSkinMessage);
  const std::vector<int32_t> expected = {
      8, 6, 783, 30,  8, 35, 783, 17,  8, 60, 783, 179, 8, 189,  8, 270, 189, 120,
      8, 450, 189, 120,  663, 563, 112, 17,  200, 180, 400, 240,  281, 180, 239, 240,
      600, 300, 200, 89,  281, 419, 239, 150,  160, 575, 479, 12,  320, 30, 400, 60};
  EXPECT_EQ(Layout(skin), expected);
}

TEST_F(SkinTest, DefaultsAt1024x768) {
  Skin skin(1024, 768, 1);
  skin.SetDefaultCoordsSkin4();
  const std::vector<int32_t> expected = {
      10, 7, 1003, 38,  10, 46, 1003, 23,  10, 76, 1003, 230, 10, 243,  10, 345, 243, 153,
      10, 576, 243, 153,  849, 721, 143, 23,  256, 231, 512, 307,  359, 231, 307, 307,
      768, 384, 256, 115,  359, 537, 307, 192,  204, 737, 614, 15,  409, 38, 512, 76};
  EXPECT_EQ(Layout(skin), expected);
}

TEST_F(SkinTest, SkinFileValuesAreSinglePrecisionFractions) {
  EXPECT_EQ(WithSkinFile("wgenre=0.5\n").wgenre, 512);
  EXPECT_EQ(WithSkinFile("wgenre=0.98\n").wgenre, 1003);
  EXPECT_EQ(WithSkinFile("ygenre=0.5\n").ygenre, 384);
  // 0.3f lies above 0.3 and the double 0.3 below it: 300, not 299.
  EXPECT_EQ(WithSkinFile("xgenre=0.3\n", 1000, 1000).xgenre, 300);
  EXPECT_EQ(WithSkinFile("xgenre=-0.1\r\n").xgenre, -102);  // toward zero
  EXPECT_EQ(WithSkinFile("xgenre=2\n").xgenre, 2048);
}

TEST_F(SkinTest, MarqueeVerticalValuesAreFractionsOfTheWidth) {
  const Skin skin = WithSkinFile("ymarquee=0.5\nhmarquee=0.1\n");
  EXPECT_EQ(skin.ymarquee, 512);
  EXPECT_EQ(skin.hmarquee, 102);
}

// The demo cabinet fitted to each common cabinet screen: the marquee lies in
// its frame at the bottom, below the volume bar and inside the screen, and
// the fonts grow with the screen's height; other settings stay.
TEST_F(SkinTest, DemoSkinFitsEachScreen) {
  const struct {
    uint16_t width, height;
    const char* marqueeFont;
  } screens[] = {{1024, 768, "marquee_size=24\n"},
                 {1280, 1024, "marquee_size=32\n"},
                 {1366, 768, "marquee_size=24\n"},
                 {1920, 1080, "marquee_size=34\n"}};
  for (const auto& screen : screens) {
    const std::string size = std::to_string(screen.width) + "x" + std::to_string(screen.height);
    SCOPED_TRACE(size);
    WriteHostFile("configuration", "marquee_size=24\nplaymode=jukebox\n");
    ASSERT_EQ(platform::RunAndWait({"/usr/bin/python3", MELODECK_SOURCE_DIR "/demo/make_assets.py", "fit", ".", size}),
              0);
    Skin skin(screen.width, screen.height, 1);
    skin.CalculateCoordinates(1, 0, 0);
    EXPECT_GE(skin.ymarquee, skin.yvolumen + skin.hvolumen);
    EXPECT_LE(skin.ymarquee + skin.hmarquee, screen.height);
    EXPECT_LE(skin.xmarquee + skin.wmarquee, screen.width);
    EXPECT_GE(skin.hmarquee, screen.height / 30);
    const std::string settings = ReadHostFile("configuration");
    EXPECT_NE(settings.find("playmode=jukebox\n"), std::string::npos);
    EXPECT_NE(settings.find(screen.marqueeFont), std::string::npos) << settings;
    EXPECT_NE(settings.find("ancho=" + std::to_string(screen.width) + "\n"), std::string::npos);
  }
}

TEST_F(SkinTest, DependentValuesAfterTheFile) {
  const Skin covers = WithSkinFile("wcovers=0.9\n");
  EXPECT_EQ(covers.wcovers, 921);
  EXPECT_EQ(covers.wcover, 222);
  EXPECT_EQ(covers.wtrackslist, 243);
  EXPECT_EQ(covers.winfo, 243);

  const Skin lists = WithSkinFile("wgenreslist=0.25\nhabclist=0.5\nwmedia=0.5\n");
  EXPECT_EQ(lists.wgenreslist, 256);
  EXPECT_EQ(lists.xgenreslist, 384);
  EXPECT_EQ(lists.yabclist, 192);
  EXPECT_EQ(lists.xmedia, 359);  // not recentred

  // The centred positions and wcover cannot be set by the file.
  const Skin fixed = WithSkinFile("xgenreslist=0.9\nwcover=0.9\n");
  EXPECT_EQ(fixed.xgenreslist, 256);
  EXPECT_EQ(fixed.wcover, 243);
}

TEST_F(SkinTest, OddLinesOfTheSkinFile) {
  EXPECT_EQ(WithSkinFile("xgenre=abc\n").xgenre, 0);
  EXPECT_EQ(WithSkinFile("xgenre=\n").xgenre, 0);
  EXPECT_EQ(WithSkinFile("xgenre=1.5.2\n").xgenre, 0);
  EXPECT_EQ(WithSkinFile("xgenre =0.5\nXGENRE=0.5\nfoo=1\n\nno line\n").xgenre, 10);
  EXPECT_EQ(WithSkinFile("xgenre=0.5\nxgenre=0.25").xgenre, 256);  // no final line feed
  // Values beyond the pixel range saturate instead of overflowing.
  const Skin huge = WithSkinFile("wgenre=1e30\nxgenre=-inf\nygenre=nan\n");
  EXPECT_EQ(huge.wgenre, std::numeric_limits<int32_t>::max());
  EXPECT_EQ(huge.xgenre, std::numeric_limits<int32_t>::min());
  EXPECT_EQ(huge.ygenre, 0);
  const Skin extremeCovers = WithSkinFile("wcovers=1e30\ncoverseparation=-1e30\n");
  EXPECT_EQ(extremeCovers.wcover, std::numeric_limits<int32_t>::max());
}

TEST_F(SkinTest, EachCalculationStartsAgainFromTheDefaults) {
  WriteHostFile("skins/skin.txt", "wgenre=0.5\n");
  Skin skin(1024, 768, 1);
  skin.CalculateCoordinates(1, 0, 0);
  EXPECT_EQ(skin.wgenre, 512);
  skin.SetSkinName("noche");
  testing::internal::CaptureStdout();
  skin.CalculateCoordinates(1, 0, 0);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), kMissingSkinMessage);
  EXPECT_EQ(skin.wgenre, 1003);
  WriteHostFile("skins/noche.txt", "hgenre=0.1\n");
  skin.CalculateCoordinates(1, 0, 0);
  EXPECT_EQ(skin.wgenre, 1003);
  EXPECT_EQ(skin.hgenre, 76);
}

TEST_F(SkinTest, SizeAndModeArguments) {
  Skin skin(1024, 768, 1);
  skin.CalculateCoordinates(1, 0, 0);
  const std::vector<int32_t> before = Layout(skin);

  skin.CalculateCoordinates(2, 0, 0);
  EXPECT_EQ(Layout(skin), before);

  skin.CalculateCoordinates(1, 1280, 0);
  EXPECT_EQ(skin.width, 1024);
  EXPECT_EQ(Layout(skin), before);

  skin.CalculateCoordinates(2, 800, 600);  // takes the size, computes nothing
  EXPECT_EQ(skin.width, 800);
  EXPECT_EQ(skin.height, 600);
  EXPECT_EQ(Layout(skin), before);

  skin.CalculateCoordinates(1, 0, 0);
  EXPECT_EQ(skin.wgenre, 783);
}

}  // namespace
