#include "base/RDir.h"

#include <algorithm>
#include <cstring>

RDir::RDir(const RString& path)
    : path_(path), listing_(path.Chars()) {}

bool RDir::GetFile(RString& name) {
  hasCurrent_ = IsOpened() && listing_.Next(current_);
  if (hasCurrent_) name = current_.c_str();
  return hasCurrent_;
}

bool RDir::GetFile(char* name, int maxchars) {
  RString entry;
  if (!name || maxchars <= 0 || !GetFile(entry)) return false;
  const size_t length =
      std::min<size_t>(entry.GetLength(), static_cast<size_t>(maxchars) - 1);
  memcpy(name, entry.c_str(), length);
  name[length] = '\0';
  return true;
}

bool RDir::CurrentHas(uint32_t attribute) const {
  if (!hasCurrent_) return false;
  const uint32_t attributes = platform::GetFileAttributes(current_);
  return attributes == platform::kInvalidAttributes ||
         (attributes & attribute) != 0;
}

bool RDir::IsDirectory() const {
  return CurrentHas(platform::kAttributeDirectory);
}

bool RDir::IsFile() const { return CurrentHas(platform::kAttributeNormal); }
