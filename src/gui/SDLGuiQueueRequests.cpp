// Queue requests: outside tools drop files in the folder "queue", each naming
// one track on its first line as genre "\" album "\" track. The track is
// queued free of charge and the file deleted.
#include <cstdio>
#include <optional>
#include <string>

#include "base/RDir.h"
#include "base/RTextFile.h"
#include "catalogue/MainLibrary.h"
#include "config/Configuration.h"
#include "gui/OutsideFiles.h"
#include "gui/SDLGui.h"
#include "platform/Files.h"
#include "playback/Queue.h"

namespace {

const char* const kRequestFolder = "queue";
// A request the catalogue cannot take is renamed with this ending and not
// read again.
const char* const kRefusedEnding = ".rechazado";


RString RequestPath(const RString& name) { return RString(kRequestFolder) + "\\" + name; }

bool IsRefused(const RString& name) {
  const std::string text = name.Chars();
  const std::string ending = kRefusedEnding;
  return text.size() >= ending.size() && text.compare(text.size() - ending.size(), ending.size(), ending) == 0;
}

void SetAside(const RString& name) {
  const RString path = RequestPath(name);
  if (platform::CopyFile(path.Chars(), (path + kRefusedEnding).Chars())) platform::DeleteFile(path.Chars());
}

}  // namespace

void SDLGui::ReadQueueRequests() {
  RDir folder(kRequestFolder);
  RString name;
  while (folder.GetFile(name)) {
    if (name.GetChar(0) == '.' || IsRefused(name)) continue;
    if (folder.IsReachable()) {
      TakeQueueRequest(name);
      continue;
    }
    std::printf("Pedido rechazado, nombre ilegible: %s\n", name.Chars());
    folder.RenameCurrent(kRefusedEnding);
  }
}

void SDLGui::TakeQueueRequest(const RString& name) {
  std::printf("Encontrado codigo: %s\n", name.Chars());
  RTextFile file;
  if (!file.OpenFromOutside(RequestPath(name))) {
    std::puts("Error al abrir archivo de queue");
    return;
  }
  const RString line = file.GetLine();
  file.Close();
  if (line.GetLength() == 0) {
    std::puts("SALTANDO");
    return;
  }
  const QueueRequest request = SplitQueueRequest(line);
  std::printf("Elemento: %s, %s, %s\n", request.genre.Chars(), request.disc.Chars(), request.track.Chars());
  if (MainLibrary::LeavesItsFolder(request.genre, request.disc, request.track)) {
    std::printf("Pedido rechazado, nombre no valido: %s\n", request.line.Chars());
    SetAside(name);
    return;
  }

  const std::optional<QueueElement> entry = RequestedEntry(*library, request);
  if (!entry) {
    std::printf("Pedido rechazado, no esta en el catalogo: %s\n", request.line.Chars());
    SetAside(name);
    return;
  }
  std::printf("Index: %d %d %d\n", static_cast<int>(entry->genre), static_cast<int>(entry->disc),
              static_cast<int>(entry->track));
  queue->AddElementToQueue(entry->genre, entry->disc, entry->track);
  DrawQueue(true);
  SaveState();
  const RString path = RequestPath(name);
  std::printf("delete command: del %s\n", path.Chars());
  platform::DeleteFile(path.Chars());
}
