#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>

#include "SDLGuiTestCabinet.h"
#include "support/Files.h"
#include "support/Sales.h"

namespace {

namespace fs = std::filesystem;

using SDLGuiSetupTest = CabinetTest;

TEST_F(SDLGuiSetupTest, InitializeSetsUpTheWholeDisplay) {
  ASSERT_EQ(Start(), 1) << setUpLog;
  ASSERT_NE(gui.Display().screen, nullptr);
  EXPECT_EQ(gui.Display().screen->w, 1024);
  EXPECT_EQ(gui.Display().screen->h, 768);
  EXPECT_EQ(setUpLog.find("Error al cargar"), std::string::npos) << setUpLog;
  for (const auto& [name, surface] : LoadedImages(gui)) EXPECT_NE(surface, nullptr) << name;
  EXPECT_EQ(gui.Images().tvOutImage, nullptr);

  EXPECT_EQ(gui.Images().background->w, 1024);
  EXPECT_EQ(gui.Images().background->h, 768);
  EXPECT_EQ(gui.Images().coverSurface->w, skin.wcover);
  EXPECT_EQ(gui.Images().coverSurface->h, skin.hcovers);
  EXPECT_EQ(gui.Images().buttonImages[1]->w, 128);  // accept
  EXPECT_EQ(gui.Images().keyboardImage->w, 700);    // unscaled
  EXPECT_EQ(gui.Images().creditsSave->w, skin.wcredits);

  // The genres list takes the dialog image's size, centred.
  EXPECT_EQ(skin.wgenreslist, 500);
  EXPECT_EQ(skin.hgenreslist, 400);
  EXPECT_EQ(skin.xgenreslist, 262);
  EXPECT_EQ(skin.ygenreslist, 184);
  EXPECT_EQ(gui.Lists().resultsList->rect.x, 212);  // centred on (512, 384)
  ASSERT_EQ(gui.Lists().configList->Count(), 14);
  EXPECT_STREQ(gui.Lists().configList->GetItem(13), "Salir");
  EXPECT_NE(gui.Writers().keyboardFont.GetFont(), nullptr);

  char* caption = nullptr;
  SDL_WM_GetCaption(&caption, nullptr);
  EXPECT_STREQ(caption, "Melodeck");
  EXPECT_NE(gui.Carousel().Ring().At(CoverRing::kSlots - 1), nullptr);
  EXPECT_EQ(gui.Carousel().Ring().At(CoverRing::kSlots), nullptr);
  EXPECT_EQ(clock.Ticks(), 2000u);  // the one-second settling pause
  EXPECT_EQ(gui.Timing().readyAt, 2000u);
  EXPECT_FALSE(fs::exists("exectime.txt"));  // no service period configured

  // Under the dummy driver the video window is a stand-in on the media panel.
  EXPECT_EQ(gui.Resources().mainWindow, 0u);
  ASSERT_NE(gui.Resources().playerWindow, nullptr);
  const SDL_Rect area = gui.Resources().playerWindow->Area();
  EXPECT_EQ(area.x, skin.xmedia);
  EXPECT_EQ(area.y, skin.ymedia);
  EXPECT_EQ(area.w, skin.wmedia);
  EXPECT_EQ(area.h, skin.hmedia);
  EXPECT_TRUE(gui.Resources().playerWindow->IsVisible());
  EXPECT_EQ(gui.GetWindowPlayerHandle(), 0u);
}

TEST_F(SDLGuiSetupTest, TvOutDoublesTheWindowAndListsTheAdvertising) {
  config.tvout = 1;
  WriteHostFile("publicidad/anuncio1.jpg", "x");
  WriteHostFile("publicidad/anuncio2.png", "x");
  WriteHostFile("publicidad/.oculto", "x");
  ASSERT_EQ(Start(), 1) << setUpLog;

  EXPECT_NE(setUpLog.find("VENTANA DOBLE: 2390 x 768\n"), std::string::npos) << setUpLog;
  EXPECT_EQ(gui.Display().screen->w, 2390);
  EXPECT_EQ(gui.Display().screen->h, 768);
  ASSERT_NE(gui.Images().tvOutImage, nullptr);
  EXPECT_EQ(gui.Images().tvOutImage->w, 1366);
  EXPECT_EQ(gui.Images().tvOutImage->h, 768);
  EXPECT_PRED2(Near, ColorAt(gui.Display().screen, 1024 + 700, 400), Color(kTvYellow));
  EXPECT_EQ(gui.MarqueePart().TvMovedAt(), 2000u);
  EXPECT_EQ(gui.MarqueePart().AdvertisingShownAt(), 2000u);

  std::set<std::string> ads;
  for (RItemList* node = gui.MarqueePart().Advertising().GetFirst(); node != nullptr; node = node->next)
    ads.insert(static_cast<const RString*>(node->data)->c_str());
  EXPECT_EQ(ads, (std::set<std::string>{"anuncio1.jpg", "anuncio2.png"}));

  const SDL_Rect area = gui.Resources().playerWindow->Area();
  EXPECT_EQ(area.x, 1024);
  EXPECT_EQ(area.y, 0);
  EXPECT_EQ(area.w, 1366);
  EXPECT_EQ(area.h, 768);
}

// A missing gear icon is skipped silently; other images stop the loading.
TEST_F(SDLGuiSetupTest, MissingImageStopsTheLaterOnes) {
  WriteCabinet(".");
  fs::remove("images/gear-icon_32x32.png");
  fs::remove("images/back.png");
  ASSERT_EQ(Initialize(), 1);
  EXPECT_EQ(setUpLog.find("Error al cargar"), setUpLog.find("Error al cargar back.png: "))
      << setUpLog;
  EXPECT_EQ(gui.Images().gearIcons[0], nullptr);
  EXPECT_NE(gui.Images().gearIcons[1], nullptr);
  EXPECT_NE(gui.Images().buttonImages[5], nullptr);
  EXPECT_EQ(gui.Images().backImage, nullptr);
  EXPECT_EQ(gui.Images().onlineIcon, nullptr);
  EXPECT_EQ(gui.Images().digitImages[0], nullptr);
}

TEST_F(SDLGuiSetupTest, MissingSkinImageLoadsNoImage) {
  WriteCabinet(".");
  fs::remove("skins/skin.jpg");
  ASSERT_EQ(Initialize(), 1);
  EXPECT_NE(setUpLog.find("Error al cargar skin.jpg : "), std::string::npos) << setUpLog;
  EXPECT_EQ(gui.Images().background, nullptr);
  EXPECT_EQ(gui.Images().coverSurface, nullptr);
  EXPECT_EQ(gui.Images().digitImages[9], nullptr);
  EXPECT_EQ(gui.Service().OnlineChecker(), 0);  // no images: the indicator is not drawn
}

// The money goes on: only the marquee calls for service.
TEST_F(SDLGuiSetupTest, LedgerThatCannotBeOpenedLeavesTheCabinetSelling) {
  fs::create_directory("mldkhub.db");
  ASSERT_EQ(Start(), 1);
  gui.Money().StartLedger(false);
  EXPECT_TRUE(gui.Money().LedgerFailing());
  EXPECT_STREQ(gui.MarqueeText().Chars(), "No se puede escribir el registro de ventas: llame al encargado");
  gui.Money().CreditCoin(1);
  EXPECT_EQ(SaleOf(gui.Money(), gui.Money().Buy(QueueElement{0, 0, 0}, 1)), Cashbox::Sale::kDone);
  gui.Money().StopLedger(43);
}

TEST_F(SDLGuiSetupTest, SavedStateAndVolumePrecedence) {
  WriteHostFile("tempdata", "savedcredits=5\ntmpvolumen=30\n");
  ASSERT_EQ(Start(), 1);
  EXPECT_EQ(gui.Credits(), 5);
  EXPECT_EQ(config.volumen, 30);  // nothing configured: the saved volume applies
}

TEST_F(SDLGuiSetupTest, ConfiguredVolumeWinsOverTheSavedOne) {
  WriteHostFile("tempdata", "savedcredits=2\ntmpvolumen=30\n");
  config.volumen = 70;
  ASSERT_EQ(Start(), 1);
  EXPECT_EQ(gui.Credits(), 2);
  EXPECT_EQ(config.volumen, 70);
}

TEST_F(SDLGuiSetupTest, RunningTimeCounterGrows) {
  testing::internal::CaptureStdout();
  gui.Service().save_exec(3);
  gui.Service().save_exec(3);
  const std::string log = testing::internal::GetCapturedStdout();
  EXPECT_EQ(ReadHostFile("exectime.txt"), "6");
  EXPECT_EQ(log.rfind("File created: ", 0), 0u) << log;
  EXPECT_EQ(log.find("File created: ", 1), std::string::npos) << log;

  WriteHostFile("exectime.txt", "359997 horas");
  gui.Service().save_exec(4);
  EXPECT_EQ(ReadHostFile("exectime.txt"), "360001");
}

class ServiceReminderTest : public CabinetTest {
 protected:
  // Sets up with a service period of 100 hours and a pending key press;
  // whether the reminder took the key.
  bool ReminderShownWithCounter(const std::string& counter) {
    config.periodoservicio = 100;
    if (Start() != 1) return false;
    WriteHostFile("exectime.txt", counter);
    PushKey(SDLK_RETURN);
    testing::internal::CaptureStdout();
    gui.Service().RemindServiceWhenDue();
    reminderLog = testing::internal::GetCapturedStdout();
    SDL_Event event;
    return SDL_PollEvent(&event) == 0;
  }
  static void PushKey(SDLKey key) {
    SDL_Event event{};
    event.type = SDL_KEYDOWN;
    event.key.keysym.sym = key;
    SDL_PushEvent(&event);
  }
  std::string reminderLog;
};

// The counter includes the 3 seconds added just before it is read.
TEST_F(ServiceReminderTest, ShownPastThePeriod) {
  EXPECT_TRUE(ReminderShownWithCounter("359998"));
  EXPECT_EQ(reminderLog, "Execution count: 360001\n");
  EXPECT_EQ(gui.Timing().lastRunTimeSave, clock.Ticks());
}

TEST_F(ServiceReminderTest, NotShownAtThePeriod) {
  EXPECT_FALSE(ReminderShownWithCounter("359997"));
  EXPECT_EQ(reminderLog, "Execution count: 360000\n");
}

TEST_F(SDLGuiSetupTest, InitializeCountsRunningTimeWithAServicePeriod) {
  config.periodoservicio = 100;
  ASSERT_EQ(Start(), 1);
  EXPECT_EQ(ReadHostFile("exectime.txt"), "3");
  EXPECT_NE(setUpLog.find("Execution count: 3\n"), std::string::npos) << setUpLog;
}

class OnlineIndicatorTest : public CabinetTest {
 protected:
  void SetUp() override {
    ASSERT_EQ(Start(), 1);
    gui.DrawBackground(true);
  }
  // The indicator sits at (921, 614) on a 1024 × 768 screen.
  Rgba Indicator() { return ColorAt(gui.Display().screen, 921 + 20, 614 + 20); }
  Rgba BesideIndicator() { return ColorAt(gui.Display().screen, 920, 613); }
};

TEST_F(OnlineIndicatorTest, OfflineStatusShowsTheOfflineIconAndIsDeleted) {
  WriteHostFile("serverstatus", "0\r\n");
  EXPECT_EQ(gui.Service().OnlineChecker(), 0);
  EXPECT_PRED2(Near, Indicator(), Color(kOfflineRed));
  EXPECT_PRED2(Near, ColorAt(gui.Display().screen, 921, 614), Color(kOfflineRed));
  EXPECT_PRED2(Near, ColorAt(gui.Display().screen, 960, 653), Color(kOfflineRed));
  EXPECT_PRED2(Near, ColorAt(gui.Display().screen, 961, 654), Color(kSkinBlue));
  EXPECT_FALSE(fs::exists("serverstatus"));
}

TEST_F(OnlineIndicatorTest, OtherStatusShowsTheOnlineIconOverThePreviousOne) {
  WriteHostFile("serverstatus", "0\n");
  gui.Service().OnlineChecker();
  WriteHostFile("serverstatus", "1\n");
  EXPECT_EQ(gui.Service().OnlineChecker(), 0);
  EXPECT_PRED2(Near, Indicator(), Color(kOnlineGreen));
  EXPECT_FALSE(fs::exists("serverstatus"));
}

TEST_F(OnlineIndicatorTest, EmptyStatusIsSkippedAndStays) {
  WriteHostFile("serverstatus", "");
  testing::internal::CaptureStdout();
  EXPECT_EQ(gui.Service().OnlineChecker(), -1);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "SALTANDO SERVERSTATUS\n");
  EXPECT_TRUE(fs::exists("serverstatus"));
  EXPECT_PRED2(Near, Indicator(), BesideIndicator());
}

