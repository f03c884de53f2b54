#pragma once
// The jukebox's own options; anything else on the command line is the
// cabinet's working directory (or "actualizar").

enum class CommandLineRequest { RunJukebox, ShowHelp, ShowVersion, RefuseOption };

// What the command line asks for. An argument beginning with "-" is an
// option: "--help" (or "-h"), "--version" (or "-V"), or else refused; the
// refused one is put in refused.
CommandLineRequest ReadCommandLine(int argc, char** argv, const char*& refused);

// Answers the options that are not a jukebox run; the process exit code.
int AnswerCommandLine(CommandLineRequest request, const char* refused);
