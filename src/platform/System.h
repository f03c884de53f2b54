#pragma once
// Process environment, working directory and the machine itself.
#include <string>

namespace platform {

std::string GetEnv(const std::string& name);
bool SetEnv(const std::string& name, const std::string& value);
std::string GetWorkingDirectory();
bool SetWorkingDirectory(const std::string& path);
// Separator of the entries of the program search path.
char PathListSeparator();
// Kernel version as major and minor numbers; false when it cannot be read.
bool KernelVersion(int& major, int& minor);
// Size of the primary screen in pixels, as the window system reports it;
// 0 by 0 when there is no window system to ask.
void PrimaryScreenSize(int& width, int& height);
// Powers the machine off with the command in MELODECK_POWEROFF (words split
// on blanks) or "systemctl poweroff"; true when the command was accepted.
bool PowerOff();
// count decimal digits from the kernel's random source, each digit equally
// likely; nothing seeded from the clock, so nobody can tell the next ones.
std::string RandomDigits(int count);

}  // namespace platform
