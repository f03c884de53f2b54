#include "Harness.h"

#include <SDL.h>
#include <SDL_image.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <thread>

#include "support/Files.h"
#include "support/Wait.h"

namespace e2e {
namespace {

using Clock = std::chrono::steady_clock;

// Runs "$@" with its standard output and error in the file "$1". The script
// is fixed: the log and the program's words come as separate arguments.
const char* const kRedirect = "log=$1; shift; exec \"$@\" >\"$log\" 2>&1";
// Channel difference up to which two pixels count as the same colour (the
// picture's scaling and compression blur edges a little).
const int kColourTolerance = 24;
const Millis kPollInterval(20);

platform::Argv Redirected(const platform::Argv& argv, const fs::path& log) {
  platform::Argv wrapped{"/bin/sh", "-c", kRedirect, "sh", log.string()};
  wrapped.insert(wrapped.end(), argv.begin(), argv.end());
  return wrapped;
}

// Whether the process has ended (it waits as a zombie to be reaped) or is
// gone altogether.
bool HasEnded(pid_t pid) {
  const std::string stat = ReadHostFile("/proc/" + std::to_string(pid) + "/stat");
  const size_t nameEnd = stat.rfind(')');
  return nameEnd == std::string::npos || stat.size() < nameEnd + 3 || stat[nameEnd + 2] == 'Z';
}

// Reads what the server writes on the display pipe up to the line's end;
// empty when nothing came within limit.
std::string ReadDisplayNumber(int fd, Millis limit) {
  std::string number;
  const Clock::time_point deadline = Clock::now() + limit;
  while (Clock::now() < deadline) {
    pollfd ready{fd, POLLIN, 0};
    if (poll(&ready, 1, static_cast<int>(kPollInterval.count())) <= 0) continue;
    char c = 0;
    if (read(fd, &c, 1) != 1 || c == '\n') break;
    number += c;
  }
  return number;
}

// Whether the line stands whole in the text of a "key=value" file.
bool HasLine(std::string text, const std::string& line) {
  text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
  return ("\n" + text + "\n").find("\n" + line + "\n") != std::string::npos;
}

std::vector<Pixel> PixelsOf(SDL_Surface* image) {
  std::vector<Pixel> pixels;
  pixels.reserve(static_cast<size_t>(image->w) * image->h);
  SDL_LockSurface(image);
  const int bytes = image->format->BytesPerPixel;
  for (int y = 0; y < image->h; ++y) {
    const auto* row = static_cast<const uint8_t*>(image->pixels) + y * image->pitch;
    for (int x = 0; x < image->w; ++x) {
      Uint32 value = 0;
      std::copy(row + x * bytes, row + x * bytes + bytes, reinterpret_cast<uint8_t*>(&value));
      Pixel pixel;
      SDL_GetRGB(value, image->format, &pixel.r, &pixel.g, &pixel.b);
      pixels.push_back(pixel);
    }
  }
  SDL_UnlockSurface(image);
  return pixels;
}

bool SameColour(const Pixel& a, const Pixel& b) {
  return std::abs(a.r - b.r) <= kColourTolerance && std::abs(a.g - b.g) <= kColourTolerance &&
         std::abs(a.b - b.b) <= kColourTolerance;
}

// Where the made cabinet's long media wait, beside it.
const char* const kLongMedia = "long-media";

// The demo cabinet made for this run, or why there is none.
struct MadeCabinet {
  bool tried = false;
  fs::path folder;  // holds "cabinet", kLongMedia, the generators' logs and "made"
  std::string failure;
  bool toolsMissing = false;
};

// What the made cabinet was made with: when one of these changes, it is
// made again.
std::string CabinetKey() {
  std::string key;
  for (const char* maker : {MELODECK_CONFIGTOOL, MELODECK_MAKE_CABINET, MELODECK_MAKE_ASSETS}) {
    std::error_code error;
    const auto changed = fs::last_write_time(maker, error).time_since_epoch().count();
    key += std::string(maker) + " " + std::to_string(changed) + "\n";
  }
  return key;
}

// Holds an exclusive lock on a file for the life of the object.
class FileLock {
 public:
  explicit FileLock(const fs::path& file) : fd_(open(file.c_str(), O_CREAT | O_RDWR | O_CLOEXEC, 0644)) {
    if (fd_ >= 0) flock(fd_, LOCK_EX);
  }
  ~FileLock() {
    if (fd_ >= 0) close(fd_);
  }
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;

