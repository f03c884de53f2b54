#include "platform/Files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <set>

#include "support/Files.h"
#include "support/HostileFiles.h"
#include "support/TempDir.h"

namespace fs = std::filesystem;
using namespace platform;

namespace {

std::set<std::string> Listing(const std::string& path) {
  std::set<std::string> names;
  DirListing listing(path);
  for (std::string name; listing.Next(name);) names.insert(name);
  return names;
}

}  // namespace

TEST(Files, Utf8FolderListsAsWindows1252AndOpensAgain) {
  TempDir dir;
  WriteHostFile("media/Canci\xC3\xB3n/01 a\xC3\xB1o.mp3", "x");
  const std::set<std::string> names = Listing("media");
  ASSERT_TRUE(names.count("Canci\xF3n"));
  EXPECT_TRUE(names.count(".") && names.count(".."));
  EXPECT_TRUE(DirectoryExists(std::string("media\\") + "Canci\xF3n"));
  FILE* file = OpenFile("media\\Canci\xF3n\\01 a\xF1o.mp3", "r");
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(std::fgetc(file), 'x');
  std::fclose(file);
}

TEST(Files, ListingComesByNameWithoutRegardToCase) {
  TempDir dir;
  for (const char* name : {"b.mp3", "A.mp3", "\xC3\x81rbol", "a.jpg", "03 - Tres.mp3", "10 - Diez.mp3", "Zeta"})
    WriteHostFile(fs::path("album") / name, "");
  std::vector<std::string> names;
  DirListing listing("album");
  for (std::string name; listing.Next(name);) names.push_back(name);
  EXPECT_EQ(names, (std::vector<std::string>{".", "..", "03 - Tres.mp3", "10 - Diez.mp3", "a.jpg", "A.mp3",
                                             "b.mp3", "Zeta", "\xC1rbol"}));
}

TEST(Files, MissingFolderDoesNotOpen) {
  TempDir dir;
  DirListing listing("no\\such\\folder");
  EXPECT_FALSE(listing.IsOpen());
  std::string name;
  EXPECT_FALSE(listing.Next(name));
}

TEST(Files, DriveLetterResolvesThroughDosdevicesLink) {
  TempDir dir;
  WriteHostFile("stick/ACTUALIZACION/Rock/a.mp3", "a");
  fs::create_directories("dosdevices");
  fs::create_directory_symlink("../stick", "dosdevices/e:");
  EXPECT_TRUE(DirectoryExists("E:\\ACTUALIZACION"));
  EXPECT_TRUE(FileExists("e:\\ACTUALIZACION\\Rock\\a.mp3"));
  EXPECT_FALSE(DirectoryExists("F:\\ACTUALIZACION"));
}

TEST(Files, AttributesAsTheWindowsLayerReportsThem) {
  TempDir dir;
  WriteHostFile("tema.mp3", "");
  WriteHostFile(".oculto", "");
  fs::create_directory("Rock");
  EXPECT_EQ(GetFileAttributes("Rock"), kAttributeDirectory);
  EXPECT_EQ(GetFileAttributes("tema.mp3") & ~kAttributeReadOnly, kAttributeArchive);
  EXPECT_TRUE(GetFileAttributes(".oculto") & kAttributeHidden);
  EXPECT_EQ(GetFileAttributes("Pop"), kInvalidAttributes);
}

TEST(Files, CopyReplacesDeleteRemovesCreateMakesFolders) {
  TempDir dir;
  WriteHostFile("a", "new contents");
  WriteHostFile("b", "old contents that are longer");
  EXPECT_TRUE(CopyFile("a", "b"));
  EXPECT_EQ(ReadHostFile("b"), "new contents");
  EXPECT_FALSE(CopyFile("missing", "c"));
  EXPECT_FALSE(FileExists("c"));
  EXPECT_TRUE(DeleteFile("b"));
  EXPECT_FALSE(DeleteFile("b"));
  EXPECT_TRUE(CreateDirectory("Favoritas"));
  EXPECT_FALSE(CreateDirectory("Favoritas"));
  EXPECT_TRUE(DirectoryExists("Favoritas"));
}

TEST(Files, NamesThatDoNotLeadBackCanStillBeSetAside) {
  TempDir dir;
  const struct {
    const char* hostName;
    bool reachable;
  } cases[] = {{"plain", true}, {"a\xC3\xB1o", true}, {"roto\xFF", true}, {"\xE6\x97\xA5", true}};
  for (const auto& c : cases) {
    WriteHostFile(std::string("queue/") + c.hostName, "x");
    DirListing listing("queue");
    std::string name;
    while (listing.Next(name) && listing.CurrentIsFolder()) {
    }
    EXPECT_EQ(listing.CurrentIsReachable(), c.reachable) << c.hostName;
    EXPECT_TRUE(listing.RenameCurrent(".rechazado")) << c.hostName;
    EXPECT_EQ(ReadHostFile(std::string("queue/") + c.hostName + ".rechazado"), "x") << c.hostName;
    fs::remove_all("queue");
  }
}

