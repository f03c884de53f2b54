#pragma once
// The on-line search's downloads apart from the rest of the GUI: the
// download script's progress files read once per pass.
#include "base/RString.h"

class SDLGui;

class OnlineDownloads {
 public:
  explicit OnlineDownloads(SDLGui& gui) : gui(gui) {}
  OnlineDownloads(const OnlineDownloads&) = delete;
  OnlineDownloads& operator=(const OnlineDownloads&) = delete;

  // Rows of the on-line results show their download's percentage; one
  // completed download per pass is queued from the album "Descargas" of
  // genre 0, charged creditsdownloads in the coin-operated mode.
  void FollowDownloads();

 private:
  // Writes "[<percent>%] <title>" into the on-line results row of the
  // download; its position, or -1 when no row is the download's.
  int ShowDownloadProgress(const RString& name, const RString& percent);
  void CompleteDownload(const RString& name);
  void RefuseDownload(const RString& name);

  SDLGui& gui;
};
