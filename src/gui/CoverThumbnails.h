#pragma once
// Covers scaled once to the sizes the screen shows them at and kept on disk
// in the folder "cachecaratulas" of the working directory (made when first
// needed), so that a cover already seen costs a file read instead of a JPEG
// decode and a smoothed scaling. An entry is named after the cover's path and
// the size, and holds the cover's size and time of change on disk: a cover
// changed since is decoded again. An entry that does not read back whole
// (cut short by a power cut, damaged) is made again, never shown. Entries
// no cover of the catalogue at a size in use would read are deleted
// (DeleteUnused). One object serves one thread.
#include <SDL.h>

#include <cstdint>
#include <functional>
#include <string>
#include <unordered_set>
#include <vector>

#include "base/RString.h"

class CoverThumbnails {
 public:
  static constexpr const char* kFolder = "cachecaratulas";

  // The cover file (internal path) fitted into width × height. Null when
  // it cannot be decoded, which log then tells ("Error loading cover
  // <path>" and the reason, one line each) once for the file as it is: it
  // is tried again only once the file has changed.
  SDL_Surface* Get(const RString& cover, int width, int height, std::string& log);

  // The entry of the cover at that size (internal path).
  static std::string EntryPath(const RString& cover, int width, int height);

  // The entries still read: those of these covers at these sizes.
  struct Size {
    int width;
    int height;
    bool operator==(const Size& other) const { return width == other.width && height == other.height; }
  };
  class InUse {
   public:
    void AddCover(const RString& cover);
    void AddSize(Size size) { sizes_.push_back(size); }
    bool Holds(uint64_t cover, Size size) const;

   private:
    std::unordered_set<uint64_t> covers_;
    std::vector<Size> sizes_;
  };
  // Deletes the entries of the folder that inUse does not hold; a name not
  // made here, anything but a regular file and the folder standing as a
  // link are left alone. keepGoing is asked before each entry; false when it
  // stopped the walk.
  static bool DeleteUnused(const InUse& inUse, const std::function<bool()>& keepGoing);

 private:
  std::unordered_set<std::string> undecodable_;
};
