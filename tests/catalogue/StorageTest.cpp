#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "LibraryText.h"
#include "catalogue/MainLibrary.h"
#include "platform/Files.h"
#include "support/Files.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

void Touch(const fs::path& path) { WriteHostFile(path, ""); }

// Names in the order the host lists the folder, "." and ".." left out.
Lines Listing(const std::string& folder) {
  Lines names;
  platform::DirListing listing(folder);
  std::string name;
  while (listing.Next(name))
    if (name != "." && name != "..") names.push_back(name);
  return names;
}

// Keeps the names of order that are in wanted, in the order of order.
Lines InOrder(const Lines& order, const Lines& wanted) {
  Lines result;
  for (const std::string& name : order)
    if (std::find(wanted.begin(), wanted.end(), name) != wanted.end()) result.push_back(name);
  return result;
}

class StorageTest : public ::testing::Test {
 protected:
  TempDir temp_;
  MainLibrary library_;
};

TEST_F(StorageTest, GenreUnderTwoRootsIsOneGenreWithEachDiscsRoot) {
  fs::create_directories("uno/Rock/A");
  fs::create_directories("dos/Rock/B");
  fs::create_directories("dos/Jazz/C");
  Touch("uno/Rock/A/a.mp3");
  Touch("dos/Rock/B/b.mp3");
  library_.AddContentPath("uno");
  library_.AddContentPath("dos");
  EXPECT_EQ(library_.LoadContentFromStorage(), 0);

  EXPECT_EQ(GenreNames(library_), (Lines{"Rock", "Jazz"}));
  GenreElement* rock = library_.GetGenreByName("Rock");
  ASSERT_NE(rock, nullptr);
  EXPECT_EQ(DiscTitles(*rock), (Lines{"A", "B"}));
  const unsigned g = static_cast<unsigned>(library_.GetGenreIndex("Rock"));
  EXPECT_STREQ(library_.GetTrackPath(g, 0, 0).c_str(), "uno\\Rock\\A\\a.mp3");
  EXPECT_STREQ(library_.GetTrackPath(g, 1, 0).c_str(), "dos\\Rock\\B\\b.mp3");
  EXPECT_EQ(library_.allGenre, nullptr);
  EXPECT_EQ(rock->GetDisc(1)->GetDiscIndex(), 0);
}

TEST_F(StorageTest, CoverIsTheLastImageListedAndNeverAMinicover) {
  fs::create_directories("m/G/D1");
  fs::create_directories("m/G/D2");
  for (const char* name : {"front.jpg", "minicover.jpg", "01 tema.mp3"}) Touch(fs::path("m/G/D1") / name);
  for (const char* name : {"a.png", "b.JPG", "c.gif", "Minicover.bmp"}) Touch(fs::path("m/G/D2") / name);
  library_.AddContentPath("m");
  library_.LoadContentFromStorage();

  const DiscElement* d1 = library_.GetGenre(0)->GetDisc(library_.GetDiscIndex(0, RString("D1")));
  EXPECT_STREQ(d1->GetCoverName().c_str(), "front.jpg");
  EXPECT_EQ(TrackTitles(*d1), (Lines{"01 tema.mp3"}));
  // "minicover" is matched with its case: "Minicover.bmp" is an image.
  const DiscElement* d2 = library_.GetGenre(0)->GetDisc(library_.GetDiscIndex(0, RString("D2")));
  EXPECT_EQ(Str(d2->GetCoverName()), Listing("m/G/D2").back());
  EXPECT_EQ(d2->GetTotalTracks(), 0);
}

TEST_F(StorageTest, JunkEntries) {
  fs::create_directories("m/Rock/Disco/.oculto");
  fs::create_directories("m/Rock/.oculto");
  fs::create_directories("m/.oculto/X");
  fs::create_directories("m/Rock/Notas");
  Touch("m/Tumbs.db");
  Touch("m/TUMBS.DB");
  Touch("m/Rock/leeme.txt");
  Touch("m/suelto.mp3");
  Touch("m/Rock/Notas/notas.txt");
  fs::create_directories("m/Rock/Disco/extras.mp3");
  for (const char* name : {"tema.kar", "Thumbs.db", ".oculto.mp3", "clip.AVI", "canal.m3u8"})
    Touch(fs::path("m/Rock/Disco") / name);
  library_.AddContentPath("m");
  library_.LoadContentFromStorage();

  // Files are neither genres nor discs, and a folder is never a track.
  EXPECT_EQ(GenreNames(library_), (Lines{"Rock"}));
  const GenreElement& rock = *library_.GetGenre(0);
  EXPECT_EQ(DiscTitles(rock), InOrder(Listing("m/Rock"), {"Disco", "Notas"}));
  for (unsigned d = 0; d < 2; ++d) {
    const DiscElement& disc = *rock.GetDisc(d);
    EXPECT_FALSE(disc.HaveCover());
    if (disc.GetTitle() == RString("Disco"))
      EXPECT_EQ(TrackTitles(disc), InOrder(Listing("m/Rock/Disco"), {"tema.kar", "clip.AVI"}));
    else
      EXPECT_EQ(disc.GetTotalTracks(), 0) << Str(disc.GetTitle());
  }
}

