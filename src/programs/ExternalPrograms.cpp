#include "programs/ExternalPrograms.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdio>
#include <optional>
#include <string>

#include "platform/Files.h"
#include "platform/Paths.h"
#include "platform/Processes.h"
#include "platform/RootHelper.h"

namespace {

// Debian's interpreter, which sees Debian's Python packages even when another
// python3 comes first on PATH.
const char* const kPython = "/usr/bin/python3";
const char* const kCheckerScript = "onlinechecker.py";
const char* const kCheckerPidFile = "onlinechecker.pid";

std::string Host(const RString& text) { return platform::ToHostText(text.Chars()); }
std::string HostPath(const RString& path) { return platform::ToHostPath(path.Chars()); }

// The cabinet's scripts come with the program, from share/melodeck/scripts
// beside its bin folder, so that an upgrade reaches every cabinet; a program
// without them (a test's build) runs those of the working directory.
std::string Script(const char* name) {
  const std::string shipped = platform::ProgramFolder() + "/../share/melodeck/scripts/" + name;
  return access(shipped.c_str(), R_OK) == 0 ? shipped : name;
}

// The catalogue tool is looked for in the working directory (as
// "configtool", where older cabinets kept it), beside the jukebox's own
// executable, then on PATH.
std::string CatalogueToolProgram() {
  const char* const inCabinet = "configtool";
  if (access(inCabinet, X_OK) == 0) return std::string("./") + inCabinet;
  const char* const name = "melodeck-configtool";
  const std::string besideUs = platform::ProgramFolder() + "/" + name;
  if (access(besideUs.c_str(), X_OK) == 0) return besideUs;
  return platform::FindProgram(name);
}

// Output of a program whose chatter has no place in the jukebox's log.
platform::OutputOptions Silenced() {
  platform::OutputOptions options;
  options.stdoutFile = "/dev/null";
  options.quiet = true;
  return options;
}

// A job that needs root: through the root helper when it can be reached,
// else the programs as the jukebox's own user.
void RunAsRoot(const platform::Argv& request, const std::vector<platform::Argv>& otherwise,
               const platform::OutputOptions& output = {}) {
  if (const std::optional<platform::Argv> helper = platform::RootHelperCommand(request)) {
    platform::RunAndWait(*helper, output);
    return;
  }
  for (const platform::Argv& argv : otherwise) platform::RunAndWait(argv, output);
}

void RunPython(const platform::Argv& scriptAndArguments) {
  platform::Argv argv{kPython};
  argv.insert(argv.end(), scriptAndArguments.begin(), scriptAndArguments.end());
  platform::RunAndWait(argv);
}

}  // namespace

namespace {

platform::Argv CatalogueToolArgv(const RString& argument) {
  platform::Argv argv{CatalogueToolProgram()};
  if (argument.GetLength() > 0) argv.push_back(Host(argument));
  return argv;
}

}  // namespace

int RunCatalogueTool(const RString& argument) { return platform::RunAndWait(CatalogueToolArgv(argument)); }

bool StartCatalogueTool(platform::ChildProcess& tool, const RString& argument) {
  return tool.Start(CatalogueToolArgv(argument));
}

// The tool's files belong to the cabinet's user, not to root; runuser
// changes the user without a shell in between. A user the machine does not
// know is logged and the tool runs as the jukebox does.
bool StartCatalogueToolDetached(const RString& cabinetUser) {
  const std::string program = CatalogueToolProgram();
  if (program.empty()) return false;
  platform::Argv argv{program};
  if (geteuid() == 0 && cabinetUser.GetLength() > 0) {
    if (getpwnam(Host(cabinetUser).c_str()) != nullptr)
      argv = {"runuser", "-u", Host(cabinetUser), "--", program};
    else
      std::printf("Usuario desconocido para configtool: %s\n", cabinetUser.Chars());
  }
  return platform::StartDetached(argv) > 0;
}

void RestartOnlineChecker() {
  if (const std::optional<platform::ProcessRecord> previous = platform::ReadProcessRecord(kCheckerPidFile))
    platform::EndProcess(previous->pid, kCheckerScript);
  platform::DeleteFile(kCheckerPidFile);
  const std::string script = Script(kCheckerScript);
  if (access(script.c_str(), R_OK) != 0) return;
  const pid_t pid = platform::StartDetached({kPython, script, std::to_string(getpid())});
  if (pid > 0) platform::RecordProcess(kCheckerPidFile, {pid, kCheckerScript});
}

platform::Argv OnlineSearchCommand(const RString& text) { return {kPython, Script("ytsearch.py"), Host(text)}; }

void StartDownload(const RString& name, const RString& address, const RString& folder) {
  platform::StartDetached(
      {kPython, Script("downloator.py"), Host(name), Host(address), "22/18", "RAWMLDK", HostPath(folder)});
}

void RunWifiCodeScript(const RString& code, int credits) {
  RunPython({Script("code.py"), Host(code), std::to_string(credits)});
}

void RunAdminCodeScript() { RunPython({Script("code_configuration.py")}); }

void SetMasterVolume(int percent) {
  platform::RunAndWait({"amixer", "-q", "sset", "Master", std::to_string(percent) + "%"}, Silenced());
}

RString MediaPlayerProgram() { return RString(platform::FindProgram("mplayer").c_str()); }

RString StreamPlayerProgram() { return RString(platform::FindProgram("cvlc").c_str()); }

void PlaySoundAndWait(const RString& file) {
  const std::string player = platform::FindProgram("mplayer");
  if (player.empty()) return;
  platform::RunAndWait({player, "-nofontconfig", HostPath(file)}, Silenced());
}

void StartWpsPairing(const RString& interface, const RString& supplicantConfig) {
  RunAsRoot({"wps", Host(interface)},
            {{"killall", "wpa_supplicant"},
             {"wpa_supplicant", "-B", "-i", Host(interface), "-c", HostPath(supplicantConfig)},
             {"wpa_cli", "wps_pbc"}});
}

void QueryWirelessState() {
  platform::OutputOptions toFile;
  toFile.stdoutFile = "wps_out";
  RunAsRoot({"wifi-status"}, {{"wpa_cli", "status"}}, toFile);
}

void RenewNetworkAddress() { RunAsRoot({"renew-address"}, {{"dhclient"}}); }

void SaveWirelessConfiguration() {
  RunAsRoot({"wifi-save"}, {{"wpa_cli", "set", "update_config", "1"}, {"wpa_cli", "save_config"}});
}

bool StartFileManager(const RString& program) { return platform::StartDetached({Host(program)}) > 0; }
