#include "config/Configuration.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <string>

#include "catalogue/MainLibrary.h"
#include "support/Files.h"
#include "support/TempDir.h"

namespace {

class ConfigurationTest : public ::testing::Test {
 protected:
  // Loads text as "configuration"; what was printed meanwhile.
  std::string Load(const std::string& text) {
    WriteHostFile("configuration", text);
    return LoadFile("configuration");
  }

  std::string LoadFile(const char* name) {
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(configuration.LoadConfiguration(name), 1);
    std::fflush(stdout);
    return ::testing::internal::GetCapturedStdout();
  }

  TempDir dir;
  MainLibrary library;
  Configuration configuration{&library};
};

TEST_F(ConfigurationTest, KeyBindingsTakeHexadecimalCodesOrExactNames) {
  Load("enter=0x0D\nup=up\nmenu=menu\nn5=5\nn6=kp6\nn0=0\ncancel=Escape\n");
  EXPECT_EQ(configuration.enter, 13);
  EXPECT_EQ(configuration.up, 273);
  EXPECT_EQ(configuration.menu, 319);
  EXPECT_EQ(configuration.n5, 53);
  EXPECT_EQ(configuration.n6, 262);
  EXPECT_EQ(configuration.n0, 48);
  EXPECT_EQ(configuration.cancel, 0);
  Load("enter=return\n");
  EXPECT_EQ(configuration.enter, 13);
  Load("enter=Return\n");
  EXPECT_EQ(configuration.enter, 0);
}

TEST_F(ConfigurationTest, YesNoIsTrueOnlyForExactYes) {
  Load("touchscreen=yes\nfavoritos=yes\n");
  EXPECT_TRUE(configuration.touchscreen);
  EXPECT_TRUE(configuration.favoritos);
  Load("touchscreen=Yes\nfavoritos=si\n");
  EXPECT_FALSE(configuration.touchscreen);
  EXPECT_FALSE(configuration.favoritos);
}

TEST_F(ConfigurationTest, EmptyValueIsReportedAndSkipped) {
  Load("touchscreen=yes\n");
  const std::string printed = Load("\ntouchscreen=\nwifi=\ncreditsvip=2\n");
  EXPECT_EQ(printed,
            "Elemento de configuracion vacio, saltando ... \n"
            "Elemento de configuracion vacio, saltando ... touchscreen\n"
            "Elemento de configuracion vacio, saltando ... wifi\n");
  EXPECT_TRUE(configuration.touchscreen);
  EXPECT_EQ(configuration.wifi, 100);
  EXPECT_EQ(configuration.creditsvip, 2);
}

TEST_F(ConfigurationTest, ColourHasRedInTheLowByte) {
  Load("genero_color=16711680\ncola_color=255\nmarquee_color=65280\ntitulos_color=abc\n");
  const SDL_Color& blue = configuration.genero_color;
  EXPECT_EQ((std::array<int, 3>{blue.r, blue.g, blue.b}), (std::array<int, 3>{0, 0, 255}));
  EXPECT_EQ(configuration.cola_color.r, 255);
  EXPECT_EQ(configuration.cola_color.b, 0);
  EXPECT_EQ(configuration.marquee_color.g, 255);
  EXPECT_EQ(configuration.titulos_color.r, 0);
  EXPECT_EQ(configuration.titulos_color.g, 0);
  EXPECT_EQ(configuration.titulos_color.b, 0);
}

TEST_F(ConfigurationTest, PairNeedsItsComma) {
  Load("mainwindowposition=10,20\n");
  EXPECT_EQ(configuration.mainwindowposition.x, 10);
  EXPECT_EQ(configuration.mainwindowposition.y, 20);
  Load("mainwindowposition=10\n");
  EXPECT_EQ(configuration.mainwindowposition.x, 0);
  EXPECT_EQ(configuration.mainwindowposition.y, 0);
}

TEST_F(ConfigurationTest, EqualiserBarsAreStoredNegated) {
  const std::string printed = Load("eqbar3=4\neqbar4=-2\neqbar10=7\n");
  EXPECT_EQ(configuration.eqbar3, -4);
  EXPECT_EQ(configuration.eqbar4, 2);
  EXPECT_EQ(configuration.eqbar10, -7);
  EXPECT_EQ(printed, "eqbar 10 -7\n");
}

TEST_F(ConfigurationTest, ZeroScreenSizeFallsBackToDefaults) {
  EXPECT_EQ(Load("ancho=0\nalto=0\n"), "Ancho default: 1024\n");
  EXPECT_EQ(configuration.ancho, 1024);
  EXPECT_EQ(configuration.alto, 768);
  EXPECT_EQ(Load("ancho=abc\n"), "Ancho default: 1024\n");
  EXPECT_EQ(configuration.ancho, 1024);
  EXPECT_EQ(Load("ancho=800\nalto=600\n"), "");
  EXPECT_EQ(configuration.ancho, 800);
  EXPECT_EQ(configuration.alto, 600);
}

TEST_F(ConfigurationTest, MediaFoldersAccumulateOtherKeysKeepTheLastValue) {
  Load("mediacontent=C:\\musica\nvolumen=30\nmediacontent=D:\\videos\nvolumen=50\n");
  ASSERT_EQ(library.GetContentPathCount(), 2);
  EXPECT_STREQ(library.GetContentPath(0).c_str(), "C:\\musica");
  EXPECT_STREQ(library.GetContentPath(1).c_str(), "D:\\videos");
  EXPECT_EQ(configuration.volumen, 50);
  EXPECT_TRUE(configuration.volumeFixed);
}

TEST_F(ConfigurationTest, KeyAndValueAreSplitAtTheFirstEqualsWithoutTrimming) {
  Load("marquesina=Hoy 2x1=oferta\r\nvolumen = 50\nplaymode=fiesta\r\n");
  EXPECT_STREQ(configuration.marquesina.c_str(), "Hoy 2x1=oferta");
  EXPECT_STREQ(configuration.playmode.c_str(), "fiesta");
  EXPECT_EQ(configuration.volumen, -1);
  EXPECT_FALSE(configuration.volumeFixed);
}

TEST_F(ConfigurationTest, LinesLoseEveryCarriageReturnBeforeTheirEnd) {
  for (const char* end : {"\n", "\r\n", "\r\r\n", "\r\r\r\n"}) {
    SCOPED_TRACE(::testing::PrintToString(end));
    MainLibrary cabinet;
    Configuration settings{&cabinet};
    WriteHostFile("configuration", std::string("touchscreen=yes") + end + "creditsbyplay=3" + end +
                                       "mediacontent=C:\\musica" + end);
    settings.LoadConfiguration("configuration");
    EXPECT_TRUE(settings.touchscreen);
    EXPECT_EQ(settings.creditsbyplay, 3);
    ASSERT_EQ(cabinet.GetContentPathCount(), 1);
    EXPECT_STREQ(cabinet.GetContentPath(0).c_str(), "C:\\musica");
  }
}

TEST_F(ConfigurationTest, TvOutSizeSwitchesTvOutOn) {
  EXPECT_EQ(configuration.tvout, 0);
  Load("tvoutxres=1280\n");
  EXPECT_EQ(configuration.tvout, 1);
  EXPECT_EQ(configuration.tvoutxres, 1280);
  EXPECT_EQ(configuration.tvoutyres, 768);
}

TEST_F(ConfigurationTest, NumbersAreKeptInTheirWidth) {
  Load("creditscoin1=70000\ntimeoutvideohide=65541\ncreditsbyplay=2\ncreditscoin3=x5\n");
  EXPECT_EQ(configuration.creditscoin1, 4464);
  EXPECT_EQ(configuration.timeoutvideohide, 5);
  EXPECT_EQ(configuration.creditsbyplay, 2);
  EXPECT_EQ(configuration.creditscoin3, 0);
  EXPECT_EQ(configuration.CreditsPerCoin(1), 4464);
  EXPECT_EQ(configuration.CreditsPerCoin(7), 0);
}

TEST_F(ConfigurationTest, KeyMapFileOverridesItsBindings) {
  WriteHostFile("mapkeys", "coin1=0x63\nwifi=\ndiscover=0x20\nenter=kpenter\n");
  Load("coin1=x\nwifi=d\ndiscover=f1\nenter=return\n");
  EXPECT_EQ(configuration.coin1, 99);
  EXPECT_EQ(configuration.wifi, 0);
  EXPECT_EQ(configuration.discover, 282);
  EXPECT_EQ(configuration.enter, 271);
}

TEST_F(ConfigurationTest, MissingKeyMapFileLeavesBindings) {
  EXPECT_EQ(configuration.LoadMapKeys(), 1);
  EXPECT_EQ(configuration.enter, 13);
  WriteHostFile("mapkeys", "enter=space\n");
  EXPECT_EQ(configuration.LoadMapKeys(), 0);
  EXPECT_EQ(configuration.enter, 32);
}

TEST_F(ConfigurationTest, MissingConfigurationIsMadeFromItsTemplate) {
  WriteHostFile("configuration.default", "creditsvip=4\n");
  LoadFile("configuration");
  EXPECT_EQ(configuration.creditsvip, 4);
  EXPECT_EQ(ReadHostFile("configuration"), "creditsvip=4\n");
}

TEST_F(ConfigurationTest, ExistingConfigurationIsNeverReplaced) {
  WriteHostFile("configuration.default", "creditsvip=4\n");
  WriteHostFile("configuration", "creditsvip=9\n");
  LoadFile("otherconfiguration");
  EXPECT_EQ(configuration.creditsvip, 0);
  EXPECT_EQ(ReadHostFile("configuration"), "creditsvip=9\n");
}

TEST_F(ConfigurationTest, NoFileAtAllKeepsConstructionValuesAndSkipsKeyMap) {
  WriteHostFile("mapkeys", "enter=space\n");
  EXPECT_EQ(LoadFile("configuration"), "");
  EXPECT_EQ(configuration.enter, 13);
  EXPECT_EQ(configuration.ancho, 1024);
  EXPECT_EQ(configuration.creditsbyplay, 1);
}

}  // namespace
