#pragma once
// Writes a catalogue in the text form the jukebox loads at start ("db"):
// genre line; per disc TAB title, TAB cover, TAB root index; per track TAB TAB
// file name. Text is Windows-1252; lines end in CR CR LF, as the cabinet's
// original tool wrote them through a text-mode stream.
#include <string>

#include "base/RString.h"
#include "catalogue/MainLibrary.h"

struct CatalogueCounts {
  int genres = 0;
  int discs = 0;
  int tracks = 0;
  // Elements left out because their names hold a TAB or a line break.
  int skipped = 0;
};

// The catalogue's genres, except the all-music one, as the file's text.
// Every karaoke track line is followed by the line the loader skips: the
// companion ".mp3" for "cdg", the same line again for "kar".
std::string FormatCatalogue(const MainLibrary& library, CatalogueCounts& counts);

// Replaces the file atomically; false when it could not be written.
bool WriteCatalogue(const MainLibrary& library, const RString& fileName, CatalogueCounts& counts);