TEST_F(StorageTest, KaraokeSoundIsNotATrackOfItsOwn) {
  fs::create_directories("m/K/D");
  for (const char* name : {"tema.cdg", "tema.mp3", "otro.CDG", "otro.MP3", "suelta.mp3", "tema.ogg"})
    Touch(fs::path("m/K/D") / name);
  library_.AddContentPath("m");
  library_.LoadContentFromStorage();
  EXPECT_EQ(TrackTitles(*library_.GetDisc(0, 0)),
            InOrder(Listing("m/K/D"), {"tema.cdg", "otro.CDG", "suelta.mp3", "tema.ogg"}));
}

// Names outside Windows-1252, Latin-1 names and folders whose name holds
// "\" are all listed, and every listed track opens.
TEST_F(StorageTest, EveryNameOnDiskIsListedAndOpens) {
  for (const char* folder : {"m/AC\\DC/A", "m/Pop/\xE6\x97\xA5\xE6\x9C\xAC"}) {
    fs::create_directories(folder);
    for (const char* name : {"ok.mp3", "micro \xF0\x9F\x8E\xA4.mp3", "que?.mp3", "caf\xE9.mp3"})
      Touch(fs::path(folder) / name);
  }
  library_.AddContentPath("m");
  library_.LoadContentFromStorage();
  ASSERT_EQ(library_.GetTotalGenres(), 2);
  for (int genre = 0; genre < 2; ++genre) {
    ASSERT_EQ(library_.GetTotalDiscs(genre), 1);
    ASSERT_EQ(library_.GetTotalTracks(genre, 0), 4);
    for (int track = 0; track < 4; ++track) {
      const RString path = library_.GetTrackPath(genre, 0, track);
      EXPECT_TRUE(platform::FileExists(path.Chars())) << Str(path);
    }
  }
}

TEST_F(StorageTest, UnreadableRootAddsNothing) {
  fs::create_directories("m/Pop/A");
  library_.AddContentPath("falta");
  library_.AddContentPath("m");
  library_.LoadContentFromStorage();
  EXPECT_EQ(Describe(library_), (Lines{"genre Pop", "  disc A | cover  | root 1"}));
}

// The favourites folder lives under the first root and is read only by
// LoadFavoritos; under another root it is an ordinary genre.
TEST_F(StorageTest, FavouritesFolderIsNotScannedAsAGenre) {
  fs::create_directories("uno/100+ Favoritas/Pop");
  fs::create_directories("uno/Pop/A");
  fs::create_directories("dos/100+ Favoritas/X");
  library_.AddContentPath("uno");
  library_.AddContentPath("dos");
  library_.LoadContentFromStorage();
  EXPECT_EQ(GenreNames(library_), (Lines{"Pop", "100+ Favoritas"}));
}

class FavouritesTest : public StorageTest {
 protected:
  void SetUp() override {
    WriteHostFile("db", "Pop\n\tA\n\t\n\t0\n\t\ta.mp3\n");
    library_.AddContentPath("media");
    ASSERT_EQ(library_.LoadContentFromDB(), 0);
  }
};

TEST_F(FavouritesTest, FoldersBecomeDiscsOfGenreZero) {
  const fs::path folder = "media/100+ Favoritas";
  fs::create_directories(folder / "TODA LA MUSICA");
  fs::create_directories(folder / "Vacio");
  fs::create_directories(folder / ".oculto");
  Touch(folder / "Pop/cover.jpg");
  Touch(folder / "Pop/a.mp3");
  Touch(folder / "Pop/notas.txt");
  library_.LoadFavoritos();

  EXPECT_EQ(GenreNames(library_), (Lines{"100+ Favoritas", "TODA LA MUSICA", "Pop"}));
  const GenreElement& favourites = *library_.GetGenre(0);
  ASSERT_EQ(DiscTitles(favourites), InOrder(Listing(folder.string()), {"Pop", "Vacio"}));
  const unsigned pop = static_cast<unsigned>(library_.GetDiscIndex(0, RString("Pop")));
  EXPECT_EQ(library_.GetDiscIndex(0, pop), static_cast<int>(pop));
  EXPECT_EQ(library_.GetDiscIndex(0, 1 - pop), static_cast<int>(1 - pop));
  EXPECT_STREQ(library_.GetCoverPath(0, pop).c_str(), "media\\100+ Favoritas\\Pop\\cover.jpg");
  EXPECT_STREQ(library_.GetTrackPath(0, pop, 0).c_str(), "media\\100+ Favoritas\\Pop\\a.mp3");
  EXPECT_EQ(library_.GetTotalTracks(0, 1 - pop), 0);
  FILE* file = platform::OpenFile(library_.GetTrackPath(0, pop, 0).c_str(), "rb");
  EXPECT_NE(file, nullptr);
  if (file) fclose(file);
}

