#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "LibraryText.h"
#include "catalogue/MainLibrary.h"

namespace {

// Two roots; genre Rock holds a disc of root 1; the all-music genre shares it.
class ModelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    library_.AddContentPath("C:\\musica");
    library_.AddContentPath("D:\\mas");
    GenreElement* rock = library_.GetOrAddGenre("Rock");
    exitos_ = AddDisc(rock, "Exitos", {"01 Uno.mp3", "02 Dos.mp3", "01 Uno.mp3"}, 1);
    exitos_->SetCoverName("front.jpg");
    AddDisc(rock, "Sin tapa", {"tema.cdg"});
    library_.InitAllGenre();
    library_.AddToAllGenre(rock, exitos_);
  }

  MainLibrary library_;
  DiscElement* exitos_ = nullptr;
};

TEST_F(ModelTest, PathsUseTheDiscsOwnGenreAndRoot) {
  ASSERT_EQ(GenreNames(library_), (std::vector<std::string>{"TODA LA MUSICA", "Rock"}));
  EXPECT_STREQ(library_.GetDiscPath(1, 0).c_str(), "D:\\mas\\Rock\\Exitos");
  EXPECT_STREQ(library_.GetTrackPath(1, 0, 1).c_str(), "D:\\mas\\Rock\\Exitos\\02 Dos.mp3");
  // Shown in the all-music genre, the disc keeps its path.
  EXPECT_STREQ(library_.GetTrackPath(0, 0, 1).c_str(), "D:\\mas\\Rock\\Exitos\\02 Dos.mp3");
  EXPECT_STREQ(library_.GetDiscPath(1, 1).c_str(), "C:\\musica\\Rock\\Sin tapa");
}

TEST_F(ModelTest, CoverPathIsEmptyWithoutCover) {
  EXPECT_STREQ(library_.GetCoverPath(1, 0).c_str(), "D:\\mas\\Rock\\Exitos\\front.jpg");
  EXPECT_STREQ(library_.GetCoverName(1, 0).c_str(), "front.jpg");
  EXPECT_FALSE(library_.GetDisc(1, 1)->HaveCover());
  EXPECT_STREQ(library_.GetCoverPath(1, 1).c_str(), "");
}

TEST_F(ModelTest, LookupsAndTheirNotFoundResults) {
  EXPECT_EQ(library_.GetGenreIndex("Rock"), 1);
  EXPECT_EQ(library_.GetGenreIndex("Jazz"), 0);
  EXPECT_EQ(library_.GetGenreIndex("rock"), 0);
  EXPECT_EQ(library_.GetDiscIndex(1, RString("Sin tapa")), 1);
  EXPECT_EQ(library_.GetDiscIndex(1, RString("Nada")), 0);
  EXPECT_EQ(library_.GetTrackIndex(1, 0, "01 Uno.mp3"), 0);
  EXPECT_EQ(library_.GetTrackIndex(1, 0, "02 Dos.mp3"), 1);
  EXPECT_EQ(library_.GetTrackIndex(1, 0, "03 Tres.mp3"), -1);
  EXPECT_TRUE(library_.ExistGenre("Rock"));
  EXPECT_FALSE(library_.ExistGenre("Jazz"));
  EXPECT_EQ(library_.GetGenreByName("Rock"), library_.GetGenre(1));
  EXPECT_EQ(library_.GetGenreByName("Jazz"), nullptr);
}

TEST(MediaKinds, ByExtensionCaseIgnored) {
  EXPECT_TRUE(MainLibrary::IsMusic("Song.MP3"));
  EXPECT_FALSE(MainLibrary::IsVideo("Song.MP3"));
  EXPECT_TRUE(MainLibrary::IsVideo("clip.Mp4"));
  EXPECT_FALSE(MainLibrary::IsMusic("clip.Mp4"));
  EXPECT_TRUE(MainLibrary::IsKaraoke("tema.CDG"));
  EXPECT_TRUE(MainLibrary::IsVideo("tema.CDG"));
  EXPECT_TRUE(MainLibrary::IsKaraoke("tema.kar"));
  EXPECT_TRUE(MainLibrary::IsTv("canal.m3u8"));
  EXPECT_FALSE(MainLibrary::IsMusic("canal.m3u8"));
  EXPECT_FALSE(MainLibrary::IsVideo("canal.m3u8"));
  EXPECT_TRUE(MainLibrary::IsMusic("lista.m3u"));
  for (const char* none : {"readme", "tema.mp3.txt", "mp3", "tema."}) {
    EXPECT_FALSE(MainLibrary::IsMusic(none)) << none;
    EXPECT_FALSE(MainLibrary::IsVideo(none)) << none;
    EXPECT_FALSE(MainLibrary::IsTv(none)) << none;
  }
  EXPECT_TRUE(MainLibrary::HaveTrackFormat("a.webm"));
  EXPECT_FALSE(MainLibrary::HaveTrackFormat("a.m3u8"));
}

