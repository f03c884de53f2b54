#include <SDL.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "SDLGuiTestCabinet.h"
#include "gui/KeyboardLayout.h"
#include "programs/ProgramOutputs.h"
#include "support/Files.h"
#include "support/HostileFiles.h"
#include "support/Kept.h"
#include "support/Wait.h"

namespace {

namespace fs = std::filesystem;

const Rgba kBoxColor = Opaque(0, 128, 192);

// The catalogue the requests and updates name: genre 1 "Rock" holds the
// album "Clasicos" at position 1.
void FillCatalogue(MainLibrary& library) {
  library.AddContentPath("media");
  const std::vector<std::pair<const char*, std::vector<const char*>>> genres = {
      {"Pop", {"Exitos"}}, {"Rock", {"Otros", "Clasicos"}}};
  for (const auto& [name, albums] : genres) {
    auto* genre = Kept(new GenreElement(name));
    library.AddItem(genre);
    for (const char* title : albums) {
      auto* disc = Kept(new DiscElement(title));
      disc->SetGenre(genre);
      genre->AddDisc(disc);
      disc->AddTrack(Kept(new TrackElement("Uno.mp3")));
      disc->AddTrack(Kept(new TrackElement("Dos.mp3")));
    }
  }
}

void WriteScript(const fs::path& path, const std::string& body) {
  WriteHostFile(path, "#!/bin/sh\n" + body);
  fs::permissions(path, fs::perms::owner_all);
}

class SDLGuiLoopTest : public CabinetTest {
 protected:
  SDLGuiLoopTest() {
    // Whatever happens, nothing here powers the machine off.
    setenv("MELODECK_POWEROFF", "/bin/true", 1);
    FillCatalogue(library);
  }
  ~SDLGuiLoopTest() override { unsetenv("MELODECK_POWEROFF"); }

  void SetUp() override {
    ASSERT_EQ(Start(), 1);
    gui.Display().redrawMode = SDLGui::kUpToDate;
  }

