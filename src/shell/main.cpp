#include "shell/CommandLine.h"
#include "shell/Startup.h"

int main(int argc, char** argv) {
  const char* refused = nullptr;
  const CommandLineRequest request = ReadCommandLine(argc, argv, refused);
  if (request != CommandLineRequest::RunJukebox) return AnswerCommandLine(request, refused);
  return RunJukebox(ArgumentFromCommandLine(argc, argv));
}
