#include "playback/QueueRequest.h"

#include <initializer_list>

#include "catalogue/MainLibrary.h"
#include "platform/Paths.h"

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