  static void Push(Uint8 type, int key) {
    SDL_Event event{};
    event.type = type;
    event.key.keysym.sym = static_cast<SDLKey>(key);
    ASSERT_EQ(SDL_PushEvent(&event), 0);
  }
  // One pass of pool with the event given, its log returned.
  std::string PoolWith(Uint8 type, int key) {
    Push(type, key);
    return Pool();
  }
  std::string Pool() {
    testing::internal::CaptureStdout();
    gui.pool();
    return testing::internal::GetCapturedStdout();
  }
  // One poll of the queue folder, its log returned.
  std::string PollRequests() {
    testing::internal::CaptureStdout();
    gui.QueueRequests().ReadQueueRequests();
    return testing::internal::GetCapturedStdout();
  }
  bool MessageBoxShown(const char* text) {
    int textW = 0, textH = 0;
    gui.Writers().genreFont.SizeText(text, &textW, &textH);
    return ColorAt(gui.Display().screen, 512 - (textW + 50) / 2 + 5, 384 - (textH + 50) / 2 + 5) == kBoxColor;
  }
};

// Queue requests -----------------------------------------------------------

TEST_F(SDLGuiLoopTest, RequestForAKnownTrackIsQueuedAndDeleted) {
  WriteHostFile("queue/pedido1", "Rock\\Clasicos\\Dos.mp3\r\n");
  const std::string log = Pool();
  ASSERT_EQ(queue.Count(), 1);
  const QueueElement entry = *queue.GetElementFromQueue(0);
  EXPECT_EQ(entry.genre, 1u);
  EXPECT_EQ(entry.disc, 1u);
  EXPECT_EQ(entry.track, 1u);
  EXPECT_FALSE(fs::exists("queue/pedido1"));
  EXPECT_NE(log.find("Encontrado codigo: pedido1\nElemento: Rock, Clasicos, Dos.mp3\nIndex: 1 1 1\n"),
            std::string::npos);
  EXPECT_NE(SavedFile().find("queueitem=1,1,1\n"), std::string::npos);
}

TEST_F(SDLGuiLoopTest, RequestForANewTitleCreatesTheTrack) {
  WriteHostFile("queue/pedido2", "Rock\\Clasicos\\Nueva cancion.mp3\n");
  Pool();
  ASSERT_EQ(library.GetTotalTracks(1, 1), 3);
  EXPECT_EQ(library.GetTrackTitle(1, 1, 2), RString("Nueva cancion.mp3"));
  ASSERT_EQ(queue.Count(), 1);
  EXPECT_EQ(queue.GetElementFromQueue(0)->track, 2u);
  EXPECT_FALSE(fs::exists("queue/pedido2"));
}

TEST_F(SDLGuiLoopTest, RequestsTheCatalogueLacksAreSetAsideOnce) {
  WriteHostFile("queue/genero", "Jazz\\Clasicos\\Uno.mp3\n");
  WriteHostFile("queue/album", "Rock\\Baladas\\Uno.mp3\n");
  WriteHostFile("queue/sinpista", "Rock\\Clasicos\n");
  WriteHostFile("queue/linea", "\n");
  WriteHostFile("queue/vacio", "");
  std::string log = Pool();
  EXPECT_EQ(queue.Count(), 0);
  EXPECT_EQ(library.GetTotalTracks(1, 1), 2);
  for (const char* name : {"genero", "album", "sinpista", "linea"}) {
    EXPECT_FALSE(fs::exists(std::string("queue/") + name)) << name;
    EXPECT_TRUE(fs::exists(std::string("queue/") + name + ".rechazado")) << name;
  }
  EXPECT_NE(log.find("Pedido rechazado, no esta en el catalogo: Jazz\\Clasicos\\Uno.mp3"), std::string::npos);
  EXPECT_TRUE(fs::exists("queue/vacio"));  // empty requests wait for their line

  for (int pass = 1; pass < 256; ++pass) Pool();
  log = Pool();
  EXPECT_EQ(log, "Encontrado codigo: vacio\nSALTANDO\n");
}

TEST_F(SDLGuiLoopTest, RequestsClimbingOutOfTheMediaFolderAreSetAside) {
  WriteHostFile("media/db", "catalogue");
  WriteHostFile("queue/subir", "Pop\\Exitos\\..\\..\\..\\db\n");
  WriteHostFile("queue/album", "Pop\\..\\Exitos\\Uno.mp3\n");
  WriteHostFile("queue/barra", "Rock\\Clasicos\\../../db\n");
  const std::string log = Pool();
  EXPECT_EQ(queue.Count(), 0);
  EXPECT_EQ(library.GetTotalTracks(0, 0), 2);
  EXPECT_EQ(library.GetTotalTracks(1, 1), 2);
  for (const char* name : {"subir", "album", "barra"})
    EXPECT_TRUE(fs::exists(std::string("queue/") + name + ".rechazado")) << name;
  EXPECT_NE(log.find("Pedido rechazado, nombre no valido: Pop\\Exitos\\..\\..\\..\\db\n"), std::string::npos);
  EXPECT_EQ(ReadHostFile("media/db"), "catalogue");
}

// Names are judged as the host path they open, escapes decoded; and a track
// must be a file the catalogue plays.
TEST_F(SDLGuiLoopTest, RequestsForEscapedClimbsOrNoMediaFileAreSetAside) {
  const std::string dots = "\x81" "2E\x81" "2E";
  const std::pair<const char*, std::string> requests[] = {
      {"escapado", "Pop\\Exitos\\" + dots + "\\" + dots + "\\" + dots + "\\db.mp3"},
      {"album", "Pop\\" + dots + "\\Exitos\\Uno.mp3"},
      {"barra", "Pop\\Exitos\\x\x81" "2F..\x81" "2F..\x81" "2F..\x81" "2F" "db.mp3"},
      {"nulo", "Pop\\Exitos\\notas.txt\x81" "00.mp3"},
      {"texto", "Pop\\Exitos\\notas.txt"},
      {"sinextension", "Pop\\Exitos\\Uno"},
  };
  std::string log;
  for (const auto& [name, line] : requests) WriteHostFile(std::string("queue/") + name, line + "\n");
  for (int poll = 0; poll < 2; ++poll) log += PollRequests();
  EXPECT_EQ(queue.Count(), 0);
  EXPECT_EQ(library.GetTotalTracks(0, 0), 2);
  for (const auto& [name, line] : requests)
    EXPECT_TRUE(fs::exists(std::string("queue/") + name + ".rechazado")) << name;
  EXPECT_NE(log.find("Pedido rechazado, nombre no valido: Pop\\Exitos\\" + dots + "\\"), std::string::npos) << log;
  EXPECT_NE(log.find("Pedido rechazado, no es un archivo multimedia: Pop\\Exitos\\notas.txt\n"), std::string::npos);
}

// Free requests over the cap wait in their folder, not read while the queue
// is full of free entries, and come in as those play; a few are taken per
// poll. A paid play is queued whatever the free ones.
TEST_F(SDLGuiLoopTest, FreeRequestsAreCappedAndTakenAFewPerPoll) {
  for (int i = 10; i < 40; ++i) WriteHostFile("queue/pedido" + std::to_string(i), "Pop\\Exitos\\Uno.mp3\n");
  PollRequests();
  EXPECT_EQ(queue.Count(), 4);
  PollRequests();
  const std::string log = PollRequests();
  EXPECT_EQ(queue.Count(), 10);
  EXPECT_NE(log.find("Pedido en espera, la cola ya tiene 10 pistas gratis: pedido20\n"), std::string::npos) << log;
  EXPECT_EQ(PollRequests(), "");
  EXPECT_TRUE(fs::exists("queue/pedido20"));
  EXPECT_TRUE(fs::exists("queue/pedido39"));

  config.playmode = "jukebox";
  GiveCredits(gui, 5);
  gui.Selection().selGenre = 0, gui.Selection().selDisc = 0, gui.Selection().selTrack = 1;
  gui.Sales().EnterPlay();
  FinishSales();
  ASSERT_EQ(queue.Count(), 11);
  EXPECT_GT(queue.GetLastElement()->paid, 0);

  for (int played = 0; played < 3; ++played) queue.Remove(0);
  PollRequests();
  EXPECT_EQ(queue.Count(), 11);
  EXPECT_EQ(queue.GetLastElement()->track, 0u);
  EXPECT_FALSE(fs::exists("queue/pedido22"));
  EXPECT_TRUE(fs::exists("queue/pedido23"));
}

// Its name comes back whole, so it is taken once like any other.
TEST_F(SDLGuiLoopTest, RequestWhoseNameIsNotUtf8IsTakenOnce) {
  WriteHostFile("queue/pedido\xFF", "Pop\\Exitos\\Uno.mp3\n");
  EXPECT_NE(Pool().find("Index: 0 0 0\n"), std::string::npos);
  EXPECT_FALSE(fs::exists("queue/pedido\xFF"));
  for (int pass = 1; pass < 256; ++pass) Pool();
  EXPECT_EQ(Pool(), "");
  EXPECT_EQ(queue.Count(), 1);
}

TEST_F(SDLGuiLoopTest, RequestTitleHoldingASlashIsQueued) {
  WriteHostFile("queue/pedido", "Rock\\Clasicos\\AC/DC Live.mp4\n");
  Pool();
  ASSERT_EQ(queue.Count(), 1);
  EXPECT_EQ(library.GetTrackTitle(1, 1, 2), RString("AC/DC Live.mp4"));
}

TEST_F(SDLGuiLoopTest, QueueFolderIsReadOnceEvery256Passes) {
  Pool();
  WriteHostFile("queue/pedido", "Pop\\Exitos\\Uno.mp3\n");
  for (int pass = 1; pass < 256; ++pass) Pool();
  EXPECT_EQ(queue.Count(), 0);
  Pool();
  EXPECT_EQ(queue.Count(), 1);
}

// Files from outside that are no regular file, or links to one elsewhere,
// are read by nobody and hold up nothing.
TEST_F(SDLGuiLoopTest, OutsideFilesThatAreNoRegularFileAreNotRead) {
  WriteHostFile("elsewhere", "Pop\\Exitos\\Uno.mp3\nwpa_state=COMPLETED\n");
  std::vector<HostileFile> hostiles = HostileFiles(0);
  hostiles.push_back(LinkTo("elsewhere"));
  for (const HostileFile& hostile : hostiles) {
    SCOPED_TRACE(hostile.kind);
    fs::remove_all("queue");
    hostile.make("queue/pedido");
    gui.Input().queuePollCounter = 0;
    EXPECT_NE(Pool().find("Error al abrir archivo de queue"), std::string::npos);
    EXPECT_EQ(queue.Count(), 0);
    // Set aside as it is, so that it holds up no request after it.
    EXPECT_FALSE(fs::exists(fs::symlink_status("queue/pedido")));
    EXPECT_TRUE(fs::exists(fs::symlink_status("queue/pedido.rechazado")));
    fs::remove_all("results.txt");
    hostile.make("results.txt");
    EXPECT_FALSE(ReadSearchResults("results.txt").has_value());
    fs::remove_all("wps_out");
    hostile.make("wps_out");
    EXPECT_FALSE(ReportsWirelessConnection("wps_out"));
  }
}

// USB update ---------------------------------------------------------------

// Time whose 100 ms waits pull the stick out after a few polls.
class StickPullingClock : public platform::ManualClock {
 public:
  StickPullingClock(uint32_t start, fs::path folder) : ManualClock(start), folder_(std::move(folder)) {}
  void Delay(uint32_t ms) override {
    ManualClock::Delay(ms);
    if (ms == 100 && ++polls_ == 3) fs::remove_all(folder_);
  }
  int polls_ = 0;

