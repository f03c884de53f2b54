#pragma once
// The whole jukebox on a private X server: the server itself, the demo
// cabinet, the running program with its log, key presses and screenshots.
// Host paths here are plain (UTF-8) paths, not the program's internal ones.
#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Processes.h"

namespace e2e {

namespace fs = std::filesystem;
using Millis = std::chrono::milliseconds;

// The first of the host programs these tests drive that is not installed;
// empty when all are.
std::string MissingHostProgram();

// Runs a program with standard output and error going to log; its exit
// code, or -1.
int RunLogged(const platform::Argv& argv, const fs::path& log);

// Runs a program in the background with standard output and error going to
// log; false when it could not be started.
bool StartLogged(platform::ChildProcess& child, const platform::Argv& argv, const fs::path& log);

// Ids of the running processes (zombies included) whose /proc folder passes
// the test.
std::vector<pid_t> ProcessesWhere(const std::function<bool(const fs::path& proc)>& test);

// Sets an environment variable (or removes it, for a null value) for the
// life of the object.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value);
  ~ScopedEnv();
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  void Set(const char* value);
  const char* name_;
  std::unique_ptr<std::string> old_;
};

// What a jukebox under test needs around it, for the life of the object:
// the display, a home folder of its own whose media player uses the null
// audio output (the test machine has no sound card, and songs would end the
// moment they start), SDL's dummy audio, and a power-off that does nothing.
class JukeboxEnvironment {
 public:
  JukeboxEnvironment(const std::string& display, const fs::path& home);

 private:
  std::vector<std::unique_ptr<ScopedEnv>> env_;
};

// A display number no X server uses, for a server started by a program
// under test.
int FreeDisplayNumber();

// A private X server of its own display number (Xvfb picks a free one and
// reports it), which never resets between clients.
class VirtualDisplay {
 public:
  VirtualDisplay() = default;
  VirtualDisplay(const VirtualDisplay&) = delete;
  VirtualDisplay& operator=(const VirtualDisplay&) = delete;

  // False when the server did not report its display within a few seconds.
  bool Start(const std::string& geometry, const fs::path& log);
  // ":N", for DISPLAY.
  const std::string& Name() const { return name_; }

 private:
  platform::ChildProcess server_;
  std::string name_;
};

// The demo cabinet, made once per run of the test program by the demo's
// generator with the short set of its media; each test works on its own
// copy.
class DemoCabinet {
 public:
  // Copies the cabinet into target (an existing, empty folder). Makes it on
  // first use in the build folder, where later test programs find it; false
  // with reason when it cannot be made (skipped is set when the
  // generator's tools are missing from the host).
  static bool CopyTo(const fs::path& target, std::string& reason, bool& skipped);
  // The cabinet's media last 2.5 to 3 s each. The long version of the item
  // (or of every item of the album) at item, a path under "media", replaces
  // it in the copy at cabinet: songs of 6 to 9 s, videos of 5 s, as the demo
  // has them. False when it cannot.
  static bool UseLongVersion(const fs::path& cabinet, const fs::path& item);
};

struct Pixel {
  uint8_t r = 0, g = 0, b = 0;
};

struct Area {
  int x = 0, y = 0, w = 0, h = 0;
};

// A picture of the whole X screen, kept as a PNG file.
class Screenshot {
 public:
  // Takes the picture of display's root window into png; none on failure.
  static std::optional<Screenshot> Take(const std::string& display, const fs::path& png);

  int Width() const { return width_; }
  int Height() const { return height_; }
  Pixel At(int x, int y) const { return pixels_[static_cast<size_t>(y) * width_ + x]; }
  // The share (0..1) of the area's pixels whose colour differs from the
  // same pixel of other by more than a small tolerance on some channel.
  double ShareDifferingFrom(const Screenshot& other, const Area& area) const;
  const fs::path& File() const { return file_; }

 private:
  int width_ = 0, height_ = 0;
  std::vector<Pixel> pixels_;
  fs::path file_;
};

// The jukebox program running on a cabinet folder, its output in a log file.
class Jukebox {
 public:
  Jukebox(fs::path program, fs::path cabinet, fs::path log);
  Jukebox(const Jukebox&) = delete;
  Jukebox& operator=(const Jukebox&) = delete;

  // Starts the program and waits until its window shows; false when it did
  // not within the time limit.
  bool Start(Millis limit);
  // Asks the program to end (SIGTERM) and waits for it; its exit code, or
  // -1 when it had to be killed.
  int Stop(Millis limit);

  std::string Log() const;
  // The offset in the log just after the first occurrence of text found at
  // or after offset from; none when it did not appear within limit.
  std::optional<size_t> WaitForLog(const std::string& text, size_t from, Millis limit) const;
  // The saved state file "tempdata" of the cabinet.
  std::string SavedState() const;
  // Waits until "tempdata" holds (or, with present false, no longer holds)
  // the line; false on time-out.
  bool WaitForSavedLine(const std::string& line, bool present, Millis limit) const;

  // Keys by their X names ("c", "Right", "Return", "F8"), sent to the
  // jukebox's window after giving it the focus.
  bool Key(const std::string& name);
  // The key held down for hold before it goes up.
  bool Press(const std::string& name, Millis hold);
  // Keys one after another with hardly a pause between them, faster than a
  // customer's fingers ever are.
  bool KeysAtOnce(const std::vector<std::string>& names);
  // Ends the program at once, as a crash or a power cut does.
  void Kill();

  // Process ids of the media players playing for this cabinet.
  std::vector<pid_t> MediaPlayers() const;
  // Waits until that many media players play (the log tells of an item
  // just before its player starts); false on time-out.
  bool WaitForMediaPlayers(size_t count, Millis limit) const;

  const fs::path& Cabinet() const { return cabinet_; }

 private:
  bool Xdotool(const platform::Argv& arguments);
  std::string FindWindow();

  fs::path program_;
  fs::path cabinet_;
  fs::path log_;
  platform::ChildProcess process_;
  std::string window_;
};

}  // namespace e2e
