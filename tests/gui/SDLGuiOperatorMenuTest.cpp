// The operator menu: editing and saving the operator's settings, the coin
// counters, WPS with stand-in wireless tools, and the maintenance rows.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

#include "MainScreenFixture.h"
#include "support/Files.h"
#include "support/Wait.h"

namespace fs = std::filesystem;

namespace {

// Programs that log their calls to "calls.log"; "wpa_cli status" prints
// "status.txt", or else a connection completed from the check numbered in
// "completes-at" on.
const char* const kLogging = "#!/bin/sh\necho \"$(basename \"$0\") $*\" >> calls.log\n";
const std::string kWpaCli = std::string(kLogging) + R"sh([ "$1" = status ] || exit 0
if [ -f status.txt ]; then cat status.txt; exit 0; fi
n=$(( $(cat checks 2>/dev/null || echo 0) + 1 )); echo $n > checks
[ $n -ge "$(cat completes-at)" ] && echo wpa_state=COMPLETED || echo wpa_state=SCANNING
)sh";

class SDLGuiOperatorMenuTest : public MainScreenTest {
 protected:
  ~SDLGuiOperatorMenuTest() override { setenv("PATH", path_.c_str(), 1); }

  void SetUp() override {
    catalogue.AddGenre("Rock", 3);
    config.creditscoin1 = 2;
    config.playmode = "jukebox";
    config.configmenu = SDLK_F2;
    Open();
  }
  void OpenMenu() {
    Press(config.configmenu);
    ASSERT_EQ(gui.Display().dialog, SDLGui::kConfigScreen);
  }
  void OnRow(int row, std::initializer_list<int> keys) {
    gui.Lists().configList->SetSelected(row);
    for (int key : keys) gui.Router().DispatchKey(key);
  }
  std::string Row(int row) const { return gui.Lists().configList->GetItem(row); }

  // A stand-in program, found first on PATH.
  void StandIn(const std::string& name, const std::string& script) {
    WriteHostFile(fs::path("bin") / name, script);
    fs::permissions(fs::path("bin") / name, fs::perms::owner_all);
    setenv("PATH", (fs::absolute("bin").string() + ":" + path_).c_str(), 1);
  }
  void WirelessStandIns() {
    StandIn("wpa_cli", kWpaCli);
    for (const char* name : {"killall", "wpa_supplicant", "dhclient"}) StandIn(name, kLogging);
  }

  std::string path_ = std::getenv("PATH");
};

TEST_F(SDLGuiOperatorMenuTest, CoinValuesAreStoredOnlyBySaving) {
  OpenMenu();
  EXPECT_EQ(Row(OperatorMenu::kCoin1Row), "Monedero 1: 2");
  OnRow(OperatorMenu::kCoin1Row, {config.right, config.right, config.right});
  EXPECT_GE(WaitOf([&] { OnRow(OperatorMenu::kSaveRow, {config.enter}); }), 3000u);  // "Cambios guardados"
  EXPECT_EQ(gui.Display().dialog, SDLGui::kMainScreen);
  EXPECT_EQ(ReadHostFile("configuser"), "creditscoin1=5\ncreditscoin2=3\nplaymode=jukebox\ntvout=0\n");

  for (int leave : {static_cast<int>(OperatorMenu::kExitRow), config.menu, config.cancel}) {
    OpenMenu();
    OnRow(OperatorMenu::kCoin1Row, {config.right});
    OnRow(OperatorMenu::kPlayModeRow, {config.right});
    if (leave == OperatorMenu::kExitRow) OnRow(leave, {config.enter}); else gui.Router().DispatchKey(leave);
    EXPECT_EQ(gui.Display().dialog, SDLGui::kMainScreen);
    EXPECT_EQ(config.creditscoin1, 5);
    EXPECT_EQ(config.playmode, "jukebox");
  }

  fs::remove("configuser");
  fs::create_directory("configuser");  // cannot be written
  OpenMenu();
  EXPECT_EQ(LogOf([&] { OnRow(OperatorMenu::kSaveRow, {config.enter}); }), "No se pudo guardar configuser\n");
}

