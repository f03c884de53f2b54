#pragma once
// A file read line by line and written line by line. Lines keep their line
// feed. A line is read whole or not at all: one longer than kLongestLine is
// passed over whole with a log line, so that no piece of it is ever taken
// for a line of its own.
#include <string>

#include "base/RFile.h"
#include "base/RString.h"

class RTextFile : public RFile {
 public:
  // The next line of at most kLongestLine characters, line feed included,
  // cut at a NUL byte; the empty text when nothing more could be read.
  RString GetLine();
  // Writes line exactly as given; no line break is added.
  bool AddLine(const RString& line);
  // Characters of the last line read; 0 after a failed read.
  int GetLastReadLength() const { return lastReadLength_; }

  // The longest line, line feed included, that our readers take. Whatever
  // we write stays within it.
  static constexpr int kLongestLine = 16384;
  // The log line for a line passed over.
  static void ReportLongLine();

 private:
  // Reads up to the next line feed into line_; false when the line ran past
  // kLongestLine (the rest of it is then passed over) or nothing was read.
  bool ReadLine();

  std::string line_;
  int lastReadLength_ = 0;
};
