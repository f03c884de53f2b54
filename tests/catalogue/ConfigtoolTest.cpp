#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "LibraryText.h"
#include "catalogue/MainLibrary.h"
#include "configtool/CatalogueWriter.h"
#include "platform/Files.h"
#include "platform/Processes.h"
#include "support/Files.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

void Touch(const fs::path& path) { WriteHostFile(path, ""); }

// Runs the built catalogue tool in the working directory; its exit code.
int RunConfigtool(const platform::Argv& arguments = {"updatedb"}) {
  platform::Argv argv{CONFIGTOOL_PATH};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  platform::OutputOptions output;
  output.stdoutFile = "configtool.log";
  output.quiet = true;
  return platform::RunAndWait(argv, output);
}

// Two roots with accented names (UTF-8 on disk), karaoke pairs, covers,
// junk and a favourites folder, as an operator's media disk holds them.
void MakeMediaTree() {
  const fs::path canciones = "media/M\xC3\xBAsica Latina/Canci\xC3\xB3n de Oto\xC3\xB1o";
  for (const char* name : {"01 A\xC3\xB1oranza.mp3", "02 Coraz\xC3\xB3n.ogg", "front.jpg", "minicover.jpg",
                           "notas.txt", "Thumbs.db"})
    Touch(canciones / name);
  const fs::path karaoke = "media/Karaoke/Cl\xC3\xA1sicos";
  for (const char* name : {"tema.cdg", "tema.mp3", "suelto.cdg", "solo.kar", "video.mp4", "cover.png",
                           "micro \xF0\x9F\x8E\xA4.mp3"})
    Touch(karaoke / name);
  Touch("media/Rock/Primero/a.mp3");
  Touch("media/Rock/leeme.txt");
  Touch("media/Tumbs.db");
  fs::create_directories("media/.oculto/X");
  fs::create_directories("media/Rock/Vacio");
  Touch("media/100+ Favoritas/Rock/a.mp3");
  Touch("extra/Rock/Segundo/b.wma");
  Touch("extra/\xC3\x89xitos/Uno/canal.m3u8");
  Touch("extra/\xC3\x89xitos/Uno/clip.webm");
}

class ConfigtoolTest : public ::testing::Test {
 protected:
  TempDir temp_;
};

TEST_F(ConfigtoolTest, CatalogueFileLoadsAsTheFolderScan) {
  MakeMediaTree();
  WriteHostFile("configuration", "ancho=1024\nmediacontent=media\nmediacontent=\nmediacontent=extra\n");
  ASSERT_EQ(RunConfigtool(), 0) << ReadHostFile("configtool.log");
  EXPECT_NE(ReadHostFile("configtool.log").find("Escrito db: 4 generos, 6 albumes, 10 pistas"), std::string::npos)
      << ReadHostFile("configtool.log");

  MainLibrary scanned;
  scanned.AddContentPath("media");
  scanned.AddContentPath("extra");
  scanned.LoadContentFromStorage();
  MainLibrary loaded;
  loaded.AddContentPath("media");
  loaded.AddContentPath("extra");
  ASSERT_EQ(loaded.LoadContentFromDB(), 0);

  EXPECT_EQ(Describe(loaded), Describe(scanned));
  EXPECT_EQ(loaded.GetGenre(0), loaded.allGenre);
  EXPECT_EQ(loaded.GetTotalGenres(), scanned.GetTotalGenres() + 1);
  EXPECT_EQ(loaded.GetTotalDiscs(0), 6);
  EXPECT_EQ(loaded.discCount, 6);

  const int g = loaded.GetGenreIndex("M\xFAsica Latina");
  ASSERT_GT(g, 0);
  EXPECT_STREQ(loaded.GetDiscTitle(g, 0).c_str(), "Canci\xF3n de Oto\xF1o");
  EXPECT_STREQ(loaded.GetCoverName(g, 0).c_str(), "front.jpg");
  int opened = 0;
  for (unsigned g = 1; g < static_cast<unsigned>(loaded.GetTotalGenres()); ++g)
    for (unsigned d = 0; d < static_cast<unsigned>(loaded.GetTotalDiscs(g)); ++d)
      for (unsigned t = 0; t < static_cast<unsigned>(loaded.GetTotalTracks(g, d)); ++t) {
        FILE* file = platform::OpenFile(loaded.GetTrackPath(g, d, t).c_str(), "rb");
        EXPECT_NE(file, nullptr) << Str(loaded.GetTrackPath(g, d, t));
        if (file) fclose(file), ++opened;
      }
  EXPECT_EQ(opened, 10);  // the name outside the code page too
}

// The first run writes "db" into the working directory; the second must
// still take the album folders named like it or like the other cabinet files.
TEST_F(ConfigtoolTest, SecondRunKeepsAlbumsNamedLikeCabinetFiles) {
  for (const char* album : {"db", "tempdata", "configuration", "Otro"}) Touch(fs::path("media/Pop") / album / "a.mp3");
  WriteHostFile("configuration", "mediacontent=media\n");
  WriteHostFile("tempdata", "creditos=0\n");
  ASSERT_EQ(RunConfigtool(), 0);
  const std::string first = ReadHostFile("db");
  ASSERT_EQ(RunConfigtool(), 0);
  EXPECT_EQ(ReadHostFile("db"), first);
  EXPECT_NE(ReadHostFile("configtool.log").find("Escrito db: 1 generos, 4 albumes, 4 pistas"), std::string::npos)
      << ReadHostFile("configtool.log");
}

