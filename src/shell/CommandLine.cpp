#include "shell/CommandLine.h"

#include <cstdio>
#include <cstring>

namespace {

const int kRefusedExitCode = 2;

const char* const kUsage =
    "Usage: melodeck [DIR | actualizar]\n"
    "       melodeck --help | --version\n";

const char* const kHelp =
    "Runs the jukebox full screen on the cabinet's working directory DIR\n"
    "(the current directory when none is given). \"actualizar\" rebuilds the\n"
    "catalogue from the media folders instead of reading \"db\".\n"
    "\n"
    "Exit codes: 43 after a clean end (the operator's exit key, SIGTERM,\n"
    "SIGHUP or SIGQUIT), 0 when there is nothing to play, 1 when no display\n"
    "could be opened or DIR does not exist.\n"
    "\n"
    "  -h, --help     show this help and exit\n"
    "  -V, --version  show the version and exit\n";

bool IsOneOf(const char* argument, const char* shortName, const char* longName) {
  return std::strcmp(argument, shortName) == 0 || std::strcmp(argument, longName) == 0;
}

}  // namespace

CommandLineRequest ReadCommandLine(int argc, char** argv, const char*& refused) {
  refused = nullptr;
  for (int i = 1; i < argc; ++i) {
    const char* argument = argv[i];
    if (argument[0] != '-') continue;
    if (IsOneOf(argument, "-h", "--help")) return CommandLineRequest::ShowHelp;
    if (IsOneOf(argument, "-V", "--version")) return CommandLineRequest::ShowVersion;
    refused = argument;
    return CommandLineRequest::RefuseOption;
  }
  return CommandLineRequest::RunJukebox;
}

int AnswerCommandLine(CommandLineRequest request, const char* refused) {
  switch (request) {
    case CommandLineRequest::ShowHelp:
      std::printf("%s\n%s", kUsage, kHelp);
      return 0;
    case CommandLineRequest::ShowVersion:
      std::printf("melodeck %s\n", MELODECK_VERSION);
      return 0;
    case CommandLineRequest::RefuseOption:
      std::fprintf(stderr, "melodeck: unknown option %s\n%s", refused, kUsage);
      return kRefusedExitCode;
    case CommandLineRequest::RunJukebox:
      break;
  }
  return 0;
}