 private:
  int fd_;
};

MadeCabinet& TheCabinet() {
  static MadeCabinet cabinet;
  return cabinet;
}

// Most cases do not depend on how long an item plays: the cabinet gets the
// short set of the same media under the same names, so its catalogue still
// holds, and the long set waits beside it for the cases that do.
bool SwapInShortMedia(const fs::path& folder) {
  const fs::path shortSet = folder / "short";
  if (RunLogged({"/usr/bin/python3", MELODECK_MAKE_ASSETS, "short-media", shortSet.string()},
                folder / "short-media.log") != 0)
    return false;
  std::error_code error;
  fs::rename(folder / "cabinet" / "media", folder / kLongMedia, error);
  if (!error) fs::rename(shortSet / "media", folder / "cabinet" / "media", error);
  if (!error) fs::remove(shortSet, error);
  return !error;
}

// The cabinet is made once per build and shared by the test programs, which
// may run at once: the first to come makes it under the lock while the
// others wait for it.
void MakeCabinet(MadeCabinet& made) {
  made.tried = true;
  made.folder = MELODECK_DEMO_CACHE;
  fs::create_directories(made.folder.parent_path());
  const FileLock lock(made.folder.string() + ".lock");
  const std::string key = CabinetKey();
  if (ReadHostFile(made.folder / "made") == key) return;
  std::error_code ignored;
  fs::remove_all(made.folder, ignored);
  fs::create_directories(made.folder);
  const fs::path log = made.folder / "make-cabinet.log";
  const int result = RunLogged({"env", std::string("CONFIGTOOL=") + MELODECK_CONFIGTOOL, MELODECK_MAKE_CABINET,
                                (made.folder / "cabinet").string()},
                               log);
  const std::string output = ReadHostFile(log);
  if (result != 0) {
    made.failure = "make-cabinet failed:\n" + output;
    made.toolsMissing = output.find(" is missing") != std::string::npos;
  } else if (!fs::exists(made.folder / "cabinet" / "db")) {
    made.failure = "make-cabinet wrote no catalogue:\n" + output;
  } else if (!SwapInShortMedia(made.folder)) {
    made.failure = "make_assets.py short-media failed:\n" + ReadHostFile(made.folder / "short-media.log");
  } else {
    WriteHostFile(made.folder / "made", key);
  }
}

}  // namespace

std::string MissingHostProgram() {
  for (const char* program : {"Xvfb", "xdotool", "import", "mplayer"})
    if (platform::FindProgram(program).empty()) return program;
  return "";
}

int RunLogged(const platform::Argv& argv, const fs::path& log) {
  return platform::RunAndWait(Redirected(argv, log));
}

bool StartLogged(platform::ChildProcess& child, const platform::Argv& argv, const fs::path& log) {
  return child.Start(Redirected(argv, log));
}

std::vector<pid_t> ProcessesWhere(const std::function<bool(const fs::path& proc)>& test) {
  std::vector<pid_t> found;
  std::error_code error;
  for (const fs::directory_entry& entry : fs::directory_iterator("/proc", error)) {
    const std::string name = entry.path().filename().string();
    if (name.find_first_not_of("0123456789") != std::string::npos) continue;
    if (test(entry.path())) found.push_back(static_cast<pid_t>(std::stol(name)));
  }
  return found;
}

// Numbers from 200 up keep clear of the servers Xvfb numbers for itself.
int FreeDisplayNumber() {
  int number = 200;
  while (fs::exists("/tmp/.X" + std::to_string(number) + "-lock") ||
         fs::exists("/tmp/.X11-unix/X" + std::to_string(number)))
    ++number;
  return number;
}

ScopedEnv::ScopedEnv(const char* name, const char* value) : name_(name) {
  const char* old = std::getenv(name);
  if (old != nullptr) old_ = std::make_unique<std::string>(old);
  Set(value);
}

ScopedEnv::~ScopedEnv() { Set(old_ ? old_->c_str() : nullptr); }

void ScopedEnv::Set(const char* value) {
  if (value != nullptr)
    setenv(name_, value, 1);
  else
    unsetenv(name_);
}

JukeboxEnvironment::JukeboxEnvironment(const std::string& display, const fs::path& home) {
  WriteHostFile(home / ".mplayer" / "config", "ao=null\n");
  env_.push_back(std::make_unique<ScopedEnv>("DISPLAY", display.c_str()));
  env_.push_back(std::make_unique<ScopedEnv>("HOME", home.c_str()));
  env_.push_back(std::make_unique<ScopedEnv>("SDL_VIDEODRIVER", nullptr));
  env_.push_back(std::make_unique<ScopedEnv>("SDL_AUDIODRIVER", "dummy"));
  // Whatever a test presses, the host stays on.
  env_.push_back(std::make_unique<ScopedEnv>("MELODECK_POWEROFF", "true"));
}

// Without -noreset the server resets whenever its last client leaves and
// turns connections away meanwhile; the jukebox's start-up asks for the
// screen size on a connection of its own just before SDL connects.
bool VirtualDisplay::Start(const std::string& geometry, const fs::path& log) {
  int pipeEnds[2];
  if (pipe2(pipeEnds, O_CLOEXEC) != 0) return false;
  fcntl(pipeEnds[1], F_SETFD, 0);  // the server inherits the writing end
  const bool started = server_.Start(Redirected({"Xvfb", "-displayfd", std::to_string(pipeEnds[1]), "-screen",
                                                 "0", geometry, "-nolisten", "tcp", "-noreset"},
                                                log));
  close(pipeEnds[1]);
  const std::string number = started ? ReadDisplayNumber(pipeEnds[0], Millis(10000)) : "";
  close(pipeEnds[0]);
  if (number.empty()) return false;
  name_ = ":" + number;
  return true;
}

bool DemoCabinet::CopyTo(const fs::path& target, std::string& reason, bool& skipped) {
  MadeCabinet& made = TheCabinet();
  if (!made.tried) MakeCabinet(made);
  reason = made.failure;
  skipped = made.toolsMissing;
  if (!made.failure.empty()) return false;
  fs::copy(made.folder / "cabinet", target, fs::copy_options::recursive | fs::copy_options::copy_symlinks);
  return true;
}

bool DemoCabinet::UseLongVersion(const fs::path& cabinet, const fs::path& item) {
  std::error_code error;
  fs::copy(TheCabinet().folder / kLongMedia / item, cabinet / "media" / item,
           fs::copy_options::recursive | fs::copy_options::overwrite_existing, error);
  return !error;
}

std::optional<Screenshot> Screenshot::Take(const std::string& display, const fs::path& png) {
  if (platform::RunAndWait({"import", "-display", display, "-window", "root", png.string()}) != 0)
    return std::nullopt;
  SDL_Surface* image = IMG_Load(png.c_str());
  if (image == nullptr) return std::nullopt;
  Screenshot shot;
  shot.width_ = image->w;
  shot.height_ = image->h;
  shot.pixels_ = PixelsOf(image);
  shot.file_ = png;
  SDL_FreeSurface(image);
  return shot;
}

double Screenshot::ShareDifferingFrom(const Screenshot& other, const Area& area) const {
  const int right = std::min({area.x + area.w, width_, other.width_});
  const int bottom = std::min({area.y + area.h, height_, other.height_});
  long total = 0, differing = 0;
  for (int y = std::max(area.y, 0); y < bottom; ++y)
    for (int x = std::max(area.x, 0); x < right; ++x) {
      ++total;
      if (!SameColour(At(x, y), other.At(x, y))) ++differing;
    }
  return total == 0 ? 0.0 : static_cast<double>(differing) / total;
}

Jukebox::Jukebox(fs::path program, fs::path cabinet, fs::path log)
    : program_(std::move(program)), cabinet_(std::move(cabinet)), log_(std::move(log)) {}

bool Jukebox::Start(Millis limit) {
  if (!process_.Start(Redirected({program_.string(), cabinet_.string()}, log_))) return false;
  const bool shown = WaitUntil(
      [&] {
        window_ = FindWindow();
        return !window_.empty() || HasEnded(process_.Pid());
      },
      limit);
  return shown && !window_.empty();
}

int Jukebox::Stop(Millis limit) {
  if (!process_.IsRunning()) return -1;
  kill(process_.Pid(), SIGTERM);
  if (WaitUntil([&] { return HasEnded(process_.Pid()); }, limit)) return process_.Wait();
  process_.Terminate();
  return -1;
}

std::string Jukebox::Log() const { return ReadHostFile(log_); }

std::optional<size_t> Jukebox::WaitForLog(const std::string& text, size_t from, Millis limit) const {
  std::optional<size_t> end;
  WaitUntil(
      [&] {
        const std::string log = Log();
        const size_t found = from <= log.size() ? log.find(text, from) : std::string::npos;
        if (found != std::string::npos) end = found + text.size();
        return end.has_value();
      },
      limit);
  return end;
}

std::string Jukebox::SavedState() const { return ReadHostFile(cabinet_ / "tempdata"); }

bool Jukebox::WaitForSavedLine(const std::string& line, bool present, Millis limit) const {
  return WaitUntil([&] { return HasLine(SavedState(), line) == present; }, limit);
}

bool Jukebox::Key(const std::string& name) {
  return Xdotool({"windowfocus", "--sync", window_}) && Xdotool({"key", name});
}

bool Jukebox::Press(const std::string& name, Millis hold) {
  if (!Xdotool({"windowfocus", "--sync", window_}) || !Xdotool({"keydown", name})) return false;
  std::this_thread::sleep_for(hold);
  return Xdotool({"keyup", name});
}

bool Jukebox::KeysAtOnce(const std::vector<std::string>& names) {
  // Ten milliseconds apart: the same key twice within two is taken for the
  // window system's key repeat and merged.
  platform::Argv arguments{"key", "--delay", "10"};
  arguments.insert(arguments.end(), names.begin(), names.end());
  return Xdotool({"windowfocus", "--sync", window_}) && Xdotool(arguments);
}

void Jukebox::Kill() {
  if (!process_.IsRunning()) return;
  kill(process_.Pid(), SIGKILL);
  process_.Wait();
}

std::vector<pid_t> Jukebox::MediaPlayers() const {
  std::error_code error;
  const fs::path cabinet = fs::canonical(cabinet_, error);
  return ProcessesWhere([&](const fs::path& proc) {
    std::error_code gone;
    return ReadHostFile(proc / "comm") == "mplayer\n" && fs::read_symlink(proc / "cwd", gone) == cabinet;
  });
}

bool Jukebox::WaitForMediaPlayers(size_t count, Millis limit) const {
  return WaitUntil([&] { return MediaPlayers().size() == count; }, limit);
}

bool Jukebox::Xdotool(const platform::Argv& arguments) {
  platform::Argv argv{"xdotool"};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  return platform::RunAndWait(argv) == 0;
}

// The jukebox's window once it shows; empty before.
std::string Jukebox::FindWindow() {
  const fs::path found = log_.parent_path() / "window.txt";
  platform::OutputOptions output;
  output.stdoutFile = found.string();
  output.quiet = true;
  platform::RunAndWait({"xdotool", "search", "--onlyvisible", "--name", "^Melodeck$"}, output);
  const std::string text = ReadHostFile(found);
  return text.substr(0, text.find('\n'));
}

}  // namespace e2e
