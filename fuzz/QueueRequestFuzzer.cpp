// A queue request file: its first line is taken as the jukebox takes it, and
// a request that passes the name check names a track that stays in its
// album's folder.
#include <cstdlib>
#include <cstring>

#include "ScratchFile.h"
#include "base/RTextFile.h"
#include "catalogue/MainLibrary.h"
#include "playback/QueueRequest.h"

namespace {

void FillCatalogue(MainLibrary& library) {
  library.AddContentPath("media");
  for (const char* genreName : {"Pop", "Rock"}) {
    GenreElement* genre = library.NewGenre(genreName, static_cast<uint32_t>(std::strlen(genreName)));
    library.AddItem(genre);
    for (const char* discTitle : {"Exitos", "Clasicos"}) {
      DiscElement* disc = library.NewDisc(genre, discTitle, static_cast<uint32_t>(std::strlen(discTitle)));
      genre->AddDisc(disc);
      disc->AddTrack(library.NewTrack("Uno.mp3", 7));
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::WriteInput("pedido", data, size);
  RTextFile file;
  if (!file.Open("pedido", "r")) std::abort();
  const RString line = file.GetLine();
  file.Close();
  if (line.GetLength() == 0) return 0;
  const QueueRequest request = SplitQueueRequest(line);
  if (RequestRefusal(request) != nullptr) return 0;
  MainLibrary library;
  FillCatalogue(library);
  const std::optional<QueueElement> entry = RequestedEntry(library, request);
  if (!entry) return 0;
  if (library.GetTrackTitle(entry->genre, entry->disc, entry->track) != request.track ||
      library.TrackLeavesItsFolder(entry->genre, entry->disc, entry->track))
    std::abort();
  library.GetTrackPath(entry->genre, entry->disc, entry->track);
  return 0;
}
