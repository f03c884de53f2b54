#include "shell/Startup.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>
#include <utility>

#include "base/RFile.h"
#include "catalogue/GenreElement.h"
#include "catalogue/MainLibrary.h"
#include "config/Configuration.h"
#include "gui/NoMediaScreen.h"
#include "gui/SDLGui.h"
#include "shell/FleetReports.h"
#include "gui/Skin.h"
#include "playback/Player.h"
#include "playback/Queue.h"
#include "platform/Clock.h"
#include "platform/Files.h"
#include "platform/LogStream.h"
#include "platform/Paths.h"
#include "platform/System.h"
#include "programs/ExternalPrograms.h"
#include "shell/PassTimes.h"
#include "state/Cashbox.h"
#include "state/SavedState.h"

namespace {

const char* const kShutdownMarker = "shutdowncheck";
const char* const kUpdateArgument = "actualizar";
const int kCleanExitCode = 43;
// Names the file the main loop's pass times are written to at exit.
const char* const kPassTimesVariable = "MELODECK_PASS_TIMES";
const char* const kFavouritesFolder = "100+ Favoritas";

// The cabinet's requirement, stated for the operating system's version and
// applied here to the kernel's.
void ReportSystemVersion() {
  int major = 0, minor = 0;
  platform::KernelVersion(major, minor);
  std::printf("Kernel Linux %d.%d\n", major, minor);
  if (major > 5 || (major == 5 && minor != 0))
    std::puts("The system meets the requirements.");
  else
    std::puts("The system does not meet the requirements.");
}

// Lets the scripts find the interpreter folder shipped in the working
// directory.
void ExtendSearchPath() {
  const std::string path = platform::GetEnv("PATH");
  std::printf("Current environment path: %s\n", path.c_str());
  const std::string extended =
      path + platform::PathListSeparator() + platform::GetWorkingDirectory() + "/python27/";
  platform::SetEnv("PATH", extended);
  std::printf("Nuevo path: %s\n", extended.c_str());
  // The legacy wave-out volume belongs to old Windows; the mixer serves here.
  std::puts("Seven os newer");
}

// The cabinet folder named on the command line becomes the working
// directory; a cabinet folder that cannot be entered ends the start, as a
// run elsewhere would take another folder's files for the cabinet's. The
// update argument is no folder, and the run goes on where it was started.
void EnterWorkingDirectory(const RString& argument, bool update) {
  if (argument.GetLength() == 0) return;
  std::printf("Directorio actual: %s\n", argument.c_str());
  if (platform::SetWorkingDirectory(argument.c_str())) return;
  std::puts("Error al intentar establecer el directorio de trabajo");
  if (update) return;
  std::printf("No se encontro la carpeta del gabinete %s, terminando programa\n", argument.c_str());
  std::exit(1);
}

// Running on without a saved file would replace it, and the credits or
// settings it holds, at the first save: the operator repairs it first.
[[noreturn]] void EndWithUnreadableFile(const std::string& fault) {
  std::printf("No se pudo leer el archivo %s; reparelo antes de iniciar\n", fault.c_str());
  std::exit(1);
}

Configuration* LoadConfiguration(MainLibrary* library) {
  std::puts("Cargando configuracion");
  auto* configuration = new Configuration(library);
  configuration->LoadConfiguration("configuration");
  configuration->LoadUserConfiguration();
  for (const std::string& fault : {Configuration::UnreadableFile(), SavedState::UnreadableFile()})
    if (!fault.empty()) EndWithUnreadableFile(fault);
  std::puts("Configuracion cargada");
  std::printf("Configuration default screen size: %d x %d\n", configuration->ancho, configuration->alto);
  return configuration;
}

// The layout for the primary screen, with the configured skin's file applied
// over the defaults.
Skin* CreateSkin(const Configuration& configuration) {
  std::puts("Creando objeto de skin para windows");
  int width = 0, height = 0;
  platform::PrimaryScreenSize(width, height);
  auto* skin = new Skin(static_cast<uint16_t>(width), static_cast<uint16_t>(height), 1);
  skin->CalculateCoordinates(1, 0, 0);
  skin->SetSkinName(configuration.skinname);
  skin->CalculateCoordinates(1, 0, 0);
  return skin;
}

// A favourites folder per genre, each with a copy of the genre's cover.
void CreateFavouritesFolders(const MainLibrary& library, const RString& contentFolder) {
  const RString favourites = contentFolder + "/" + kFavouritesFolder;
  platform::CreateDirectory(favourites.c_str());
  for (RItemList* node = library.GetFirst(); node; node = node->next) {
    const RString& genre = static_cast<GenreElement*>(node->data)->GetName();
    const RString folder = favourites + "/" + genre;
    std::printf("Creando genero: %s\n", folder.c_str());
    platform::CreateDirectory(folder.c_str());
    const RString cover = contentFolder + "/" + genre + "/cover.jpg";
    if (!Copy(cover, folder + "/cover.jpg")) std::printf("Error copying cover: %s\n", cover.c_str());
  }
}

void PrepareFavourites(MainLibrary& library) {
  // Without a media folder there is no place for favourites; the root of
  // the file system is not one.
  if (library.GetContentPathCount() == 0) return;
  const RString contentFolder = library.GetContentPath(0);
  if (!DirectoryExists(contentFolder + "/" + kFavouritesFolder)) CreateFavouritesFolders(library, contentFolder);
  library.LoadFavoritos();
}

// A catalogue without a single album has nothing to offer, even when the
// all-music genre was made while reading an empty catalogue file.
// A new cabinet has media but no catalogue file yet: the catalogue tool
// makes it, and the cabinet comes up on it.
void LoadCatalogue(MainLibrary& library, bool update) {
  if (update) {
    library.LoadContentFromStorage();
    return;
  }
  if (library.LoadContentFromDB() != MainLibrary::kNoCatalogueFile) return;
  std::puts("No se encontro contenido multimedia, abriendo configtool para configuracion inicial");
  RunCatalogueTool("");
  library.LoadContentFromDB();
}

bool HasContent(const MainLibrary& library) {
  for (RItemList* node = library.GetFirst(); node; node = node->next)
    if (static_cast<GenreElement*>(node->data)->Count() > 0) return true;
  return false;
}

// The catalogue, from the catalogue file or the folders, with the
// favourites and the downloads of genre 0.
void LoadContent(MainLibrary& library, const Configuration& configuration, bool update) {
  LoadCatalogue(library, update);
  if (configuration.favoritos) PrepareFavourites(library);
  library.LoadDownloads();
  if (library.GetTotalGenres() > 0)
    std::printf("Albumes en %s: %d\n", library.GetGenreName(0).Chars(), library.GetTotalDiscs(0));
}

// Without a display there is nothing a customer could use.
[[noreturn]] void EndWithoutDisplay() {
  std::puts("No se pudo iniciar la pantalla, terminando programa");
  std::exit(1);
}

void RunPasses(SDLGui& gui, FleetReports& fleet) {
  PassObserver& passes = gui.Inputs().Passes();
  while (gui.stillactive()) {
    passes.PassBegins();
    gui.extrawork();
    gui.draw();
    gui.pool();
    fleet.Tick(gui);
    passes.PassEnded();
    platform::Delay(10);
  }
}

// Passes are timed only when MELODECK_PASS_TIMES names the file for them:
// the times of each coin would otherwise pile up for the whole run.
void RunMainLoop(SDLGui& gui, FleetReports& fleet) {
  const char* path = std::getenv(kPassTimesVariable);
  if (path == nullptr) return RunPasses(gui, fleet);
  PassTimes times;
  gui.Inputs().ObservePasses(&times);
  RunPasses(gui, fleet);
  gui.Inputs().ObservePasses(nullptr);
  if (!times.Write(path)) std::printf("No se pudo escribir %s\n", path);
}

[[noreturn]] void CleanExit() {
  platform::DeleteFile(kShutdownMarker);
  std::printf("\nTerminando programa melodeck: %d\n", kCleanExitCode);
  std::fflush(stdout);
  std::exit(kCleanExitCode);
}

// A restart would find the same: the owner is told on the screen what to
// do, and the cabinet waits there, crediting coins, until it is stopped.
[[noreturn]] void WaitForMedia(MainLibrary& library, const Configuration& configuration, const Skin& skin) {
  const bool named = library.GetContentPathCount() > 0;
  Queue queue;
  Cashbox cashbox(queue, configuration, &library);
  cashbox.Restore();
  NoMediaScreen screen(configuration, skin, cashbox);
  if (!screen.Show(named ? library.GetContentPath(0) : RString(""))) EndWithoutDisplay();
  // Told once the screen is up: a stop that follows the line ends the wait
  // cleanly, where one before the display opened ended the program outright.
  if (named)
    std::printf("No hay contenido multimedia en %s; esperando al encargado\n", library.GetContentPath(0).Chars());
  else
    std::puts("La configuracion no nombra ninguna carpeta de medios (mediacontent); esperando al encargado");
  screen.Run();
  cashbox.Flush();  // the last coins' save, before exit skips the destructors
  CleanExit();
}

}  // namespace

