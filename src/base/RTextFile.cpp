#include "base/RTextFile.h"

#include <cstdio>
#include <cstring>

void RTextFile::ReportLongLine() {
  std::printf("Linea de mas de %d caracteres, se descarta entera\n", kLongestLine);
}

bool RTextFile::ReadLine() {
  line_.clear();
  int ch;
  while ((ch = getc_unlocked(stream_)) != EOF) {
    line_.push_back(static_cast<char>(ch));
    if (ch == '\n') return true;
    if (line_.size() < static_cast<size_t>(kLongestLine)) continue;
    while ((ch = getc_unlocked(stream_)) != EOF && ch != '\n') {
    }
    ReportLongLine();
    line_.clear();
  }
  return !line_.empty();
}

RString RTextFile::GetLine() {
  if (eof()) return "";
  if (!ReadLine()) {
    lastReadLength_ = 0;
    return "";
  }
  lastReadLength_ = static_cast<int>(strlen(line_.c_str()));
  return RString(line_.c_str());
}

bool RTextFile::AddLine(const RString& line) {
  if (!stream_) return false;
  const size_t length = line.GetLength();
  return length == 0 || fwrite(line.c_str(), 1, length, stream_) == length;
}
