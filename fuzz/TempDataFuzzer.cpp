// "tempdata": whatever is loaded saves to a text that loads and saves back to
// itself.
#include <cstdlib>
#include <cstring>

#include "ScratchFile.h"
#include "catalogue/MainLibrary.h"
#include "state/SavedState.h"

namespace {

// Two genres, the first with the downloads disc, whose tracks are saved by
// name.
void FillCatalogue(MainLibrary& library) {
  for (const char* genreName : {"Pop", "Rock"}) {
    GenreElement* genre = library.NewGenre(genreName, static_cast<uint32_t>(std::strlen(genreName)));
    library.AddItem(genre);
    for (const char* discTitle : {"Descargas", "Exitos"}) {
      DiscElement* disc = library.NewDisc(genre, discTitle, static_cast<uint32_t>(std::strlen(discTitle)));
      genre->AddDisc(disc);
      for (const char* title : {"a/b.mp3", "c.mp3"})
        disc->AddTrack(library.NewTrack(title, static_cast<uint32_t>(std::strlen(title))));
    }
  }
}

// Loads "tempdata" into a fresh state and saves it again; the text saved.
std::string LoadAndSave(MainLibrary& library) {
  SavedState saved(&library);
  StateSnapshot state;
  state.volume = 0;
  if (saved.Load(state, false) != SavedState::Loaded::kRead) std::abort();
  if (state.credits < 0 || !saved.Save(state)) std::abort();
  return fuzz::ReadBack("tempdata");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static MainLibrary* const library = [] {
    auto* made = new MainLibrary();
    FillCatalogue(*made);
    return made;
  }();
  fuzz::WriteInput("tempdata", data, size);
  const std::string saved = LoadAndSave(*library);
  if (LoadAndSave(*library) != saved) std::abort();
  return 0;
}
