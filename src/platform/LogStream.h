#pragma once
// Standard output is the jukebox's log. On a terminal it stays as it is; in a
// file, a pipe or the journal every message starts with the local date and
// time.
#include <cstdio>

namespace platform {

// An unbuffered stream writing to the file descriptor that starts every
// message (one printf or fputs, when it begins a line) with
// "YYYY-MM-DD HH:MM:SS.mmm "; nullptr when it cannot be made.
FILE* OpenTimestampedStream(int fd);

// Makes standard output the log: timestamped and written at once when it is
// not a terminal.
void PrepareLogOutput();

}  // namespace platform
