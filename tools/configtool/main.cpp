// melodeck-configtool: rebuilds the catalogue file "db" of the working directory from
// the media folders named by the "mediacontent" lines of "configuration".
// Usage: melodeck-configtool [updatedb]; both forms do the same job.
#include <cstdio>
#include <cstring>

#include "base/RDir.h"
#include "catalogue/MainLibrary.h"
#include "config/SettingsFile.h"
#include "configtool/CatalogueWriter.h"

namespace {

const char* const kConfigurationFile = "configuration";

// Adds the media roots in file order; an empty value is skipped, as the
// jukebox's own configuration reader does.
bool ReadMediaRoots(MainLibrary& library) {
  const bool read = SettingsFile::Read(kConfigurationFile, [&library](const RString& key, const RString& value) {
    if (key == "mediacontent" && value.GetLength() > 0) library.AddContentPath(value);
  });
  if (!read) {
    std::fprintf(stderr, "configtool: no se pudo leer el archivo %s\n", kConfigurationFile);
    return false;
  }
  if (library.GetContentPathCount() == 0) {
    std::fprintf(stderr, "configtool: %s no tiene ninguna carpeta multimedia (mediacontent)\n", kConfigurationFile);
    return false;
  }
  return true;
}

// A root that cannot be listed would silently drop all its genres from the
// catalogue; the old "db" is kept instead.
bool AllRootsReadable(const MainLibrary& library) {
  for (RItemList* node = library.contentPaths.GetFirst(); node; node = node->next) {
    const RString& root = *static_cast<RString*>(node->data);
    if (!RDir(root).IsOpened()) {
      std::fprintf(stderr, "configtool: no se puede leer la carpeta multimedia %s\n", root.c_str());
      return false;
    }
  }
  return true;
}

const char* const kUsage = "Uso: melodeck-configtool [updatedb]\n";

// The options; -1 when the command line asks for a catalogue run.
int AnswerOptions(int argc, char** argv) {
  if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
    std::printf(
        "%sEscribe el catalogo \"db\" de la carpeta actual a partir de las carpetas\n"
        "multimedia (mediacontent) de \"configuration\".\n",
        kUsage);
    return 0;
  }
  if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
    std::printf("melodeck-configtool %s\n", MELODECK_VERSION);
    return 0;
  }
  if (argc > 2 || (argc == 2 && std::strcmp(argv[1], "updatedb") != 0)) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  return -1;
}

}  // namespace

int main(int argc, char** argv) {
  const int answered = AnswerOptions(argc, argv);
  if (answered >= 0) return answered;
  MainLibrary library;
  if (!ReadMediaRoots(library) || !AllRootsReadable(library)) return 1;
  library.LoadContentFromStorage();

  CatalogueCounts counts;
  if (!WriteCatalogue(library, MainLibrary::kCatalogueFileName, counts)) {
    std::fprintf(stderr, "configtool: no se pudo escribir %s\n", MainLibrary::kCatalogueFileName);
    return 1;
  }
  std::printf("Escrito %s: %d generos, %d albumes, %d pistas\n", MainLibrary::kCatalogueFileName, counts.genres,
              counts.discs, counts.tracks);
  const int leftOut = counts.skipped + library.namesLeftOut;
  if (leftOut > 0) std::printf("Omitidos por su nombre: %d\n", leftOut);
  return 0;
}
