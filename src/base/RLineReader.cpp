#include "base/RLineReader.h"

#include <algorithm>
#include <cstring>

#include "base/RTextFile.h"

namespace {

constexpr size_t kLongestLine = RTextFile::kLongestLine;

}  // namespace

RLineReader::RLineReader(size_t blockSize) : buffer_(std::max(blockSize, kLongestLine)) {}

bool RLineReader::Refill() {
  if (atEnd_) return false;
  std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
  end_ -= begin_;
  begin_ = 0;
  const size_t added = Read(buffer_.data() + end_, buffer_.size() - end_);
  mayHoldNul_ = std::memchr(buffer_.data(), '\0', end_ + added) != nullptr;
  end_ += added;
  atEnd_ = added == 0;
  return added > 0;
}

// A line that fills the longest line without its feed is passed over up to
// its feed, as RTextFile does.
RLineReader::Line RLineReader::NextLine() {
  for (;;) {
    const char* start = buffer_.data() + begin_;
    const size_t window = std::min(end_ - begin_, kLongestLine);
    const char* feed = static_cast<const char*>(std::memchr(start, '\n', window));
    if (feed) return Take(static_cast<size_t>(feed - start) + 1);
    if (window == kLongestLine) {
      SkipPastFeed();
      continue;
    }
    if (!Refill()) return Take(end_ - begin_);
  }
}

RLineReader::Line RLineReader::Take(size_t length) {
  const char* start = buffer_.data() + begin_;
  begin_ += length;
  const char* nul = mayHoldNul_ ? static_cast<const char*>(std::memchr(start, '\0', length)) : nullptr;
  return Line{start, static_cast<uint32_t>(nul ? nul - start : length)};
}

void RLineReader::SkipPastFeed() {
  RTextFile::ReportLongLine();
  for (;;) {
    const char* start = buffer_.data() + begin_;
    const char* feed = static_cast<const char*>(std::memchr(start, '\n', end_ - begin_));
    if (feed) {
      begin_ += static_cast<size_t>(feed - start) + 1;
      return;
    }
    begin_ = end_;
    if (!Refill()) return;
  }
}
