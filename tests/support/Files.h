#pragma once
// Small file helpers for tests, on host (UTF-8) paths.
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

inline void WriteHostFile(const std::filesystem::path& path, const std::string& contents) {
  std::filesystem::create_directories(path.parent_path().empty() ? "." : path.parent_path());
  std::ofstream(path, std::ios::binary) << contents;
}

inline std::string ReadHostFile(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}
