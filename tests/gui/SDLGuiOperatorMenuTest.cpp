// The operator menu: editing and saving the operator's settings, the coin
// counters, WPS with stand-in wireless tools, and the maintenance rows.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "MainScreenFixture.h"
#include "support/Files.h"
#include "support/Wait.h"

namespace fs = std::filesystem;

namespace {

// Wireless tools that log their calls to "calls.log"; "wpa_cli status"
// prints "status.txt", or a completed connection from the check numbered
// in "completes-at" on.
const char* const kWpaCli = R"sh(#!/bin/sh
echo "wpa_cli $*" >> calls.log
[ "$1" = status ] || exit 0
if [ -f status.txt ]; then cat status.txt; exit 0; fi
n=$(( $(cat checks 2>/dev/null || echo 0) + 1 )); echo $n > checks
echo "bssid=00:11:22:33:44:55"
if [ $n -ge "$(cat completes-at)" ]; then echo "wpa_state=COMPLETED"; else echo "wpa_state=SCANNING"; fi
)sh";
const char* const kLoggingProgram = "#!/bin/sh\necho \"$(basename \"$0\") $*\" >> calls.log\n";

class SDLGuiOperatorMenuTest : public MainScreenTest {
 protected:
  SDLGuiOperatorMenuTest() : path_(std::getenv("PATH")) {}
  ~SDLGuiOperatorMenuTest() override { setenv("PATH", path_.c_str(), 1); }

  void SetUp() override {
    catalogue.AddGenre("Rock", 3);
    config.creditscoin1 = 2;
    config.creditscoin2 = 3;
    config.playmode = "jukebox";
    Open();
  }

  void OpenMenu() {
    gui.configList->SetSelected(0);
    Press(config.configmenu = SDLK_F2);
    ASSERT_EQ(gui.dialog, SDLGui::kConfigScreen);
  }
  void Key(int key) { gui.DispatchKey(key); }
  void OnRow(int row, std::initializer_list<int> keys) {
    gui.configList->SetSelected(row);
    for (int key : keys) Key(key);
  }
  std::string Row(int row) const { return gui.configList->GetItem(row); }

  // Stand-ins for the outside programs, found first on PATH.
  void StandIn(const std::string& name, const std::string& script) {
    WriteHostFile(fs::path("bin") / name, script);
    fs::permissions(fs::path("bin") / name, fs::perms::owner_all);
    setenv("PATH", (fs::absolute("bin").string() + ":" + path_).c_str(), 1);
  }
  void WirelessStandIns() {
    StandIn("wpa_cli", kWpaCli);
    for (const char* name : {"killall", "wpa_supplicant", "dhclient"}) StandIn(name, kLoggingProgram);
  }
  static std::vector<std::string> Calls() {
    std::vector<std::string> calls;
    std::istringstream lines(ReadHostFile("calls.log"));
    for (std::string line; std::getline(lines, line);) calls.push_back(line);
    return calls;
  }

  std::string path_;
};

TEST_F(SDLGuiOperatorMenuTest, CoinValuesAreStoredOnlyBySaving) {
  OpenMenu();
  EXPECT_EQ(Row(SDLGui::kCoin1Row), "Monedero 1: 2");
  EXPECT_EQ(Row(SDLGui::kCoin2Row), "Monedero 2: 3");

  OnRow(SDLGui::kCoin1Row, {config.right, config.right, config.right});
  EXPECT_EQ(Row(SDLGui::kCoin1Row), "Monedero 1: 5");
  const uint32_t shown = WaitOf([&] { OnRow(SDLGui::kSaveRow, {config.enter}); });
  EXPECT_GE(shown, 3000u);  // "Cambios guardados"
  EXPECT_EQ(gui.dialog, SDLGui::kMainScreen);
  EXPECT_EQ(gui.redrawMode, SDLGui::kFullRedraw);
  EXPECT_EQ(config.creditscoin1, 5);
  EXPECT_EQ(ReadHostFile("configuser"), "creditscoin1=5\ncreditscoin2=3\nplaymode=jukebox\ntvout=0\n");

  struct Leave {
    const char* name;
    std::function<void()> leave;
  };
  const std::vector<Leave> leaves = {
      {"Salir", [&] { OnRow(SDLGui::kExitRow, {config.enter}); }},
      {"menu", [&] { Key(config.menu); }},
      {"cancel", [&] { Key(config.cancel); }},
  };
  for (const Leave& leave : leaves) {
    SCOPED_TRACE(leave.name);
    OpenMenu();
    OnRow(SDLGui::kCoin1Row, {config.right});
    OnRow(SDLGui::kCoin2Row, {config.left});
    OnRow(SDLGui::kPlayModeRow, {config.right});
    leave.leave();
    EXPECT_EQ(gui.dialog, SDLGui::kMainScreen);
    EXPECT_EQ(config.creditscoin1, 5);
    EXPECT_EQ(config.creditscoin2, 3);
    EXPECT_EQ(config.playmode, "jukebox");
    OpenMenu();
    EXPECT_EQ(Row(SDLGui::kCoin1Row), "Monedero 1: 5");
    Key(config.cancel);
  }
}