TEST_F(SDLGuiOperatorMenuTest, ValuesStepWithinTheirLimits) {
  const struct {
    const char* mode;
    uint16_t coins;
    int row;
    bool right;
    const char* shown;
  } steps[] = {
      {"jukebox", 1, OperatorMenu::kPlayModeRow, false, "Modo: aleatorio"},
      {"jukebox", 1, OperatorMenu::kPlayModeRow, true, "Modo: fiesta"},
      {"aleatorio", 1, OperatorMenu::kPlayModeRow, true, "Modo: jukebox"},
      {"libre", 1, OperatorMenu::kPlayModeRow, true, "Modo: libre"},
      {"jukebox", 0, OperatorMenu::kCoin1Row, false, "Monedero 1: 0"},
      {"jukebox", 65535, OperatorMenu::kCoin2Row, true, "Monedero 2: 65535"},
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(step.shown);
    config.playmode = step.mode;
    config.creditscoin1 = config.creditscoin2 = step.coins;
    OpenMenu();
    OnRow(step.row, {step.right ? config.right : config.left, config.cancel});
    EXPECT_EQ(Row(step.row), step.shown);
  }
}

TEST_F(SDLGuiOperatorMenuTest, TvOutputAndClearedCountersTakeEffectAtOnce) {
  StateSnapshot counted;
  counted.coins = {7, 0, 2, 0, 0, 0};
  gui.Resources().cashbox->Restore(counted);
  OpenMenu();
  OnRow(OperatorMenu::kTvOutRow, {config.right});
  EXPECT_EQ(Row(OperatorMenu::kTvOutRow), "Salida de TV: Si");
  OnRow(OperatorMenu::kClearCountersRow, {config.enter});
  EXPECT_EQ(Row(OperatorMenu::kCounter1Row), "Contador 1: 0");
  EXPECT_NE(SavedFile().find("counter1=0\ncounter2=0\ncounter3=2\n"), std::string::npos);
  OnRow(OperatorMenu::kExitRow, {config.enter});
  EXPECT_EQ(config.tvout, 1);
  OpenMenu();
  EXPECT_EQ(Row(OperatorMenu::kTvOutRow), "Salida de TV: Si");
}

// Through the access sequence; a larger font widens and lengthens the list
// rather than cut values off; the main screen's service keys work.
TEST_F(SDLGuiOperatorMenuTest, SequenceOpensAWholeMenuThatTakesServiceKeys) {
  config.listageneros_size = 40;
  gui.Setup().LoadWriters();
  gui.MenuScreen().CreateConfigList();
  gui.Input().menuSequenceStep = 2;
  Press(config.down);
  ASSERT_EQ(gui.Display().dialog, SDLGui::kConfigScreen);
  EXPECT_GE(gui.Lists().configList->GetNVisibles(), gui.Lists().configList->Count());
  for (int row = 0; row < gui.Lists().configList->Count(); ++row) EXPECT_FALSE(gui.Lists().configList->MustMove(Row(row).c_str()));

  config.volumen = 50;
  gui.Router().DispatchKey(config.upvol);
  EXPECT_EQ(config.volumen, 52);
  gui.Router().DispatchKey(config.exit = SDLK_F9);
  EXPECT_FALSE(gui.stillactive());
}

TEST_F(SDLGuiOperatorMenuTest, MenuIsFramedInTheListBarColour) {
  config.listageneros_barras_color = Colour{200, 30, 90};
  OpenMenu();
  const SDL_Rect r = gui.Lists().configList->rect;
  const int midX = r.x + r.w / 2, midY = r.y + r.h / 2;
  for (const auto& [x, y] : {std::pair{r.x - 1, midY}, {r.x - 4, midY}, {r.x + r.w + 3, midY}, {midX, r.y - 1},
                             {midX, r.y + r.h}})
    EXPECT_EQ(ColorAt(gui.Display().screen, x, y), Opaque(200, 30, 90)) << x << "," << y;
  EXPECT_NE(ColorAt(gui.Display().screen, r.x - 5, midY), Opaque(200, 30, 90));
}

