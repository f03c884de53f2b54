#include "platform/System.h"

#include <X11/Xlib.h>
#include <sys/random.h>
#include <X11/extensions/Xrandr.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <signal.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "platform/Paths.h"
#include "platform/Processes.h"
#include "platform/RootHelper.h"

namespace platform {

std::string GetEnv(const std::string& name) {
  const char* value = std::getenv(name.c_str());
  return value ? value : "";
}

bool SetEnv(const std::string& name, const std::string& value) {
  return setenv(name.c_str(), value.c_str(), 1) == 0;
}

std::string GetWorkingDirectory() {
  char* folder = getcwd(nullptr, 0);
  if (!folder) return "";
  const std::string result = FromHostText(folder);
  std::free(folder);
  return result;
}

bool SetWorkingDirectory(const std::string& path) { return chdir(ToHostPath(path).c_str()) == 0; }

char PathListSeparator() { return ':'; }

bool KernelVersion(int& major, int& minor) {
  struct utsname names;
  if (uname(&names) != 0) return false;
  return std::sscanf(names.release, "%d.%d", &major, &minor) == 2;
}

namespace {

// The connection stays open for the whole run: closing the only client of an
// X server without a window manager makes the server reset, and the window
// opened right afterwards would find it refusing connections.
Display* WindowSystem() {
  if (GetEnv("DISPLAY").empty()) return nullptr;
  static Display* const display = XOpenDisplay(nullptr);
  return display;
}

// Passes the signal on as SIGTERM, so whoever handles that (the window
// system's library turns it into a request to quit) ends the program.
void TerminateInstead(int) {
  const int savedErrno = errno;
  kill(getpid(), SIGTERM);
  errno = savedErrno;
}

}  // namespace

std::vector<Monitor> Monitors() {
  std::vector<Monitor> monitors;
  Display* display = WindowSystem();
  int event = 0, error = 0;
  if (!display || !XRRQueryExtension(display, &event, &error)) return monitors;
  int count = 0;
  XRRMonitorInfo* found = XRRGetMonitors(display, DefaultRootWindow(display), True, &count);
  for (int i = 0; i < count; ++i)
    monitors.push_back(Monitor{found[i].x, found[i].y, found[i].width, found[i].height, found[i].primary != 0});
  if (found) XRRFreeMonitors(found);
  return monitors;
}

const Monitor* PrimaryMonitor(const std::vector<Monitor>& monitors) {
  for (const Monitor& monitor : monitors)
    if (monitor.primary) return &monitor;
  for (const Monitor& monitor : monitors)
    if (monitor.x == 0 && monitor.y == 0) return &monitor;
  return monitors.empty() ? nullptr : &monitors.front();
}

bool HasMonitorRightOf(const std::vector<Monitor>& monitors, const Monitor& primary) {
  for (const Monitor& monitor : monitors)
    if (monitor.x == primary.x + primary.width && monitor.y == primary.y) return true;
  return false;
}

void PrimaryScreenSize(int& width, int& height) {
  width = height = 0;
  Display* display = WindowSystem();
  if (!display) return;
  width = DisplayWidth(display, DefaultScreen(display));
  height = DisplayHeight(display, DefaultScreen(display));
  const std::vector<Monitor> monitors = Monitors();
  if (const Monitor* primary = PrimaryMonitor(monitors)) {
    width = primary->width;
    height = primary->height;
  }
}

bool PowerOff() {
  const std::string command = GetEnv("MELODECK_POWEROFF");
  if (!command.empty()) {
    std::istringstream words(command);
    Argv argv;
    for (std::string word; words >> word;) argv.push_back(word);
    return RunAndWait(argv) == 0;
  }
  const std::optional<Argv> helper = RootHelperCommand({"poweroff"});
  return (helper && RunAndWait(*helper) == 0) || RunAndWait({"systemctl", "poweroff"}) == 0;
}

// Bytes of 250 or more are drawn again: 250 is the largest multiple of 10
// that a byte holds, so every digit keeps the same chance.
std::string RandomDigits(int count) {
  std::string digits;
  while (static_cast<int>(digits.size()) < count) {
    unsigned char byte = 0;
    if (getrandom(&byte, 1, 0) != 1 || byte >= 250) continue;
    digits += static_cast<char>('0' + byte % 10);
  }
  return digits;
}

void EndOnHangUpAndQuitAsOnTerminate() {
  struct sigaction relay {};
  relay.sa_handler = TerminateInstead;
  relay.sa_flags = SA_RESTART;
  sigemptyset(&relay.sa_mask);
  for (int signal : {SIGHUP, SIGQUIT}) sigaction(signal, &relay, nullptr);
  IgnoreBrokenPipe();
}

void IgnoreBrokenPipe() {
  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  sigaction(SIGPIPE, &ignore, nullptr);
}

namespace {

sigset_t TerminationSignals() {
  sigset_t signals;
  sigemptyset(&signals);
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&signals, signal);
  return signals;
}

}  // namespace

void BlockTerminationSignals() {
  const sigset_t signals = TerminationSignals();
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);
}

void WaitForTerminationSignal() {
  const sigset_t signals = TerminationSignals();
  int received = 0;
  sigwait(&signals, &received);
}

bool SocketClosed(int fd) {
  tcp_info info{};
  socklen_t size = sizeof info;
  if (getsockopt(fd, IPPROTO_TCP, TCP_INFO, &info, &size) != 0) return true;
  return info.tcpi_state == TCP_CLOSE;
}

std::string HostName() {
  char name[256] = {};
  if (gethostname(name, sizeof name - 1) != 0) return "";
  return name;
}

}  // namespace platform
