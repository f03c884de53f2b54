#pragma once
// A file read line by line through a large block buffer, each line handed
// out in place instead of as a new text. The lines are those of
// RTextFile::GetLine: at most RTextFile::kLongestLine characters, line feed
// included, a longer line passed over whole, and a line cut at a NUL byte.
#include <cstdint>
#include <vector>

#include "base/RFile.h"

class RLineReader : public RFile {
 public:
  // Characters of one line; valid until the next call of NextLine.
  struct Line {
    const char* text = "";
    uint32_t length = 0;
  };

  explicit RLineReader(size_t blockSize = 1 << 16);

  // The next line, or a line of length 0 when nothing more could be read.
  Line NextLine();

 private:
  // Moves the unread bytes to the front and fills the rest of the buffer;
  // false when no byte was added.
  bool Refill();
  // Hands out the next length unread bytes as a line.
  Line Take(size_t length);
  // Passes over the unread bytes up to and including the next line feed.
  void SkipPastFeed();

  std::vector<char> buffer_;
  size_t begin_ = 0;
  size_t end_ = 0;
  bool atEnd_ = false;
  // Whether the unread bytes may hold a NUL; most files have none, and then
  // lines need not be searched for one.
  bool mayHoldNul_ = false;
};
