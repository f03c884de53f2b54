#pragma once
// A directory listing read entry by entry as bare Windows-1252 names, "."
// and ".." included, in the order the host returns them.
#include <string>

#include "base/RString.h"
#include "platform/Files.h"

class RDir {
 public:
  explicit RDir(const RString& path);
  RDir(const RDir&) = delete;
  RDir& operator=(const RDir&) = delete;

  bool IsOpened() const { return listing_.IsOpen(); }
  // Advances to the next entry and gives its name; false at the end.
  bool GetFile(RString& name);
  // The same into an array of maxchars bytes; longer names are cut to fit.
  bool GetFile(char* name, int maxchars);
  // The entry's bare name is looked up in the working directory, not in the
  // listed folder: when no item of that name exists there, both tests are
  // true. Folder scans rely on this to accept every entry.
  bool IsDirectory() const;
  bool IsFile() const;
  void Close() { listing_.Close(); }
  const RString& GetPath() const { return path_; }

 private:
  // Whether the current entry's bare name has attribute, or has no
  // attributes at all; false when there is no current entry.
  bool CurrentHas(uint32_t attribute) const;

  RString path_;
  platform::DirListing listing_;
  std::string current_;
  bool hasCurrent_ = false;
};
