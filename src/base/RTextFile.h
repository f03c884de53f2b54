#pragma once
// A file read line by line through a fixed line buffer and written line by
// line. Lines keep their line feed; a line longer than the buffer arrives in
// pieces on successive reads.
#include "base/RFile.h"
#include "base/RString.h"

class RTextFile : public RFile {
 public:
  // The next line or piece of at most kLineBufferSize - 1 characters, line
  // feed included; the empty text when nothing could be read.
  RString GetLine();
  // Writes line exactly as given; no line break is added.
  bool AddLine(const RString& line);
  // Characters of the last line read; 0 after a failed read.
  int GetLastReadLength() const { return lastReadLength_; }

  static constexpr int kLineBufferSize = 1024;

 private:
  char line_[kLineBufferSize] = {};
  int lastReadLength_ = 0;
};
