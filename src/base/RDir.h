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
  // Whether the current entry itself is a folder, or anything else; both
  // false before the first entry and after the last.
  bool IsDirectory() const { return hasCurrent_ && listing_.CurrentIsFolder(); }
  bool IsFile() const { return hasCurrent_ && !listing_.CurrentIsFolder(); }
  // Whether the current entry can be opened by its name; see
  // platform::DirListing.
  bool IsReachable() const { return hasCurrent_ && listing_.CurrentIsReachable(); }
  // Renames the current entry, reachable or not, to its name followed by
  // ending.
  bool RenameCurrent(const RString& ending) { return hasCurrent_ && listing_.RenameCurrent(ending.Chars()); }
  bool DeleteCurrent() { return hasCurrent_ && listing_.DeleteCurrent(); }
  void Close() { listing_.Close(); }
  const RString& GetPath() const { return path_; }

 private:
  RString path_;
  platform::DirListing listing_;
  std::string current_;
  bool hasCurrent_ = false;
};
