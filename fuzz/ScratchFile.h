#pragma once
// The readers under fuzzing read named files from the working directory: each
// fuzzing process works in a scratch folder of its own, in memory where the
// machine has /dev/shm (the savers flush every file to disk), removed at exit.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace fuzz {

inline void EnterScratchFolder() {
  static const bool entered = [] {
    const char* base = std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : "/tmp";
    std::string pattern = std::string(base) + "/melodeck-fuzz-XXXXXX";
    if (!mkdtemp(pattern.data()) || chdir(pattern.c_str()) != 0) return false;
    static const std::string folder = pattern;
    std::atexit([] { std::filesystem::remove_all(folder); });
    return true;
  }();
  if (!entered) std::abort();
}

// Writes the fuzzer's input as the file name, in the scratch folder.
inline void WriteInput(const std::string& name, const uint8_t* data, size_t size) {
  EnterScratchFolder();
  std::ofstream(name, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(data),
                                                                 static_cast<std::streamsize>(size));
}

inline std::string ReadBack(const std::string& name) {
  std::ifstream file(name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

}  // namespace fuzz
