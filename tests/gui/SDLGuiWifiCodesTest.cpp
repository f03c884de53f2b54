// Wi-Fi codes: the credit question, the charge, the script's arguments, the
// display that lasts while the code's image does, and coins inserted
// meanwhile. A stand-in "code.py" copies a paletted picture as the QR image.
#include <SDL.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "MainScreenFixture.h"
#include "support/Files.h"

namespace fs = std::filesystem;

namespace {

const char* const kCodeScript = R"(import os, shutil, sys
os.makedirs("wificodes", exist_ok=True)
open("args.txt", "w").write(sys.argv[2])
if not os.path.exists("broken"):
    shutil.copy("qr.bmp", "wificodes/%s.png" % sys.argv[1])
)";
constexpr Uint8 kQrRed[3] = {220, 20, 20};
// In a list of keys: a coin inserted.
constexpr int kCoin = -1;

// The manual clock; at usedAt it notes the screen's centre and takes the
// code's image away, as the Wi-Fi portal does once the code is used.
class CodeUsedClock : public platform::ManualClock {
 public:
  using ManualClock::ManualClock;
  void Delay(uint32_t ms) override {
    ManualClock::Delay(ms);
    if (usedAt == 0 || Ticks() < usedAt) return;
    centre = ColorAt(screen, screen->w / 2, screen->h / 2);
    fs::remove_all("wificodes");
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
    Open();
    codeClock.screen = gui.Display().screen;
    WriteHostFile("code.py", kCodeScript);
    WriteHostFile("code_configuration.py", "import shutil\nshutil.copy('qr.bmp', 'CONFIGURATION.png')\n");
    // Its first colour must not turn transparent on the way to the screen.
    SDL_Surface* qr = SDL_CreateRGBSurface(0, 100, 100, 8, 0, 0, 0, 0);
    SDL_Color red = {kQrRed[0], kQrRed[1], kQrRed[2], 0};
    SDL_SetColors(qr, &red, 0, 1);
    SDL_FillRect(qr, nullptr, 0);
    SDL_SaveBMP(qr, "qr.bmp");
    SDL_FreeSurface(qr);
  }

  void Keys(const std::vector<int>& keys) {
    for (int key : keys) {
      SDL_Event event{};
      event.type = key == kCoin ? SDL_KEYUP : SDL_KEYDOWN;
      event.key.keysym.sym = static_cast<SDLKey>(key == kCoin ? config.coin1 : key);
      ASSERT_EQ(SDL_PushEvent(&event), 0);
    }
  }
  uint32_t Elapsed(const std::function<void()>& action) {
    const uint32_t start = codeClock.Ticks();
    action();
    return codeClock.Ticks() - start;
  }

  CodeUsedClock codeClock{1000};
};

TEST_F(SDLGuiWifiCodesTest, PurchasesTakeWhatTheCustomerChose) {
  const struct {
    const char* mode;
    int credits;
    std::vector<int> keys;
    int chosen, left;  // chosen 0: not asked
    const char* passed;  // to the script; empty: no code made
  } purchases[] = {
      {"jukebox", 3, {SDLK_UP, SDLK_UP, SDLK_UP, SDLK_UP, SDLK_a}, 3, 3, ""},
      {"jukebox", 3, {SDLK_DOWN, SDLK_a}, 1, 3, ""},
      {"jukebox", 3, {SDLK_UP, SDLK_RETURN, SDLK_a}, 2, 1, "2"},
      {"fiesta", 0, {SDLK_a}, 0, 0, "-1"},
      // Coins during the question and the display: each credited once.
      {"jukebox", 1, {kCoin, SDLK_UP, SDLK_RETURN, kCoin, SDLK_a}, 2, 1, "2"},
  };
  for (const auto& purchase : purchases) {
    SCOPED_TRACE(purchase.keys.size());
    fs::remove("args.txt");
    config.playmode = purchase.mode;
    GiveCredits(gui, purchase.credits);
    Keys(purchase.keys);
    Press(config.wifi);
    FinishSales();
    for (int pass = 0; pass < 3; ++pass) gui.pool();
    EXPECT_EQ(gui.Credits(), purchase.left);
    EXPECT_EQ(ReadHostFile("args.txt"), purchase.passed);
    if (purchase.chosen == 0) continue;
    EXPECT_EQ(gui.WifiScreen().CodeBook().Credits(), purchase.chosen);
    const std::string saved = "savedcredits=" + std::to_string(purchase.left);
    if (*purchase.passed) {
      EXPECT_NE(SavedFile().find(saved), std::string::npos);
    }
  }
  EXPECT_EQ(gui.WifiScreen().CodeBook().Last().GetLength(), 4u);
  EXPECT_EQ(gui.WifiScreen().CodeBook().Count(), 3);
}

TEST_F(SDLGuiWifiCodesTest, DisplayLastsWhileTheImageDoesAtMostFortySeconds) {
  config.playmode = "fiesta";
  codeClock.usedAt = codeClock.Ticks() + 5000;
  const uint32_t used = Elapsed([&] { Press(config.wifi); });
  EXPECT_GE(used, 5000u);
  EXPECT_LT(used, 5100u);
  EXPECT_TRUE(Near(codeClock.centre, Color(kQrRed)));
  EXPECT_EQ(gui.Display().redrawMode, SDLGui::kUpToDate);  // the main screen drawn again
  const uint32_t unused = Elapsed([&] { Press(config.wifi); });
  EXPECT_GE(unused, 40000u);
  EXPECT_LT(unused, 40100u);
}

TEST_F(SDLGuiWifiCodesTest, CreditsForACodeThatWasNotMadeComeBack) {
  WriteHostFile("broken", "");
  GiveCredits(gui, 2);
  Keys({config.enter});
  const uint32_t shown = Elapsed([&] {
    Press(config.wifi);
    FinishSales();
  });
  EXPECT_GE(shown, 3000u);  // the message, and no wait for a code
  EXPECT_LT(shown, 4000u);
  EXPECT_EQ(gui.Credits(), 2);
  EXPECT_NE(SavedFile().find("savedcredits=2\n"), std::string::npos);
}

// A stale image is never shown: without its script there is no code.
TEST_F(SDLGuiWifiCodesTest, AdminCodeShowsTwentySecondsOrUntilAKey) {
  EXPECT_GE(Elapsed([&] { gui.WifiScreen().makeWifiCodeAdmin(); }), 20000u);
  Keys({SDLK_a});
  EXPECT_LT(Elapsed([&] { gui.WifiScreen().makeWifiCodeAdmin(); }), 100u);
  fs::remove("code_configuration.py");
  EXPECT_LT(Elapsed([&] { gui.WifiScreen().makeWifiCodeAdmin(); }), 4000u);
}

}  // namespace
