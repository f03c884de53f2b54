#include "base/RDir.h"

#include <algorithm>
#include <cstring>

RDir::RDir(const RString& path)
    : path_(path), listing_(path.Chars()) {}

bool RDir::GetFile(RString& name) {
  hasCurrent_ = IsOpened() && listing_.Next(current_);
  if (hasCurrent_) name = RString(current_.data(), static_cast<uint32_t>(current_.size()));
  return hasCurrent_;
}

bool RDir::GetFile(char* name, int maxchars) {
  if (!name || maxchars <= 0) return false;
  hasCurrent_ = IsOpened() && listing_.Next(current_);
  if (!hasCurrent_) return false;
  const size_t length = std::min<size_t>(current_.size(), static_cast<size_t>(maxchars) - 1);
  memcpy(name, current_.data(), length);
  name[length] = '\0';
  return true;
}