RString ArgumentFromCommandLine(int argc, char** argv) {
  RString argument("");
  for (int i = 1; i < argc; ++i) {
    if (i > 1) argument += " ";
    argument += platform::FromHostText(argv[i]).c_str();
  }
  return argument;
}

bool DirectoryExists(const RString& path) { return platform::DirectoryExists(path.Chars()); }

bool Copy(const RString& from, const RString& to) {
  return platform::CopyFile(from.Chars(), to.Chars());
}

bool ExistsFileLastShutdown() {
  RFile marker;
  return marker.Open(kShutdownMarker, "r");
}

bool MakeFileLastShutdown() {
  RFile marker;
  if (marker.Create(kShutdownMarker)) return true;
  std::puts("Error al crear archivo de shutdown");
  return false;
}

int RunJukebox(const RString& argument) {
  platform::EndOnHangUpAndQuitAsOnTerminate();
  platform::PrepareLogOutput();
  const bool update = argument == RString(kUpdateArgument);
  ReportSystemVersion();
  ExtendSearchPath();
  EnterWorkingDirectory(argument, update);
  std::srand(static_cast<unsigned>(std::time(nullptr)));
  std::puts("Ejecutando script onlinechecker");
  RestartOnlineChecker();

  auto* library = new MainLibrary();
  Configuration* configuration = LoadConfiguration(library);
  Skin* skin = CreateSkin(*configuration);
  if (library->GetContentPathCount() > 0) LoadContent(*library, *configuration, update);
  if (!HasContent(*library)) WaitForMedia(*library, *configuration, *skin);

  auto* queue = new Queue();
  auto* gui = new SDLGui(queue);
  auto* player = new Player(gui, library, queue, configuration->videodriver);
  if (!gui->initialize(skin, library, player, configuration)) EndWithoutDisplay();
  const bool cutOff = ExistsFileLastShutdown();
  gui->Money().StartLedger(cutOff);
  player->InitPlayer(configuration->playmode);

  if (cutOff) std::puts("El programa no termino correctamente la ultima vez");
  MakeFileLastShutdown();
  FleetReports fleet(*configuration, *library, *queue, *player);
  RunMainLoop(*gui, fleet);
  fleet.Stop();
  // The media player must not play on after the jukebox has gone.
  player->ReleaseGui();
  gui->Money().StopLedger(kCleanExitCode);
  CleanExit();
}