// Larger fonts widen and lengthen the list rather than cut values off.
TEST_F(SDLGuiOperatorMenuTest, EveryRowShowsWhole) {
  config.listageneros_size = 40;
  gui.LoadWriters();
  gui.CreateConfigList();
  OpenMenu();
  config.counter1 = 12345678;
  OnRow(SDLGui::kTvOutRow, {config.right});
  EXPECT_GE(gui.configList->GetNVisibles(), gui.configList->Count());
  for (int row = 0; row < gui.configList->Count(); ++row) EXPECT_FALSE(gui.configList->MustMove(Row(row).c_str())) << Row(row);
  const SDL_Rect& area = gui.configList->rect;
  EXPECT_EQ(area.x + area.w / 2, 512);
  EXPECT_EQ(area.y + area.h / 2, 384);
}

TEST_F(SDLGuiOperatorMenuTest, CoinValuesStayWithinWhatCanBeStored) {
  config.creditscoin2 = 65535;
  config.creditscoin1 = 0;
  OpenMenu();
  OnRow(SDLGui::kCoin1Row, {config.left});
  OnRow(SDLGui::kCoin2Row, {config.right});
  EXPECT_EQ(Row(SDLGui::kCoin1Row), "Monedero 1: 0");
  EXPECT_EQ(Row(SDLGui::kCoin2Row), "Monedero 2: 65535");
}

TEST_F(SDLGuiOperatorMenuTest, PlayModeCyclesBothWays) {
  const struct {
    const char* from;
    bool right;
    const char* to;
  } steps[] = {
      {"jukebox", false, "aleatorio"}, {"jukebox", true, "fiesta"},   {"aleatorio", true, "jukebox"},
      {"fiesta", false, "jukebox"},    {"continuo", true, "aleatorio"}, {"libre", true, "libre"},
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(std::string(step.from) + (step.right ? " right" : " left"));
    config.playmode = step.from;
    OpenMenu();
    OnRow(SDLGui::kPlayModeRow, {step.right ? config.right : config.left});
    EXPECT_EQ(Row(SDLGui::kPlayModeRow), std::string("Modo: ") + step.to);
    EXPECT_EQ(config.playmode, step.from);
    Key(config.cancel);
  }
}

TEST_F(SDLGuiOperatorMenuTest, TvOutputSwitchesAtOnceAndSurvivesLeaving) {
  OpenMenu();
  EXPECT_EQ(Row(SDLGui::kTvOutRow), "Salida de TV: No");
  OnRow(SDLGui::kTvOutRow, {config.right});
  EXPECT_EQ(Row(SDLGui::kTvOutRow), "Salida de TV: Si");
  EXPECT_EQ(config.tvout, 1);
  OnRow(SDLGui::kExitRow, {config.enter});
  EXPECT_EQ(config.tvout, 1);
  OpenMenu();
  EXPECT_EQ(Row(SDLGui::kTvOutRow), "Salida de TV: Si");
  OnRow(SDLGui::kTvOutRow, {config.left});
  EXPECT_EQ(config.tvout, 0);
}

TEST_F(SDLGuiOperatorMenuTest, ClearedCountersShowAndAreSavedAtOnce) {
  config.counter1 = 7;
  config.counter2 = 4;
  config.counter3 = 2;
  OpenMenu();
  EXPECT_EQ(Row(SDLGui::kCounter1Row), "Contador 1: 7");
  OnRow(SDLGui::kClearCountersRow, {config.enter});
  EXPECT_EQ(Row(SDLGui::kCounter1Row), "Contador 1: 0");
  EXPECT_EQ(Row(SDLGui::kCounter2Row), "Contador 2: 0");
  const std::string saved = ReadHostFile("tempdata");
  EXPECT_NE(saved.find("counter1=0\ncounter2=0\ncounter3=2\n"), std::string::npos) << saved;
}

TEST_F(SDLGuiOperatorMenuTest, AccessSequenceAndEveryScreenKeyReachTheMenu) {
  gui.menuSequenceStep = 2;
  Press(config.down);
  EXPECT_EQ(gui.dialog, SDLGui::kConfigScreen);

  config.volumen = 50;
  Key(config.upvol);
  EXPECT_EQ(config.volumen, 52);
  Key(config.down);
  EXPECT_EQ(gui.configList->GetSelected(), 1);
  config.exit = SDLK_F9;
  Key(config.exit);
  EXPECT_FALSE(gui.stillactive());
}

