#pragma once
// The package's root helper (libexec/melodeck/melodeck-root beside the
// program's bin folder), which does the jobs that need root for the kiosk
// user: a fixed set of requests such as {"wps", "wlan0"} or {"poweroff"}.
// Root runs it directly, anyone else through "sudo -n", which the package's
// sudoers rule allows for the group melodeck.
#include <optional>
#include <string>

#include "platform/Processes.h"

namespace platform {

// How the helper is reached: its path ("" when not installed), whether we
// are root, and sudo's path ("" when not installed).
struct RootRoute {
  std::string helper;
  bool root = false;
  std::string sudo;
};

// This process's route.
RootRoute CurrentRootRoute();
// The command that has the helper do the request; none when the route has
// no helper, or needs sudo and has none.
std::optional<Argv> RootHelperCommand(const Argv& request, const RootRoute& route = CurrentRootRoute());

}  // namespace platform
