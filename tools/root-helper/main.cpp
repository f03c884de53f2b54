// melodeck-root: the jukebox's jobs that need root, for the kiosk user
// through sudo (see /etc/sudoers.d/melodeck). Only the requests of
// RootJobs.h are done; the programs come from the system's own folders and
// run with a fixed environment, never through a shell.
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "RootJobs.h"

namespace {

const char* const kSystemFolders[] = {"/usr/sbin", "/usr/bin", "/sbin", "/bin"};

// The site settings count only when root alone may change them.
std::string SiteSettings() {
  struct stat info {};
  if (stat(MELODECK_ROOT_SETTINGS, &info) != 0 || info.st_uid != 0 || (info.st_mode & (S_IWGRP | S_IWOTH)) != 0)
    return "";
  std::ifstream file(MELODECK_ROOT_SETTINGS);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

bool InterfaceExists(const std::string& name) {
  struct stat info {};
  return stat(("/sys/class/net/" + name).c_str(), &info) == 0;
}

std::string SystemProgram(const std::string& name) {
  for (const char* folder : kSystemFolders) {
    const std::string path = std::string(folder) + "/" + name;
    if (access(path.c_str(), X_OK) == 0) return path;
  }
  return "";
}

// The step's exit code, 127 when its program is not installed.
int Run(const root_helper::Argv& argv) {
  const std::string program = SystemProgram(argv.front());
  if (program.empty()) {
    std::fprintf(stderr, "melodeck-root: %s is not installed\n", argv.front().c_str());
    return 127;
  }
  std::vector<char*> arguments;
  for (const std::string& argument : argv) arguments.push_back(const_cast<char*>(argument.c_str()));
  arguments.push_back(nullptr);
  char path[] = "PATH=/usr/sbin:/usr/bin:/sbin:/bin";
  char locale[] = "LC_ALL=C";
  char* environment[] = {path, locale, nullptr};
  const pid_t child = fork();
  if (child == 0) {
    execve(program.c_str(), arguments.data(), environment);
    _exit(127);
  }
  int status = 0;
  if (child < 0 || waitpid(child, &status, 0) != child) return 1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
}

}  // namespace

int main(int argc, char** argv) {
  const root_helper::Argv request(argv + 1, argv + argc);
  if (request == root_helper::Argv{"--help"}) {
    std::fputs(root_helper::kUsage, stdout);
    return 0;
  }
  if (request == root_helper::Argv{"--version"}) {
    std::puts("melodeck-root " MELODECK_VERSION);
    return 0;
  }
  const root_helper::Context context{root_helper::WpaConfigSetting(SiteSettings()), InterfaceExists};
  std::string refusal;
  const std::optional<std::vector<root_helper::Step>> job = root_helper::PlanJob(request, context, refusal);
  if (!job) {
    std::fprintf(stderr, "melodeck-root: refused: %s\n%s", refusal.c_str(), root_helper::kUsage);
    return 2;
  }
  for (const root_helper::Step& step : *job) {
    const int code = Run(step.argv);
    if (code != 0 && !step.mayFail) return code;
  }
  return 0;
}