 private:
  fs::path folder_;
};

class SDLGuiUsbUpdateTest : public SDLGuiLoopTest {
 protected:
  void SetUp() override {
    SDLGuiLoopTest::SetUp();
    fs::create_directories("dosdevices");
    fs::create_directory_symlink(dir.Path() / "stick", "dosdevices/e:");
    config.usb_path = "e";
    WriteHostFile("media/Rock/Otros/Uno.mp3", "old");
    WriteHostFile("stick/ACTUALIZACION/Rock/Otros/Uno.mp3", "new one");
    WriteHostFile("stick/ACTUALIZACION/Rock/Nuevo/a.mp3", "a");
    WriteHostFile("stick/ACTUALIZACION/Jazz/Azul/b.mp3", "b");
    WriteHostFile("stick/ACTUALIZACION/.oculto/X/c.mp3", "c");
    WriteScript("configtool", "echo \"$@\" > configtool.args\n");
    WriteScript("poweroff", "touch poweroff.asked\n");
    setenv("MELODECK_POWEROFF", (dir.Path() / "poweroff").c_str(), 1);
  }
};

TEST_F(SDLGuiUsbUpdateTest, AcceptedUpdateCopiesRebuildsAndPowersOffOncePulled) {
  StickPullingClock pulling(clock.Ticks(), dir.Path() / "stick" / "ACTUALIZACION");
  platform::SetClock(&pulling);
  const std::string log = PoolWith(SDL_KEYDOWN, config.enter);

  EXPECT_EQ(ReadHostFile("media/Rock/Otros/Uno.mp3"), "new one");
  EXPECT_EQ(ReadHostFile("media/Rock/Nuevo/a.mp3"), "a");
  EXPECT_EQ(ReadHostFile("media/Jazz/Azul/b.mp3"), "b");
  EXPECT_FALSE(fs::exists("media/.oculto"));
  EXPECT_EQ(ReadHostFile("configtool.args"), "updatedb\n");
  EXPECT_EQ(pulling.polls_, 3);
  EXPECT_TRUE(fs::exists("poweroff.asked"));
  EXPECT_NE(log.find("Creando genero desde actualizacion: media\\Jazz\n"), std::string::npos);
  EXPECT_NE(log.find("Creando album desde actualizacion: media\\Rock\\Nuevo\n"), std::string::npos);
  EXPECT_NE(log.find("\tCargando album: Nuevo\n\t\tCargando pista: a.mp3\n"), std::string::npos);
  EXPECT_EQ(log.find("Creando album desde actualizacion: media\\Rock\\Otros"), std::string::npos);
  EXPECT_TRUE(MessageBoxShown("Actualizacion terminada, retire la memoria USB"));
  platform::SetClock(&clock);
}

// Keys kept while a sale was saved or a search ran were pressed before the
// question showed: they go to the screen, and only a key after it answers.
TEST_F(SDLGuiUsbUpdateTest, KeyKeptFromBeforeTheQuestionDoesNotAnswerIt) {
  Push(SDL_KEYDOWN, config.cancel);
  gui.Inputs().KeepInputWhileWaiting();
  ASSERT_EQ(gui.Inputs().KeptCount(), 1u);
  StickPullingClock pulling(clock.Ticks(), dir.Path() / "stick" / "ACTUALIZACION");
  platform::SetClock(&pulling);
  Pool();
  EXPECT_EQ(gui.Inputs().KeptCount(), 0u);
  PoolWith(SDL_KEYDOWN, config.enter);
  platform::SetClock(&clock);
  EXPECT_EQ(ReadHostFile("media/Rock/Otros/Uno.mp3"), "new one");
}

// Names with "\\" are legal on the stick: "Pop\\..\\.." would lead from
// "ACTUALIZACION" to the stick's root and from the media folder to the
// cabinet's, "media\\.." back to each root.
TEST_F(SDLGuiUsbUpdateTest, ClimbingNamesOnTheStickCopyNothingOutsideTheMediaFolder) {
  fs::create_directories("media/Pop");
  fs::create_directories("stick/ACTUALIZACION/Pop");
  fs::create_directories("stick/ACTUALIZACION/Pop\\..\\..");
  fs::create_directories("stick/media\\..");
  WriteHostFile("stick/onlinechecker.py", "print('taken over')");
  WriteHostFile("stick/tempdata", "savedcredits=999999\n");
  WriteHostFile("stick/ACTUALIZACION/Rock/Otros/x\\..\\y.mp3", "y");
  WriteHostFile("tempdata", "savedcredits=50\n");
  StickPullingClock pulling(clock.Ticks(), dir.Path() / "stick" / "ACTUALIZACION");
  platform::SetClock(&pulling);
  PoolWith(SDL_KEYDOWN, config.enter);
  platform::SetClock(&clock);

  EXPECT_FALSE(fs::exists("onlinechecker.py"));
  EXPECT_FALSE(fs::exists("media/onlinechecker.py"));
  EXPECT_EQ(SavedFile(), "savedcredits=50\n");
  EXPECT_EQ(ReadHostFile("media/Jazz/Azul/b.mp3"), "b");
  // A "\\" in a name on the stick would make it another name inside the
  // cabinet: it is left out.
  EXPECT_FALSE(fs::exists("media/Rock/Otros/x\\..\\y.mp3"));
  EXPECT_EQ(ReadHostFile("media/Rock/Otros/Uno.mp3"), "new one");
}

TEST_F(SDLGuiUsbUpdateTest, DeclinedUpdateWaitsUntilTheStickIsInsertedAgain) {
  PoolWith(SDL_KEYDOWN, config.cancel);
  EXPECT_EQ(ReadHostFile("media/Rock/Otros/Uno.mp3"), "old");
  EXPECT_FALSE(fs::exists("configtool.args"));

  Push(SDL_KEYDOWN, SDLK_F1);
  Pool();  // no prompt: the key goes to the screen
  EXPECT_EQ(PendingEvents(), 0);
  EXPECT_EQ(ReadHostFile("media/Rock/Otros/Uno.mp3"), "old");

  fs::rename("stick/ACTUALIZACION", "stick/fuera");
  Pool();
  fs::rename("stick/fuera", "stick/ACTUALIZACION");
  Push(SDL_KEYDOWN, config.cancel);
  Pool();  // prompted again, declined again
  EXPECT_EQ(PendingEvents(), 0);
  EXPECT_FALSE(fs::exists("poweroff.asked"));
}

// Every file below a folder and what it holds.
std::map<std::string, std::string> Snapshot(const fs::path& folder) {
  std::map<std::string, std::string> files;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder))
    files[entry.path().string()] = entry.is_regular_file() ? ReadHostFile(entry.path()) : "(folder)";
  return files;
}

