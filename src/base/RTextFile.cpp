#include "base/RTextFile.h"

#include <cstring>

RString RTextFile::GetLine() {
  if (eof()) return "";
  if (!fgets(line_, sizeof line_, stream_)) {
    lastReadLength_ = 0;
    return "";
  }
  lastReadLength_ = static_cast<int>(strlen(line_));
  return line_;
}

bool RTextFile::AddLine(const RString& line) {
  if (!stream_) return false;
  const size_t length = line.GetLength();
  return length == 0 || fwrite(line.c_str(), 1, length, stream_) == length;
}
