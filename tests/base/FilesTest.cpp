#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>
#include <string>

#include "base/RDir.h"
#include "base/RFile.h"
#include "base/RString.h"
#include "base/RTextFile.h"
#include "support/Files.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;

// Each test runs in a fresh working directory; the program's paths are
// relative to it, as everywhere in the system.
class FilesTest : public ::testing::Test {
 protected:
  TempDir temp_;
};

TEST_F(FilesTest, LastLineWithoutLineFeed) {
  WriteHostFile("lines", "uno\ndos");
  RTextFile file;
  ASSERT_TRUE(file.Open("lines", "r"));
  EXPECT_STREQ(file.GetLine().c_str(), "uno\n");
  EXPECT_EQ(file.GetLastReadLength(), 4);
  EXPECT_STREQ(file.GetLine().c_str(), "dos");
  EXPECT_EQ(file.GetLastReadLength(), 3);
  EXPECT_TRUE(file.eof());
  // At the end: the empty text, and the length of the last line stays.
  EXPECT_STREQ(file.GetLine().c_str(), "");
  EXPECT_EQ(file.GetLastReadLength(), 3);
}

TEST_F(FilesTest, ReadPastTheFinalLineFeedIsEmpty) {
  WriteHostFile("lines", "uno\n");
  RTextFile file;
  ASSERT_TRUE(file.Open("lines", "r"));
  EXPECT_STREQ(file.GetLine().c_str(), "uno\n");
  EXPECT_FALSE(file.eof());
  EXPECT_STREQ(file.GetLine().c_str(), "");
  EXPECT_EQ(file.GetLastReadLength(), 0);
  EXPECT_TRUE(file.eof());
}

TEST_F(FilesTest, LongLineArrivesInPieces) {
  WriteHostFile("long", std::string(1500, 'x') + "\nnext\n");
  RTextFile file;
  ASSERT_TRUE(file.Open("long", "r"));
  RString piece = file.GetLine();
  EXPECT_STREQ(piece.c_str(), std::string(1023, 'x').c_str());
  EXPECT_EQ(file.GetLastReadLength(), 1023);
  piece = file.GetLine();
  EXPECT_STREQ(piece.c_str(), (std::string(477, 'x') + "\n").c_str());
  EXPECT_EQ(file.GetLastReadLength(), 478);
  EXPECT_STREQ(file.GetLine().c_str(), "next\n");
}

TEST_F(FilesTest, CarriageReturnsAreLeftToRemoveCR) {
  WriteHostFile("crlf", "clave=valor\r\n");
  RTextFile file;
  ASSERT_TRUE(file.Open("crlf", "r"));
  RString line = file.GetLine();
  EXPECT_STREQ(line.c_str(), "clave=valor\r\n");
  line.RemoveCR();
  EXPECT_STREQ(line.AfterFirst('=').c_str(), "valor");
}

TEST_F(FilesTest, AddLineWritesExactlyWhatIsGiven) {
  WriteHostFile("out", "old contents that must go\n");
  RTextFile file;
  ASSERT_TRUE(file.Create("out"));
  EXPECT_TRUE(file.AddLine("uno"));
  EXPECT_TRUE(file.AddLine("=1\n"));
  EXPECT_TRUE(file.AddLine(RString()));
  EXPECT_TRUE(file.AddLine("dos\r\n"));
  EXPECT_TRUE(file.Close());
  EXPECT_EQ(ReadHostFile("out"), "uno=1\ndos\r\n");
}

TEST_F(FilesTest, FileThatIsNotOpen) {
  RTextFile file;
  EXPECT_FALSE(file.IsOpen());
  EXPECT_TRUE(file.eof());
  EXPECT_STREQ(file.GetLine().c_str(), "");
  EXPECT_FALSE(file.AddLine("x\n"));
  EXPECT_FALSE(file.Close());

  EXPECT_FALSE(file.Open("missing", "r"));
  EXPECT_TRUE(file.eof());
}

TEST_F(FilesTest, NamesAreWindows1252) {
  WriteHostFile("letras/Canci\xC3\xB3n.txt", "la\n");
  RTextFile file;
  ASSERT_TRUE(file.Open("letras\\Canci\xF3n.txt", "r"));
  EXPECT_STREQ(file.GetLine().c_str(), "la\n");
}