// The stick links to files and folders outside, holds a FIFO and a device;
// the media folder already holds a link out under the name of a stick file
// and a genre that is a link out. Only regular files and real folders are
// copied, and nothing outside the media folder changes.
TEST_F(SDLGuiUsbUpdateTest, LinksAndSpecialFilesOnTheStickOrInTheMediaAreNotFollowed) {
  WriteHostFile("outside/shadow", "root:x");
  WriteHostFile("outside/ssh/key", "secret");
  WriteHostFile("outside/victim", "untouched");
  const fs::path outside = dir.Path() / "outside";
  fs::create_symlink(outside / "shadow", "stick/ACTUALIZACION/Rock/Otros/shadow.mp3");
  fs::create_directory_symlink(outside / "ssh", "stick/ACTUALIZACION/Rock/ssh");
  fs::create_directory_symlink(outside / "ssh", "stick/ACTUALIZACION/Sistema");
  const std::vector<HostileFile> hostiles = HostileFiles(0);
  for (size_t i = 0; i < hostiles.size(); ++i)
    hostiles[i].make("stick/ACTUALIZACION/Rock/Otros/especial" + std::to_string(i) + ".mp3");
  fs::remove("media/Rock/Otros/Uno.mp3");
  fs::create_symlink(outside / "victim", "media/Rock/Otros/Uno.mp3");
  fs::create_directory_symlink(outside, "media/Jazz");
  const std::map<std::string, std::string> before = Snapshot("outside");
  StickPullingClock pulling(clock.Ticks(), dir.Path() / "stick" / "ACTUALIZACION");
  platform::SetClock(&pulling);
  const std::string log = PoolWith(SDL_KEYDOWN, config.enter);
  platform::SetClock(&clock);

  EXPECT_EQ(Snapshot("outside"), before);
  EXPECT_FALSE(fs::is_symlink("media/Rock/Otros/Uno.mp3"));
  EXPECT_EQ(ReadHostFile("media/Rock/Otros/Uno.mp3"), "new one");
  EXPECT_EQ(ReadHostFile("media/Rock/Nuevo/a.mp3"), "a");
  std::set<std::string> copied;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator("media"))
    copied.insert(entry.path().string());
  EXPECT_EQ(copied, (std::set<std::string>{"media/Jazz", "media/Rock", "media/Rock/Nuevo", "media/Rock/Nuevo/a.mp3",
                                           "media/Rock/Otros", "media/Rock/Otros/Uno.mp3"}));
  EXPECT_NE(log.find("Carpeta rechazada en la actualizacion: media\\Jazz\n"), std::string::npos) << log;
  EXPECT_NE(log.find("Archivo rechazado en la actualizacion: e:\\ACTUALIZACION\\Sistema\n"), std::string::npos);
  EXPECT_NE(log.find("Archivo rechazado en la actualizacion: e:\\ACTUALIZACION\\Rock\\Otros\\shadow.mp3\n"),
            std::string::npos);
  EXPECT_EQ(ReadHostFile("configtool.args"), "updatedb\n");
}

