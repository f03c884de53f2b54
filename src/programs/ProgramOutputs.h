#pragma once
// Readers of the files outside programs leave for the jukebox: the on-line
// search's results and the wireless state. They touch no screen, so any
// input can be tried on them alone.
#include <optional>
#include <vector>

#include "base/RString.h"

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