TEST_F(OnlineIndicatorTest, MissingStatusChangesNothing) {
  EXPECT_EQ(gui.Service().OnlineChecker(), 0);
  EXPECT_PRED2(Near, Indicator(), BesideIndicator());
}

TEST_F(SDLGuiSetupTest, GenresListNumbersEveryGenre) {
  library.GetOrAddGenre("Rock");
  library.GetOrAddGenre("Baladas");
  ASSERT_EQ(Start(), 1);
  ASSERT_EQ(gui.Lists().genresList->Count(), 2);
  EXPECT_STREQ(gui.Lists().genresList->GetItem(0), "1.- Rock");
  EXPECT_STREQ(gui.Lists().genresList->GetItem(1), "2.- Baladas");
  EXPECT_EQ(gui.GenresList().CreateGenresList(), 2);
  EXPECT_EQ(gui.Lists().genresList->Count(), 2);
}

// The make-cabinet script of the demo builds a complete working directory.
TEST_F(SDLGuiSetupTest, DemoCabinetSetsUpCompletely) {
  const fs::path script = fs::path(MELODECK_SOURCE_DIR) / "demo" / "make-cabinet";
  if (!fs::exists(script)) GTEST_SKIP() << "no " << script;
  const std::string command =
      std::string("CONFIGTOOL=") + MELODECK_CONFIGTOOL + " " + script.string() + " cabinet > make-cabinet.log 2>&1";
  if (std::system(command.c_str()) != 0) {
    const std::string log = ReadHostFile("make-cabinet.log");
    if (log.find(" is missing") != std::string::npos) GTEST_SKIP() << log;
    FAIL() << log;
  }
  // The jukebox takes the pictures the cabinet lacks from its own folder,
  // which is this test's here: they come as the cabinet's own.
  fs::copy(MELODECK_DEFAULT_FILES, "cabinet", fs::copy_options::recursive | fs::copy_options::skip_existing);
  fs::current_path("cabinet");
  ASSERT_EQ(config.LoadConfiguration("configuration"), 1);
  config.volumen = -1;  // leave the test machine's volume alone
  Skin demoSkin(1024, 768, 1);
  demoSkin.SetSkinName(config.skinname);
  demoSkin.CalculateCoordinates(1, 0, 0);
  config.periodoservicio = 0;
  testing::internal::CaptureStdout();
  const int result = gui.initialize(&demoSkin, &library, nullptr, &config);
  const std::string log = testing::internal::GetCapturedStdout();
  fs::current_path(dir.Path());
  ASSERT_EQ(result, 1) << log;
  EXPECT_EQ(log.find("Error al cargar"), std::string::npos) << log;
  EXPECT_EQ(log.find("TTF_OpenFont"), std::string::npos) << log;
  for (const auto& [name, surface] : LoadedImages(gui)) EXPECT_NE(surface, nullptr) << name;
  EXPECT_EQ(gui.Images().tvOutImage != nullptr, config.tvout != 0);
}

}  // namespace
