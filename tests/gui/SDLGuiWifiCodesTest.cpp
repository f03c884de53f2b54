// Wi-Fi codes: the credit question, the charge, the script's arguments, the
// display that lasts while the code's image does, and coins inserted
// meanwhile. A stand-in "code.py" copies a plain picture as the QR image.
#include <SDL.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "MainScreenFixture.h"
#include "support/Files.h"

namespace fs = std::filesystem;

namespace {

const char* const kCodeScript = R"(import os, shutil, sys
os.makedirs("wificodes", exist_ok=True)
with open("args.txt", "a") as out:
    out.write(" ".join(sys.argv[1:]) + "\n")
if not os.path.exists("broken"):
    shutil.copy("qr.bmp", "wificodes/%s.png" % sys.argv[1])
)";
const char* const kAdminScript = R"(import shutil
shutil.copy("qr.bmp", "CONFIGURATION.png")
)";
constexpr Uint8 kQrRed[3] = {220, 20, 20};

// The manual clock, and the code's image taken away (the code used) at a
// set time, after noting what the screen's centre showed.
class CodeUsedClock : public platform::ManualClock {
 public:
  using ManualClock::ManualClock;
  void Delay(uint32_t ms) override {
    ManualClock::Delay(ms);
    if (usedAt == 0 || Ticks() < usedAt || screen == nullptr) return;
    centre = ColorAt(screen, screen->w / 2, screen->h / 2);
    std::error_code ignored;
    fs::remove_all("wificodes", ignored);
    usedAt = 0;
  }
  uint32_t usedAt = 0;
  SDL_Surface* screen = nullptr;
  Rgba centre;
};

class SDLGuiWifiCodesTest : public MainScreenTest {
 protected:
  SDLGuiWifiCodesTest() { platform::SetClock(&codeClock); }

  void SetUp() override {
    catalogue.AddGenre("Rock", 2);
    config.playmode = "jukebox";
    config.creditscoin1 = 1;
    Open();
    WriteHostFile("code.py", kCodeScript);
    WriteHostFile("code_configuration.py", kAdminScript);
    SaveQrImage();
    codeClock.screen = gui.screen;
  }

  // A paletted picture, as QR images come: its first colour must not turn
  // transparent on the way to the screen.
  static void SaveQrImage() {
    SDL_Surface* qr = SDL_CreateRGBSurface(0, 100, 100, 8, 0, 0, 0, 0);
    SDL_Color colours[2] = {{kQrRed[0], kQrRed[1], kQrRed[2], 0}, {255, 255, 255, 0}};
    SDL_SetColors(qr, colours, 0, 2);
    SDL_FillRect(qr, nullptr, 0);
    SDL_SaveBMP(qr, "qr.bmp");
    SDL_FreeSurface(qr);
  }

  static void Push(Uint8 type, int key) {
    SDL_Event event{};
    event.type = type;
    event.key.keysym.sym = static_cast<SDLKey>(key);
    ASSERT_EQ(SDL_PushEvent(&event), 0);
  }
  void Keys(std::initializer_list<int> keys) {
    for (int key : keys) Push(SDL_KEYDOWN, key);
  }
  void Coin() { Push(SDL_KEYUP, config.coin1); }
  uint32_t Elapsed(const std::function<void()>& action) {
    const uint32_t start = codeClock.Ticks();
    action();
    return codeClock.Ticks() - start;
  }
  std::string Args() const { return ReadHostFile("args.txt"); }
  std::string Code() const { return gui.lastWifiCode.Chars(); }

  CodeUsedClock codeClock{1000};
};

TEST_F(SDLGuiWifiCodesTest, QuestionStaysWithinOneAndTheBalance) {
  gui.credits = 3;
  Keys({config.up, config.up, config.up, config.up, SDLK_a});
  Press(config.wifi);
  EXPECT_EQ(gui.wifiCredits, 3);
  Keys({config.down, SDLK_a});
  Press(config.wifi);
  EXPECT_EQ(gui.wifiCredits, 1);
  EXPECT_EQ(gui.credits, 3);  // not bought
  EXPECT_EQ(Args(), "");
}

