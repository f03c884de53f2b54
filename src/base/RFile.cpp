#include "base/RFile.h"

#include <cstring>
#include <string>

#include "platform/Files.h"

RFile::~RFile() { Close(); }

namespace {

bool IsReadMode(const char* mode) { return std::strcmp(mode, "r") == 0 || std::strcmp(mode, "rb") == 0; }

}  // namespace

bool RFile::Open(const RString& name, const char* mode) {
  Close();
  if (!name.c_str() || !mode) return false;
  stream_ = IsReadMode(mode) ? platform::OpenRegularFile(name.c_str(), platform::Links::kFollow)
                             : platform::OpenFile(name.c_str(), mode);
  return stream_ != nullptr;
}

bool RFile::OpenFromOutside(const RString& name) {
  Close();
  if (!name.c_str()) return false;
  stream_ = platform::OpenRegularFile(name.c_str(), platform::Links::kRefuse);
  return stream_ != nullptr;
}

bool RFile::Create(const RString& name) { return Open(name, "w+"); }

bool RFile::eof() const { return !stream_ || feof(stream_); }

size_t RFile::Read(char* buffer, size_t size) { return stream_ ? fread(buffer, 1, size, stream_) : 0; }

bool RFile::Close() {
  if (!stream_) return false;
  const bool closed = fclose(stream_) == 0;
  stream_ = nullptr;
  return closed;
}
