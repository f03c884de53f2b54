#include "shell/Startup.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <functional>
#include <regex>
#include <thread>
#include <vector>

#include "platform/Processes.h"
#include "support/Files.h"
#include "support/TempDir.h"
#include "support/Wait.h"

namespace fs = std::filesystem;

namespace {

// A catalogue of one genre, one album and one track.
void WriteSmallCatalogue(const fs::path& cabinet) {
  WriteHostFile(cabinet / "db", "Pop\n\tExitos\n\tcover.jpg\n\t0\n\t\t01 - Tema.mp3\n");
}

const char kFont[] = "/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf";

// What every start needs: settings naming the media folder and the font,
// each unless the cabinet has its own.
void WriteCabinetBasics(const fs::path& cabinet) {
  if (!fs::exists(cabinet / "configuration")) WriteHostFile(cabinet / "configuration", "mediacontent=media\n");
  fs::copy_file(kFont, cabinet / "arial.ttf", fs::copy_options::skip_existing);
}

// Starts the jukebox on a cabinet folder and waits until it runs its loop.
void StartJukebox(platform::ChildProcess& jukebox, const fs::path& cabinet) {
  WriteCabinetBasics(cabinet);
  if (!fs::exists(cabinet / "db")) WriteSmallCatalogue(cabinet);
  ASSERT_TRUE(jukebox.Start({MELODECK_BINARY, cabinet.string()}));
  ASSERT_TRUE(WaitUntil([&] { return fs::exists(cabinet / "shutdowncheck"); }));
}

// The id in "onlinechecker.pid", or 0 while there is none.
pid_t RecordedCheckerPid() {
  const std::string text = ReadHostFile("onlinechecker.pid");
  return text.empty() ? 0 : std::stoi(text);
}

}  // namespace

TEST(CommandLine, ArgumentsJoinWithSingleBlanks) {
  char program[] = "melodeck", first[] = "/srv/mi", second[] = "cabina";
  char* argv[] = {program, first, second, nullptr};
  EXPECT_EQ(ArgumentFromCommandLine(3, argv), RString("/srv/mi cabina"));
  EXPECT_EQ(ArgumentFromCommandLine(1, argv), RString(""));
}

// The working directory named on the command line is a host name like any
// other: accents, characters outside the code page, Latin-1 bytes and "\".
TEST(CommandLine, CabinetUnderAnyFolderNameStarts) {
  for (const char* name : {"M\xC3\xBAsica/cabina", "\xE9\x9F\xB3\xE6\xA5\xBD", "caf\xE9", "AC\\DC"}) {
    SCOPED_TRACE(name);
    TempDir parent;
    const fs::path cabinet = parent.Path() / name;
    fs::create_directories(cabinet);
    platform::ChildProcess jukebox;
    StartJukebox(jukebox, cabinet);
    kill(jukebox.Pid(), SIGTERM);
    EXPECT_EQ(jukebox.Wait(), 43);
  }
}

// A hang-up (the terminal or the X session going) and SIGQUIT end the run
// as cleanly as SIGTERM; a broken pipe ends nothing.
TEST(ShutdownMarker, CleanEndRemovesItAndExitsWith43) {
  for (const std::vector<int>& signals : std::vector<std::vector<int>>{{SIGTERM}, {SIGHUP}, {SIGQUIT}, {SIGPIPE, SIGTERM}}) {
    SCOPED_TRACE(strsignal(signals[0]));
    TempDir cabinet;
    platform::ChildProcess jukebox;
    StartJukebox(jukebox, cabinet.Path());
    for (const int signal : signals) kill(jukebox.Pid(), signal);
    EXPECT_EQ(jukebox.Wait(), 43);
    EXPECT_FALSE(fs::exists(cabinet.Path() / "shutdowncheck"));
  }
}

TEST(CommandLine, MissingCabinetFolderEndsTheStart) {
  TempDir elsewhere;
  WriteCabinetBasics(elsewhere.Path());
  WriteSmallCatalogue(elsewhere.Path());
  platform::OutputOptions log;
  log.stdoutFile = (elsewhere.Path() / "log.txt").string();
  const fs::path missing = elsewhere.Path() / "no-such-cabinet";
  EXPECT_EQ(platform::RunAndWait({"timeout", "30", MELODECK_BINARY, missing.string()}, log), 1);
  EXPECT_NE(ReadHostFile("log.txt").find("No se encontro la carpeta del gabinete " + missing.string() +
                                         ", terminando programa\n"),
            std::string::npos)
      << ReadHostFile("log.txt");
  EXPECT_FALSE(fs::exists("shutdowncheck"));
}