TEST_F(SDLGuiWifiCodesTest, EnterTakesTheCreditsAndPassesThemToTheScript) {
  gui.credits = 3;
  Keys({config.up, config.enter, SDLK_a});
  Press(config.wifi);
  EXPECT_EQ(gui.credits, 1);
  ASSERT_EQ(Code().size(), 4u);
  EXPECT_EQ(Args(), Code() + " 2\n");
  EXPECT_NE(ReadHostFile("tempdata").find("savedcredits=1\n"), std::string::npos);
  EXPECT_EQ(gui.wifiCodes.Count(), 1);
}

TEST_F(SDLGuiWifiCodesTest, FreeModeTakesNothingAndPassesMinusOne) {
  config.playmode = "fiesta";
  Keys({SDLK_a});
  Press(config.wifi);
  EXPECT_EQ(gui.credits, 0);
  EXPECT_EQ(Args(), Code() + " -1\n");
}

TEST_F(SDLGuiWifiCodesTest, DisplayLastsWhileTheImageDoesAtMostFortySeconds) {
  config.playmode = "fiesta";
  codeClock.usedAt = codeClock.Ticks() + 5000;
  uint32_t shown = Elapsed([&] { Press(config.wifi); });
  EXPECT_GE(shown, 5000u);
  EXPECT_LT(shown, 5100u);
  EXPECT_TRUE(Near(codeClock.centre, Color(kQrRed)));
  EXPECT_EQ(gui.redrawMode, SDLGui::kUpToDate);  // the main screen drawn again

  shown = Elapsed([&] { Press(config.wifi); });
  EXPECT_GE(shown, 40000u);
  EXPECT_LT(shown, 40100u);
}

TEST_F(SDLGuiWifiCodesTest, CreditsForACodeThatWasNotMadeComeBack) {
  WriteHostFile("broken", "");
  gui.credits = 2;
  Keys({config.enter});
  const uint32_t shown = Elapsed([&] { Press(config.wifi); });
  EXPECT_GE(shown, 3000u);  // the message, and no wait for a code
  EXPECT_LT(shown, 4000u);
  EXPECT_EQ(gui.credits, 2);
  EXPECT_NE(ReadHostFile("tempdata").find("savedcredits=2\n"), std::string::npos);
}

TEST_F(SDLGuiWifiCodesTest, CoinsDuringTheQuestionAndTheDisplayCountOnce) {
  gui.credits = 1;
  Coin();
  Keys({config.up, config.enter});
  Coin();
  Keys({SDLK_a});
  Press(config.wifi);
  EXPECT_EQ(Args(), Code() + " 2\n");
  EXPECT_EQ(gui.credits, 1);
  EXPECT_EQ(config.counter1, 2);
  for (int pass = 0; pass < 3; ++pass) gui.pool();
  EXPECT_EQ(gui.credits, 1);
  EXPECT_NE(ReadHostFile("tempdata").find("savedcredits=1\n"), std::string::npos);
}

TEST_F(SDLGuiWifiCodesTest, AdminCodeShowsTwentySecondsOrUntilAKey) {
  EXPECT_GE(Elapsed([&] { gui.makeWifiCodeAdmin(); }), 20000u);
  Keys({SDLK_a});
  EXPECT_LT(Elapsed([&] { gui.makeWifiCodeAdmin(); }), 100u);
  // Without its script there is no image, and a stale one is not shown.
  fs::remove("code_configuration.py");
  EXPECT_LT(Elapsed([&] { gui.makeWifiCodeAdmin(); }), 4000u);
  EXPECT_FALSE(fs::exists("CONFIGURATION.png"));
}

}  // namespace
