// melodeck-fleet: the operator's view of the fleet. It listens to every
// cabinet through the broker into its own file, and reads that file back
// as a table of cabinets or as CSV of takings and plays per day.
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>

#include "base/Numbers.h"
#include "fleet/FleetListener.h"
#include "fleet/FleetStore.h"
#include "fleet/LedgerOutbox.h"
#include "platform/System.h"

namespace {

const int kFailed = 1;
const int kRefused = 2;

const char* const kUsage =
    "Usage: melodeck-fleet listen --db FILE --host HOST [--port N] --user USER\n"
    "                             --password-file FILE --ca FILE [--id ID]\n"
    "       melodeck-fleet cabinets --db FILE\n"
    "       melodeck-fleet csv --db FILE\n"
    "       melodeck-fleet --help | --version\n";

const char* const kHelp =
    "listen    subscribes to every cabinet's status and events at the broker\n"
    "          (TLS with the CA in --ca) and keeps them in the file --db until\n"
    "          SIGINT or SIGTERM; an event already kept is ignored.\n"
    "cabinets  prints every cabinet: online or not, last seen, credits taken\n"
    "          in coins today, service state.\n"
    "csv       prints takings (credits from coins) and plays per cabinet and\n"
    "          day as CSV.\n"
    "\n"
    "Exit codes: 0 when done, 1 when the file or the broker could not be used,\n"
    "2 for a command line it does not take.\n";

using Options = std::map<std::string, std::string>;

// "--name value" pairs after the command; none when one lacks its value or
// is no option.
std::optional<Options> ReadOptions(int argc, char** argv) {
  Options options;
  for (int i = 2; i < argc; i += 2) {
    if (std::strncmp(argv[i], "--", 2) != 0 || i + 1 >= argc) return std::nullopt;
    options[argv[i] + 2] = argv[i + 1];
  }
  return options;
}

int Refuse(const char* why) {
  std::fprintf(stderr, "melodeck-fleet: %s\n%s", why, kUsage);
  return kRefused;
}

std::string FirstLine(const std::string& file) {
  std::ifstream in(file);
  std::string line;
  std::getline(in, line);
  return line;
}

std::string LocalTime(int64_t unixSeconds) {
  if (unixSeconds == 0) return "never";
  const std::time_t moment = static_cast<std::time_t>(unixSeconds);
  std::tm local{};
  localtime_r(&moment, &local);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
  return text;
}

int Listen(Options& options) {
  for (const char* required : {"db", "host", "user", "password-file", "ca"})
    if (!options.count(required)) return Refuse((std::string("missing --") + required).c_str());
  fleet::BrokerSettings broker{options["host"], 8883, options["user"], FirstLine(options["password-file"]),
                               options["ca"]};
  if (options.count("port")) {
    const std::optional<int64_t> port = ParseInteger(options["port"].c_str(), 1, 65535);
    if (!port) return Refuse("--port takes 1 to 65535");
    broker.port = static_cast<int>(*port);
  }
  platform::BlockTerminationSignals();
  fleet::FleetListener listener(broker, options.count("id") ? options["id"] : "melodeck-fleet", options["db"]);
  if (!listener.Start()) return kFailed;
  platform::WaitForTerminationSignal();
  return 0;
}

int PrintCabinets(fleet::FleetStore& store) {
  std::printf("%-24s %-8s %-19s %9s  %s\n", "cabinet", "state", "last seen", "today", "service");
  const int64_t now = static_cast<int64_t>(std::time(nullptr));
  for (const fleet::CabinetRow& row : store.Cabinets(fleet::StartOfLocalDay(now)))
    std::printf("%-24s %-8s %-19s %9lld  %s\n", row.cabinet.c_str(), row.online ? "online" : "offline",
                LocalTime(row.lastSeen).c_str(), static_cast<long long>(row.takingsToday), row.service.c_str());
  return 0;
}

int Read(const std::string& command, Options& options) {
  if (!options.count("db")) return Refuse("missing --db");
  if (!std::filesystem::exists(options["db"])) {
    std::fprintf(stderr, "melodeck-fleet: %s does not exist\n", options["db"].c_str());
    return kFailed;
  }
  fleet::FleetStore store(options["db"]);
  if (!store.Ok()) return kFailed;
  if (command == "cabinets") return PrintCabinets(store);
  std::fputs(store.DailyCsv().c_str(), stdout);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Refuse("no command");
  const std::string command = argv[1];
  if (command == "--help" || command == "-h") {
    std::printf("%s\n%s", kUsage, kHelp);
    return 0;
  }
  if (command == "--version" || command == "-V") {
    std::printf("melodeck-fleet %s\n", MELODECK_VERSION);
    return 0;
  }
  std::optional<Options> options = ReadOptions(argc, argv);
  if (!options) return Refuse("options go as --name value");
  if (command == "listen") return Listen(*options);
  if (command == "cabinets" || command == "csv") return Read(command, *options);
  return Refuse(("unknown command " + command).c_str());
}