TEST(ShutdownMarker, KilledRunLeavesItAndNextStartRecreatesIt) {
  TempDir cabinet;
  platform::ChildProcess jukebox;
  StartJukebox(jukebox, cabinet.Path());
  kill(jukebox.Pid(), SIGKILL);
  EXPECT_EQ(jukebox.Wait(), -1);
  EXPECT_TRUE(fs::exists(cabinet.Path() / "shutdowncheck"));

  WriteHostFile(cabinet.Path() / "shutdowncheck", "stale");
  StartJukebox(jukebox, cabinet.Path());
  EXPECT_TRUE(WaitUntil([&] { return fs::file_size(cabinet.Path() / "shutdowncheck") == 0; }));
  kill(jukebox.Pid(), SIGTERM);
  EXPECT_EQ(jukebox.Wait(), 43);
  EXPECT_FALSE(fs::exists(cabinet.Path() / "shutdowncheck"));
}

// Runs the jukebox on a cabinet as it is until it ends by itself, or for at
// most 30 s; its exit code.
int RunBareJukeboxToEnd(const fs::path& cabinet) {
  platform::OutputOptions log;
  log.stdoutFile = (cabinet / "log.txt").string();
  return platform::RunAndWait({"timeout", "30", MELODECK_BINARY, cabinet.string()}, log);
}

// Starts the jukebox on a cabinet and waits for text in its output.
bool StartAndWaitForLog(platform::ChildProcess& jukebox, const fs::path& cabinet, const std::string& text) {
  WriteCabinetBasics(cabinet);
  if (!jukebox.Start({MELODECK_BINARY, cabinet.string()}, platform::ChildOutput::kCaptured)) return false;
  std::string seen;
  return WaitUntil([&] { return (seen += jukebox.ReadOutput(65536)).find(text) != std::string::npos; });
}

// A new cabinet has no catalogue file: the catalogue tool makes it and the
// cabinet comes up on it. One with nothing to play (the tool made nothing,
// or no media folder is named) waits on the owner's message until stopped.
TEST(Catalogue, MissingCatalogueIsMadeByTheToolAndTheCabinetComesUp) {
  TempDir cabinet;
  WriteHostFile("configtool", "#!/bin/sh\necho \"$#\" > tool-ran\n");
  fs::permissions("configtool", fs::perms::owner_all);
  for (const char* configuration : {"volumen=50\n", "mediacontent=media\n"}) {
    WriteHostFile("configuration", configuration);
    platform::ChildProcess jukebox;
    ASSERT_TRUE(StartAndWaitForLog(jukebox, cabinet.Path(), "; esperando al encargado")) << configuration;
    kill(jukebox.Pid(), SIGTERM);
    EXPECT_EQ(jukebox.Wait(), 43);
  }
  EXPECT_EQ(ReadHostFile("tool-ran"), "0\n");
  EXPECT_FALSE(fs::exists("shutdowncheck"));

  WriteHostFile("configtool", "#!/bin/sh\nprintf 'Pop\\n\\tExitos\\n\\tcover.jpg\\n\\t0\\n\\t\\t01 - Tema.mp3\\n' > db\n");
  platform::ChildProcess jukebox;
  WriteCabinetBasics(cabinet.Path());
  ASSERT_TRUE(jukebox.Start({MELODECK_BINARY, cabinet.Path().string()}));
  EXPECT_TRUE(WaitUntil([&] { return fs::exists(cabinet.Path() / "shutdowncheck"); }));
  kill(jukebox.Pid(), SIGTERM);
  EXPECT_EQ(jukebox.Wait(), 43);
}

TEST(Log, LinesInAFileCarryTheDateAndTime) {
  TempDir cabinet;
  WriteHostFile("configuration", "mediacontent=media\n");
  RunBareJukeboxToEnd(cabinet.Path());  // no font: the start ends
  const std::string log = ReadHostFile("log.txt");
  const std::regex stamped(R"((^|\n)\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3} Cargando configuracion\n)");
  EXPECT_TRUE(std::regex_search(log, stamped)) << log;
}

TEST(Catalogue, UpdateArgumentScansTheMediaFolders) {
  TempDir cabinet;
  WriteHostFile("media/Rock/Clasicos/01.mp3", "");
  WriteCabinetBasics(cabinet.Path());
  platform::ChildProcess jukebox;
  ASSERT_TRUE(jukebox.Start({MELODECK_BINARY, "actualizar"}));
  ASSERT_TRUE(WaitUntil([] { return fs::exists("shutdowncheck"); }));
  kill(jukebox.Pid(), SIGTERM);
  EXPECT_EQ(jukebox.Wait(), 43);
  EXPECT_FALSE(fs::exists("db")) << "a scan never needs the catalogue file";
}