// The update does not fit with the margin: nothing at all is copied.
TEST_F(SDLGuiUsbUpdateTest, UpdateLargerThanTheFreeSpaceIsRefusedWhole) {
  MakeSparseFile("stick/ACTUALIZACION/Rock/Otros/Grande.mp4", fs::space("media").available);
  const std::string log = PoolWith(SDL_KEYDOWN, config.enter);
  EXPECT_NE(log.find("Actualizacion rechazada: espacio insuficiente"), std::string::npos) << log;
  EXPECT_TRUE(MessageBoxShown("Actualizacion rechazada: espacio insuficiente"));
  EXPECT_EQ(ReadHostFile("media/Rock/Otros/Uno.mp3"), "old");
  EXPECT_FALSE(fs::exists("media/Jazz"));
  EXPECT_FALSE(fs::exists("media/Rock/Nuevo"));
  EXPECT_FALSE(fs::exists("configtool.args"));
  EXPECT_FALSE(fs::exists("poweroff.asked"));
}

// A coin and the exit key come while the first file is being copied: the
// coin is credited, the copy stops and leaves no partial file, and neither
// the catalogue tool nor the power-off runs.
TEST_F(SDLGuiUsbUpdateTest, CoinsAndTheExitKeyWorkDuringTheCopy) {
  config.exit = SDLK_F9;
  WriteHostFile("stick/ACTUALIZACION/Jazz/Azul/b.mp3", std::string(1 << 20, 'b'));
  Push(SDL_KEYDOWN, config.enter);
  Push(SDL_KEYDOWN, config.coin1);
  Push(SDL_KEYUP, config.coin1);
  Push(SDL_KEYDOWN, config.exit);
  const int credits = gui.Credits();
  const std::string log = Pool();
  EXPECT_EQ(gui.Credits(), credits + config.creditscoin1);
  EXPECT_GT(log.find("Credito detectado"), log.find("\t\tCargando pista: b.mp3")) << log;
  EXPECT_NE(log.find("Credito detectado"), std::string::npos) << log;
  EXPECT_EQ(Snapshot("media/Jazz"), (std::map<std::string, std::string>{{"media/Jazz/Azul", "(folder)"}}));
  EXPECT_FALSE(fs::exists("media/Rock/Nuevo"));
  EXPECT_FALSE(fs::exists("configtool.args"));
  EXPECT_FALSE(fs::exists("poweroff.asked"));
}