TEST_F(ModelTest, MediaKindOfATrackPosition) {
  EXPECT_TRUE(library_.IsMusic(1, 0, 0));
  EXPECT_FALSE(library_.IsKaraoke(1, 0, 0));
  EXPECT_TRUE(library_.IsKaraoke(1, 1, 0));
  EXPECT_TRUE(library_.IsVideo(1, 1, 0));
}

TEST(MediaKinds, KaraokeAudioName) {
  EXPECT_STREQ(MainLibrary::GetKaraokeAudioName("tema.cdg").c_str(), "tema.mp3");
  EXPECT_STREQ(MainLibrary::GetKaraokeAudioName("a.b.CDG").c_str(), "a.b.mp3");
}

TEST(SearchAlbumChar, JumpsToTheLetterOrTheDiscBefore) {
  MainLibrary library;
  GenreElement* genre = library.GetOrAddGenre("Rock");
  AddDisc(genre, "Abba");
  AddDisc(genre, "beatles");
  AddDisc(genre, "Doors");
  EXPECT_EQ(library.SearchAlbumChar(0, 'A'), 0);
  EXPECT_EQ(library.SearchAlbumChar(0, 'B'), 1);
  EXPECT_EQ(library.SearchAlbumChar(0, 'C'), 1);
  EXPECT_EQ(library.SearchAlbumChar(0, 'Z'), 2);
  EXPECT_EQ(library.SearchAlbumChar(0, '0'), 0);

  library.GetOrAddGenre("Vacio");
  EXPECT_EQ(library.SearchAlbumChar(1, 'A'), -1);
}

// Every position read through the index is the one a walk of the list
// finds, one past the end included.
void ExpectDiscsWhereAWalkFindsThem(const GenreElement& genre) {
  for (int i = 0; i <= genre.Count(); ++i)
    ASSERT_EQ(genre.GetDisc(static_cast<unsigned>(i)), genre.GetItem(i)) << "position " << i;
}

// Appends keep the index, also one taken whole while the genre was empty;
// an insertion elsewhere or a removal moves positions, which are then walked
// until the discs are indexed again. The index spans several of its
// segments.
TEST(DiscIndex, PositionsStayRightThroughAppendsInsertionsAndRemovals) {
  MainLibrary library;
  GenreElement* genre = library.GetOrAddGenre("Rock");
  auto addDiscs = [&](int count) {
    for (int i = 0; i < count; ++i) genre->AddDisc(library.NewDisc(genre, "d", 1));
  };
  DiscElement* first = library.NewDisc(genre, "primero", 7);
  const std::vector<std::function<void()>> changes = {
      [&] { genre->IndexDiscs(); },
      [&] { addDiscs(60); },
      [&] { genre->PrependItem(first); },
      [&] { addDiscs(3); },
      [&] { genre->IndexDiscs(); },
      [&] { addDiscs(70); },
      [&] { genre->DeleteItem(5); },
      [&] { genre->IndexDiscs(); },
  };
  for (size_t step = 0; step < changes.size(); ++step) {
    changes[step]();
    SCOPED_TRACE("after change " + std::to_string(step));
    ExpectDiscsWhereAWalkFindsThem(*genre);
  }
  EXPECT_EQ(genre->GetDisc(0), first);
}

// The all-music genre is filled out of order while the catalogue is read;
// once numbered it is indexed, and discs appended later are found too.
TEST(DiscIndex, AllMusicGenreIndexedOnceComplete) {
  MainLibrary library;
  GenreElement* rock = library.GetOrAddGenre("Rock");
  library.InitAllGenre();
  for (const char* title : {"Mambo", "Abba", "Zeta", "Beatles", "Cero", "Abril"}) {
    DiscElement* disc = AddDisc(rock, title);
    library.AddToAllGenre(rock, disc);
  }
  library.FillIndexDiscs();
  ExpectDiscsWhereAWalkFindsThem(*library.allGenre);
  library.allGenre->AddDisc(library.NewDisc(rock, "Descargas", 9));
  ExpectDiscsWhereAWalkFindsThem(*library.allGenre);
  EXPECT_STREQ(library.GetDiscTitle(0, 6).c_str(), "Descargas");
}

// A disc read whole keeps its array of tracks; tracks added afterwards
// follow them, through several growths of their table.
TEST(DiscTracks, TakenOverThenAddedInOrder) {
  MainLibrary library;
  DiscElement* disc = library.NewDisc(library.GetOrAddGenre("Rock"), "Disco", 5);
  std::vector<MainLibrary::ArenaName> titles;
  for (const char* title : {"a.mp3", "b.mp3", "c.mp3"}) titles.push_back({library.arena.Text(title, 5).Chars(), 5});
  library.GiveTracks(disc, titles);
  std::vector<std::string> expected = {"a.mp3", "b.mp3", "c.mp3"};
  for (int i = 0; i < 40; ++i) {
    const std::string title = "d" + std::to_string(i) + ".mp4";
    disc->AddTrack(library.NewTrack(title.c_str(), static_cast<uint32_t>(title.size())));
    expected.push_back(title);
  }
  EXPECT_EQ(TrackTitles(*disc), expected);
  EXPECT_EQ(disc->GetTrack(43), nullptr);
}

}  // namespace