TEST(Favourites, FoldersAreMadeOncePerGenreWithTheGenreCover) {
  TempDir cabinet;
  WriteHostFile("configuration", "mediacontent=media\nfavoritos=yes\n");
  WriteHostFile("db", "Rock\n\tClasicos\n\t\n\t0\n\t\t01.mp3\nPop\n\tExitos\n\t\n\t0\n\t\t02.mp3\n");
  WriteHostFile("media/Rock/cover.jpg", "rock cover");
  platform::ChildProcess jukebox;
  StartJukebox(jukebox, cabinet.Path());
  kill(jukebox.Pid(), SIGTERM);
  EXPECT_EQ(jukebox.Wait(), 43);
  const fs::path favourites = cabinet.Path() / "media" / "100+ Favoritas";
  EXPECT_EQ(ReadHostFile(favourites / "Rock" / "cover.jpg"), "rock cover");
  EXPECT_TRUE(fs::is_directory(favourites / "Pop"));
  EXPECT_FALSE(fs::exists(favourites / "Pop" / "cover.jpg"));
  EXPECT_TRUE(fs::is_directory(favourites / "TODA LA MUSICA"));

  fs::remove_all(favourites / "Pop");
  StartJukebox(jukebox, cabinet.Path());
  kill(jukebox.Pid(), SIGTERM);
  jukebox.Wait();
  EXPECT_FALSE(fs::exists(favourites / "Pop")) << "an existing favourites folder is left as it is";
}

TEST(OnlineChecker, RestartEndsOnlyTheCheckerWeStarted) {
  TempDir cabinet;
  WriteHostFile("onlinechecker.py", "import time\nopen('serverstatus','w').write('1')\ntime.sleep(60)\n");
  platform::ChildProcess jukebox;
  StartJukebox(jukebox, cabinet.Path());
  ASSERT_TRUE(WaitUntil([] { return RecordedCheckerPid() != 0; }));
  const pid_t first = RecordedCheckerPid();
  kill(jukebox.Pid(), SIGTERM);
  jukebox.Wait();
  EXPECT_EQ(kill(first, 0), 0) << "the checker runs on after the jukebox ends";

  StartJukebox(jukebox, cabinet.Path());
  ASSERT_TRUE(WaitUntil([&] { return kill(first, 0) != 0; }));
  ASSERT_TRUE(WaitUntil([&] { return RecordedCheckerPid() != 0 && RecordedCheckerPid() != first; }));
  const pid_t second = RecordedCheckerPid();
  kill(jukebox.Pid(), SIGTERM);
  jukebox.Wait();
  kill(second, SIGTERM);
}

// Runs the jukebox as an unprivileged user, for whom a file without
// permissions cannot be read, until it ends by itself (or for at most 30 s);
// its exit code.
int RunJukeboxAsNobodyToEnd(const fs::path& cabinet) {
  fs::permissions(cabinet, fs::perms::all);
  platform::OutputOptions log;
  log.stdoutFile = (cabinet / "log.txt").string();
  return platform::RunAndWait({"timeout", "30", "setpriv", "--reuid=65534", "--regid=65534", "--clear-groups",
                               MELODECK_BINARY, cabinet.string()},
                              log);
}

TEST(SavedState, UnreadableSavedFilesEndTheStartAndStayAsTheyAre) {
  for (const char* name : {"tempdata", "configuser", "configuration"}) {
    TempDir cabinet;
    WriteSmallCatalogue(cabinet.Path());
    WriteHostFile("configuration", "mediacontent=media\n");
    WriteHostFile(name, "savedcredits=50\ncounter1=9\n");
    fs::permissions(name, fs::perms::none);
    EXPECT_EQ(RunJukeboxAsNobodyToEnd(cabinet.Path()), 1) << name;
    EXPECT_NE(ReadHostFile("log.txt").find(std::string("No se pudo leer el archivo ") + name +
                                           ": Permission denied; reparelo antes de iniciar\n"),
              std::string::npos)
        << name;
    EXPECT_EQ(ReadHostFile(name), "savedcredits=50\ncounter1=9\n");
    EXPECT_FALSE(fs::exists("shutdowncheck")) << name;
  }
}

TEST(Settings, StartWithoutMediaFolderOrFontEndsWithAMessage) {
  const struct {
    const char* configuration;
    bool font;
    const char* message;
  } cases[] = {
      {"mediacontent=media\n", false, "No se pudo cargar la fuente arial.ttf, terminando programa\n"},
  };
  for (const auto& c : cases) {
    TempDir cabinet;
    WriteSmallCatalogue(cabinet.Path());
    if (c.configuration) WriteHostFile("configuration", c.configuration);
    if (c.font) fs::copy_file(kFont, "arial.ttf");
    EXPECT_EQ(RunBareJukeboxToEnd(cabinet.Path()), 1) << c.message;
    const std::string log = ReadHostFile("log.txt");
    EXPECT_NE(log.find(c.message), std::string::npos) << log;
  }
}
