// Queue requests: outside tools drop files in the folder "queue", each naming
// one track on its first line as genre "\" album "\" track. The track is
// queued free of charge and the file deleted. Free entries are capped, so a
// paid play is never queued behind hours of them: the requests over the cap
// wait in their folder, unread, until the queue has room.
#include "gui/QueueRequestFolder.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "base/RDir.h"
#include "base/RTextFile.h"
#include "catalogue/MainLibrary.h"
#include "config/Configuration.h"
#include "gui/SDLGui.h"
#include "platform/Files.h"
#include "playback/Queue.h"
#include "playback/QueueRequest.h"

namespace {

const char* const kRequestFolder = "queue";
// A request the catalogue cannot take is renamed with this ending and not
// read again.
const char* const kRefusedEnding = ".rechazado";
// Free entries the queue holds at most.
constexpr int kMostFreeEntries = 10;
// Requests handled in one poll, each drawn and saved: a crowded folder must
// not hold a pass of the main loop.
constexpr int kMostRequestsPerPoll = 4;

RString RequestPath(const RString& name) { return RString(kRequestFolder) + "\\" + name; }

bool IsRefused(const RString& name) {
  const std::string text = name.Chars();
  const std::string ending = kRefusedEnding;
  return text.size() >= ending.size() && text.compare(text.size() - ending.size(), ending.size(), ending) == 0;
}

// Renamed, not copied: a link is never followed, and nothing is read.
void SetAside(const RString& name) {
  const RString path = RequestPath(name);
  platform::RenameFile(path.Chars(), (path + kRefusedEnding).Chars());
}

void Refuse(const RString& name, const char* why, const RString& line) {
  std::printf("Pedido rechazado, %s: %s\n", why, line.Chars());
  SetAside(name);
}

bool HoldsMostFreeEntries(const Queue& queue) {
  const std::vector<QueueElement> entries = queue.GetElements();
  return std::count_if(entries.begin(), entries.end(), [](const QueueElement& e) { return e.paid == 0; }) >=
         kMostFreeEntries;
}

}  // namespace

void QueueRequestFolder::ReadQueueRequests() {
  if (HoldsMostFreeEntries(*gui.queue)) return;
  RDir folder(kRequestFolder);
  RString name;
  for (int handled = 0; handled < kMostRequestsPerPoll && folder.GetFile(name);) {
    if (name.GetChar(0) == '.' || IsRefused(name)) continue;
    if (HoldsMostFreeEntries(*gui.queue)) {
      std::printf("Pedido en espera, la cola ya tiene %d pistas gratis: %s\n", kMostFreeEntries, name.Chars());
      return;
    }
    ++handled;
    if (folder.IsReachable()) {
      TakeQueueRequest(name);
      continue;
    }
    std::printf("Pedido rechazado, nombre ilegible: %s\n", name.Chars());
    folder.RenameCurrent(kRefusedEnding);
  }
}

void QueueRequestFolder::TakeQueueRequest(const RString& name) {
  std::printf("Encontrado codigo: %s\n", name.Chars());
  RTextFile file;
  // What is no regular file would be tried again at every poll, holding
  // up the requests after it.
  if (!file.OpenFromOutside(RequestPath(name))) {
    std::puts("Error al abrir archivo de queue");
    SetAside(name);
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
  if (const char* why = RequestRefusal(request)) return Refuse(name, why, request.line);
  const std::optional<QueueElement> entry = RequestedEntry(*gui.library, request);
  if (!entry) return Refuse(name, "no esta en el catalogo", request.line);
  std::printf("Index: %d %d %d\n", static_cast<int>(entry->genre), static_cast<int>(entry->disc),
              static_cast<int>(entry->track));
  if (!gui.cashbox->CanSave(*entry)) return Refuse(name, "nombre demasiado largo", request.line);
  gui.cashbox->AddFree(*entry);
  gui.panels.DrawQueue(true);
  const RString path = RequestPath(name);
  std::printf("delete command: del %s\n", path.Chars());
  platform::DeleteFile(path.Chars());
}
