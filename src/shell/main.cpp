#include "shell/Startup.h"

int main(int argc, char** argv) { return RunJukebox(ArgumentFromCommandLine(argc, argv)); }
