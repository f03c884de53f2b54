// The USB update: the genre and album folders of "ACTUALIZACION" on the
// stick join the first media folder, the catalogue tool rebuilds the
// catalogue file, and the machine powers off once the stick is pulled (the
// next start reads the new catalogue). Coins inserted meanwhile are
// credited, and the quit keys end the program instead.
//
// The stick is anybody's: only its regular files and real folders are taken
// (a link, FIFO or device is left out with a log line), an update that
// would not fit the media disk is refused whole, and every file is written
// as a new one, so that nothing outside the media folder changes.
#include "gui/UsbUpdate.h"

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "base/RDir.h"
#include "catalogue/MainLibrary.h"
#include "config/Configuration.h"
#include "gui/SDLGui.h"
#include "platform/Clock.h"
#include "platform/Files.h"
#include "platform/Paths.h"
#include "platform/Processes.h"
#include "platform/System.h"
#include "programs/ExternalPrograms.h"

// What the stick holds to copy, read before anything is copied.
struct StickAlbum {
  RString name;
  std::vector<RString> tracks;
};
struct StickGenre {
  RString name;
  std::vector<StickAlbum> albums;
};

namespace {

const uint32_t kStickPoll = 100;
const uint32_t kInputPoll = 10;
// Left free on the media disk after an update: the catalogue, the saved
// state and the cover thumbnails are still to be written there.
const uint64_t kFreeSpaceMargin = uint64_t{64} << 20;

platform::EntryKind KindOf(const RString& path) { return platform::KindOf(path.Chars()); }

bool IsRealFolder(const RString& path) { return KindOf(path) == platform::EntryKind::kFolder; }

// A name on the stick that would not stay the single path component it is
// there is left out, with a log line.
bool IsCopiable(const RString& name) {
  if (platform::IsPlainListedName(name.Chars())) return true;
  std::printf("Nombre rechazado en la actualizacion: %s\n", name.Chars());
  return false;
}

// Whether an entry of the stick is of the kind wanted; links, FIFOs and
// devices never are, and are logged.
bool IsOfKind(const RString& path, platform::EntryKind wanted) {
  const platform::EntryKind kind = KindOf(path);
  if (kind == platform::EntryKind::kOther) std::printf("Archivo rechazado en la actualizacion: %s\n", path.Chars());
  return kind == wanted;
}

// The entries of a listing of the given kind whose names do not start
// with "." (hidden ones are kept for tracks), in listing order.
template <class Visit>
void ForEachEntry(const RString& path, platform::EntryKind kind, bool hiddenToo, Visit visit) {
  RDir listing(path);
  RString name;
  while (listing.GetFile(name)) {
    if (name == "." || name == ".." || (!hiddenToo && name.GetChar(0) == '.')) continue;
    if (IsCopiable(name) && IsOfKind(path + "\\" + name, kind)) visit(name);
  }
}

// A folder of the media to copy into: a real one, made when missing. One
// that is something else (a link out of the media folder, say) is not
// written into. what: "genero" or "album".
bool MakeFolder(const char* what, const RString& path) {
  const platform::EntryKind kind = KindOf(path);
  if (kind == platform::EntryKind::kFolder) return true;
  if (kind != platform::EntryKind::kMissing) {
    std::printf("Carpeta rechazada en la actualizacion: %s\n", path.Chars());
    return false;
  }
  std::printf("Creando %s desde actualizacion: %s\n", what, path.Chars());
  return platform::CreateDirectory(path.Chars());
}

// What the update folder holds to copy and its bytes.
std::vector<StickGenre> ReadStick(const RString& folder, uint64_t& bytes) {
  std::vector<StickGenre> genres;
  ForEachEntry(folder, platform::EntryKind::kFolder, false, [&](const RString& genre) {
    genres.push_back(StickGenre{genre, {}});
    const RString genrePath = folder + "\\" + genre;
    ForEachEntry(genrePath, platform::EntryKind::kFolder, false, [&](const RString& album) {
      genres.back().albums.push_back(StickAlbum{album, {}});
      const RString albumPath = genrePath + "\\" + album;
      ForEachEntry(albumPath, platform::EntryKind::kRegular, true, [&](const RString& track) {
        genres.back().albums.back().tracks.push_back(track);
        bytes += platform::RegularFileSize((albumPath + "\\" + track).Chars());
      });
    });
  });
  return genres;
}

bool FitsFreeSpace(const RString& mediaFolder, uint64_t bytes) {
  uint64_t free = 0;
  if (!platform::FreeSpace(mediaFolder.Chars(), free)) return false;
  std::printf("Actualizacion: %llu bytes, %llu libres\n", static_cast<unsigned long long>(bytes),
              static_cast<unsigned long long>(free));
  return free > kFreeSpaceMargin && bytes <= free - kFreeSpaceMargin;
}

// The catalogue tool takes a while on a large media folder: input is kept
// meanwhile (coins credited, a quit request noted), and the tool is left to
// finish the catalogue whatever comes.
void RebuildCatalogue(const std::function<void()>& keepInput) {
  platform::ChildProcess tool;
  if (!StartCatalogueTool(tool, "updatedb")) return;
  while (!tool.WaitFor(kInputPoll)) keepInput();
}

}  // namespace

