#pragma once
// Standard output is the jukebox's log. Control characters inside a message
// are shown escaped, so that no name printed in it can begin a line; in a
// file or a pipe every line starts with the local date and time, and in the
// journal, which keeps its own times, with its priority ("<3>" an error,
// "<4>" a warning, "<6>" news).
#include <cstdio>

namespace platform {

// An unbuffered stream writing the messages (one printf or fputs each) to
// the file descriptor: line breaks and TABs only where they end or indent a
// line, at the message's ends; every other control character (C0, DEL and
// C1) as "\xHH". Every line begins with the prefix: nothing,
// "YYYY-MM-DD HH:MM:SS.mmm ", or the message's priority for the journal.
// nullptr when it cannot be made.
enum class LinePrefix { kNone, kTime, kPriority };
FILE* OpenLogStream(int fd, LinePrefix prefix);

// The journal's priority of a log message: 3 for failures, 4 for what was
// refused or left out, 6 for the rest.
int MessagePriority(const char* message, size_t length);

// Makes standard output the log, written at once: plain on a terminal,
// with priorities when it is the journal (JOURNAL_STREAM names it), with
// the date and time elsewhere.
void PrepareLogOutput();

}  // namespace platform