TEST_F(SDLGuiOperatorMenuTest, WirelessStateIsReadFromItsNameAndValueLines) {
  WirelessStandIns();
  const struct {
    const char* status;
    bool connected;
    const char* printed;
  } cases[] = {
      {"bssid=aa\nssid=casa\nwpa_state=COMPLETED\nip_address=10.0.0.2\n", true, ""},
      {"wpa_state=SCANNING\nwpa_state=COMPLETED\n", true, "WPS state: SCANNING\n"},
      {"sin igual\n=x\nwpa_state=COMPLETED\r\n", true, "Saltando linea sin =\nSaltando linea sin =\n"},
      {"ssid=casa\n\nwpa_state=COMPLETED\n", false, ""},
      {"wpa_state=ASSOCIATING", false, "WPS state: ASSOCIATING\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.status);
    WriteHostFile("status.txt", c.status);
    bool connected = false;
    EXPECT_EQ(LogOf([&] { connected = gui.check_wps_state(); }), c.printed);
    EXPECT_EQ(connected, c.connected);
  }
  // A state left from before does not count when the tool cannot run.
  fs::remove("bin/wpa_cli");
  WriteHostFile("wps_out", "wpa_state=COMPLETED\n");
  EXPECT_FALSE(gui.check_wps_state());
}

TEST_F(SDLGuiOperatorMenuTest, WpsChecksEveryTwoSecondsUntilConnectedOrSixtyChecks) {
  WirelessStandIns();
  config.wifiinterface = "wlp2s0";
  const std::vector<std::string> pairing = {"killall wpa_supplicant",
                                            "wpa_supplicant -B -i wlp2s0 -c /etc/wpa_supplicant.conf",
                                            "wpa_cli wps_pbc"};
  const std::string status = "wpa_cli status";
  OpenMenu();

  WriteHostFile("completes-at", "3");
  SDL_Event coin{};
  coin.type = SDL_KEYUP;
  coin.key.keysym.sym = static_cast<SDLKey>(config.coin1);
  ASSERT_EQ(SDL_PushEvent(&coin), 0);
  uint32_t waited = WaitOf([&] { OnRow(SDLGui::kWpsRow, {config.enter}); });
  std::vector<std::string> expected = pairing;
  expected.insert(expected.end(), {status, status, status, "dhclient ", "wpa_cli set update_config 1",
                                   "wpa_cli save_config"});
  EXPECT_EQ(Calls(), expected);
  EXPECT_GE(waited, 2 * 2000u + 3000u);
  EXPECT_LT(waited, 3 * 2000u + 3000u + 1000u);
  for (int pass = 0; pass < 3; ++pass) gui.pool();
  EXPECT_EQ(gui.credits, 2);  // the coin, once
  EXPECT_EQ(gui.dialog, SDLGui::kConfigScreen);

  fs::remove("calls.log");
  fs::remove("checks");
  WriteHostFile("completes-at", "61");
  waited = WaitOf([&] { OnRow(SDLGui::kWpsRow, {config.enter}); });
  expected = pairing;
  expected.insert(expected.end(), 60, status);
  EXPECT_EQ(Calls(), expected);
  EXPECT_GE(waited, 60 * 2000u + 3000u);
}

TEST_F(SDLGuiOperatorMenuTest, MaintenanceProgramsStartOrTheOperatorIsTold) {
  StandIn("gestor", kLoggingProgram);
  WriteHostFile("configtool", kLoggingProgram);
  fs::permissions("configtool", fs::perms::owner_all);
  config.filemanager = "gestor";
  OpenMenu();

  OnRow(SDLGui::kFilesRow, {config.enter});
  EXPECT_TRUE(WaitUntil([] { return ReadHostFile("calls.log") == "gestor \n"; })) << ReadHostFile("calls.log");
  fs::remove("calls.log");
  EXPECT_GE(WaitOf([&] { OnRow(SDLGui::kConfigtoolRow, {config.enter}); }), 3000u);  // read at the next start
  EXPECT_TRUE(WaitUntil([] { return ReadHostFile("calls.log") == "configtool \n"; })) << ReadHostFile("calls.log");

  config.filemanager = "no-hay-tal-programa";
  fs::remove("configtool");
  EXPECT_GE(WaitOf([&] { OnRow(SDLGui::kFilesRow, {config.enter}); }), 3000u);
  EXPECT_EQ(gui.dialog, SDLGui::kConfigScreen);
}

}  // namespace