TEST_F(ConfigtoolTest, FileIsWindows1252WithCrCrLfAndKaraokeCompanions) {
  Touch("media/Karaoke/Canci\xC3\xB3n/tema.cdg");
  Touch("media/Karaoke/Canci\xC3\xB3n/tema.mp3");
  Touch("media/Karaoke/Canci\xC3\xB3n/solo.kar");
  WriteHostFile("configuration", "mediacontent=media\r\n");
  ASSERT_EQ(RunConfigtool({}), 0);
  const std::string db = ReadHostFile("db");
  const std::string disc = "Karaoke\r\r\n\tCanci\xF3n\r\r\n\t\r\r\n\t0\r\r\n";
  const std::string cdg = "\t\ttema.cdg\r\r\n\t\ttema.mp3\r\r\n";
  const std::string kar = "\t\tsolo.kar\r\r\n\t\tsolo.kar\r\r\n";
  EXPECT_TRUE(db == disc + cdg + kar || db == disc + kar + cdg) << db;
}

TEST_F(ConfigtoolTest, WriterLeavesOutNamesTheFormatCannotHold) {
  MainLibrary library;
  GenreElement* pop = library.GetOrAddGenre("Pop");
  AddDisc(pop, "Bien", {"a.mp3", "con\ttab.mp3"});
  AddDisc(pop, "Mal\nnombre", {"b.mp3"});
  library.GetOrAddGenre("Otro\r");
  CatalogueCounts counts;
  EXPECT_EQ(FormatCatalogue(library, counts), "Pop\r\r\n\tBien\r\r\n\t\r\r\n\t0\r\r\n\t\ta.mp3\r\r\n");
  EXPECT_EQ(counts.genres, 1);
  EXPECT_EQ(counts.discs, 1);
  EXPECT_EQ(counts.tracks, 1);
  EXPECT_EQ(counts.skipped, 3);
}

// A host name outside the code page takes three characters per byte in
// internal text: past 255 it is left out with a line, the others kept.
TEST_F(ConfigtoolTest, NamesTooLongToKeepAreReported) {
  std::string cyrillic;
  for (int i = 0; i < 125; ++i) cyrillic += "\xD0\xB4";
  const std::string longLatin = std::string(120, 'a') + std::string(130, 'e') + ".mp3";
  Touch("media/Pop/Album/" + cyrillic + ".mp3");
  Touch("media/Pop/Album/" + longLatin);
  Touch("media/Pop/" + cyrillic + "/b.mp3");
  Touch("media/Pop/Album/\xD0\xB4.mp3");
  WriteHostFile("configuration", "mediacontent=media\n");
  ASSERT_EQ(RunConfigtool(), 0);
  const std::string log = ReadHostFile("configtool.log");
  EXPECT_NE(log.find("Nombre omitido (mas de 255 caracteres): \x81" "D0\x81" "B4\x81" "D0"), std::string::npos) << log;
  EXPECT_NE(log.find("Escrito db: 1 generos, 1 albumes, 2 pistas\nOmitidos por su nombre: 2\n"), std::string::npos)
      << log;
  EXPECT_NE(ReadHostFile("db").find("\t\t" + longLatin + "\r\r\n"), std::string::npos);
}

TEST_F(ConfigtoolTest, FailsWithoutWritingWhenARootCannotBeRead) {
  fs::create_directories("media/Pop/A");
  Touch("archivo");
  WriteHostFile("db", "viejo");
  for (const char* root : {"falta", "archivo"}) {
    WriteHostFile("configuration", std::string("mediacontent=media\nmediacontent=") + root + "\n");
    EXPECT_NE(RunConfigtool(), 0) << root;
    EXPECT_EQ(ReadHostFile("db"), "viejo") << root;
  }
}

TEST_F(ConfigtoolTest, FailsWithoutConfigurationOrMediaFolders) {
  EXPECT_NE(RunConfigtool(), 0);
  WriteHostFile("configuration", "mediacontent=\nskinname=x\n");
  EXPECT_NE(RunConfigtool(), 0);
  EXPECT_FALSE(fs::exists("db"));
  fs::create_directories("media");
  WriteHostFile("configuration", "mediacontent=media\n");
  EXPECT_NE(RunConfigtool({"otra"}), 0);
  EXPECT_FALSE(fs::exists("db"));
  EXPECT_EQ(RunConfigtool(), 0);
  EXPECT_EQ(ReadHostFile("db"), "");
}

// First start: the loader tells that there is no "db"; the tool builds it.
TEST_F(ConfigtoolTest, MissingCatalogueFileIsToldAndTheToolBuildsIt) {
  Touch("media/Pop/A/a.mp3");
  WriteHostFile("configuration", "mediacontent=media\n");
  MainLibrary library;
  EXPECT_EQ(library.LoadContentFromDB(), MainLibrary::kNoCatalogueFile);
  EXPECT_EQ(RunConfigtool(), 0);
  EXPECT_EQ(ReadHostFile("db"), "Pop\r\r\n\tA\r\r\n\t\r\r\n\t0\r\r\n\t\ta.mp3\r\r\n");
}

}  // namespace
