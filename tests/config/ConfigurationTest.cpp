#include "config/Configuration.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
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
  const Colour& blue = configuration.genero_color;
  EXPECT_EQ((std::array<int, 3>{blue.r, blue.g, blue.b}), (std::array<int, 3>{0, 0, 255}));
  EXPECT_EQ(configuration.cola_color.r, 255);
  EXPECT_EQ(configuration.cola_color.b, 0);
  EXPECT_EQ(configuration.marquee_color.g, 255);
  // No number: the colour stays as it was.
  EXPECT_EQ(configuration.titulos_color.r, 255);
  EXPECT_EQ(configuration.titulos_color.b, 255);
}

TEST_F(ConfigurationTest, PairNeedsItsComma) {
  Load("mainwindowposition=10,20\n");
  EXPECT_EQ(configuration.mainwindowposition.x, 10);
  EXPECT_EQ(configuration.mainwindowposition.y, 20);
  Load("mainwindowposition=30\n");
  EXPECT_EQ(configuration.mainwindowposition.x, 10);
  EXPECT_EQ(configuration.mainwindowposition.y, 20);
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
  EXPECT_EQ(Load("ancho=abc\n"), "Valor no valido, se conserva el anterior: ancho=abc\n");
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

// A number is read whole and within its bounds, or the setting keeps its
// value and the log tells.
TEST_F(ConfigurationTest, NumbersAreReadWholeWithinTheirBounds) {
  const struct {
    const char* line;
    std::function<int64_t(const Configuration&)> field;
    int64_t expected;
    bool refused;
  } cases[] = {
      {"creditscoin1=65535", [](const Configuration& c) { return c.creditscoin1; }, 65535, false},
      {"creditscoin1=70000", [](const Configuration& c) { return c.creditscoin1; }, 1, true},
      {"creditscoin1=-1", [](const Configuration& c) { return c.creditscoin1; }, 1, true},
      {"creditscoin2=1099511627776", [](const Configuration& c) { return c.creditscoin2; }, 3, true},
      {"creditscoin3=x5", [](const Configuration& c) { return c.creditscoin3; }, 0, true},
      {"timeoutvideohide=65541", [](const Configuration& c) { return c.timeoutvideohide; }, 10, true},
      {"creditsbyplay=5-3", [](const Configuration& c) { return c.creditsbyplay; }, 1, true},
      {"creditsbyplay=-2", [](const Configuration& c) { return c.creditsbyplay; }, 1, true},
      {"creditsbyvideo=2147483647", [](const Configuration& c) { return c.creditsbyvideo; }, 2147483647, false},
      {"creditsvip=2147483648", [](const Configuration& c) { return c.creditsvip; }, 0, true},
      {"randomplay=-3", [](const Configuration& c) { return c.randomplay; }, -3, false},
      {"randomplay=3 ", [](const Configuration& c) { return c.randomplay; }, 0, true},
      {"volumen=101", [](const Configuration& c) { return c.volumen; }, -1, true},
      {"genero_color=16777216", [](const Configuration& c) { return c.genero_color.r; }, 255, true},
      {"eqbar1=-2147483648", [](const Configuration& c) { return c.eqbar1; }, 0, true},
  };
  for (const auto& c : cases) {
    Configuration fresh(&library);
    WriteHostFile("configuration", std::string(c.line) + "\n");
    ::testing::internal::CaptureStdout();
    fresh.LoadConfiguration("configuration");
    const std::string printed = ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(c.field(fresh), c.expected) << c.line;
    EXPECT_EQ(printed.find("Valor no valido") != std::string::npos, c.refused) << c.line;
  }
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

namespace {

// Each fleet setting takes a value within its bounds and keeps the one it
// had for any other.
TEST_F(ConfigurationTest, FleetSettingsAreTakenOnlyWithinTheirBounds) {
  Load("fleethost=broker.example\nfleetport=1883\nfleetuser=bar-7\nfleetpassword=a b\nfleetca=/etc/ca.crt\n"
       "fleetcabinet=bar-7.centro\n");
  EXPECT_STREQ(configuration.fleethost.Chars(), "broker.example");
  EXPECT_EQ(configuration.fleetport, 1883);
  EXPECT_STREQ(configuration.fleetpassword.Chars(), "a b");
  EXPECT_STREQ(configuration.fleetcabinet.Chars(), "bar-7.centro");
  const std::string refused[] = {"fleethost=two words", "fleethost=" + std::string(254, 'h'), "fleetport=0",
                                 "fleetport=65536",     "fleetuser=a b",                     "fleetcabinet=a/b",
                                 "fleetcabinet=bar+",   "fleetcabinet=" + std::string(65, 'c'),
                                 "fleetpassword=" + std::string(129, 'p')};
  for (const std::string& line : refused)
    EXPECT_NE(Load(line + "\n").find("se conserva el anterior"), std::string::npos) << line;
  EXPECT_STREQ(configuration.fleethost.Chars(), "broker.example");
  EXPECT_EQ(configuration.fleetport, 1883);
  EXPECT_STREQ(configuration.fleetuser.Chars(), "bar-7");
  EXPECT_STREQ(configuration.fleetcabinet.Chars(), "bar-7.centro");
}

}  // namespace
