#pragma once
// The download script's progress files in the folder "downloadsprogress":
// each bears the name the jukebox gave the download (see DownloadName) with
// an extension, and holds a percentage on its first line, "100" once the
// download is complete.
#include <optional>

#include "base/RDir.h"
#include "base/RString.h"

class DownloadProgress {
 public:
  struct Report {
    enum Kind { kRefused, kRunning, kComplete } kind;
    RString name;
    RString percent;
  };

  DownloadProgress();
  // The next file's report, in listing order; none at the end. A file named
  // so that its path would lead out of the folder is deleted and reported
  // refused; hidden files, folders and files that cannot be read are passed
  // over.
  std::optional<Report> Next();
  // A completed download's file goes.
  static void Forget(const RString& name);
  // The row "[<percent>%] <title>".
  static RString Row(const RString& title, const RString& percent);

 private:
  RDir folder_;
};
