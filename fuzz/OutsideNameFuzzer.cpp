// A name from outside, as internal text: when the name check accepts it, the
// host path it opens below a folder never resolves outside that folder. The
// folder holds dots, folders and links that stay inside it (an operator's own
// links); a file beside it is what a climbing name would reach.
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "ScratchFile.h"
#include "platform/Paths.h"

namespace {

namespace fs = std::filesystem;

// The folder names are joined below, as a host path of its real location.
const std::string& Folder() {
  static const std::string folder = [] {
    fuzz::WriteInput("outside.mp3", nullptr, 0);
    fs::create_directories("root/Pop/Exitos/...");
    fs::create_directories("root/..Pop");
    fuzz::WriteInput("root/Pop/Exitos/Uno.mp3", nullptr, 0);
    fs::create_directory_symlink(".", "root/Pop/self");
    fs::create_directory_symlink("..", "root/Pop/Exitos/up");
    fs::create_symlink("Pop/Exitos/Uno.mp3", "root/link.mp3");
    return fs::canonical("root").string();
  }();
  return folder;
}

// The real path of the longest start of path that exists: what opening the
// path reaches before the rest fails.
std::string ReachedPath(std::string path) {
  for (;;) {
    char resolved[PATH_MAX];
    if (realpath(path.c_str(), resolved) != nullptr) return resolved;
    path.resize(path.find_last_of('/'));
  }
}

bool IsInside(const std::string& path, const std::string& folder) {
  return path == folder || path.compare(0, folder.size() + 1, folder + "/") == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string& folder = Folder();
  const std::string name(reinterpret_cast<const char*>(data), size);
  const bool accepted = platform::IsAcceptedOutsideName(name);
  if (accepted && platform::LeavesItsFolder(name)) std::abort();
  if (platform::LeavesItsFolder(name)) return 0;
  const std::string host = platform::ToHostPath(folder + "\\" + name);
  if (host.find('\0') != std::string::npos || !IsInside(ReachedPath(host), folder)) std::abort();
  return 0;
}
