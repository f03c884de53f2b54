#pragma once
// The folder "queue" apart from the rest of the GUI: outside tools drop
// request files there, each naming one track to queue free of charge.
#include "base/RString.h"

class SDLGui;

class QueueRequestFolder {
 public:
  explicit QueueRequestFolder(SDLGui& gui) : gui(gui) {}
  QueueRequestFolder(const QueueRequestFolder&) = delete;
  QueueRequestFolder& operator=(const QueueRequestFolder&) = delete;

  // Request files of the folder "queue", one "genre\album\track" line each:
  // the track is queued and the file deleted.
  void ReadQueueRequests();

 private:
  void TakeQueueRequest(const RString& name);

  SDLGui& gui;
};