TEST_F(FilesTest, MissingFolderIsNotOpened) {
  RDir dir("nada");
  EXPECT_FALSE(dir.IsOpened());
  RString name;
  EXPECT_FALSE(dir.GetFile(name));
}

// A media folder holding the folders "Rock" and "Canción" (named in UTF-8
// on the host) and the file "tema.mp3".
class DirTest : public FilesTest {
 protected:
  void SetUp() override {
    fs::create_directories("media/Rock");
    fs::create_directories("media/Canci\xC3\xB3n");
    WriteHostFile("media/tema.mp3", "");
    fs::create_directories("elsewhere");
  }

  // Absolute, so that it lists the same folder from any working directory.
  RString Media() const { return (temp_.Path() / "media").c_str(); }

  std::set<std::string> ListNames(int maxchars) {
    RDir dir(Media());
    EXPECT_TRUE(dir.IsOpened());
    std::set<std::string> names;
    char name[16];
    while (dir.GetFile(name, maxchars)) names.insert(name);
    dir.Close();
    return names;
  }
};

// Runs the test body in another working directory and returns afterwards.
class WorkingDirectory {
 public:
  explicit WorkingDirectory(const fs::path& path)
      : saved_(fs::current_path()) {
    fs::current_path(path);
  }
  ~WorkingDirectory() { fs::current_path(saved_); }

 private:
  fs::path saved_;
};

TEST_F(DirTest, ListsBareNamesWithTheDotEntries) {
  RDir dir(Media());
  ASSERT_TRUE(dir.IsOpened());
  EXPECT_STREQ(dir.GetPath().c_str(), Media().c_str());
  std::set<std::string> names;
  RString name;
  while (dir.GetFile(name)) names.insert(name.c_str());
  dir.Close();
  EXPECT_EQ(names, (std::set<std::string>{".", "..", "Canci\xF3n", "Rock",
                                          "tema.mp3"}));
  EXPECT_FALSE(dir.GetFile(name));
}

TEST_F(DirTest, NamesAreCutToTheArray) {
  EXPECT_EQ(ListNames(4),
            (std::set<std::string>{".", "..", "Can", "Roc", "tem"}));
  EXPECT_EQ(ListNames(16).count("Canci\xF3n"), 1u);
}

// "folder" or "file" per entry of Media(), "." and ".." left out.
std::map<std::string, std::string> EntryKinds(const RString& folder) {
  std::map<std::string, std::string> kinds;
  RDir dir(folder);
  RString name;
  while (dir.GetFile(name)) {
    if (name.GetChar(0) == '.') continue;
    EXPECT_NE(dir.IsDirectory(), dir.IsFile()) << name.c_str();
    kinds[name.c_str()] = dir.IsDirectory() ? "folder" : "file";
  }
  dir.Close();
  return kinds;
}

// Items of the same names in the working directory, of the other kind, must
// not change what the entries are.
TEST_F(DirTest, EntriesAreJudgedByThemselvesWhateverTheWorkingDirectoryHolds) {
  fs::create_symlink(temp_.Path() / "media/Rock", "media/Enlace");
  fs::create_symlink(temp_.Path() / "falta", "media/Roto");
  const std::map<std::string, std::string> expected = {
      {"Canci\xF3n", "folder"}, {"Enlace", "folder"}, {"Rock", "folder"}, {"Roto", "file"}, {"tema.mp3", "file"}};
  WriteHostFile("elsewhere/Rock", "");
  fs::create_directories("elsewhere/tema.mp3");
  for (const char* working : {"elsewhere", "media"}) {
    WorkingDirectory inside(temp_.Path() / working);
    EXPECT_EQ(EntryKinds(Media()), expected) << working;
  }
}

TEST_F(DirTest, NoCurrentEntryPassesNeitherTest) {
  WorkingDirectory elsewhere(temp_.Path() / "elsewhere");
  RDir dir(Media());
  EXPECT_FALSE(dir.IsDirectory());
  EXPECT_FALSE(dir.IsFile());
  RString name;
  while (dir.GetFile(name)) {
  }
  EXPECT_FALSE(dir.IsDirectory());
  EXPECT_FALSE(dir.IsFile());
}

}  // namespace
