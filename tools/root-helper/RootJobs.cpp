#include "RootJobs.h"

#include <map>
#include <sstream>

namespace root_helper {

const char* const kUsage =
    "Usage: melodeck-root wps INTERFACE | wifi-status | wifi-save | renew-address | poweroff\n"
    "Does the jukebox's jobs that need root: WPS pairing on INTERFACE with the\n"
    "supplicant configuration named in /etc/melodeck/root-helper, the\n"
    "supplicant's state, saving the network it joined, a new network address,\n"
    "powering off.\n";

namespace {

const size_t kMaxInterfaceName = 15;  // IFNAMSIZ without its terminator

using Planner = std::optional<std::vector<Step>> (*)(const Argv& arguments, const Context& context,
                                                     std::string& refusal);

std::optional<std::vector<Step>> Wps(const Argv& arguments, const Context& context, std::string& refusal) {
  const std::string& interface = arguments.front();
  if (!IsInterfaceName(interface)) {
    refusal = "not an interface name";
    return std::nullopt;
  }
  if (!context.interfaceExists(interface)) {
    refusal = "no network interface " + interface;
    return std::nullopt;
  }
  if (context.wpaConfig.empty()) {
    refusal = "no valid wpaconfig in /etc/melodeck/root-helper";
    return std::nullopt;
  }
  return std::vector<Step>{{{"killall", "-q", "wpa_supplicant"}, true},
                           {{"wpa_supplicant", "-B", "-i", interface, "-c", context.wpaConfig}},
                           {{"wpa_cli", "-i", interface, "wps_pbc"}}};
}

// A request: how many arguments it takes, and either the planner that
// checks them or the steps it always runs.
struct Request {
  size_t arguments;
  Planner plan;
  std::vector<Step> fixed;
};

const std::map<std::string, Request>& Requests() {
  static const std::map<std::string, Request> requests{
      {"wps", {1, Wps, {}}},
      {"wifi-status", {0, nullptr, {{{"wpa_cli", "status"}}}}},
      {"wifi-save", {0, nullptr, {{{"wpa_cli", "set", "update_config", "1"}}, {{"wpa_cli", "save_config"}}}}},
      {"renew-address", {0, nullptr, {{{"dhclient"}}}}},
      {"poweroff", {0, nullptr, {{{"systemctl", "poweroff"}}}}},
  };
  return requests;
}

bool IsInterfaceCharacter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-' ||
         c == '.';
}

}  // namespace

std::optional<std::vector<Step>> PlanJob(const Argv& request, const Context& context, std::string& refusal) {
  if (request.empty()) {
    refusal = "no request";
    return std::nullopt;
  }
  const auto found = Requests().find(request.front());
  if (found == Requests().end()) {
    refusal = "unknown request";
    return std::nullopt;
  }
  const Argv arguments(request.begin() + 1, request.end());
  if (arguments.size() != found->second.arguments) {
    refusal = "wrong number of arguments for " + request.front();
    return std::nullopt;
  }
  const Request& known = found->second;
  return known.plan ? known.plan(arguments, context, refusal) : known.fixed;
}

bool IsInterfaceName(const std::string& name) {
  if (name.empty() || name.size() > kMaxInterfaceName || name.front() == '-' || name.front() == '.') return false;
  for (const char c : name)
    if (!IsInterfaceCharacter(c)) return false;
  return true;
}

std::string WpaConfigSetting(const std::string& settings) {
  std::istringstream lines(settings);
  std::string value;
  for (std::string line; std::getline(lines, line);) {
    const std::string key = "wpaconfig=";
    if (line.compare(0, key.size(), key) == 0) value = line.substr(key.size());
  }
  const bool absolute = !value.empty() && value.front() == '/';
  const bool climbs = (value + "/").find("/../") != std::string::npos;
  return absolute && !climbs ? value : "";
}

}  // namespace root_helper