TEST_F(SDLGuiOperatorMenuTest, WirelessStateIsReadFromItsNameAndValueLines) {
  WirelessStandIns();
  const struct {
    const char* status;
    bool connected;
    const char* printed;
  } cases[] = {
      {"bssid=aa\nssid=casa\nwpa_state=COMPLETED\n", true, ""},
      {"wpa_state=SCANNING\nwpa_state=COMPLETED\n", true, "WPS state: SCANNING\n"},
      {"sin igual\n=x\nwpa_state=COMPLETED\r\n", true, "Saltando linea sin =\nSaltando linea sin =\n"},
      {"ssid=casa\n\nwpa_state=COMPLETED\n", false, ""},
  };
  for (const auto& c : cases) {
    WriteHostFile("status.txt", c.status);
    bool connected = false;
    EXPECT_EQ(LogOf([&] { connected = gui.MenuScreen().check_wps_state(); }), c.printed) << c.status;
    EXPECT_EQ(connected, c.connected) << c.status;
  }
  // A state left from before does not count when the tool cannot run.
  fs::remove("bin/wpa_cli");
  WriteHostFile("wps_out", "wpa_state=COMPLETED\n");
  EXPECT_FALSE(gui.MenuScreen().check_wps_state());
}

TEST_F(SDLGuiOperatorMenuTest, WpsChecksEveryTwoSecondsUntilConnectedOrSixtyChecks) {
  WirelessStandIns();
  config.wifiinterface = "wlp2s0";
  const std::string pairing =
      "killall wpa_supplicant\nwpa_supplicant -B -i wlp2s0 -c /etc/wpa_supplicant.conf\nwpa_cli wps_pbc\n";
  const auto checks = [](int count) {
    std::string calls;
    while (count-- > 0) calls += "wpa_cli status\n";
    return calls;
  };
  OpenMenu();

  WriteHostFile("completes-at", "3");
  SDL_Event coin{};
  coin.type = SDL_KEYUP;
  coin.key.keysym.sym = static_cast<SDLKey>(config.coin1);
  ASSERT_EQ(SDL_PushEvent(&coin), 0);
  const uint32_t connected = WaitOf([&] { OnRow(OperatorMenu::kWpsRow, {config.enter}); });
  EXPECT_EQ(ReadHostFile("calls.log"), pairing + checks(3) +
                                           "dhclient \nwpa_cli set update_config 1\nwpa_cli save_config\n");
  EXPECT_GE(connected, 2 * 2000u + 3000u);
  EXPECT_LT(connected, 3 * 2000u + 3000u);
  for (int pass = 0; pass < 3; ++pass) gui.pool();
  EXPECT_EQ(gui.Credits(), 2);  // the coin, once

  fs::remove("calls.log");
  fs::remove("checks");
  WriteHostFile("completes-at", "61");
  EXPECT_GE(WaitOf([&] { OnRow(OperatorMenu::kWpsRow, {config.enter}); }), 60 * 2000u + 3000u);
  EXPECT_EQ(ReadHostFile("calls.log"), pairing + checks(60));
  EXPECT_EQ(gui.Display().dialog, SDLGui::kConfigScreen);
}

TEST_F(SDLGuiOperatorMenuTest, MaintenanceProgramsStartOrTheOperatorIsTold) {
  StandIn("gestor", kLogging);
  WriteHostFile("configtool", kLogging);
  fs::permissions("configtool", fs::perms::owner_all);
  config.filemanager = "gestor";
  OpenMenu();
  OnRow(OperatorMenu::kFilesRow, {config.enter});
  OnRow(OperatorMenu::kConfigtoolRow, {config.enter});
  EXPECT_TRUE(WaitUntil([] { return ReadHostFile("calls.log").size() == std::string("gestor \nconfigtool \n").size(); }));

  config.filemanager = "no-hay-tal-programa";
  EXPECT_GE(WaitOf([&] { OnRow(OperatorMenu::kFilesRow, {config.enter}); }), 3000u);  // the message
}

}  // namespace