TEST(Files, CopyOntoItselfUnderAnyNameIsRefusedAndLeavesTheFile) {
  TempDir dir;
  WriteHostFile("media/db", "the catalogue");
  fs::create_hard_link("media/db", "media/enlace");
  for (const char* target : {"media\\db", "media\\..\\media\\db", "media/enlace"}) {
    EXPECT_FALSE(CopyFile("media\\db", target)) << target;
    EXPECT_EQ(ReadHostFile("media/db"), "the catalogue") << target;
  }
}

TEST(Files, AtomicWriteReplacesWholeAndLeavesNoTemporary) {
  TempDir dir;
  WriteHostFile("tempdata", "savedcredits=1\n");
  EXPECT_TRUE(WriteFileAtomically("tempdata", "savedcredits=2\ncounter1=5\n"));
  EXPECT_EQ(ReadHostFile("tempdata"), "savedcredits=2\ncounter1=5\n");
  EXPECT_EQ(Listing("."), (std::set<std::string>{".", "..", "tempdata"}));
  EXPECT_FALSE(WriteFileAtomically("no\\folder\\tempdata", "x"));
}

// Readers of files others write ------------------------------------------

TEST(Files, SpecialFilesAreRefusedWithoutWaiting) {
  const size_t limit = 4096;
  for (const HostileFile& hostile : HostileFiles(limit + 1)) {
    SCOPED_TRACE(hostile.kind);
    TempDir dir;
    hostile.make("cover.jpg");
    // Only the oversize file is a regular one: that opens and copies whole.
    const bool regular = std::string(hostile.kind) == "oversize file";
    for (const Links links : {Links::kFollow, Links::kRefuse}) {
      FILE* file = OpenRegularFile("cover.jpg", links);
      EXPECT_EQ(file != nullptr, regular);
      if (file != nullptr) std::fclose(file);
      std::string contents = "kept";
      EXPECT_FALSE(ReadRegularFile("cover.jpg", limit, contents, links));
      EXPECT_EQ(contents, "kept");
    }
    EXPECT_EQ(CopyFile("cover.jpg", "copy"), regular);
    EXPECT_EQ(CopyAsNewFile("cover.jpg", "copy", [] { return true; }), regular);
    EXPECT_EQ(fs::exists("copy"), regular);
  }
}

// The target's name already leads out of the folder: the copy replaces the
// link and leaves what it named alone.
TEST(Files, CopyAsNewFileReplacesWhatTheTargetNamesAndLeavesNoPartialFile) {
  TempDir dir;
  WriteHostFile("stick/a.mp3", std::string(1 << 20, 'a'));
  WriteHostFile("outside/shadow", "root:x");
  fs::create_directories("media");
  fs::create_symlink(dir.Path() / "outside" / "shadow", "media/a.mp3");
  ASSERT_TRUE(CopyAsNewFile("stick\\a.mp3", "media\\a.mp3", [] { return true; }));
  EXPECT_FALSE(fs::is_symlink("media/a.mp3"));
  EXPECT_EQ(ReadHostFile("media/a.mp3"), std::string(1 << 20, 'a'));
  EXPECT_EQ(ReadHostFile("outside/shadow"), "root:x");

  // Stopped half-way: the old file stays and no partial copy is left.
  WriteHostFile("stick/a.mp3", std::string(4 << 20, 'b'));
  int blocks = 0;
  EXPECT_FALSE(CopyAsNewFile("stick\\a.mp3", "media\\a.mp3", [&] { return ++blocks < 3; }));
  EXPECT_EQ(blocks, 3);
  EXPECT_EQ(ReadHostFile("media/a.mp3"), std::string(1 << 20, 'a'));
  EXPECT_EQ(Listing("media"), (std::set<std::string>{".", "..", "a.mp3"}));

  // A folder under the target's name is not replaced.
  fs::create_directories("media/b.mp3");
  EXPECT_FALSE(CopyAsNewFile("stick\\a.mp3", "media\\b.mp3", [] { return true; }));
  EXPECT_EQ(Listing("media"), (std::set<std::string>{".", "..", "a.mp3", "b.mp3"}));
}
