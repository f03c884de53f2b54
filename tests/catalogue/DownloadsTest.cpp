// The jukebox alone names a download and its folder; the download tool
// stores the media there under that name, and the catalogue finds it.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "catalogue/Downloads.h"
#include "catalogue/MainLibrary.h"
#include "config/Configuration.h"
#include "platform/Paths.h"
#include "programs/ExternalPrograms.h"
#include "support/Files.h"
#include "support/LoopbackServer.h"
#include "support/TempDir.h"
#include "support/Wait.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

TEST(DownloadName, IsOnePlainFileNameWhateverTheRowShows) {
  const struct {
    std::string row, name;
  } cases[] = {
      {"[45%] AC/DC Live", "[D] AC_DC Live"},
      {"[%] a\\b/..", "[D] a_b_."},
      {"[D] Espera... ya\t\x7F", "[D] Espera. ya__"},
      // An escaped "/", a C1 control in two escaped bytes, a bare escape, a
      // C1 control of the code page; a byte outside it stays.
      {"[D] \x81" "2F \x81" "C2\x81" "85 \x81 \x9D \x81" "F0", "[D] _ _ _ _ \x81" "F0"},
      {"[D] " + std::string(300, 'a'), "[D] " + std::string(196, 'a')},
      {"[D] " + std::string(100, '\xE9'), "[D] " + std::string(98, '\xE9')},  // two host bytes each
  };
  for (const auto& c : cases) {
    EXPECT_EQ(std::string(DownloadName(c.row.c_str()).Chars()), c.name) << c.row;
    EXPECT_TRUE(IsSafeDownloadName(DownloadName(c.row.c_str()))) << c.row;
  }
  for (const char* unsafe : {"a/b", "a\\b", "[D] ..", "[D] x\x01", ""}) EXPECT_FALSE(IsSafeDownloadName(unsafe)) << unsafe;
}

// The catalogue as start-up makes it: settings, then (the catalogue file
// being empty) the all-music genre, the favourites, the downloads.
void LoadAsAtStart(MainLibrary& library) {
  Configuration configuration(&library);
  configuration.LoadConfiguration("configuration");
  library.InitAllGenre();
  if (configuration.favoritos) library.LoadFavoritos();
  library.LoadDownloads();
}

const std::string kMedia = std::string("\0\0\0\x18" "ftypmp42", 12) + std::string(4096, 'v');

TEST(Downloads, TheToolStoresTheMediaWhereTheJukeboxChoseAndTheCatalogueFindsIt) {
  const struct {
    const char* configuration;
    const char* folder;
  } cases[] = {
      {"mediacontent=media\r\nfavoritos=yes\r\n", "media/100+ Favoritas/Descargas"},
      {"mediacontent=media\r\nfavoritos=Yes\r\n", "media/TODA LA MUSICA/Descargas"},
      {"mediacontent=media\r\nfavoritos=no\r\n", "media/TODA LA MUSICA/Descargas"},
      {"mediacontent=D:\\musica\r\nmediacontent=media\r\n", "dosdevices/d:/musica/TODA LA MUSICA/Descargas"},
  };
  TempDir served;
  WriteHostFile(served.Path() / "v.mp4", kMedia);
  LoopbackServer source;
  ASSERT_TRUE(source.Start(served.Path()));
  const RString row = "[D] AC/DC: \"Live\" $(id) %(title)s";
  for (const auto& c : cases) {
    SCOPED_TRACE(c.configuration);
    TempDir cabinet;
    WriteHostFile("configuration", c.configuration);
    fs::copy_file(MELODECK_TOOLS_DIR "/downloator.py", "downloator.py");
    MainLibrary chooser;
    LoadAsAtStart(chooser);
    const RString name = DownloadName(row), folder = DownloadsFolder(chooser);
    EXPECT_EQ(platform::ToHostPath(folder.Chars()), c.folder);

    StartDownload(name, (source.Address() + "/v.mp4").c_str(), folder);
    const std::string file = platform::ToHostText(name.Chars()) + ".mp4";
    ASSERT_TRUE(WaitUntil([&] { return ReadHostFile(fs::path("downloadsprogress") / file) == "100\n"; }, 60s));
    EXPECT_EQ(ReadHostFile(fs::path(c.folder) / file), kMedia);

    MainLibrary restarted;
    LoadAsAtStart(restarted);
    const unsigned disc = static_cast<unsigned>(restarted.DownloadsDiscIndex());
    const int track = restarted.GetTrackIndex(0, disc, name + ".mp4");
    ASSERT_GE(track, 0);
    EXPECT_EQ(platform::ToHostPath(restarted.GetTrackPath(0, disc, static_cast<unsigned>(track)).Chars()),
              std::string(c.folder) + "/" + file);
  }
}

}  // namespace
