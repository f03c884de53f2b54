#pragma once
// Request files that outside programs drop into the folder "queue": one
// "genre\album\track" line each. Read with no screen, so any input can be
// tried on them alone.
#include <optional>

#include "base/RString.h"
#include "playback/Queue.h"

class MainLibrary;

// A queue request line "genre\album\track" without its line end, split at
// its first two "\"; the track takes the rest, "\" included.
struct QueueRequest {
  RString line, genre, disc, track;
};
// line: as read, its line end still there.
QueueRequest SplitQueueRequest(RString line);

// Why a request cannot be taken, whatever the catalogue holds: one of its
// parts is not an accepted outside name (platform::IsAcceptedOutsideName),
// or its track is no media file of a kind the catalogue plays. Null when it
// can be taken.
const char* RequestRefusal(const QueueRequest& request);

// The catalogue position of a request. An album that lacks the track title
// gets a new track of that title. None when the genre or the album is not in
// the catalogue, or the line names no track.
std::optional<QueueElement> RequestedEntry(MainLibrary& library, const QueueRequest& request);