TEST_F(FavouritesTest, EmptyOrMissingFolderStillGivesGenreZero) {
  library_.LoadFavoritos();
  EXPECT_EQ(GenreNames(library_), (Lines{"100+ Favoritas", "TODA LA MUSICA", "Pop"}));
  EXPECT_EQ(library_.GetTotalDiscs(0), 0);
}

// Downloads finished after "db" was written are found in their folder at
// start-up, next to those "db" lists; a "Descargas" of another genre is not
// genre 0's, and no album is made without downloads.
TEST_F(FavouritesTest, DownloadsOfGenreZeroJoinItsDownloadsAlbum) {
  const fs::path folder = "media/TODA LA MUSICA/Descargas";
  library_.LoadDownloads();
  EXPECT_EQ(DiscTitles(*library_.GetGenre(0)), (Lines{"A"}));

  MainLibrary listed;
  listed.AddContentPath("media");
  WriteHostFile("db", "Pop\n\tDescargas\n\t\n\t0\n\t\tb.mp4\nTODA LA MUSICA\n\tDescargas\n\t\n\t0\n\t\tb.mp4\n");
  ASSERT_EQ(listed.LoadContentFromDB(), 0);
  for (const char* name : {"b.mp4", "a.mp3", "notas.txt"}) Touch(folder / name);
  for (MainLibrary* library : {&library_, &listed}) {
    library->LoadDownloads();
    library->LoadDownloads();
    const unsigned disc = static_cast<unsigned>(library->DownloadsDiscIndex());
    EXPECT_EQ(library->GetDisc(0, disc)->GetGenre(), library->GetGenre(0));
    const Lines tracks = TrackTitles(*library->GetDisc(0, disc));
    const Lines expected = library == &listed ? Lines{"b.mp4", "a.mp3"} : InOrder(Listing(folder), {"a.mp3", "b.mp4"});
    EXPECT_EQ(tracks, expected);
    EXPECT_STREQ(library->GetTrackPath(0, disc, 0).c_str(), ("media\\TODA LA MUSICA\\Descargas\\" + tracks[0]).c_str());
    EXPECT_EQ(library->AddDownloadedTrack("c.mp3"), 2);
    EXPECT_EQ(library->AddDownloadedTrack("c.mp3"), 2);
  }
}

TEST_F(StorageTest, ScannedFavouritesGenreInFrontIsReplaced) {
  GenreElement* old = library_.GetOrAddGenre("100+ Favoritas");
  AddDisc(old, "Viejo");
  library_.GetOrAddGenre("Pop");
  library_.AddContentPath("media");
  fs::create_directories("media/100+ Favoritas/Nuevo");
  library_.LoadFavoritos();
  EXPECT_EQ(GenreNames(library_), (Lines{"100+ Favoritas", "Pop"}));
  EXPECT_EQ(DiscTitles(*library_.GetGenre(0)), (Lines{"Nuevo"}));
}

// Whether an entry is a folder is a matter of the entry, not of an item of
// the same name in the working directory (where the cabinet's own files lie).
TEST_F(StorageTest, FoldersNamedLikeCabinetFilesAreKept) {
  const Lines names = {"configuration", "db", "tempdata"};
  for (const std::string& name : names) {
    Touch(name);
    Touch("m/" + name + "/" + name + "/a.mp3");
    Touch("m/Pop/" + name + "/a.mp3");
  }
  fs::create_directories("a.mp3");
  library_.AddContentPath("m");
  library_.LoadContentFromStorage();
  EXPECT_EQ(GenreNames(library_), InOrder(Listing("m"), {"Pop", "configuration", "db", "tempdata"}));
  for (const char* genre : {"Pop", "db"}) {
    const unsigned g = static_cast<unsigned>(library_.GetGenreIndex(genre));
    EXPECT_EQ(library_.GetTotalDiscs(g), genre == std::string("Pop") ? 3 : 1) << genre;
    EXPECT_EQ(TrackTitles(*library_.GetDisc(g, 0)), (Lines{"a.mp3"})) << genre;
  }
}

}  // namespace