// The catalogue tool runs a while: a coin and the exit key that come
// meanwhile are taken; the tool finishes its catalogue, and no power-off
// follows.
TEST_F(SDLGuiUsbUpdateTest, CoinsAndTheExitKeyWorkWhileTheCatalogueIsRebuilt) {
  config.exit = SDLK_F9;
  WriteScript("configtool", "touch started\nwhile [ ! -e go ]; do sleep 0.01; done\necho \"$@\" > configtool.args\n");
  std::thread operatorAtTheCabinet([&] {
    WaitUntil([] { return fs::exists("started"); });
    for (const auto& [type, key] : {std::pair<Uint8, int>{SDL_KEYDOWN, config.coin1}, {SDL_KEYUP, config.coin1},
                                    {SDL_KEYDOWN, config.exit}})
      Push(type, key);
    // The update takes them while the tool runs.
    WaitUntil([] { return SDL_PeepEvents(nullptr, 1, SDL_PEEKEVENT, SDL_ALLEVENTS) == 0; });
    WriteHostFile("go", "");
  });
  const int credits = gui.Credits();
  const std::string log = PoolWith(SDL_KEYDOWN, config.enter);
  operatorAtTheCabinet.join();
  EXPECT_EQ(gui.Credits(), credits + config.creditscoin1);
  EXPECT_LT(log.find("Credito detectado"), log.find("Actualizacion terminada")) << log;
  EXPECT_EQ(ReadHostFile("configtool.args"), "updatedb\n");
  EXPECT_FALSE(fs::exists("poweroff.asked"));
}

