#include <SDL.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "SDLGuiTestCabinet.h"
#include "playback/Player.h"
#include "support/Files.h"

namespace {

namespace fs = std::filesystem;

const Rgba kBoxColor = Opaque(0, 128, 192);

class SDLGuiMessagesTest : public CabinetTest {
 protected:
  void SetUp() override {
    ASSERT_EQ(Start(), 1);
    gui.Resources().player = &player;
    gui.DrawBackground(true);
  }

  static void Push(Uint8 type, int key) {
    SDL_Event event{};
    event.type = type;
    event.key.keysym.sym = static_cast<SDLKey>(key);
    ASSERT_EQ(SDL_PushEvent(&event), 0);
  }
  Rgba Centre() { return ColorAt(gui.Display().screen, 512, 384); }
  // A point inside the message box of text, clear of the text itself.
  Rgba BoxCorner(const char* text) {
    int textW = 0, textH = 0;
    gui.Writers().genreFont.SizeText(text, &textW, &textH);
    return ColorAt(gui.Display().screen, 512 - (textW + 50) / 2 + 5, 384 - (textH + 50) / 2 + 5);
  }

  Player player{&gui, &library, &queue, ""};
};

TEST_F(SDLGuiMessagesTest, WaitEndsAfterTheTimeout) {
  const uint32_t start = clock.Ticks();
  EXPECT_EQ(gui.Messages().ShowMsg("Buscando", gui.Writers().genreFont, 3000, true, true), -1);
  const uint32_t waited = clock.Ticks() - start;
  EXPECT_GT(waited, 3000u);
  EXPECT_LT(waited, 3100u);
  EXPECT_PRED2(Near, Centre(), Color(kSkinBlue));  // restored
}

TEST_F(SDLGuiMessagesTest, KeyEndsTheWaitAndIsReturned) {
  Push(SDL_KEYDOWN, SDLK_a);
  const uint32_t start = clock.Ticks();
  EXPECT_EQ(gui.Messages().ShowMsg("Presione una tecla", gui.Writers().genreFont, -1, true, false), SDLK_a);
  EXPECT_LT(clock.Ticks() - start, 100u);
  EXPECT_PRED2(Near, Centre(), Color(kSkinBlue));  // a key always takes the box away
}

TEST_F(SDLGuiMessagesTest, CoinsAreCreditedWhileWaiting) {
  config.creditscoin1 = 2;
  Push(SDL_KEYDOWN, config.coin1);
  Push(SDL_KEYUP, config.coin1);
  Push(SDL_KEYDOWN, config.cancelsong);
  Push(SDL_KEYUP, config.cancelsong);
  Push(SDL_KEYDOWN, config.enter);
  EXPECT_EQ(gui.Messages().ShowMsg("Actualizacion detectada", gui.Writers().genreFont, -1, true, true), config.enter);
  EXPECT_EQ(gui.Credits(), 2);
  EXPECT_EQ(gui.Resources().cashbox->CoinCount(1), 1);
  EXPECT_EQ(player.stopRequested, 1);
  EXPECT_EQ(SavedFile().rfind("savedcredits=2\n", 0), 0u);
}

TEST_F(SDLGuiMessagesTest, QuitRequestEndsTheWaitAndIsKept) {
  SDL_Event quit = {};
  quit.type = SDL_QUIT;
  SDL_PushEvent(&quit);
  EXPECT_EQ(gui.Messages().ShowMsg("Presione ACEPTAR", gui.Writers().genreFont, -1, true, true), -1);
  EXPECT_FALSE(gui.stillactive());
}

TEST_F(SDLGuiMessagesTest, BoxWithoutWaitStaysOnScreen) {
  Push(SDL_KEYDOWN, SDLK_a);
  EXPECT_EQ(gui.Messages().ShowMsg("Copiando: Album", gui.Writers().genreFont, 3000, false, false), -1);
  EXPECT_EQ(BoxCorner("Copiando: Album"), kBoxColor);
  EXPECT_EQ(PendingEvents(), 1);  // input is left alone
}

TEST_F(SDLGuiMessagesTest, MessageWiderThanTheScreenStartsAtTheLeftEdge) {
  const std::string wide(120, 'W');
  int textW = 0, textH = 0;
  ASSERT_TRUE(gui.Writers().genreFont.SizeText(wide.c_str(), &textW, &textH));
  ASSERT_GT(textW, 1024);
  gui.Messages().ShowMsg(wide.c_str(), gui.Writers().genreFont, 0, false, false);
  const int aboveText = 384 - (textH + 50) / 2 + 10;
  EXPECT_EQ(ColorAt(gui.Display().screen, 0, aboveText), kBoxColor);
  EXPECT_EQ(ColorAt(gui.Display().screen, 1023, aboveText), kBoxColor);
  EXPECT_PRED2(Near, ColorAt(gui.Display().screen, 0, aboveText - 11), Color(kSkinBlue));
}

TEST_F(SDLGuiMessagesTest, CreditKeyCreditsTheMatchingCoinInput) {
  config.creditscoin2 = 3;
  config.coin3 = SDLK_z;
  config.creditscoin3 = 5;
  gui.Coins().CreditKey(config.coin2);
  gui.Coins().CreditKey(SDLK_z);
  EXPECT_EQ(gui.Credits(), 8);
  EXPECT_EQ(gui.Resources().cashbox->CoinCount(2), 1);
  EXPECT_EQ(gui.Resources().cashbox->CoinCount(3), 1);

  gui.Coins().CreditKey(SDLK_q);  // no coin input
  gui.Coins().CreditKey(0);       // unbound inputs have code 0
  EXPECT_EQ(gui.Credits(), 8);
  EXPECT_EQ(gui.Resources().cashbox->CoinCount(4), 0);
  EXPECT_NE(SavedFile().find("counter3=1\n"), std::string::npos);
}

TEST_F(SDLGuiMessagesTest, CreditsBoxShowsTheCredits) {
  const SDL_Rect box = SDLGui::MakeRect(skin.xcredits, skin.ycredits, skin.wcredits, skin.hcredits);
  auto boxIsPlain = [&] {
    for (int y = box.y; y < box.y + box.h; ++y)
      for (int x = box.x; x < box.x + box.w; ++x)
        if (!Near(ColorAt(gui.Display().screen, x, y), Color(kSkinBlue))) return false;
    return true;
  };
  config.playmode = "";
  gui.Panels().DrawCredits(true);
  EXPECT_TRUE(boxIsPlain());
  config.playmode = "jukebox";
  gui.Coins().CreditKey(config.coin1);
  EXPECT_FALSE(boxIsPlain());
}

TEST_F(SDLGuiMessagesTest, VolumeStopsAtTheLimits) {
  config.volumen = 99;
  gui.Volume().UpVol();
  EXPECT_EQ(config.volumen, 100);
  EXPECT_NE(SavedFile().find("tmpvolumen=100\n"), std::string::npos);
  EXPECT_EQ(gui.Volume().ShownAt(), clock.Ticks());
  // A full bar over the volume panel.
  EXPECT_EQ(ColorAt(gui.Display().screen, skin.xvolumen + skin.wvolumen - 1, skin.yvolumen),
            Opaque(200, 200, 200));

  fs::remove("tempdata");
  clock.Advance(500);
  gui.Volume().UpVol();
  EXPECT_EQ(config.volumen, 100);
  EXPECT_FALSE(StateSaved());  // nothing changed, nothing saved
  EXPECT_EQ(gui.Volume().ShownAt(), clock.Ticks());

  config.volumen = 1;
  gui.Volume().DownVol();
  EXPECT_EQ(config.volumen, 0);
  EXPECT_PRED2(Near, ColorAt(gui.Display().screen, skin.xvolumen, skin.yvolumen), Color(kSkinBlue));
  gui.Money().Flush();
  fs::remove("tempdata");
  gui.Volume().DownVol();
  EXPECT_EQ(config.volumen, 0);
  EXPECT_FALSE(StateSaved());
}

TEST_F(SDLGuiMessagesTest, VolumeBarStaysHiddenUnderAFullScreenVideo) {
  GenreElement genre("Videos");
  DiscElement disc("Disco");
  TrackElement clip("clip.mp4");
  disc.SetGenre(&genre);
  disc.AddTrack(&clip);
  genre.AddDisc(&disc);
  library.AddItem(&genre);
  queue.AddElementToQueue(0, 0, 0);
  player.playing = 1;
  config.volumen = 50;
  gui.Volume().UpVol();
  EXPECT_EQ(config.volumen, 52);
  EXPECT_PRED2(Near, ColorAt(gui.Display().screen, skin.xvolumen, skin.yvolumen), Color(kSkinBlue));
  gui.Input().miniVideo = 1;
  gui.Volume().UpVol();
  EXPECT_PRED2(Near, ColorAt(gui.Display().screen, skin.xvolumen, skin.yvolumen), Opaque(200, 200, 200));
  // The saver reads the catalogue, whose elements here live on this stack.
  gui.Money().Flush();
}

TEST_F(SDLGuiMessagesTest, VideoWindowFullScreenAndHidden) {
  gui.Video().FullVideo();
  EXPECT_EQ(gui.Resources().playerWindow->Area().w, 1024);
  EXPECT_EQ(gui.Resources().playerWindow->Area().h, 768);
  EXPECT_EQ(Centre(), Opaque(0, 0, 0));

  gui.Resources().playerWindow->Move(SDLGui::MakeRect(1, 2, 3, 4));
  gui.Display().dialog = 1;
  gui.Video().FullVideo();  // a dialog is open
  EXPECT_EQ(gui.Resources().playerWindow->Area().x, 1);

  gui.Video().HideVideoWindow();
  EXPECT_FALSE(gui.Resources().playerWindow->IsVisible());
  gui.Video().ShowVideoWindow();
  EXPECT_TRUE(gui.Resources().playerWindow->IsVisible());
}

TEST_F(SDLGuiMessagesTest, PoolTakesOneEventAndEndsOnQuit) {
  Push(SDL_KEYDOWN, SDLK_a);
  Push(SDL_KEYDOWN, SDLK_b);
  gui.pool();
  EXPECT_TRUE(gui.stillactive());
  EXPECT_EQ(PendingEvents(), 1);

  SDL_Event quit{};
  quit.type = SDL_QUIT;
  SDL_PushEvent(&quit);
  gui.pool();
  EXPECT_FALSE(gui.stillactive());
  EXPECT_EQ(player.stopRequested, 1);
}

TEST_F(SDLGuiMessagesTest, PoolAddsTheRunningTime) {
  config.periodoservicio = 1;
  gui.Timing().lastRunTimeSave = clock.Ticks();
  clock.Advance(3000);
  gui.pool();
  EXPECT_FALSE(fs::exists("exectime.txt"));
  clock.Advance(499);  // 3500 ms since the last save, counted by pool's pause
  gui.pool();
  EXPECT_EQ(ReadHostFile("exectime.txt"), "3");
  clock.Advance(2600);  // with the 500 ms left over: 3 more seconds
  gui.pool();
  EXPECT_EQ(ReadHostFile("exectime.txt"), "6");
}

TEST_F(SDLGuiMessagesTest, DrawRedrawsAndChecksTheNetworkStatus) {
  SDL_FillRect(gui.Display().screen, nullptr, 0);
  Push(SDL_KEYDOWN, SDLK_a);
  gui.draw();
  EXPECT_EQ(gui.Display().redrawMode, 2);
  EXPECT_PRED2(Near, Centre(), Color(kSkinBlue));
  EXPECT_FALSE(gui.Resources().playerWindow->IsVisible());
  EXPECT_EQ(PendingEvents(), 1);  // input waits for the loop, whatever was drawn

  WriteHostFile("serverstatus", "0\n");
  gui.Timing().lastOnlineCheck = clock.Ticks();
  clock.Advance(1999);
  gui.draw();
  EXPECT_TRUE(fs::exists("serverstatus"));
  clock.Advance(1);
  gui.draw();
  EXPECT_FALSE(fs::exists("serverstatus"));
  EXPECT_EQ(gui.Timing().lastOnlineCheck, clock.Ticks());
}

}  // namespace
