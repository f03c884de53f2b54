// The USB update: the genre and album folders of "ACTUALIZACION" on the
// stick join the first media folder, the catalogue tool rebuilds the
// catalogue file, and the machine powers off once the stick is pulled (the
// next start reads the new catalogue). Coins inserted meanwhile are
// credited, and the quit keys end the program instead.
#include <cstdio>
#include <string>

#include "base/RDir.h"
#include "catalogue/MainLibrary.h"
#include "config/Configuration.h"
#include "gui/SDLGui.h"
#include "platform/Clock.h"
#include "platform/Files.h"
#include "platform/Paths.h"
#include "platform/System.h"
#include "programs/ExternalPrograms.h"

namespace {

const uint32_t kStickPoll = 100;


bool IsFolder(const RString& path) { return platform::DirectoryExists(path.Chars()); }

// A name on the stick that would not stay the single path component it is
// there is left out, with a log line.
bool IsCopiable(const RString& name) {
  if (platform::IsPlainListedName(name.Chars())) return true;
  std::printf("Nombre rechazado en la actualizacion: %s\n", name.Chars());
  return false;
}

// The folders of a listing whose names do not start with ".", in listing
// order.
template <class Visit>
void ForEachFolder(const RString& path, Visit visit) {
  RDir listing(path);
  RString name;
  while (listing.GetFile(name))
    if (name.GetChar(0) != '.' && IsCopiable(name) && IsFolder(path + "\\" + name)) visit(name);
}

// what: "genero" or "album".
void MakeFolder(const char* what, const RString& path) {
  if (IsFolder(path)) return;
  std::printf("Creando %s desde actualizacion: %s\n", what, path.Chars());
  platform::CreateDirectory(path.Chars());
}

}  // namespace

void SDLGui::PollUsbUpdate() {
  RString folder;
  folder.sprintf("%s:\\ACTUALIZACION", config->usb_path.Chars());
  if (!IsFolder(folder)) {
    usbUpdateArmed = 1;
    return;
  }
  if (!usbUpdateArmed) return;
  usbUpdateArmed = 0;
  UpdateFromUsb(folder);
}

void SDLGui::UpdateFromUsb(const RString& folder) {
  const int key = ShowMsg("Actualizacion detectada, presione ACEPTAR para continuar", genreFont, -1, true, false);
  if (!KeyIs(key, config->enter)) return;
  if (library->GetContentPathCount() == 0) {
    std::puts("Sin carpeta de medios para la actualizacion");
    return;
  }
  ForEachFolder(folder, [&](const RString& genre) { CopyUsbGenre(folder, genre); });
  RunCatalogueTool("updatedb");
  DrawAll();
  ShowMsg("Actualizacion terminada, retire la memoria USB", genreFont, 0, false, false);
  while (IsFolder(folder) && !quitRequested) {
    KeepInputWhileWaiting();
    platform::Delay(kStickPoll);
  }
  if (!quitRequested) platform::PowerOff();
}

void SDLGui::CopyUsbGenre(const RString& folder, const RString& genre) {
  std::printf("Cargando genero: %s\n", genre.Chars());
  const RString from = folder + "\\" + genre;
  const RString to = library->GetContentPath(0) + "\\" + genre;
  MakeFolder("genero", to);
  ForEachFolder(from, [&](const RString& album) {
    CopyUsbAlbum(from + "\\" + album, to + "\\" + album, album);
    DrawAll();
  });
}

// Every file of the album, replacing those already there; a file that
// cannot be copied is left out.
void SDLGui::CopyUsbAlbum(const RString& from, const RString& to, const RString& album) {
  MakeFolder("album", to);
  ShowMsg(RString("Copiando: ") + album, genreFont, 0, false, false);
  std::printf("\tCargando album: %s\n", album.Chars());
  RDir listing(from);
  RString track;
  while (listing.GetFile(track)) {
    if (IsFolder(from + "\\" + track) || !IsCopiable(track)) continue;
    std::printf("\t\tCargando pista: %s\n", track.Chars());
    platform::CopyFile((from + "\\" + track).Chars(), (to + "\\" + track).Chars());
    KeepInputWhileWaiting();
  }
}
