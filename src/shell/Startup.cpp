#include "shell/Startup.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "base/RFile.h"
#include "platform/Clock.h"
#include "platform/Files.h"
#include "platform/System.h"
#include "shell/ExternalPrograms.h"
#include "shell/HeadlessLoop.h"

namespace {

const char* const kShutdownMarker = "shutdowncheck";
const char* const kUpdateArgument = "actualizar";
const int kCleanExitCode = 43;

// The cabinet's requirement, stated for the operating system's version and
// applied here to the kernel's.
void ReportSystemVersion() {
  int major = 0, minor = 0;
  platform::KernelVersion(major, minor);
  std::printf("Kernel Linux %d.%d\n", major, minor);
  if (major > 5 || (major == 5 && minor != 0))
    std::puts("The system meets the requirements.");
  else
    std::puts("The system does not meet the requirements.");
}

// Lets the scripts find the interpreter folder shipped in the working
// directory.
void ExtendSearchPath() {
  const std::string path = platform::GetEnv("PATH");
  std::printf("Current environment path: %s\n", path.c_str());
  const std::string extended =
      path + platform::PathListSeparator() + platform::GetWorkingDirectory() + "/python27/";
  platform::SetEnv("PATH", extended);
  std::printf("Nuevo path: %s\n", extended.c_str());
  // The legacy wave-out volume belongs to old Windows; the mixer serves here.
  std::puts("Seven os newer");
}

void EnterWorkingDirectory(const RString& argument) {
  if (argument.GetLength() == 0) return;
  std::printf("Directorio actual: %s\n", argument.c_str());
  if (!platform::SetWorkingDirectory(argument.c_str()))
    std::puts("Error al intentar establecer el directorio de trabajo");
}

template <class Loop>
void RunMainLoop(Loop& loop) {
  while (loop.stillactive()) {
    loop.extrawork();
    loop.draw();
    loop.pool();
    platform::Delay(10);
  }
}

[[noreturn]] void CleanExit() {
  platform::DeleteFile(kShutdownMarker);
  std::printf("\nTerminando programa melodeck: %d\n", kCleanExitCode);
  std::fflush(stdout);
  std::exit(kCleanExitCode);
}

}  // namespace

RString ArgumentFromCommandLine(int argc, char** argv) {
  RString argument("");
  for (int i = 1; i < argc; ++i) {
    if (i > 1) argument += " ";
    argument += argv[i];
  }
  return argument;
}

bool DirectoryExists(const RString& path) { return platform::DirectoryExists(path.c_str() ? path.c_str() : ""); }

bool Copy(const RString& from, const RString& to) {
  return platform::CopyFile(from.c_str() ? from.c_str() : "", to.c_str() ? to.c_str() : "");
}

bool ExistsFileLastShutdown() {
  RFile marker;
  return marker.Open(kShutdownMarker, "r");
}

bool MakeFileLastShutdown() {
  RFile marker;
  if (marker.Create(kShutdownMarker)) return true;
  std::puts("Error al crear archivo de shutdown");
  return false;
}

bool MySystemShutdown() { return platform::PowerOff(); }

int RunJukebox(const RString& argument) {
  std::setvbuf(stdout, nullptr, _IOLBF, 0);
  const bool update = argument == RString(kUpdateArgument);
  (void)update;
  ReportSystemVersion();
  ExtendSearchPath();
  EnterWorkingDirectory(argument);
  std::srand(static_cast<unsigned>(std::time(nullptr)));
  std::puts("Ejecutando script onlinechecker");
  RestartOnlineChecker();

  HeadlessLoop loop;
  if (ExistsFileLastShutdown()) std::puts("El programa no termino correctamente la ultima vez");
  MakeFileLastShutdown();
  RunMainLoop(loop);
  CleanExit();
}
