#pragma once
// Standard output is the jukebox's log. Control characters inside a message
// are shown escaped, so that no name printed in it can begin a line; in a
// file, a pipe or the journal every line starts with the local date and
// time.
#include <cstdio>

namespace platform {

// An unbuffered stream writing the messages (one printf or fputs each) to
// the file descriptor: line breaks and TABs only where they end or indent a
// line, at the message's ends; every other control character (C0, DEL and
// C1) as "\xHH". When stamped, every line begins with
// "YYYY-MM-DD HH:MM:SS.mmm ". nullptr when it cannot be made.
FILE* OpenLogStream(int fd, bool stamped);

// Makes standard output the log, written at once; timestamped when it is not
// a terminal.
void PrepareLogOutput();

}  // namespace platform
