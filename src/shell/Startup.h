#pragma once
// Start-up of the jukebox, its main loop and the ways it ends.
#include "base/RString.h"

// The command line's rest after the program name as internal text, like
// every host name: the arguments joined by single blanks ("" when there are
// none).
RString ArgumentFromCommandLine(int argc, char** argv);

bool DirectoryExists(const RString& path);
bool Copy(const RString& from, const RString& to);
// The shutdown marker "shutdowncheck": present while the jukebox runs, gone
// after a clean exit, so its presence at start tells of a cut-off run.
bool ExistsFileLastShutdown();
bool MakeFileLastShutdown();

// Runs the jukebox with the command-line argument; the process exit code.
int RunJukebox(const RString& argument);