// Touch --------------------------------------------------------------------

TEST_F(SDLGuiLoopTest, TouchButtonsGiveTheirKeys) {
  EXPECT_EQ(gui.Router().getButtonTouched(10, 200), config.left);
  EXPECT_EQ(gui.Router().getButtonTouched(827, 707), config.enter);
  EXPECT_EQ(gui.Router().getButtonTouched(950, 50), config.up);
  EXPECT_EQ(gui.Router().getButtonTouched(701, 600), 0);  // lower bounds are outside
  EXPECT_EQ(gui.Router().getButtonTouched(500, 300), 0);
  EXPECT_EQ(gui.Input().lastTouchX, 500);
  EXPECT_EQ(gui.Input().lastTouchY, 300);

  config.touchscreen = true;
  const uint32_t before = clock.Ticks();
  EXPECT_EQ(gui.Router().touchFunction(300, 700), config.down);
  EXPECT_EQ(gui.Input().touchHeld, 1);
  EXPECT_EQ(clock.Ticks() - before, 150u);
  EXPECT_EQ(gui.Router().touchFunction(500, 300), 0);
}

class SDLGuiTouchKeyboardTest : public SDLGuiLoopTest {
 protected:
  void SetUp() override {
    SDLGuiLoopTest::SetUp();
    gui.Display().dialog = SDLGui::kKeyboardScreen;
    // The cabinet's keyboard image is 860 × 500.
    gui.Images().keyboardImage.reset(SDLGui::NewSurface(860, 500));
    keyboard = gui.Keyboard().KeyboardArea();
  }
  // Touches the middle of a key.
  bool Touch(int index) {
    const keyboard::Key& key = keyboard::KeyOf(index);
    return gui.Keyboard().TouchKeyboard(keyboard.x + 20 + key.x + 30, keyboard.y + 80 + key.y + 30);
  }
  SDL_Rect keyboard{};
};

TEST_F(SDLGuiTouchKeyboardTest, KeysTypeAndEdit) {
  // Centred, 50 pixels above the centre.
  EXPECT_EQ(keyboard.x, 82);
  EXPECT_EQ(keyboard.y, 84);
  Touch(0);   // Q
  Touch(19);  // Ñ
  Touch(39);  // space
  Touch(36);  // 9
  EXPECT_EQ(gui.Search().searchText, RString("Q\xD1 9"));
  EXPECT_EQ(gui.Search().keyboardKey, 36);
  Touch(keyboard::kCursorLeftKey);
  Touch(keyboard::kCursorLeftKey);
  Touch(keyboard::kEraseKey);
  EXPECT_EQ(gui.Search().searchText, RString("Q 9"));
  EXPECT_EQ(gui.Search().cursorPos, 1u);
  for (int i = 0; i < 3; ++i) Touch(keyboard::kCursorRightKey);
  EXPECT_EQ(gui.Search().cursorPos, 3u);
  for (int i = 0; i < 4; ++i) Touch(keyboard::kEraseKey);
  EXPECT_EQ(gui.Search().searchText, RString(""));
  EXPECT_EQ(gui.Search().cursorPos, 0u);
  EXPECT_EQ(gui.Display().dialog, SDLGui::kKeyboardScreen);
}

TEST_F(SDLGuiTouchKeyboardTest, TrailingBarGivesWayToTheTypedCharacter) {
  gui.Search().searchText = "AB|";
  gui.Search().cursorPos = 3;
  Touch(1);  // W
  EXPECT_EQ(gui.Search().searchText, RString("ABW"));
  EXPECT_EQ(gui.Search().cursorPos, 3u);
}

