#include "platform/RootHelper.h"

#include <unistd.h>

#include "platform/Files.h"

namespace platform {

RootRoute CurrentRootRoute() {
  RootRoute route;
  const std::string helper = ProgramFolder() + "/../libexec/melodeck/melodeck-root";
  if (access(helper.c_str(), X_OK) == 0) route.helper = helper;
  route.root = geteuid() == 0;
  route.sudo = FindProgram("sudo");
  return route;
}

std::optional<Argv> RootHelperCommand(const Argv& request, const RootRoute& route) {
  if (route.helper.empty() || (!route.root && route.sudo.empty())) return std::nullopt;
  Argv command = route.root ? Argv{route.helper} : Argv{route.sudo, "-n", route.helper};
  command.insert(command.end(), request.begin(), request.end());
  return command;
}

}  // namespace platform
