// catalogue_generate db FILE [ALBUMS [TRACKS]]
// catalogue_generate tree FOLDER [ALBUMS [TRACKS]]
// Writes a synthetic catalogue file or media tree for trying the jukebox and
// its catalogue tool on large collections.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "bench/CatalogueGenerator.h"
#include "platform/Paths.h"

int main(int argc, char** argv) {
  if (argc < 3 || argc > 5 || (std::strcmp(argv[1], "db") != 0 && std::strcmp(argv[1], "tree") != 0)) {
    std::fprintf(stderr, "Uso: catalogue_generate db|tree DESTINO [ALBUMES [PISTAS]]\n");
    return 2;
  }
  GeneratedShape shape;
  if (argc > 3) shape.albums = std::atoi(argv[3]);
  if (argc > 4) shape.tracksPerAlbum = std::atoi(argv[4]);
  const RString target = platform::FromHostText(argv[2]).c_str();
  const bool catalogue = std::strcmp(argv[1], "db") == 0;
  const bool done = catalogue ? GenerateCatalogueFile(target, shape) : GenerateMediaTree(target, shape);
  if (!done) {
    std::fprintf(stderr, "No se pudo generar %s\n", argv[2]);
    return 1;
  }
  return 0;
}
