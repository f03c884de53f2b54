// The dialogs over the main screen: genre list, alphabet jump, on-screen
// keyboard and the results of its search.
#include <SDL.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "MainScreenFixture.h"
#include "gui/KeyboardLayout.h"

namespace {

class SDLGuiDialogsTest : public MainScreenTest {
 protected:
  SDLGuiDialogsTest() { config.abc = SDLK_F3; }

  // Keys as the event loop hands them to the current screen.
  void Keys(std::initializer_list<int> keys) {
    for (int key : keys) gui.Router().DispatchKey(key);
  }
  std::string Text() const { return gui.Search().searchText.Chars(); }
  std::vector<std::string> Results() const {
    std::vector<std::string> rows;
    for (int i = 0; i < gui.Lists().resultsList->Count(); ++i) rows.emplace_back(gui.Lists().resultsList->GetItem(i));
    return rows;
  }
  void Search(const char* text) {
    gui.Search().searchText = text;
    gui.Keyboard().FindSong();
  }
};

TEST_F(SDLGuiDialogsTest, GenreListChoosesGenresWithAlbumsOnly) {
  catalogue.AddGenre("Todo", 2);
  catalogue.AddGenre("Vacio", 0);
  catalogue.AddGenre("Rock", 3);
  Open();
  Select(0, 1, 1);

  Press(config.menu);
  ASSERT_EQ(gui.Display().dialog, SDLGui::kGenresScreen);
  Keys({config.down});
  EXPECT_GE(WaitOf([&] { Keys({config.enter}); }), 3000u);  // "El genero seleccionado no contiene albums"
  EXPECT_EQ(gui.Display().dialog, SDLGui::kGenresScreen);
  Keys({config.right, config.enter});
  EXPECT_EQ(gui.Display().dialog, SDLGui::kMainScreen);
  EXPECT_EQ(gui.Display().redrawMode, SDLGui::kFullRedraw);
  EXPECT_EQ(gui.Selection().selGenre, 2u);
  EXPECT_EQ(gui.Selection().selDisc, 0u);
  EXPECT_EQ(gui.Selection().selTrack, 0u);

  // menu closes the list, or goes on to the alphabet with usegenremenus.
  for (bool genreMenus : {false, true}) {
    config.usegenremenus = genreMenus;
    Select(2, 1, 0);
    Press(config.menu);
    Keys({config.menu});
    EXPECT_EQ(gui.Display().dialog, genreMenus ? SDLGui::kAlphabetScreen : SDLGui::kMainScreen);
    EXPECT_EQ(gui.Selection().selGenre, 2u);
  }
  EXPECT_EQ(gui.Search().abcLetter, 'D');  // "Disco 1"
}

// Albums with the initials A, B and Q: each letter jumps to the album of
// its initial or the one before the first initial past it.
TEST_F(SDLGuiDialogsTest, AlphabetStepsRoundAndJumpsToTheLetter) {
  GenreElement* genre = catalogue.AddGenre("Rock", 0);
  for (const char* title : {"Abba", "Beatles", "Queen"}) catalogue.AddDisc(genre, title, 2, false);
  catalogue.AddGenre("Vacio", 0);
  Open();
  const struct {
    int letter;
    uint32_t album;
  } jumps[] = {{'B', 1}, {'C', 1}, {'Z', 2}, {'A', 0}};
  for (const auto& jump : jumps) {
    Select(0, 1, 1);
    gui.Alphabet().OpenAlphabetAtInitial(true);
    gui.Search().abcLetter = jump.letter;
    Keys({config.enter});
    EXPECT_EQ(gui.Display().dialog, SDLGui::kMainScreen);
    EXPECT_EQ(gui.Selection().selDisc, jump.album) << static_cast<char>(jump.letter);
    EXPECT_EQ(gui.Selection().selTrack, 0u);
  }

  gui.Alphabet().OpenAlphabetAtInitial(true);
  gui.Search().abcLetter = 'A';
  Keys({config.up});
  EXPECT_EQ(gui.Search().abcLetter, 'Z');
  Keys({config.right});
  EXPECT_EQ(gui.Search().abcLetter, 'A');

  // No album to jump to: the selection stays.
  Select(1, 0, 0);
  gui.Alphabet().OpenAlphabetAtInitial(true);
  Keys({config.enter});
  EXPECT_EQ(gui.Selection().selDisc, 0u);
  EXPECT_EQ(gui.Display().dialog, SDLGui::kMainScreen);

  // menu goes on to the keyboard with the text typed so far.
  gui.Search().searchText = "ROCK";
  gui.Search().cursorPos = 4;
  gui.Alphabet().OpenAlphabetAtInitial(true);
  Keys({config.menu});
  EXPECT_EQ(gui.Display().dialog, SDLGui::kKeyboardScreen);
  EXPECT_EQ(Text(), "ROCK");
  EXPECT_EQ(gui.Search().cursorPos, 0u);
}

TEST_F(SDLGuiDialogsTest, KeyboardHighlightMovesAndEditsTheText) {
  catalogue.AddGenre("Rock", 1);
  Open();
  Press(config.abc);
  ASSERT_EQ(gui.Display().dialog, SDLGui::kKeyboardScreen);
  const struct {
    int from, key, to;
  } moves[] = {{0, config.up, 37},   {0, config.down, 10}, {39, config.up, 31},
               {39, config.down, 4}, {0, config.left, 41}, {41, config.right, 0}};
  for (const auto& move : moves) {
    gui.Search().keyboardKey = move.from;
    Keys({move.key});
    EXPECT_EQ(gui.Search().keyboardKey, move.to) << move.from << " " << move.key;
  }

  // Erase at the start and cursor right at the end change nothing.
  gui.Search().keyboardKey = keyboard::kEraseKey;
  Keys({config.enter});
  gui.Search().keyboardKey = 19;  // Ñ
  Keys({config.enter});
  gui.Search().keyboardKey = keyboard::kCursorRightKey;
  Keys({config.enter});
  EXPECT_EQ(Text(), "\xD1");
  EXPECT_EQ(gui.Search().cursorPos, 1u);
  gui.Search().keyboardKey = keyboard::kCursorLeftKey;
  Keys({config.enter});
  gui.Search().keyboardKey = keyboard::kEraseKey;
  Keys({config.enter});
  EXPECT_EQ(Text(), "\xD1");

  Keys({config.cancel});
  EXPECT_EQ(gui.Display().dialog, SDLGui::kMainScreen);
}

// Genre 0 stands for the all-music genre, genre 1 for the favourites.
TEST_F(SDLGuiDialogsTest, SearchFindsEveryWordInTheAlbumOrTrackTitle) {
  const auto addAlbum = [&](const char* genreName, const char* album, std::vector<const char*> tracks) {
    GenreElement* genre = library.GetGenreByName(genreName);
    if (genre == nullptr) genre = catalogue.AddGenre(genreName, 0);
    DiscElement* disc = catalogue.AddDisc(genre, album, 0, false);
    for (const char* track : tracks) catalogue.AddTrack(disc, track);
  };
  addAlbum("Todo", "Corazon Latino", {"Amor Eterno.mp3"});
  addAlbum("Favoritas", "Corazon Latino", {"Amor Eterno.mp3"});
  addAlbum("Pop", "Coraz\xF3n Latino", {"Amor Eterno.mp3", "Noche.avi", "Amor de Verano.MP3"});
  addAlbum("Rock", "Amores", {"Mississippi.mp4"});
  Open();

  const struct {
    const char* text;
    bool favoritos;
    std::vector<std::string> rows;
  } searches[] = {
      {"corazon  eterno", false,
       {"Favoritas/Corazon Latino/Amor Eterno.mp3", "Pop/Coraz\xF3n Latino/Amor Eterno.mp3"}},
      {"corazon eterno", true, {"Pop/Coraz\xF3n Latino/Amor Eterno.mp3"}},
      {"mp3", true, {"Pop/Coraz\xF3n Latino/Amor Eterno.mp3", "Pop/Coraz\xF3n Latino/Amor de Verano.MP3"}},
      {"AMOR ssipp", true, {"Rock/Amores/Mississippi.mp4"}},
      {"   ", true, {}},
      {"salsa", true, {}},
  };
  for (const auto& search : searches) {
    config.favoritos = search.favoritos;
    Search(search.text);
    EXPECT_EQ(Results(), search.rows) << search.text;
  }
}

// 60,000 albums and tracks: the search goes on over passes, the input read
// meanwhile waiting for its results.
TEST_F(SDLGuiDialogsTest, SearchOfALargeCatalogueGoesOnOverPasses) {
  catalogue.AddGenre("Todo", 1);
  GenreElement* genre = catalogue.AddGenre("Pop", 0);
  for (int a = 0; a < 30000; ++a)
    catalogue.AddTrack(catalogue.AddDisc(genre, "Disco " + std::to_string(a), 0, false),
                       a % 1000 == 0 ? "Luna.mp3" : "Sol.mp3");
  Open();
  Press(config.abc);
  gui.Search().searchText = "luna";
  gui.Search().keyboardKey = keyboard::kSearchKey;
  Keys({config.enter});
  SDL_Event right{};
  right.type = SDL_KEYDOWN;
  right.key.keysym.sym = static_cast<SDLKey>(config.right);
  ASSERT_EQ(SDL_PushEvent(&right), 0);
  int passes = 0;
  for (; gui.Keyboard().SongSearchRunning() && passes < 100; ++passes) {
    EXPECT_EQ(gui.Display().dialog, SDLGui::kKeyboardScreen);
    gui.draw();
    gui.pool();
  }
  EXPECT_EQ(passes, 2);
  ASSERT_EQ(gui.Display().dialog, SDLGui::kResultsScreen);
  EXPECT_EQ(Results().size(), 30u);
  EXPECT_EQ(gui.Search().keyboardKey, keyboard::kSearchKey);
  EXPECT_EQ(gui.Lists().resultsList->GetSelected(), 1) << "the kept key moved in the results";
}

// A chosen row selects its track on the main screen; enter then buys it.
TEST_F(SDLGuiDialogsTest, ResultLeadsToItsTrackWhichEnterBuys) {
  catalogue.AddGenre("Todo", 1);
  GenreElement* genre = catalogue.AddGenre("Rock", 0);
  catalogue.AddDisc(genre, "Primero", 2, false);
  DiscElement* disc = catalogue.AddDisc(genre, "AC/DC", 0, false);
  catalogue.AddTrack(disc, "Intro.mp3");
  catalogue.AddTrack(disc, "Back in Black.mp3");
  config.playmode = "jukebox";
  config.creditsbyplay = 1;
  Open();
  GiveCredits(gui, 1);

  Press(config.abc);
  gui.Search().searchText = "black";
  gui.Search().keyboardKey = keyboard::kSearchKey;
  Keys({config.enter});
  ASSERT_EQ(gui.Display().dialog, SDLGui::kResultsScreen);
  EXPECT_EQ(Results(), std::vector<std::string>{"Rock/AC/DC/Back in Black.mp3"});
  Keys({config.enter});
  EXPECT_EQ(gui.Display().dialog, SDLGui::kMainScreen);
  EXPECT_EQ(gui.Selection().selGenre, 1u);
  EXPECT_EQ(gui.Selection().selDisc, 1u);
  EXPECT_EQ(gui.Selection().selTrack, 1u);
  gui.DrawAll();

  Answer(SDLK_F1);  // closes "Agregado"
  Press(config.enter);
  FinishSales();
  ASSERT_EQ(queue.Count(), 1);
  const QueueElement bought = *queue.GetElementFromQueue(0);
  EXPECT_EQ(bought.genre, 1u);
  EXPECT_EQ(bought.disc, 1u);
  EXPECT_EQ(bought.track, 1u);
  EXPECT_EQ(gui.Credits(), 0);

  // A search without matches stays on the keyboard and says so.
  Press(config.abc);
  gui.Search().searchText = "salsa";
  EXPECT_GE(WaitOf([&] { Keys({config.enter}); }), 3000u);
  EXPECT_EQ(gui.Display().dialog, SDLGui::kKeyboardScreen);
}

}  // namespace
