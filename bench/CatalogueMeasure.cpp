// catalogue_measure load|read|walk [FOLDER]
// One whole-process run of a catalogue cost or of its bare baseline, for
// bench/catalogue.sh to time:
//   load  loads the catalogue file "db" of the working directory;
//   read  reads the same file line by line with fgets and nothing else;
//   walk  lists FOLDER and its folders two levels down with readdir, as the
//         folder scan walks a media root, and nothing else.
#include <dirent.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "catalogue/MainLibrary.h"

namespace {

int Load() {
  MainLibrary library;
  library.LoadContentFromDB();
  std::printf("%d discos\n", library.discCount);
  return 0;
}

int Read() {
  FILE* file = std::fopen(MainLibrary::kCatalogueFileName, "r");
  if (!file) return 1;
  char line[1024];
  long lines = 0;
  while (std::fgets(line, sizeof line, file)) ++lines;
  std::fclose(file);
  std::printf("%ld lineas\n", lines);
  return 0;
}

long Walk(const std::string& folder, int depth) {
  DIR* listing = opendir(folder.c_str());
  if (!listing) return 0;
  long entries = 0;
  while (const dirent* entry = readdir(listing)) {
    if (entry->d_name[0] == '.') continue;
    ++entries;
    if (depth > 0) entries += Walk(folder + "/" + entry->d_name, depth - 1);
  }
  closedir(listing);
  return entries;
}

}  // namespace

int main(int argc, char** argv) {
  const char* mode = argc > 1 ? argv[1] : "";
  if (std::strcmp(mode, "load") == 0) return Load();
  if (std::strcmp(mode, "read") == 0) return Read();
  if (std::strcmp(mode, "walk") == 0 && argc > 2) {
    std::printf("%ld entradas\n", Walk(argv[2], 2));
    return 0;
  }
  std::fprintf(stderr, "Uso: catalogue_measure load|read|walk [CARPETA]\n");
  return 2;
}
