#include <gtest/gtest.h>

#include <string>

#include "LibraryText.h"
#include "catalogue/MainLibrary.h"
#include "support/Files.h"
#include "support/TempDir.h"

namespace {

using Lines = std::vector<std::string>;

// Each test writes "db" into a fresh working directory and loads it.
class CatalogueFileTest : public ::testing::Test {
 protected:
  int Load(const std::string& text) {
    WriteHostFile("db", text);
    return library_.LoadContentFromDB();
  }

  static std::string WithLineEnds(std::string text, const std::string& end) {
    std::string out;
    for (char c : text) out += c == '\n' ? end : std::string(1, c);
    return out;
  }

  const GenreElement& All() const { return *library_.GetGenre(0); }

  TempDir temp_;
  MainLibrary library_;
};

const char* const kPopExitos = "Pop\n\tExitos\n\tcover.jpg\n\t0\n\t\t01.mp3\n";

TEST_F(CatalogueFileTest, GenreDiscAndTrack) {
  ASSERT_EQ(Load(kPopExitos), 0);
  EXPECT_EQ(GenreNames(library_), (Lines{"TODA LA MUSICA", "Pop"}));
  EXPECT_EQ(Describe(library_),
            (Lines{"genre Pop", "  disc Exitos | cover cover.jpg | root 0", "    track 01.mp3 | \\Pop\\Exitos\\01.mp3"}));
  EXPECT_EQ(library_.discCount, 1);
  EXPECT_EQ(library_.allGenre, library_.GetGenre(0));
  EXPECT_EQ(library_.allDiscs, library_.GetGenre(0)->GetDiscs());
  EXPECT_EQ(library_.GetDisc(0, 0), library_.GetDisc(1, 0));
}

TEST_F(CatalogueFileTest, LineEndsLfCrLfAndCrCrLfLoadAlike) {
  const std::string text = std::string(kPopExitos) + "Rock\n\tB\n\t\n\t1\n\t\tx.cdg\n\t\tx.mp3\n\t\ty.ogg\n";
  ASSERT_EQ(Load(text), 0);
  const Lines expected = Describe(library_);
  for (const char* end : {"\r\n", "\r\r\n"}) {
    MainLibrary other;
    WriteHostFile("db", WithLineEnds(text, end));
    ASSERT_EQ(other.LoadContentFromDB(), 0);
    EXPECT_EQ(Describe(other), expected) << "line end of " << std::string(end).size() << " bytes";
  }
  EXPECT_EQ(expected.size(), 7u);
}

TEST_F(CatalogueFileTest, RepeatedGenreLineAddsToTheEarlierGenre) {
  ASSERT_EQ(Load("Pop\n\tA\n\t\n\t0\nRock\n\tB\n\t\n\t0\nPop\n\tC\n\t\n\t0\n"), 0);
  EXPECT_EQ(GenreNames(library_), (Lines{"TODA LA MUSICA", "Pop", "Rock"}));
  EXPECT_EQ(DiscTitles(*library_.GetGenre(1)), (Lines{"A", "C"}));
}

// The catalogue tool writes the all-music genre's folder, which holds the
// downloads album, as a genre of that name.
TEST_F(CatalogueFileTest, AllMusicGenreLineListsItsDiscsOnce) {
  ASSERT_EQ(Load("TODA LA MUSICA\n\tDescargas\n\t\n\t0\n\t\ta.mp4\nPop\n\tOtro\n\t\n\t0\n"), 0);
  EXPECT_EQ(GenreNames(library_), (Lines{"TODA LA MUSICA", "Pop"}));
  EXPECT_EQ(DiscTitles(All()), (Lines{"Descargas", "Otro"}));
  // A download finished since the tool ran joins the same album.
  WriteHostFile("media/TODA LA MUSICA/Descargas/b.mp4", "");
  library_.AddContentPath("media");
  library_.LoadDownloads();
  EXPECT_EQ(DiscTitles(All()), (Lines{"Descargas", "Otro"}));
  EXPECT_EQ(library_.GetTotalTracks(0, 0), 2);
  EXPECT_EQ(library_.discCount, 2);
}

TEST_F(CatalogueFileTest, KaraokeCompanionLineIsSkipped) {
  ASSERT_EQ(Load("Karaoke\n\tD\n\t\n\t0\n\t\ttema.cdg\n\t\ttema.mp3\n\t\tsolo.kar\n\t\tsolo.kar\n\t\tfin.mp3\n"), 0);
  EXPECT_EQ(TrackTitles(*library_.GetDisc(1, 0)), (Lines{"tema.cdg", "solo.kar", "fin.mp3"}));
}

TEST_F(CatalogueFileTest, KaraokeWithoutCompanionSwallowsTheNextLine) {
  // The genre line after the "kar" is lost: disc B joins genre Uno.
  ASSERT_EQ(Load("Uno\n\tA\n\t\n\t0\n\t\tsolo.kar\nDos\n\tB\n\t\n\t0\n"), 0);
  EXPECT_EQ(GenreNames(library_), (Lines{"TODA LA MUSICA", "Uno"}));
  EXPECT_EQ(DiscTitles(*library_.GetGenre(1)), (Lines{"A", "B"}));
}

TEST_F(CatalogueFileTest, BlankLinesAreIgnoredAndDoNotTakeTheSkip) {
  ASSERT_EQ(Load("\nPop\n\n\tA\n\t\n\t0\n\t\ttema.cdg\n\r\n\t\ttema.mp3\n\n"), 0);
  EXPECT_EQ(GenreNames(library_), (Lines{"TODA LA MUSICA", "Pop"}));
  EXPECT_EQ(TrackTitles(*library_.GetDisc(1, 0)), (Lines{"tema.cdg"}));
}

TEST_F(CatalogueFileTest, RootIndexAndCoverLines) {
  ASSERT_EQ(Load("Pop\n\tA\n\t\n\t2\n\tB\n\tb.png\n\t12x\n\tC\n\t\n\tnada\n"), 0);
  const GenreElement& pop = *library_.GetGenre(1);
  EXPECT_EQ(pop.GetDisc(0)->GetRootIndex(), 2u);
  EXPECT_FALSE(pop.GetDisc(0)->HaveCover());
  EXPECT_EQ(pop.GetDisc(1)->GetRootIndex(), 12u);
  EXPECT_STREQ(pop.GetDisc(1)->GetCoverName().c_str(), "b.png");
  EXPECT_EQ(pop.GetDisc(2)->GetRootIndex(), 0u);
}

TEST_F(CatalogueFileTest, DiscBlockCutShortByTheEnd) {
  ASSERT_EQ(Load("Pop\n\tA\n\ta.jpg"), 0);
  EXPECT_EQ(Describe(library_), (Lines{"genre Pop", "  disc A | cover a.jpg | root 0"}));
  MainLibrary other;
  WriteHostFile("db", "Pop\n\tA");
  ASSERT_EQ(other.LoadContentFromDB(), 0);
  EXPECT_EQ(Describe(other), (Lines{"genre Pop", "  disc A | cover  | root 0"}));
}

TEST_F(CatalogueFileTest, DiscBeforeAnyGenreIsBroken) {
  EXPECT_EQ(Load("\tA\n\t\n\t0\nPop\n"), -1);
  EXPECT_EQ(GenreNames(library_), (Lines{"TODA LA MUSICA"}));
}

TEST_F(CatalogueFileTest, TrackBeforeAnyDiscIsBrokenAndKeepsWhatWasRead) {
  EXPECT_EQ(Load("Pop\n\t\tx.mp3\n\tA\n\t\n\t0\n"), -1);
  EXPECT_EQ(GenreNames(library_), (Lines{"TODA LA MUSICA", "Pop"}));
  EXPECT_EQ(library_.GetTotalDiscs(1), 0);
}

TEST_F(CatalogueFileTest, FileWithoutGenresLeavesOnlyTheAllMusicGenre) {
  ASSERT_EQ(Load(""), 0);
  EXPECT_EQ(GenreNames(library_), (Lines{"TODA LA MUSICA"}));
  EXPECT_EQ(library_.discCount, 0);
}

// The discs of the all-music genre, in list order, with their numbers.
Lines NumberedAll(const GenreElement& all) {
  Lines lines;
  for (RItemList* node = all.GetFirst(); node; node = node->next) {
    const DiscElement* disc = static_cast<DiscElement*>(node->data);
    lines.push_back(std::to_string(disc->GetDiscIndex()) + " " + Str(disc->GetTitle()));
  }
  return lines;
}

std::string DiscBlocks(const Lines& titles) {
  std::string text;
  for (const std::string& title : titles) text += "\t" + title + "\n\t\n\t0\n";
  return text;
}

TEST_F(CatalogueFileTest, AllMusicGenreIsGroupedByFirstLetterAndNumbered) {
  ASSERT_EQ(Load("Uno\n" + DiscBlocks({"Beto", "1999", "Carlos"}) + "Dos\n" + DiscBlocks({"Ana", "Zeta", "Bruno"})), 0);
  EXPECT_EQ(NumberedAll(All()), (Lines{"0 Ana", "1 Beto", "2 Bruno", "3 Carlos", "4 1999", "5 Zeta"}));
  // The genres keep the file's order.
  EXPECT_EQ(DiscTitles(*library_.GetGenre(2)), (Lines{"Ana", "Zeta", "Bruno"}));
}

TEST_F(CatalogueFileTest, CapitalAGoesToTheFront) {
  ASSERT_EQ(Load("Uno\n" + DiscBlocks({"1999", "Abba", "Beto"})), 0);
  EXPECT_EQ(NumberedAll(All()), (Lines{"0 Abba", "1 Beto", "2 1999"}));
}

TEST_F(CatalogueFileTest, LowerCaseAAndHighBytesFindNoEarlierBucket) {
  // "abba" and "\xC1ngel" are appended, "Eva" goes after the last "D".
  ASSERT_EQ(Load("Uno\n" + DiscBlocks({"Dora", "abba", "\xC1ngel", "Eva", "Zoe"})), 0);
  EXPECT_EQ(NumberedAll(All()), (Lines{"0 Dora", "1 Eva", "2 abba", "3 \xC1ngel", "4 Zoe"}));
}

TEST(LetterIndex, Buckets) {
  EXPECT_EQ(MainLibrary::GetIndexOfChar('A'), 0);
  EXPECT_EQ(MainLibrary::GetIndexOfChar('b'), 1);
  EXPECT_EQ(MainLibrary::GetIndexOfChar('Y'), 24);
  EXPECT_EQ(MainLibrary::GetIndexOfChar('Z'), 25);
  EXPECT_EQ(MainLibrary::GetIndexOfChar('7'), 25);
  EXPECT_EQ(MainLibrary::GetIndexOfChar(0xC1), 25);
  MainLibrary library;
  library.InitAllGenre();
  EXPECT_EQ(MainLibrary::GetItemBeforeOfChar('M'), nullptr);
  EXPECT_EQ(MainLibrary::GetItemBeforeOfChar('7'), nullptr);
}

}  // namespace
