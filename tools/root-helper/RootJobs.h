#pragma once
// The jobs the root helper does for the kiosk user, and nothing else: each
// request is checked and turned into the programs it runs, in order. The
// requests come from an unprivileged user, so every argument is checked
// here and the supplicant's configuration file comes from the site
// settings only.
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace root_helper {

using Argv = std::vector<std::string>;

// One program of a job; a step that may fail (ending a supplicant that does
// not run) does not stop the job.
struct Step {
  Argv argv;
  bool mayFail = false;
};

// What the helper knows besides the request: the supplicant's configuration
// file from the site settings, and whether a network interface exists.
struct Context {
  std::string wpaConfig;
  std::function<bool(const std::string&)> interfaceExists;
};

// The steps of a request (the arguments after the program's name); none,
// with the reason in refusal, when the request is not one the helper does.
std::optional<std::vector<Step>> PlanJob(const Argv& request, const Context& context, std::string& refusal);

// A name the kernel could give a network interface: 1 to 15 letters, digits,
// '_', '-' or '.', not beginning with '-' or '.'.
bool IsInterfaceName(const std::string& name);

// The "wpaconfig" of the site settings text ("key=value" lines, '#'
// comments); "" when missing or not an absolute path without "..".
std::string WpaConfigSetting(const std::string& settings);

extern const char* const kUsage;

}  // namespace root_helper