void UsbUpdate::PollUsbUpdate() {
  RString folder;
  folder.sprintf("%s:\\ACTUALIZACION", gui.config->usb_path.Chars());
  if (!IsRealFolder(folder)) {
    usbUpdateArmed = 1;
    return;
  }
  if (!usbUpdateArmed) return;
  usbUpdateArmed = 0;
  std::printf("Actualizacion detectada: %s\n", folder.Chars());
  UpdateFromUsb(folder);
}

bool UsbUpdate::KeepInputDuringUpdate() {
  gui.inputs.KeepInputWhileWaiting();
  return !gui.quitRequested;
}

void UsbUpdate::UpdateFromUsb(const RString& folder) {
  const int key =
      gui.messageBox.ShowMsg("Actualizacion detectada, presione ACEPTAR para continuar", gui.genreFont, -1, true, false);
  if (!SDLGui::KeyIs(key, gui.config->enter)) return;
  if (gui.library->GetContentPathCount() == 0) {
    std::puts("Sin carpeta de medios para la actualizacion");
    return;
  }
  const RString media = gui.library->GetContentPath(0);
  uint64_t bytes = 0;
  const std::vector<StickGenre> genres = ReadStick(folder, bytes);
  if (!FitsFreeSpace(media, bytes)) {
    std::puts("Actualizacion rechazada: espacio insuficiente");
    gui.DrawAll();
    // Stays until the screen is next drawn, as the end of an update does.
    gui.messageBox.ShowMsg("Actualizacion rechazada: espacio insuficiente", gui.genreFont, MessageBox::kRefusalTime, true, false);
    return;
  }
  for (const StickGenre& genre : genres)
    if (!CopyUsbGenre(folder, genre)) return;
  RebuildCatalogue([this] { gui.inputs.KeepInputWhileWaiting(); });
  std::puts("Actualizacion terminada");
  gui.DrawAll();
  gui.messageBox.ShowMsg("Actualizacion terminada, retire la memoria USB", gui.genreFont, 0, false, false);
  while (IsRealFolder(folder) && !gui.quitRequested) {
    gui.inputs.KeepInputWhileWaiting();
    gui.inputs.PauseBetweenPasses(kStickPoll);
  }
  if (!gui.quitRequested) platform::PowerOff();
}

bool UsbUpdate::CopyUsbGenre(const RString& folder, const StickGenre& genre) {
  std::printf("Cargando genero: %s\n", genre.name.Chars());
  const RString from = folder + "\\" + genre.name;
  const RString to = gui.library->GetContentPath(0) + "\\" + genre.name;
  if (!MakeFolder("genero", to)) return true;
  for (const StickAlbum& album : genre.albums) {
    if (!CopyUsbAlbum(from + "\\" + album.name, to + "\\" + album.name, album)) return false;
    gui.DrawAll();
  }
  return true;
}

// Every file of the album, replacing those already there; a file that
// cannot be copied is left out.
bool UsbUpdate::CopyUsbAlbum(const RString& from, const RString& to, const StickAlbum& album) {
  if (!MakeFolder("album", to)) return true;
  gui.messageBox.ShowMsg(RString("Copiando: ") + album.name, gui.genreFont, 0, false, false);
  std::printf("\tCargando album: %s\n", album.name.Chars());
  for (const RString& track : album.tracks) {
    std::printf("\t\tCargando pista: %s\n", track.Chars());
    const bool copied = platform::CopyAsNewFile((from + "\\" + track).Chars(), (to + "\\" + track).Chars(),
                                                [this] { return KeepInputDuringUpdate(); });
    if (!KeepInputDuringUpdate()) return false;
    if (!copied) std::printf("Error al copiar: %s\n", (from + "\\" + track).Chars());
  }
  return true;
}
