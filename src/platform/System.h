#pragma once
// Process environment, working directory and the machine itself.
#include <string>
#include <vector>

namespace platform {

std::string GetEnv(const std::string& name);
bool SetEnv(const std::string& name, const std::string& value);
std::string GetWorkingDirectory();
bool SetWorkingDirectory(const std::string& path);
// Separator of the entries of the program search path.
char PathListSeparator();
// Kernel version as major and minor numbers; false when it cannot be read.
bool KernelVersion(int& major, int& minor);
// One monitor of the X screen: its place on the screen and its size.
struct Monitor {
  int x = 0, y = 0, width = 0, height = 0;
  bool primary = false;
};
// The monitor the jukebox's own screen goes to: the one marked primary, else
// the one at the screen's origin, else the first; none when there is none.
// The TV-out area lies beside it, on the other monitor of a TV-out cabinet.
const Monitor* PrimaryMonitor(const std::vector<Monitor>& monitors);
// The monitors of the X screen as the window system's RandR extension
// reports them; none without a window system or the extension.
std::vector<Monitor> Monitors();
// Whether a monitor begins where the primary one ends on its right, level
// with its top: where the TV-out area beside the jukebox's screen lands.
bool HasMonitorRightOf(const std::vector<Monitor>& monitors, const Monitor& primary);
// Size of the primary monitor in pixels; the whole X screen when RandR tells
// of no monitor; 0 by 0 when there is no window system to ask.
void PrimaryScreenSize(int& width, int& height);
// Powers the machine off with the command in MELODECK_POWEROFF (words split
// on blanks), else through the root helper, else (or when the helper failed)
// with "systemctl poweroff"; true when a command was accepted.
bool PowerOff();
// SIGHUP and SIGQUIT end the program as SIGTERM does, whatever SIGTERM does
// by then; SIGPIPE is ignored, so a write to a closed pipe fails instead.
// Called before anything else handles signals.
void EndOnHangUpAndQuitAsOnTerminate();
// A write to a closed pipe or socket fails instead of ending the program.
void IgnoreBrokenPipe();
// For a program that waits for its end: SIGINT, SIGTERM and SIGHUP are
// blocked (before any thread starts, which inherit the mask), then waited
// for.
void BlockTerminationSignals();
void WaitForTerminationSignal();
// Whether a TCP socket's connection has ended or could not be made (the
// peer refused or reset it); false while it connects or is connected.
bool SocketClosed(int fd);
// The machine's network name; empty when it has none.
std::string HostName();
// count decimal digits from the kernel's random source, each digit equally
// likely; nothing seeded from the clock, so nobody can tell the next ones.
std::string RandomDigits(int count);

}  // namespace platform
