// The loader parses "db" in place; a plain reader, one new text per step as
// the catalogue file was first read, must build the very same catalogue.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "LibraryText.h"
#include "base/RTextFile.h"
#include "bench/CatalogueGenerator.h"
#include "catalogue/MainLibrary.h"
#include "support/Files.h"
#include "support/TempDir.h"

namespace {

using Lines = std::vector<std::string>;

RString WithoutLineEnd(const RString& line) {
  uint32_t length = line.GetLength();
  if (length > 0 && line.GetChar(length - 1) == '\n') --length;
  while (length > 0 && line.GetChar(length - 1) == '\r') --length;
  return line.GetSubString(0, length);
}

RString AfterLastTab(const RString& line) {
  const char* tab = std::strrchr(line.Chars(), '\t');
  return RString(tab ? tab + 1 : "");
}

bool IsKaraoke(const RString& title) {
  const RString extension = MainLibrary::GetExtension(title);
  return extension.CaseCompare("cdg") == 0 || extension.CaseCompare("kar") == 0;
}

int PlainReader(MainLibrary& library) {
  RTextFile file;
  if (!file.Open("db", "r")) return -2;
  library.InitAllGenre();
  GenreElement* genre = nullptr;
  DiscElement* disc = nullptr;
  bool skipNext = false;
  const auto field = [&file] { return AfterLastTab(WithoutLineEnd(file.GetLine())); };
  while (!file.eof()) {
    const RString read = file.GetLine();
    if (read.GetLength() == 0) break;
    const RString line = WithoutLineEnd(read);
    if (line.GetLength() == 0) continue;
    if (skipNext) {
      skipNext = false;
    } else if (line.GetChar(0) != '\t') {
      genre = library.GetOrAddGenre(line);
    } else if (line.GetChar(1) == '\t') {
      if (!disc) return -1;
      const RString title = AfterLastTab(line);
      disc->AddTrack(library.NewTrack(title.Chars(), title.GetLength()));
      skipNext = IsKaraoke(title);
    } else {
      if (!genre) return -1;
      const RString title = AfterLastTab(line);
      disc = library.NewDisc(genre, title.Chars(), title.GetLength());
      disc->SetCoverName(library.arena.Text(field()));
      disc->SetRootIndex(static_cast<unsigned>(std::atoi(("0" + field()).Chars())));
      if (genre != library.allGenre) genre->AddDisc(disc);
      library.AddToAllGenre(genre, disc);
      ++library.discCount;
    }
  }
  library.FillIndexDiscs();
  return 0;
}

// The whole catalogue: the result, every genre, disc and track with its
// path, and the all-music genre in order with its numbers.
Lines Dump(const MainLibrary& library, int result) {
  Lines lines = Describe(library);
  lines.push_back("result " + std::to_string(result) + ", discs " + std::to_string(library.discCount));
  for (RItemList* node = library.allDiscs ? library.allDiscs->GetFirst() : nullptr; node; node = node->next) {
    const DiscElement* disc = static_cast<DiscElement*>(node->data);
    lines.push_back("all " + std::to_string(disc->GetDiscIndex()) + " " + Str(disc->GetTitle()));
  }
  return lines;
}

Lines LoadedPlainly() {
  MainLibrary library;
  library.AddContentPath("media");
  const int result = PlainReader(library);
  return Dump(library, result);
}

Lines Loaded() {
  MainLibrary library;
  library.AddContentPath("media");
  const int result = library.LoadContentFromDB();
  return Dump(library, result);
}

struct Case {
  const char* what;
  std::string text;
};

const std::string kLong(1500, 'x');

// The bytes of a literal, NULs included.
template <size_t N>
std::string Bytes(const char (&text)[N]) {
  return std::string(text, N - 1);
}

const Case kCases[] = {
    {"line ends mixed", "Pop\r\n\tA\r\r\n\tc.jpg\n\t3\r\n\t\ta.mp3\r\r\n\t\tb.ogg\n"},
    {"empty lines", "\n\r\nPop\n\n\tA\n\n\t0\n\r\r\n\t\ta.cdg\n\n\t\ta.mp3\n\t\tb.mp3\n"},
    {"long track line", "Pop\n\tA\n\t\n\t0\n\t\t" + kLong + ".mp3\n\t\tb.mp3\n"},
    {"long genre and disc lines", kLong + "\n\t" + kLong + "\n\t" + kLong + "\n\t7\n\t\tb.mp3\n"},
    {"Windows-1252 names", "M\xFAsica\n\t\xC1ngel \x80\n\tcar\xE1tula.jpg\n\t0\n\t\tcanci\xF3n \x9F.MP3\n"},
    {"NUL bytes", Bytes("Pop\n\tA\0x\n\t\n\t0\n\t\ta.mp3\0b\n\t\tc.mp3\n\0\n\t\td.mp3\n")},
    {"karaoke companions", "K\n\tA\n\t\n\t0\n\t\tt.CDG\n\t\tt.mp3\n\t\ts.Kar\nOtro\n\tB\n\t\n\t1\n"},
    {"more TABs than usual", "Pop\n\tx\tA\n\ty\tc.jpg\n\t\t2\n\t\t\tz\ta.mp3\n\t\n\t\n\t\n"},
    {"disc block cut short", "Pop\n\tA\n\ta.jpg"},
    {"all-music genre line", "TODA LA MUSICA\n\tMix\n\t\n\t0\nPop\n\tabba\n\t\n\t0\n\tAbba\n\t\n\t0\n"},
    {"disc before any genre", "\tA\n\t\n\t0\nPop\n"},
    {"track before any disc", "Pop\n\t\tx.mp3\n\tA\n\t\n\t0\n"},
    {"empty file", ""},
};

class LoaderEquivalenceTest : public ::testing::Test {
 protected:
  TempDir temp_;
};

TEST_F(LoaderEquivalenceTest, EdgeCasesLoadAsThePlainReaderReadsThem) {
  for (const Case& c : kCases) {
    WriteHostFile("db", c.text);
    EXPECT_EQ(Loaded(), LoadedPlainly()) << c.what;
  }
}

TEST_F(LoaderEquivalenceTest, GeneratedCatalogueOf100000Tracks) {
  GeneratedShape shape;
  shape.albums = 10000;
  ASSERT_TRUE(GenerateCatalogueFile("db", shape));
  const Lines plain = LoadedPlainly();
  ASSERT_EQ(plain.size(), 20 + 10000 + 100000 + 1 + 10000u);
  EXPECT_TRUE(Loaded() == plain);
}

}  // namespace