TEST_F(SDLGuiTouchKeyboardTest, KeyEdgesAndTheOutsideOfTheImage) {
  const int left = keyboard.x + 20, top = keyboard.y + 80;
  EXPECT_TRUE(gui.Keyboard().TouchKeyboard(left, top + 30));  // on the edge of Q: no key
  EXPECT_TRUE(gui.Keyboard().TouchKeyboard(left + 64, top + 30));
  EXPECT_EQ(gui.Search().searchText, RString(""));
  EXPECT_EQ(gui.Display().dialog, SDLGui::kKeyboardScreen);

  EXPECT_FALSE(Touch(keyboard::kSearchKey));  // empty text: nothing to search
  EXPECT_EQ(gui.Search().searchText, RString(""));

  gui.Keyboard().TouchKeyboard(keyboard.x - 1, keyboard.y + 100);
  EXPECT_EQ(gui.Display().dialog, SDLGui::kMainScreen);
  EXPECT_EQ(gui.Display().redrawMode, SDLGui::kFullRedraw);
}

// The searcher's space/erase key -------------------------------------------

class SDLGuiSearcherKeyTest : public SDLGuiLoopTest {
 protected:
  void SetUp() override {
    SDLGuiLoopTest::SetUp();
    config.phonekeyboard = true;
    gui.Display().dialog = SDLGui::kKeyboardScreen;
  }
  void Release(const char* text, uint32_t cursor, uint32_t heldFor) {
    gui.Search().searchText = text;
    gui.Search().cursorPos = cursor;
    gui.Input().keyDownAt = clock.Ticks() - heldFor;
    PoolWith(SDL_KEYUP, config.up);
  }
};

TEST_F(SDLGuiSearcherKeyTest, ShortPressTypesASpaceLongPressErases) {
  Release("AB", 2, 1999);
  EXPECT_EQ(gui.Search().searchText, RString("AB "));
  EXPECT_EQ(gui.Search().cursorPos, 3u);
  EXPECT_EQ(gui.Input().keyDownAt, 0u);

  Release("AB", 1, 2001);
  EXPECT_EQ(gui.Search().searchText, RString("B"));
  EXPECT_EQ(gui.Search().cursorPos, 0u);

  Release("AB", 0, 2001);
  EXPECT_EQ(gui.Search().searchText, RString(""));

  Release("AB", 0, 10);  // no space at the start
  EXPECT_EQ(gui.Search().searchText, RString("AB"));
  EXPECT_NE(gui.Input().keyDownAt, 0u);
}

TEST_F(SDLGuiSearcherKeyTest, SelectedResultKeepsTheText) {
  gui.Lists().localResultsList->AddItem("Rock/Clasicos/Uno.mp3");
  gui.Lists().localResultsList->SetSelected(0);
  Release("AB", 2, 10);
  EXPECT_EQ(gui.Search().searchText, RString("AB"));
}

// Screen duties ------------------------------------------------------------

TEST_F(SDLGuiLoopTest, VolumeBarGoesAfter3000Ms) {
  config.volumen = 100;
  const int x = skin.xvolumen + 1, y = skin.yvolumen + 1;
  gui.Volume().UpVol();  // at the limit: only the bar
  gui.draw();
  EXPECT_EQ(ColorAt(gui.Display().screen, x, y), Opaque(200, 200, 200));
  clock.Advance(3001);
  gui.draw();
  EXPECT_PRED2(Near, ColorAt(gui.Display().screen, x, y), Color(kSkinBlue));
  EXPECT_EQ(gui.Volume().ShownAt(), 0u);
}

TEST_F(SDLGuiLoopTest, TextCursorBlinksAfterTheTypedText) {
  gui.Display().dialog = SDLGui::kKeyboardScreen;
  gui.Search().searchText = "AB";
  gui.Search().cursorPos = 1;
  int textW = 0, textH = 0;
  ASSERT_TRUE(gui.Writers().keyboardFont.SizeText("A", &textW, &textH));
  const SDL_Rect keyboard = gui.Keyboard().KeyboardArea();
  const int x = keyboard.x + KeyboardScreen::kTextX + textW, y = keyboard.y + KeyboardScreen::kTextY + textH / 2;
  clock.Advance(500);
  gui.draw();
  EXPECT_EQ(ColorAt(gui.Display().screen, x, y), Opaque(0, 0, 0));
  clock.Advance(499);
  gui.draw();
  EXPECT_EQ(ColorAt(gui.Display().screen, x, y), Opaque(0, 0, 0));
  clock.Advance(1);
  gui.draw();
  EXPECT_EQ(ColorAt(gui.Display().screen, x, y), Opaque(255, 255, 255));
}

}  // namespace
