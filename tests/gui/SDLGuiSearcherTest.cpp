// The phone-keypad searcher: multi-tap typing, the search while typing in
// slices, and on-line results and their downloads through stand-in scripts.
#include <SDL.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "MainScreenFixture.h"
#include "support/Files.h"
#include "support/Wait.h"

namespace {

class SDLGuiSearcherTest : public MainScreenTest {
 protected:
  SDLGuiSearcherTest() {
    config.phonekeyboard = true;
    config.abc = SDLK_F3;
  }

  void OpenSearcher() {
    Open();
    Press(config.abc);
    ASSERT_EQ(gui.Display().dialog, SDLGui::kKeyboardScreen);
  }
  void Keys(std::initializer_list<int> keys) {
    for (int key : keys) gui.Router().DispatchKey(key);
  }
  std::string Text() const { return gui.Search().searchText.Chars(); }
  static std::vector<std::string> Rows(const ListBox& list) {
    std::vector<std::string> rows;
    for (int i = 0; i < list.Count(); ++i) rows.emplace_back(list.GetItem(i));
    return rows;
  }
  // Slices until the search while typing is through; how many it took.
  int SearchToTheEnd() {
    int slices = 1;
    while (gui.Searcher().AsyncSearch(false) && gui.Search().searchRunning && slices < 10000) ++slices;
    return slices;
  }
  // An on-line search script that lists titles, the one at cutShort cut
  // after its first line.
  static void SearchScriptListing(int titles, int cutShort = -1) {
    std::string records;
    for (int i = 0; i < titles; ++i) {
      records += "Video " + std::to_string(i) + "\\n";
      if (i == cutShort) break;
      records += "3:15\\ncanal\\nhttp://127.0.0.1/v" + std::to_string(i) + "\\nid" + std::to_string(i) + "\\n";
    }
    WriteHostFile("ytsearch.py", "open('results.txt', 'w').write('" + records + "')\n");
    WriteHostFile("downloator.py", "import sys\nopen('download.txt', 'w').write('|'.join(sys.argv[1:]))\n");
  }
  // One pass of the main loop's screen work and input.
  void Pass() {
    gui.draw();
    gui.pool();
  }
  bool OnlineSearchRunning() { return gui.Searcher().OnlineSearchRunning(); }
  // Passes until the on-line search is through.
  void FollowOnlineSearch() {
    ASSERT_TRUE(WaitUntil([&] {
      Pass();
      return !OnlineSearchRunning();
    }));
  }
  void SearchOnline() {
    gui.Searcher().youtube_search();
    FollowOnlineSearch();
  }
  static void Push(Uint8 type, int key) {
    SDL_Event event{};
    event.type = type;
    event.key.keysym.sym = static_cast<SDLKey>(key);
    ASSERT_EQ(SDL_PushEvent(&event), 0);
  }
};

TEST_F(SDLGuiSearcherTest, NumberKeysTypeLikeAPhone) {
  catalogue.AddGenre("Rock", 1);
  OpenSearcher();
  const struct {
    std::vector<int> keys;
    uint32_t pauseBeforeLast;
    std::string text;
  } typings[] = {
      {{config.n2, config.n2, config.n2}, 0, "C"},
      {{config.n2, config.n2, config.n2}, 2000, "BA"},
      {{config.n6, config.n6, config.n6, config.n6}, 0, "M"},
      {{config.n2, config.n3}, 0, "AD"},
      {{config.n0, config.n2, config.n0, config.n2}, 2000, "A A"},  // no space at the start
      {{config.n2, config.n3, config.n1}, 0, "A"},
  };
  for (const auto& typing : typings) {
    gui.Search().searchText = "";
    gui.Search().cursorPos = 0;
    for (size_t i = 0; i < typing.keys.size(); ++i) {
      clock.Advance(i + 1 == typing.keys.size() ? typing.pauseBeforeLast : 300);
      Keys({typing.keys[i]});
    }
    EXPECT_EQ(Text(), typing.text);
  }

  gui.Search().searchText = "\xD1";  // Ñ on the MNO key turns into O
  gui.Search().cursorPos = 1;
  gui.Search().lastTapAt = clock.Ticks();
  Keys({config.n6});
  EXPECT_EQ(Text(), "O");
}

// Two genres after the all-music one, with 10,000 albums of one track in
// all: every match is listed exactly once, whatever slices the search took.
TEST_F(SDLGuiSearcherTest, SearchWhileTypingListsEveryMatchOnceInSlices) {
  catalogue.AddGenre("Todo", 1);
  for (const char* name : {"Pop", "Rock"}) {
    GenreElement* genre = catalogue.AddGenre(name, 0);
    for (int a = 0; a < 5000; ++a) {
      DiscElement* disc = catalogue.AddDisc(genre, (a % 7 == 0 ? "Amor " : "Disco ") + std::to_string(a), 0, false);
      catalogue.AddTrack(disc, a % 5 == 0 ? "Amor eterno.mp3" : "Otra.mp3");
    }
  }
  OpenSearcher();
  gui.Search().searchText = "am";
  gui.Lists().localResultsList->AddItem("anterior");
  EXPECT_FALSE(gui.Searcher().AsyncSearch(true));
  EXPECT_EQ(Rows(*gui.Lists().localResultsList), std::vector<std::string>{"anterior"}) << "too short to search";

  gui.Search().searchText = "amor";
  EXPECT_TRUE(gui.Searcher().AsyncSearch(true));
  EXPECT_EQ(gui.Search().searchRunning, 1);
  const int slices = 1 + SearchToTheEnd();
  EXPECT_EQ(slices, (2 * 10000 + 98) / 99);  // 99 of the 20,000 albums and tracks a slice
  EXPECT_EQ(gui.Lists().localResultsList->Count(), 2 * 715);
  EXPECT_EQ(gui.Lists().onlineResultsList->Count(), 2 * 1000);
  EXPECT_EQ(gui.Search().albumMatches.size(), 2 * 715u);
  EXPECT_EQ(Rows(*gui.Lists().onlineResultsList)[0], "[M] Amor eterno");
}

TEST_F(SDLGuiSearcherTest, OnlyTheDownloadsOfTheFavouritesAreSearched) {
  GenreElement* favourites = catalogue.AddGenre("100+ Favoritas", 0);
  catalogue.AddTrack(catalogue.AddDisc(favourites, "Rock", 0, false), "Luna.mp3");
  catalogue.AddTrack(catalogue.AddDisc(favourites, "Descargas", 0, false), "Luna.mp4");
  catalogue.AddTrack(catalogue.AddDisc(catalogue.AddGenre("Todo", 0), "Luna", 0, false), "Luna.mp3");
  catalogue.AddTrack(catalogue.AddDisc(catalogue.AddGenre("Karaoke", 0), "Noche", 0, false), "Luna.cdg");
  config.favoritos = true;
  OpenSearcher();
  gui.Search().searchText = "luna";
  gui.Searcher().AsyncSearch(true);
  SearchToTheEnd();
  EXPECT_TRUE(Rows(*gui.Lists().localResultsList).empty());
  EXPECT_EQ(Rows(*gui.Lists().onlineResultsList), (std::vector<std::string>{"[V] Luna", "[K] Luna"}));
}

// Three track matches, then five on-line results: the fifth row of the
// second list is on-line result 1.
TEST_F(SDLGuiSearcherTest, OnlineResultsAreDownloadedOnceAndOnlyWithAnAddress) {
  catalogue.AddGenre("Todo", 0);
  DiscElement* disc = catalogue.AddDisc(catalogue.AddGenre("Pop", 0), "Disco", 0, false);
  for (const char* title : {"Sol 1.mp3", "Sol 2.mp3", "Sol 3.mp3"}) catalogue.AddTrack(disc, title);
  config.playmode = "jukebox";
  config.creditsdownloads = 3;
  OpenSearcher();
  GiveCredits(gui, 3);
  SearchScriptListing(5, 4);
  gui.Search().searchText = "sol";
  gui.Searcher().AsyncSearch(true);
  SearchToTheEnd();
  ASSERT_EQ(gui.Lists().onlineResultsList->Count(), 3);
  SearchOnline();
  ASSERT_EQ(gui.Lists().onlineResultsList->Count(), 3 + 5);
  EXPECT_EQ(gui.Search().onlineUrls[4].GetLength(), 0u) << "cut short";

  gui.Lists().onlineResultsList->SetSelected(4);
  Keys({config.enter});
  ASSERT_TRUE(WaitUntil([] { return ReadHostFile("download.txt").size() > 0; }));
  EXPECT_EQ(ReadHostFile("download.txt"), "[D] Video 1|http://127.0.0.1/v1|22/18|RAWMLDK|media/Todo/Descargas");
  EXPECT_EQ(std::string(gui.Lists().onlineResultsList->GetItem(4)), "[%] Video 1");

  for (int row : {4, 7}) {  // started already; no address
    gui.Lists().onlineResultsList->SetSelected(row);
    EXPECT_GE(WaitOf([&] { Keys({config.enter}); }), 5000u) << row;
  }
  Keys({config.coin1, config.upvol});  // the lists stay as they are
  EXPECT_EQ(gui.Lists().onlineResultsList->Count(), 3 + 5);
  EXPECT_EQ(std::string(gui.Lists().onlineResultsList->GetItem(4)), "[%] Video 1");
  GiveCredits(gui, 2);
  gui.Lists().onlineResultsList->SetSelected(5);
  const std::string log = LogOf([&] { Keys({config.enter}); });
  EXPECT_EQ(log.find("Seleccionado"), std::string::npos) << "not enough credits";
  EXPECT_EQ(gui.Credits(), 2);
}

// A result whose title would not make one plain name in the downloads
// folder gets no row.
TEST_F(SDLGuiSearcherTest, ResultsThatWouldNotBeOneNameAreLeftOut) {
  catalogue.AddGenre("Todo", 0);
  OpenSearcher();
  std::string records;
  for (const char* title : {"AC/DC Live", "Fin/..", "a\\b", "x\x81" "2F" "y", "ok"})
    records += std::string(title) + "\n3:15\ncanal\nhttp://127.0.0.1/v\nid\n";
  WriteHostFile("prepared.txt", records);
  WriteHostFile("ytsearch.py", "import shutil\nshutil.copy('prepared.txt', 'results.txt')\n");
  gui.Search().searchText = "sol";
  SearchOnline();
  EXPECT_EQ(Rows(*gui.Lists().onlineResultsList), (std::vector<std::string>{"[D] AC/DC Live", "[D] ok"}));
  EXPECT_EQ(gui.Search().onlineUrls.size(), 2u);
}

// The script runs beside the main loop: passes go on, a coin is credited at
// once, a key waits for the results and then moves into them.
TEST_F(SDLGuiSearcherTest, OnlineResultsArriveWhilePassesGoOn) {
  catalogue.AddGenre("Todo", 0);
  config.creditscoin1 = 1;
  OpenSearcher();
  SearchScriptListing(2);
  WriteHostFile("prepared.py", ReadHostFile("ytsearch.py"));
  WriteHostFile("ytsearch.py", "import os, time\nwhile not os.path.exists('go'): time.sleep(0.01)\nexec(open('prepared.py').read())\n");
  gui.Search().searchText = "sol";
  gui.Search().cursorPos = 3;
  SearchToTheEnd();
  const std::string started = LogOf([&] { Keys({config.enter}); });
  EXPECT_NE(started.find("Iniciando busqueda en youtube"), std::string::npos) << started;
  Push(SDL_KEYDOWN, config.coin1);
  Push(SDL_KEYUP, config.coin1);
  Push(SDL_KEYDOWN, config.down);
  for (int pass = 0; pass < 5; ++pass) Pass();
  EXPECT_TRUE(OnlineSearchRunning());
  EXPECT_EQ(gui.Credits(), 1);
  EXPECT_EQ(gui.Lists().onlineResultsList->Count(), 0);

  WriteHostFile("go", "");
  FollowOnlineSearch();
  EXPECT_EQ(Rows(*gui.Lists().onlineResultsList), (std::vector<std::string>{"[D] Video 0", "[D] Video 1"}));
  EXPECT_EQ(gui.Lists().onlineResultsList->GetSelected(), -1);
  for (int pass = 0; pass < 3; ++pass) Pass();
  EXPECT_EQ(gui.Lists().onlineResultsList->GetSelected(), 0) << "the kept key";
  EXPECT_EQ(gui.Credits(), 1);
}

// A script that never ends is killed with what it started once it runs past
// the limit; the exit key works meanwhile.
TEST_F(SDLGuiSearcherTest, OnlineSearchThatNeverEndsIsStoppedAtTheLimit) {
  catalogue.AddGenre("Todo", 0);
  config.exit = SDLK_F9;
  OpenSearcher();
  WriteHostFile("ytsearch.py",
                "import subprocess, time\nchild = subprocess.Popen(['sleep', '1000'])\n"
                "open('child.pid', 'w').write(str(child.pid))\ntime.sleep(1000)\n");
  gui.Search().searchText = "sol";
  Keys({config.enter});
  ASSERT_TRUE(WaitUntil([&] {
    Pass();
    return ReadHostFile("child.pid").size() > 0;
  }));
  const std::string grandchild = "/proc/" + ReadHostFile("child.pid") + "/stat";
  Push(SDL_KEYDOWN, config.exit);
  Pass();
  EXPECT_TRUE(gui.Display().quitRequested);
  clock.Advance(SearcherScreen::kOnlineSearchLimit);
  Pass();
  ASSERT_TRUE(OnlineSearchRunning());
  clock.Advance(1);
  const std::string log = LogOf([&] { Pass(); });
  EXPECT_FALSE(OnlineSearchRunning());
  EXPECT_NE(log.find("La busqueda en linea no termino a tiempo"), std::string::npos) << log;
  EXPECT_NE(log.find("No se pudo abrir archivo de resultados"), std::string::npos) << log;
  EXPECT_TRUE(WaitUntil([&] {
    const std::string stat = ReadHostFile(grandchild);
    return stat.empty() || stat.find(") Z ") != std::string::npos;
  }));
}

}  // namespace
