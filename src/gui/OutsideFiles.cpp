#include "gui/OutsideFiles.h"

#include <cstdio>
#include <initializer_list>

#include "base/RTextFile.h"
#include "catalogue/MainLibrary.h"
#include "platform/Paths.h"

namespace {

const char* const kConnectedState = "COMPLETED";

// The next line without its line end; false at the end of the file or on
// an empty line.
bool ReadField(RTextFile& file, RString& line) {
  line = file.GetLine();
  while (line.GetLength() > 0 && (line.GetChar(line.GetLength() - 1) == '\n' ||
                                  line.GetChar(line.GetLength() - 1) == '\r'))
    line.RemoveLastChar();
  return line.GetLength() > 0;
}

}  // namespace

QueueRequest SplitQueueRequest(RString line) {
  line.RemoveCR();
  line.RemoveCR();
  const RString rest = line.AfterFirst('\\');
  return QueueRequest{line, line.BeforeFirst('\\'), rest.BeforeFirst('\\'), rest.AfterFirst('\\')};
}

const char* RequestRefusal(const QueueRequest& request) {
  for (const RString* part : {&request.genre, &request.disc, &request.track})
    if (!platform::IsAcceptedOutsideName(part->Chars())) return "nombre no valido";
  if (!MainLibrary::HaveTrackFormat(request.track)) return "no es un archivo multimedia";
  return nullptr;
}

std::optional<QueueElement> RequestedEntry(MainLibrary& library, const QueueRequest& request) {
  if (request.track.GetLength() == 0 || !library.ExistGenre(request.genre)) return std::nullopt;
  const int genre = library.GetGenreIndex(request.genre);
  const int disc = library.GetDiscIndex(genre, request.disc);
  if (disc >= library.GetTotalDiscs(genre) || library.GetDiscTitle(genre, disc) != request.disc)
    return std::nullopt;
  int track = library.GetTrackIndex(genre, disc, request.track);
  if (track == -1) {
    library.GetDisc(genre, disc)->AddTrack(library.NewTrack(request.track.Chars(), request.track.GetLength()));
    track = library.GetTotalTracks(genre, disc) - 1;
  }
  QueueElement entry;
  entry.genre = static_cast<uint32_t>(genre);
  entry.disc = static_cast<uint32_t>(disc);
  entry.track = static_cast<uint32_t>(track);
  return entry;
}

std::optional<std::vector<OnlineResult>> ReadSearchResults(const char* fileName) {
  RTextFile file;
  if (!file.OpenFromOutside(fileName)) return std::nullopt;
  std::vector<OnlineResult> results;
  RString title;
  while (static_cast<int>(results.size()) < kMostOnlineResults && ReadField(file, title)) {
    results.push_back(OnlineResult{title, ""});
    RString fields[4];
    bool complete = true;
    for (RString& field : fields) complete = complete && ReadField(file, field);
    if (!complete) break;
    results.back().url = fields[2];
  }
  return results;
}

bool ReportsWirelessConnection(const char* fileName) {
  RTextFile file;
  if (!file.OpenFromOutside(fileName)) return false;
  for (;;) {
    RString line = file.GetLine();
    line.RemoveCR();  // leaves a lone line feed
    if (line.GetLength() == 0 || line == "\n") return false;
    const RString name = line.BeforeFirst('=');
    if (name.GetLength() == 0) {
      std::puts("Saltando linea sin =");
    } else if (name == "wpa_state") {
      const RString state = line.AfterFirst('=');
      if (state == kConnectedState) return true;
      std::printf("WPS state: %s\n", state.Chars());
    }
  }
}
