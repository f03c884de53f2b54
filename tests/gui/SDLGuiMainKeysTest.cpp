#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "MainScreenFixture.h"

namespace {

class SDLGuiMainKeysTest : public MainScreenTest {
 protected:
  void Type(const std::string& digits) {
    const int32_t keys[] = {config.n0, config.n1, config.n2, config.n3, config.n4,
                            config.n5, config.n6, config.n7, config.n8, config.n9};
    for (char digit : digits) Press(keys[digit - '0']);
  }
  std::string Typed() const { return gui.Selection().typedNumber.c_str() ? gui.Selection().typedNumber.c_str() : ""; }
};

TEST_F(SDLGuiMainKeysTest, TrackSelectionWrapsAroundTheAlbum) {
  catalogue.AddGenre("Rock", 2, 3);
  catalogue.AddDisc(library.GetGenre(0), "Vacio", 0, false);
  Open();

  Press(config.up);
  EXPECT_EQ(gui.Selection().selTrack, 2u);
  Press(config.down);
  EXPECT_EQ(gui.Selection().selTrack, 0u);
  EXPECT_EQ(gui.Lists().tracksList->GetSelected(), 0);

  Select(0, 2, 0);  // no tracks: track 0 stays
  Press(config.up);
  Press(config.down);
  EXPECT_EQ(gui.Selection().selTrack, 0u);
}

TEST_F(SDLGuiMainKeysTest, SmallGenresStopAtTheirEndsButEndTheNumberEntry) {
  catalogue.AddGenre("Trio", 3);
  catalogue.AddGenre("Cuarteto", 4);
  Open();

  gui.Selection().enteringTrack = 1;
  gui.Selection().typedNumber = "2";
  Press(config.left);
  EXPECT_EQ(gui.Selection().selDisc, 0u);
  EXPECT_EQ(gui.Selection().enteringTrack, 0);
  EXPECT_EQ(Typed(), "");
  Select(0, 2, 0);
  Press(config.right);
  EXPECT_EQ(gui.Selection().selDisc, 2u);

  Select(1, 0, 0);
  Press(config.left);
  EXPECT_EQ(gui.Selection().selDisc, 3u);
  Press(config.right);
  EXPECT_EQ(gui.Selection().selDisc, 0u);
}

TEST_F(SDLGuiMainKeysTest, NavigationByFourSlidesTheCarouselFourTimes) {
  catalogue.AddGenre("Diez", 10);
  catalogue.AddGenre("Dos", 2);
  config.navigation4 = true;
  Open();

  Select(0, 8, 2);
  ASSERT_TRUE(SettleCovers());
  Press(config.right);
  EXPECT_EQ(gui.Selection().selDisc, 2u);
  EXPECT_EQ(gui.Selection().selTrack, 0u);
  // Four slots turned: the selection's cover is in place, the last four
  // slots wait to be loaded.
  EXPECT_EQ(gui.Carousel().Ring().At(CoverRing::kSelected)->disc, 2u);
  EXPECT_NE(gui.Carousel().Ring().At(19)->cover, nullptr);
  for (int slot = 20; slot < CoverRing::kSlots; ++slot)
    EXPECT_EQ(gui.Carousel().Ring().At(slot)->cover, nullptr) << slot;

  Select(0, 1, 0);
  Press(config.left);
  EXPECT_EQ(gui.Selection().selDisc, 7u);

  Select(1, 0, 0);  // two albums: the move stays inside the genre
  Press(config.right);
  EXPECT_EQ(gui.Selection().selDisc, 1u);
  Press(config.left);
  EXPECT_EQ(gui.Selection().selDisc, 0u);
}

TEST_F(SDLGuiMainKeysTest, TypedAlbumNumberSelectsTheAlbumOrIsRefused) {
  catalogue.AddGenre("Doce", 12, 9);
  Open();

  Type("05");
  EXPECT_EQ(gui.Selection().selDisc, 4u);
  EXPECT_EQ(gui.Selection().enteringTrack, 1);
  EXPECT_EQ(Typed(), "");
  EXPECT_EQ(gui.Display().redrawMode, SDLGui::kFullRedraw);

  gui.Selection().enteringTrack = 0;
  Type("1");
  EXPECT_GT(WaitOf([&] { Type("3"); }), 3000u);  // "El disco seleccionado no existe"
  EXPECT_EQ(Typed(), "1");
  EXPECT_EQ(gui.Selection().selDisc, 4u);
  gui.Selection().typedNumber = "";
  Type("00");
  EXPECT_EQ(Typed(), "0");
}

TEST_F(SDLGuiMainKeysTest, TypedTrackNumberSelectsMarksOrBuys) {
  catalogue.AddGenre("Rock", 2, 9);
  catalogue.AddDisc(library.GetGenre(0), "Largo", 12, false);
  config.playmode = "fiesta";
  Open();
  gui.Selection().enteringTrack = 1;

  Type("04");  // a complete number takes no more digits
  EXPECT_TRUE(gui.Lists().tracksList->highlightAll);
  EXPECT_EQ(Typed(), "0");
  EXPECT_EQ(gui.Selection().selTrack, 0u);

  Press(config.cancel);
  config.numenter = true;
  Type("4");
  FinishSales();
  EXPECT_EQ(gui.Selection().selTrack, 3u);
  EXPECT_FALSE(gui.Lists().tracksList->highlightAll);
  ASSERT_EQ(queue.Count(), 1);
  EXPECT_EQ(queue.GetLastElement()->track, 3u);

  Select(0, 2, 0);
  gui.Selection().typedNumber = "";
  Type("1");
  EXPECT_GT(WaitOf([&] { Type("3"); }), 3000u);  // "La pista seleccionada no existe"
  EXPECT_EQ(Typed(), "1");
}

TEST_F(SDLGuiMainKeysTest, CancelGoesBackFromTheTrackToTheAlbumNumber) {
  catalogue.AddGenre("Doce", 12);
  Open();
  Select(0, 4, 0);
  gui.Selection().enteringTrack = 1;

  Press(config.cancel);
  EXPECT_EQ(gui.Selection().enteringTrack, 0);
  EXPECT_EQ(Typed(), "05");
  Press(config.cancel);
  EXPECT_EQ(Typed(), "0");
}

TEST_F(SDLGuiMainKeysTest, RolesMatchInOrderAndUnboundOnesNever) {
  catalogue.AddGenre("Rock", 2);
  Open();
  const std::filesystem::path marker = dir.Path() / "apagado";
  setenv("MELODECK_POWEROFF", ("touch " + marker.string()).c_str(), 1);

  Press(0);  // discover, configmenu, abc, exit, apagar... are unbound
  EXPECT_FALSE(std::filesystem::exists(marker));
  EXPECT_EQ(gui.Display().quitRequested, 0);

  config.apagar = SDLK_F15;
  Press(SDLK_F15);
  unsetenv("MELODECK_POWEROFF");
  EXPECT_TRUE(std::filesystem::exists(marker));

  config.exit = config.down;  // exit comes before down
  Press(config.down);
  EXPECT_EQ(gui.Display().quitRequested, 1);
  EXPECT_EQ(gui.Selection().selTrack, 0u);
}

TEST_F(SDLGuiMainKeysTest, AccessSequenceOpensTheOperatorMenu) {
  catalogue.AddGenre("Rock", 4);
  Open();

  gui.Input().menuSequenceStep = 1;
  Press(config.down);  // the second key out of turn ends it and acts
  EXPECT_EQ(gui.Selection().selTrack, 1u);
  EXPECT_EQ(gui.Input().menuSequenceStep, 0);
  gui.Input().menuSequenceStep = 1;
  Press(config.up);
  EXPECT_EQ(gui.Input().menuSequenceStep, 2);
  const std::string log = LogOf([&] { Press(config.down); });
  EXPECT_EQ(log.rfind("Abrir menu inteligente\n", 0), 0u) << log;
  EXPECT_EQ(gui.Input().menuSequenceStep, 0);
  EXPECT_EQ(gui.Selection().selTrack, 1u);

  gui.Input().menuSequenceStep = 2;
  Press(config.right);  // any other key ends the sequence and acts
  EXPECT_EQ(gui.Input().menuSequenceStep, 0);
  EXPECT_EQ(gui.Selection().selDisc, 1u);
}

TEST_F(SDLGuiMainKeysTest, WifiCodeNeedsCreditInTheCoinOperatedMode) {
  catalogue.AddGenre("Rock", 1);
  config.playmode = "jukebox";
  Open();
  const std::string kQuestionAnswered = "Tecla: 98\n";

  Answer(SDLK_a);
  std::string log = LogOf([&] { Press(config.wifi); });
  EXPECT_NE(log.find("Tecla: 97\nCreditos: 0\n"), std::string::npos) << log;
  EXPECT_EQ(log.find(kQuestionAnswered), std::string::npos) << log;

  GiveCredits(gui, -2);  // a debt is no credit
  Answer(SDLK_a);
  log = LogOf([&] { Press(config.wifi); });
  EXPECT_EQ(log.find(kQuestionAnswered), std::string::npos) << log;

  // A coin inserted while the request waits leads to the credit question.
  GiveCredits(gui, 0);
  SDL_Event coin{};
  coin.type = SDL_KEYUP;
  coin.key.keysym.sym = static_cast<SDLKey>(config.coin1);
  ASSERT_EQ(SDL_PushEvent(&coin), 0);
  Answer(SDLK_a);
  Answer(SDLK_b);
  log = LogOf([&] { Press(config.wifi); });
  EXPECT_NE(log.find(kQuestionAnswered), std::string::npos) << log;
  EXPECT_EQ(gui.Credits(), 1);
}

// Every key of the main screen, on a genre without albums and on one with
// albums, leads somewhere or does nothing; the dialogs it opens close again
// and the quit key works afterwards.
TEST_F(SDLGuiMainKeysTest, EveryKeyIsSafeOnGenresWithAndWithoutAlbums) {
  catalogue.AddGenre("Vacio", 0);
  catalogue.AddGenre("Rock", 5);
  config.abcnext = SDLK_PAGEDOWN;
  config.abcprev = SDLK_PAGEUP;
  config.abc = SDLK_F3;
  config.abcportadas = true;
  config.creditsvip = 1;
  Open();
  GiveCredits(gui, 5);
  for (uint32_t genre : {0u, 1u}) {
    SCOPED_TRACE(genre);
    for (int key : {config.menu, config.abc, config.abcnext, config.abcprev, config.up, config.down, config.enter,
                    config.left, config.right, config.cancel, config.n1, config.n0}) {
      Select(genre, 0, 0);
      Answer(SDLK_F1);  // for a message the key may bring
      gui.Router().DispatchKey(key);
      gui.Router().DispatchKey(config.cancel);  // closes a dialog it opened
      EXPECT_EQ(gui.Display().dialog, SDLGui::kMainScreen) << key;
      PendingEvents();
    }
  }
  FinishSales();
  EXPECT_EQ(queue.Count(), 1) << "only the track of the genre with albums";
  EXPECT_EQ(gui.Credits(), 5) << "nothing is charged outside the coin-operated mode";
  config.exit = SDLK_F9;
  Press(SDLK_F9);
  EXPECT_FALSE(gui.stillactive());
}

// Alt+F4 quits from every screen and from a waiting message, with Alt read
// from the key's own event: a quick chord has Alt up again by the time the
// event is handled. F4 alone does nothing.
TEST_F(SDLGuiMainKeysTest, AltF4QuitsFromEveryScreen) {
  catalogue.AddGenre("Rock", 2);
  Open();
  const auto pushF4 = [](SDLMod mod) {
    SDL_Event event{};
    event.type = SDL_KEYDOWN;
    event.key.keysym.sym = SDLK_F4;
    event.key.keysym.mod = mod;
    ASSERT_EQ(SDL_PushEvent(&event), 0);
  };
  for (int screen = SDLGui::kMainScreen; screen <= SDLGui::kConfigScreen + 1; ++screen) {
    SCOPED_TRACE(screen);
    gui.Display().quitRequested = 0;
    gui.Display().dialog = screen <= SDLGui::kConfigScreen ? screen : SDLGui::kMainScreen;
    pushF4(KMOD_NONE);
    gui.pool();
    EXPECT_EQ(gui.Display().quitRequested, 0);
    pushF4(screen % 2 == 0 ? KMOD_LALT : KMOD_RALT);
    if (screen <= SDLGui::kConfigScreen)
      gui.pool();
    else
      gui.Messages().ShowMsg("Esperando", gui.Writers().genreFont, -1, true, true);
    EXPECT_EQ(gui.Display().quitRequested, 1);
    PendingEvents();
  }
}

TEST_F(SDLGuiMainKeysTest, AlphabetOpensAtTheAlbumInitial) {
  GenreElement* genre = catalogue.AddGenre("Rock", 0);
  for (const char* title : {"beatles", "1999", "Cream", "Doors", "Eagles"})
    catalogue.AddDisc(genre, title, 1, false);
  config.abcnext = SDLK_PAGEDOWN;
  config.abcprev = SDLK_PAGEUP;
  config.abcportadas = true;
  Open();

  Press(config.abcnext);
  EXPECT_EQ(gui.Display().dialog, SDLGui::kAlphabetScreen);
  EXPECT_EQ(gui.Search().abcLetter, 'B');
  gui.Display().dialog = SDLGui::kMainScreen;
  Press(config.abcprev);  // the initial as it is: no capital
  EXPECT_EQ(gui.Search().abcLetter, 'A');

  // Holding right for over three seconds.
  gui.Display().dialog = SDLGui::kMainScreen;
  Press(config.right);
  clock.Advance(3000);
  Press(config.right);
  EXPECT_EQ(gui.Display().dialog, SDLGui::kMainScreen);
  clock.Advance(1);
  Press(config.right);
  EXPECT_EQ(gui.Display().dialog, SDLGui::kAlphabetScreen);
  EXPECT_EQ(gui.Search().abcLetter, 'D');
}

}  // namespace
