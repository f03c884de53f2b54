#include "base/RLineReader.h"

#include <algorithm>
#include <cstring>

#include "base/RTextFile.h"

namespace {

constexpr size_t kLongestPiece = RTextFile::kLineBufferSize - 1;

}  // namespace

RLineReader::RLineReader(size_t blockSize) : buffer_(std::max(blockSize, kLongestPiece)) {}

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

RLineReader::Line RLineReader::NextLine() {
  const char* feed = nullptr;
  for (;;) {
    const size_t window = std::min(end_ - begin_, kLongestPiece);
    feed = static_cast<const char*>(std::memchr(buffer_.data() + begin_, '\n', window));
    if (feed || end_ - begin_ >= kLongestPiece || !Refill()) break;
  }
  const char* start = buffer_.data() + begin_;
  const size_t piece = feed ? static_cast<size_t>(feed - start) + 1 : std::min(end_ - begin_, kLongestPiece);
  begin_ += piece;
  const char* nul = mayHoldNul_ ? static_cast<const char*>(std::memchr(start, '\0', piece)) : nullptr;
  return Line{start, static_cast<uint32_t>(nul ? nul - start : piece)};
}
