#include <SDL.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "MainScreenFixture.h"
#include "support/Files.h"
#include "support/HeldDisk.h"

namespace {

// Genre 0: album 0 of four songs, album 1 of a video and a karaoke track.
class SDLGuiPlayTest : public MainScreenTest {
 protected:
  void SetUp() override {
    GenreElement* genre = catalogue.AddGenre("Mixto", 1, 4);
    DiscElement* videos = catalogue.AddDisc(genre, "Videos", 0, false);
    catalogue.AddTrack(videos, "Clip.avi");
    catalogue.AddTrack(videos, "Cancion.cdg");
    config.playmode = "jukebox";
    config.creditsbyplay = 1;
    config.creditsbyvideo = 1;
    Open();
  }

  // Enter on the main screen; how long its messages kept the program.
  uint32_t Enter() {
    return WaitOf([&] {
      Press(config.enter);
      FinishSales();
    });
  }
  std::vector<QueueElement> Entries() const { return queue.GetElements(); }
  static bool Is(const QueueElement& entry, uint32_t disc, uint32_t track, uint8_t vip = 0) {
    return entry.genre == 0 && entry.disc == disc && entry.track == track && entry.vip == vip;
  }
  std::string SavedCredits() {
    const std::string saved = SavedFile();
    return saved.substr(0, saved.find('\n'));
  }
};

TEST_F(SDLGuiPlayTest, TooFewCreditsBuyNothing) {
  EXPECT_GE(Enter(), 5000u);  // "Creditos insuficientes !!!"

  // A video needs creditsbyplay too, and is refused without a word.
  config.creditsbyplay = 2;
  GiveCredits(gui, 1);
  Select(0, 1, 0);
  EXPECT_LT(Enter(), 100u);

  config.creditsbyplay = 1;
  config.creditsbyvideo = 3;
  GiveCredits(gui, 2);
  Select(0, 1, 1);
  EXPECT_GE(Enter(), 5000u);  // "Creditos insuficientes para Video !!!"
  EXPECT_EQ(queue.Count(), 0);
  EXPECT_EQ(gui.Credits(), 2);
}

// Free modes take nothing, whatever the price; coins inserted meanwhile stay
// the customer's for the coin-operated mode.
TEST_F(SDLGuiPlayTest, FreeModesChargeNothing) {
  config.playmode = "fiesta";
  config.creditsbyvideo = 2;
  for (uint32_t track : {0u, 1u, 2u}) {
    Select(0, 0, track);
    Enter();
  }
  ASSERT_EQ(queue.Count(), 3);
  EXPECT_EQ(gui.Credits(), 0);
  gui.Coins().CreditKey(config.coin1);
  gui.Coins().CreditKey(config.coin1);
  Select(0, 1, 0);
  Enter();
  EXPECT_EQ(queue.Count(), 4);
  for (const QueueElement& entry : queue.GetElements()) EXPECT_EQ(entry.paid, 0);

  config.playmode = "jukebox";
  EXPECT_EQ(gui.Credits(), 2);
  EXPECT_EQ(SavedCredits(), "savedcredits=2");
}

TEST_F(SDLGuiPlayTest, OneTrackIsChargedQueuedAndSaved) {
  config.creditsbyplay = 2;
  GiveCredits(gui, 5);
  Select(0, 0, 2);
  EXPECT_GE(Enter(), 3000u);  // "Agregado: Tema 2"
  ASSERT_EQ(queue.Count(), 1);
  EXPECT_TRUE(Is(Entries()[0], 0, 2));
  EXPECT_EQ(gui.Credits(), 3);
  EXPECT_EQ(SavedCredits(), "savedcredits=3");

  // Without VIP, enter on the track just queued does nothing.
  EXPECT_LT(Enter(), 100u);
  EXPECT_EQ(queue.Count(), 1);
  EXPECT_EQ(gui.Credits(), 3);
}

// While the state cannot be saved the marquee calls for service, coins
// still show, and a purchase is refused with a message and charges nothing;
// once the disk takes the state again, everything is in it.
TEST_F(SDLGuiPlayTest, PurchaseThatCannotBeSavedIsNotTaken) {
  std::filesystem::create_directory("tempdata.tmp");  // no temporary file can be made
  testing::internal::CaptureStdout();
  gui.Coins().CreditKey(config.coin1);
  gui.Money().Flush();
  gui.draw();
  EXPECT_STREQ(gui.MarqueeText().c_str(), "No se pueden guardar los creditos: llame al encargado");
  EXPECT_EQ(gui.Credits(), 1);
  Select(0, 0, 2);
  EXPECT_GE(Enter(), 5000u);
  EXPECT_EQ(queue.Count(), 0);
  EXPECT_EQ(gui.Credits(), 1);

  std::filesystem::remove("tempdata.tmp");
  clock.Advance(Cashbox::kRetryInterval);
  gui.draw();
  gui.Money().Flush();
  gui.draw();
  const std::string log = testing::internal::GetCapturedStdout();
  EXPECT_NE(log.find("Compra no realizada: no se pudo guardar"), std::string::npos) << log;
  EXPECT_STRNE(gui.MarqueeText().c_str(), "No se pueden guardar los creditos: llame al encargado");
  EXPECT_EQ(SavedCredits(), "savedcredits=1");
}

// On a slow disk a purchase says nothing until its state is saved: no
// notice, no "Compra:" line, nothing queued or taken. Meanwhile the loop
// goes on, a coin shows on the screen at once, and the customer's next key
// waits for the sale.
TEST_F(SDLGuiPlayTest, PurchaseIsToldOnlyOnceSaved) {
  const SDL_Rect box = SDLGui::MakeRect(skin.xcredits, skin.ycredits, skin.wcredits, skin.hcredits);
  auto creditsShown = [&] {
    std::vector<Rgba> pixels;
    for (int y = box.y; y < box.y + box.h; ++y)
      for (int x = box.x; x < box.x + box.w; ++x) pixels.push_back(ColorAt(gui.Display().screen, x, y));
    return pixels;
  };
  GiveCredits(gui, 2);
  gui.Panels().DrawCredits(true);
  const std::vector<Rgba> twoCredits = creditsShown();
  HeldDisk disk;
  gui.Money().SetStateWriter(disk.Writer());
  Select(0, 0, 2);
  std::string log = LogOf([&] {
    EXPECT_LT(WaitOf([&] { Press(config.enter); }), 100u);
    ASSERT_TRUE(disk.WaitForWrites(1));
    for (const auto& [type, key] : {std::pair{SDL_KEYDOWN, config.coin1}, {SDL_KEYUP, config.coin1},
                                    {SDL_KEYDOWN, config.down}}) {
      SDL_Event event{};
      event.type = type;
      event.key.keysym.sym = static_cast<SDLKey>(key);
      ASSERT_EQ(SDL_PushEvent(&event), 0);
    }
    EXPECT_LT(WaitOf([&] {
      for (int pass = 0; pass < 3; ++pass) gui.draw(), gui.pool();
    }), 100u);
  });
  EXPECT_EQ(log.find("Compra:"), std::string::npos) << log;
  EXPECT_EQ(queue.Count(), 0);
  EXPECT_EQ(gui.Credits(), 3);
  EXPECT_NE(creditsShown(), twoCredits);
  EXPECT_EQ(gui.Selection().selTrack, 2u);
  ASSERT_EQ(gui.Inputs().KeptCount(), 3u);

  disk.Release();
  log = LogOf([&] {
    gui.Money().Flush();
    gui.draw();
  });
  EXPECT_NE(log.find("Compra: 0,0,2 por 1 creditos, quedan 2\n"), std::string::npos) << log;
  ASSERT_EQ(queue.Count(), 1);
  EXPECT_TRUE(Is(Entries()[0], 0, 2));
  EXPECT_EQ(SavedCredits(), "savedcredits=2");
  // The notice took the key that waited, as it takes one pressed while up.
  EXPECT_TRUE(gui.Inputs().KeptCount() == 0);
}

TEST_F(SDLGuiPlayTest, WholeAlbumStopsWhenTheCreditsRunOut) {
  config.creditsbyplay = 2;
  GiveCredits(gui, 5);
  gui.Selection().enteringTrack = 1;
  Press(config.n0);
  ASSERT_TRUE(gui.Lists().tracksList->highlightAll);

  EXPECT_GE(Enter(), 3000u);  // "Elementos agregados: 2"
  const std::vector<QueueElement> entries = Entries();
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_TRUE(Is(entries[0], 0, 0));
  EXPECT_TRUE(Is(entries[1], 0, 1));
  EXPECT_EQ(gui.Credits(), 1);
  EXPECT_EQ(SavedCredits(), "savedcredits=1");
  EXPECT_FALSE(gui.Lists().tracksList->highlightAll);

  // Each item is checked against its own price: of two at 2 credits, 3
  // credits buy one and never go below 0.
  queue.Remove(1);
  queue.Remove(0);
  config.creditsbyplay = 1;
  config.creditsbyvideo = 2;
  GiveCredits(gui, 3);
  Select(0, 1, 0);
  gui.Selection().typedNumber = "";
  Press(config.n0);
  const std::string log = LogOf([&] { Enter(); });
  EXPECT_NE(log.find("Compra: 1 elementos del album 0,1 por 2 creditos, quedan 1\n"), std::string::npos) << log;
  ASSERT_EQ(queue.Count(), 1);
  EXPECT_TRUE(Is(Entries()[0], 1, 0));
  EXPECT_EQ(gui.Credits(), 1);
}

TEST_F(SDLGuiPlayTest, TypedZeroWhoseHighlightWasLostIsConfirmedFirst) {
  config.playmode = "fiesta";
  gui.Selection().enteringTrack = 1;
  Press(config.n0);
  Press(config.down);  // the highlight goes, the digit stays

  Enter();
  EXPECT_TRUE(gui.Lists().tracksList->highlightAll);
  EXPECT_EQ(queue.Count(), 0);
  Enter();
  EXPECT_EQ(queue.Count(), 4);
}

TEST_F(SDLGuiPlayTest, VipMovesTheLastTrackAheadOfTheWaitingOnes) {
  config.creditsvip = 2;
  queue.AddElementToQueue(0, 0, 0);  // playing
  queue.AddElementToQueue(0, 0, 1);
  queue.AddElementToQueue(0, 0, 2);
  GiveCredits(gui, 4);
  Select(0, 0, 3);
  Enter();
  ASSERT_EQ(gui.Credits(), 3);

  Answer(SDLK_a);  // declined
  Enter();
  EXPECT_TRUE(Is(Entries()[3], 0, 3));
  EXPECT_EQ(gui.Credits(), 3);

  Answer(config.enter);
  EXPECT_GE(Enter(), 3000u);  // "Modo VIP activado"
  const std::vector<QueueElement> entries = Entries();
  ASSERT_EQ(entries.size(), 4u);
  EXPECT_TRUE(Is(entries[1], 0, 3, 1));
  EXPECT_TRUE(Is(entries[2], 0, 1));
  EXPECT_EQ(gui.Credits(), 1);
  EXPECT_EQ(SavedCredits(), "savedcredits=1");

  Select(0, 0, 2);
  EXPECT_GE(Enter(), 5000u);  // "Creditos insuficientes para VIP !!!"
  EXPECT_TRUE(Is(Entries()[3], 0, 2));
}

// Neither the item playing nor one already VIP would move.
TEST_F(SDLGuiPlayTest, NoVipOfferWhereItWouldGainNothing) {
  config.creditsvip = 1;
  GiveCredits(gui, 5);
  Select(0, 0, 1);
  Answer(config.enter);

  queue.AddElementToQueue(0, 0, 1);
  Enter();  // playing
  queue.AddElementToQueueVIP(0, 0, 1);
  Enter();  // already VIP
  queue.Remove(1);
  queue.Remove(0);
  queue.AddElementToQueue(0, 0, 0);
  queue.AddElementToQueue(0, 0, 1);
  Enter();  // only the one playing ahead

  EXPECT_EQ(PendingEvents(), 1);  // no question read the answer
  EXPECT_EQ(gui.Credits(), 5);
  EXPECT_EQ(queue.Count(), 2);
}

}  // namespace
