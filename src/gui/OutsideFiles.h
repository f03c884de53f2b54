#pragma once
// Readers of the files outside programs hand to the jukebox: queue request
// lines, the on-line search's results and the wireless state. They touch
// no screen, so any input can be tried on them alone.
#include <optional>
#include <vector>

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

// One record of the on-line search's results; an empty address for a record
// cut short.
struct OnlineResult {
  RString title, url;
};
constexpr int kMostOnlineResults = 20;
// Records of five lines: title, two lines, the address, one more line; at
// most kMostOnlineResults, up to the end of the file or the first empty
// line. None when the file cannot be opened.
std::optional<std::vector<OnlineResult>> ReadSearchResults(const char* fileName);

// Whether the "name=value" lines of the wireless state file, up to its end
// or an empty line, say the connection is complete; other states are logged.
bool ReportsWirelessConnection(const char* fileName);
