#pragma once
// What others can leave under a name a reader expects a small file at:
// each kind made at a host path. A reader that opens any of them blocking,
// or reads it without bound, hangs the test or runs out of memory.
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

struct HostileFile {
  const char* kind;
  std::function<void(const std::filesystem::path&)> make;
};

// A file of size bytes that takes no room on disk.
inline void MakeSparseFile(const std::filesystem::path& path, uintmax_t size) {
  std::filesystem::create_directories(path.parent_path().empty() ? "." : path.parent_path());
  { std::ofstream touch(path); }
  std::filesystem::resize_file(path, size);
}

// A link to a regular file elsewhere: refused where the name comes from
// outside.
inline HostileFile LinkTo(const std::filesystem::path& target) {
  return {"link to a file elsewhere", [=](const std::filesystem::path& p) {
            std::filesystem::create_directories(p.parent_path().empty() ? "." : p.parent_path());
            std::filesystem::create_symlink(std::filesystem::absolute(target), p);
          }};
}

// oversize: the size of the oversize file, one more than a reader takes;
// 0 for readers of lines, which take any size a line at a time.
inline std::vector<HostileFile> HostileFiles(uintmax_t oversize) {
  namespace fs = std::filesystem;
  const auto folderOf = [](const fs::path& path) { fs::create_directories(path.parent_path().empty() ? "." : path.parent_path()); };
  std::vector<HostileFile> files = {
      {"FIFO without a writer", [=](const fs::path& p) { folderOf(p); mkfifo(p.c_str(), 0666); }},
      {"folder", [](const fs::path& p) { fs::create_directories(p); }},
      {"link to /dev/zero", [=](const fs::path& p) { folderOf(p); fs::create_symlink("/dev/zero", p); }},
      // A device node of its own where the test may make one.
      {"device", [=](const fs::path& p) {
         folderOf(p);
         if (mknod(p.c_str(), S_IFCHR | 0666, makedev(1, 9)) != 0) fs::create_symlink("/dev/urandom", p);
       }},
  };
  if (oversize > 0) files.push_back({"oversize file", [=](const fs::path& p) { MakeSparseFile(p, oversize); }});
  return files;
}
