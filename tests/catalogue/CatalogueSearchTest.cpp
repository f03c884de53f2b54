#include "catalogue/CatalogueSearch.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "LibraryText.h"
#include "catalogue/MainLibrary.h"

namespace {

// Genres as start-up orders them with favourites: the favourites genre, the
// all-music genre, then the ordinary ones.
class CatalogueWalkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    GenreElement* favourites = library_.GetOrAddGenre(MainLibrary::kFavouritesGenreName);
    AddDisc(favourites, "Pop", {"fav.mp3"});
    AddDisc(favourites, MainLibrary::kDownloadsDiscName, {"bajado.mp3"});
    AddDisc(library_.GetOrAddGenre(MainLibrary::kAllGenreName), "Todo", {"copia.mp3"});
    AddDisc(library_.GetOrAddGenre("Rock"), "Exitos", {"uno.mp3", "dos.mp3"});
  }

  // Every visit as "A g.d" or "T g.d.t".
  struct Visits : CatalogueWalk::Visitor {
    void Album(const CataloguePlace& at, const GenreElement&, const DiscElement&) override {
      seen.push_back("A " + std::to_string(at.genre) + "." + std::to_string(at.disc));
    }
    void Track(const CataloguePlace& at, const GenreElement&, const DiscElement&) override {
      seen.push_back("T " + std::to_string(at.genre) + "." + std::to_string(at.disc) + "." +
                     std::to_string(at.track));
    }
    std::vector<std::string> seen;
  };

  MainLibrary library_;
};

TEST_F(CatalogueWalkTest, EachScopeLeavesOutTheCopyGenres) {
  struct Case {
    bool favourites;
    SearchScope scope;
    std::vector<std::string> seen;
  } cases[] = {
      {true, SearchScope::kOrdinaryGenres, {"A 2.0", "T 2.0.0", "T 2.0.1"}},
      {true, SearchScope::kOrdinaryGenresAndDownloads, {"A 0.1", "T 0.1.0", "A 2.0", "T 2.0.0", "T 2.0.1"}},
      // Without favourites genre 0 is the all-music genre.
      {false, SearchScope::kOrdinaryGenresAndDownloads,
       {"A 1.0", "T 1.0.0", "A 2.0", "T 2.0.0", "T 2.0.1"}},
  };
  for (const Case& test : cases) {
    Visits visits;
    EXPECT_FALSE(CatalogueWalk(library_, test.favourites, test.scope).Walk(visits));
    EXPECT_EQ(visits.seen, test.seen) << static_cast<int>(test.scope) << test.favourites;
  }
}

// Slices of two items visit what one walk does; skipped albums count.
TEST_F(CatalogueWalkTest, SlicesGoOnWhereTheyStopped) {
  CatalogueWalk walk(library_, true, SearchScope::kOrdinaryGenresAndDownloads);
  Visits visits;
  std::vector<bool> beforeTrack;
  while (walk.Walk(visits, 2)) beforeTrack.push_back(walk.StoppedBeforeTrack());
  EXPECT_EQ(visits.seen, (std::vector<std::string>{"A 0.1", "T 0.1.0", "A 2.0", "T 2.0.0", "T 2.0.1"}));
  EXPECT_EQ(beforeTrack, (std::vector<bool>{true, true}));
  walk.Restart();
  EXPECT_TRUE(walk.Walk(visits, 2));
  walk.Finish();
  visits.seen.clear();
  EXPECT_FALSE(walk.Walk(visits, 2));
  EXPECT_TRUE(visits.seen.empty());
}

TEST(SearchWordsTest, WordsAreFoldedAndSplitAtRunsOfSpaces) {
  EXPECT_EQ(SearchWords("  Canci\xF3n   de AMOR "), (std::vector<std::string>{"CANCION", "DE", "AMOR"}));
  EXPECT_TRUE(SearchWords("   ").empty());
  EXPECT_TRUE(HoldsEveryWord("El Amor de la Canci\xF3n", SearchWords("cancion amor")));
  EXPECT_FALSE(HoldsEveryWord("El Amor", SearchWords("cancion amor")));
}

}  // namespace
