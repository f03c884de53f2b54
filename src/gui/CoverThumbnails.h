#pragma once
// Covers scaled once to the sizes the screen shows them at and kept on disk
// in the folder "cachecaratulas" of the working directory (made when first
// needed), so that a cover already seen costs a file read instead of a JPEG
// decode and a smoothed scaling. An entry is named after the cover's path and
// the size, and holds the cover's size and time of change on disk: a cover
// changed since is decoded again. An entry that does not read back whole
// (cut short by a power cut, damaged) is made again, never shown.
#include <SDL.h>

#include <string>
#include <unordered_set>

#include "base/RString.h"

class CoverThumbnails {
 public:
  static constexpr const char* kFolder = "cachecaratulas";

  // The cover file (internal path) fitted into width × height. Null when
  // it cannot be decoded, which is reported ("Error loading cover <path>"
  // and the reason) once for the file as it is: it is tried again only once
  // the file has changed.
  SDL_Surface* Get(const RString& cover, int width, int height);

  // The entry of the cover at that size (internal path).
  static std::string EntryPath(const RString& cover, int width, int height);

 private:
  std::unordered_set<std::string> undecodable_;
};
