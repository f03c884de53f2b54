// The catalogue file "db".
#include "ScratchFile.h"
#include "catalogue/MainLibrary.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::WriteInput(MainLibrary::kCatalogueFileName, data, size);
  MainLibrary library;
  library.AddContentPath("media");
  library.LoadContentFromDB();
  for (int g = 0; g < library.GetTotalGenres(); ++g)
    for (int d = 0; d < library.GetTotalDiscs(g); ++d)
      for (int t = 0; t < library.GetTotalTracks(g, d); ++t) library.GetTrackPath(g, d, t);
  return 0;
}
