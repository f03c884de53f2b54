#include "base/RString.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace {

constexpr uint32_t kWorkAreaSize = 1024;

uint32_t TextLength(const char* text) {
  return text ? static_cast<uint32_t>(strlen(text)) : 0;
}

unsigned char AsciiLower(unsigned char c) {
  return (c >= 'A' && c <= 'Z') ? c - 'A' + 'a' : c;
}

unsigned char AsciiUpper(unsigned char c) {
  return (c >= 'a' && c <= 'z') ? c - 'a' + 'A' : c;
}

// Every character folded to one representative of those it matches: the
// vowels with their accents (either case) fold to the plain capital, "N
// with tilde" in either case to its capital, other characters to their
// ASCII capital. So "e" matches "É", "B" matches "b", "n" never matches "ñ".
struct MatchFolding {
  unsigned char of[256];
  MatchFolding() {
    for (int c = 0; c < 256; ++c) of[c] = AsciiUpper(static_cast<unsigned char>(c));
    static const char* const kGroups[] = {
        "A\xC1\xC0\xC2\xC4\xE1\xE0\xE2\xE4", "E\xC9\xC8\xCA\xCB\xE9\xE8\xEA\xEB",
        "I\xCD\xCC\xCE\xCF\xED\xEC\xEE\xEF", "O\xD3\xD2\xD4\xD6\xF3\xF2\xF4\xF6",
        "U\xDA\xD9\xDB\xDC\xFA\xF9\xFB\xFC", "\xD1\xF1",
    };
    for (const char* group : kGroups)
      for (const char* c = group; *c != '\0'; ++c)
        of[static_cast<unsigned char>(*c)] = static_cast<unsigned char>(group[0]);
  }
};

const MatchFolding kMatchFolding;
const uint64_t kHighBits = 0x8080808080808080ULL;

unsigned char Folded(char c) { return kMatchFolding.of[static_cast<unsigned char>(c)]; }

}  // namespace

RString::RString(const char* text) {
  if (text) Assign(text, TextLength(text));
}

RString::RString(const char* text, uint32_t length) {
  Assign(text, length);
}

RString::RString(const RString& other) {
  if (other.buffer_) Assign(other.buffer_, other.length_);
}

RString& RString::operator=(const char* text) {
  if (text) Assign(text, TextLength(text));
  return *this;
}

RString& RString::operator=(const RString& other) {
  if (this == &other) return *this;
  if (other.buffer_) {
    Assign(other.buffer_, other.length_);
  } else {
    Release();
  }
  return *this;
}

RString& RString::operator=(RString&& other) noexcept {
  if (this != &other) {
    Release();
    buffer_ = std::exchange(other.buffer_, nullptr);
    length_ = std::exchange(other.length_, 0);
    owned_ = std::exchange(other.owned_, true);
  }
  return *this;
}

RString RString::WithLength(uint32_t length) {
  RString text;
  text.buffer_ = new char[length + 1];
  text.buffer_[length] = '\0';
  text.length_ = length;
  return text;
}

RString RString::Join(const char* a, uint32_t aLength, const char* b,
                      uint32_t bLength) {
  RString joined = WithLength(aLength + bLength);
  std::copy_n(a, aLength, joined.buffer_);
  std::copy_n(b, bLength, joined.buffer_ + aLength);
  return joined;
}

// The new buffer is filled before the old one goes, so text may point into
// this string.
void RString::Assign(const char* text, uint32_t length) {
  *this = Join(text, length, nullptr, 0);
}

void RString::Release() {
  if (owned_) delete[] buffer_;
  buffer_ = nullptr;
  length_ = 0;
  owned_ = true;
}

RString RString::operator+(const RString& other) const {
  if (other.length_ == 0) return *this;
  return Join(buffer_, length_, other.buffer_, other.length_);
}

RString RString::operator+(const char* text) const {
  return Join(buffer_, length_, text, TextLength(text));
}

RString operator+(const char* text, const RString& string) {
  return RString::Join(text, TextLength(text), string.buffer_,
                       string.length_);
}

RString& RString::operator+=(const RString& other) {
  return *this = *this + other;
}

RString& RString::operator+=(const char* text) {
  return *this = *this + text;
}

int RString::GetChar(uint32_t pos) const {
  return pos < length_ ? static_cast<unsigned char>(buffer_[pos]) : 0;
}

void RString::InsertChar(char ch, uint32_t pos) {
  if (pos > length_) return;
  RString result = WithLength(length_ + 1);
  std::copy_n(buffer_, pos, result.buffer_);
  result.buffer_[pos] = ch;
  std::copy_n(buffer_ + pos, length_ - pos, result.buffer_ + pos + 1);
  *this = std::move(result);
}

void RString::RemoveChar(uint32_t pos) {
  if (pos >= length_) return;
  RString result = WithLength(length_ - 1);
  std::copy_n(buffer_, pos, result.buffer_);
  std::copy_n(buffer_ + pos + 1, length_ - pos - 1, result.buffer_ + pos);
  *this = std::move(result);
}

void RString::RemoveLastChar() {
  if (length_ > 0) RemoveChar(length_ - 1);
}

void RString::RemoveCR() {
  if (length_ <= 1) return;
  if (buffer_[length_ - 1] == '\n') RemoveLastChar();
  if (length_ > 0 && buffer_[length_ - 1] == '\r') RemoveLastChar();
}

RString RString::GetSubString(uint32_t begin, uint32_t end) const {
  end = std::min(end, length_);
  begin = std::min(begin, end);
  return Join(buffer_ + begin, end - begin, nullptr, 0);
}

// Short results are formatted in a fixed work area; a longer one is
// formatted a second time straight into a buffer of its size.
int RString::sprintf(const char* format, ...) {
  char work[kWorkAreaSize];
  va_list args;
  va_start(args, format);
  va_list again;
  va_copy(again, args);
  const int needed = vsnprintf(work, sizeof work, format, args);
  va_end(args);
  if (needed < 0) {
    *this = "";
  } else if (static_cast<uint32_t>(needed) < kWorkAreaSize) {
    Assign(work, needed);
  } else {
    RString result = WithLength(needed);
    vsnprintf(result.buffer_, needed + 1, format, again);
    *this = std::move(result);
  }
  va_end(again);
  return 0;
}

int64_t RString::FindFirst(char ch) const {
  for (uint32_t i = 0; i < length_; ++i) {
    if (buffer_[i] == ch) return i;
  }
  return -1;
}

int64_t RString::FindLastBeforeEnd(char ch) const {
  for (int64_t i = static_cast<int64_t>(length_) - 2; i >= 0; --i) {
    if (buffer_[i] == ch) return i;
  }
  return -1;
}

RString RString::BeforeFirst(char ch) const {
  const int64_t at = FindFirst(ch);
  return at < 0 ? RString("") : GetSubString(0, at);
}

RString RString::AfterFirst(char ch) const {
  const int64_t at = FindFirst(ch);
  return at < 0 ? RString("") : GetSubString(at + 1, length_);
}

RString RString::BeforeLast(char ch) const {
  const int64_t at = FindLastBeforeEnd(ch);
  return at < 0 ? RString("") : GetSubString(0, at);
}

RString RString::AfterLast(char ch) const {
  const int64_t at = FindLastBeforeEnd(ch);
  return at < 0 ? RString("") : GetSubString(at + 1, length_);
}

bool RString::Compare(const RString& other) const {
  return buffer_ && other.buffer_ && length_ == other.length_ &&
         memcmp(buffer_, other.buffer_, length_) == 0;
}

int RString::CaseCompare(const RString& other) const {
  if (!buffer_) return 0;
  const char* a = buffer_;
  const char* b = other.buffer_ ? other.buffer_ : "";
  for (;; ++a, ++b) {
    const int lowerA = AsciiLower(*a);
    const int lowerB = AsciiLower(*b);
    if (lowerA != lowerB || lowerA == 0) return lowerA - lowerB;
  }
}

bool RString::IsSubStringSpecial(const RString& pattern) const {
  std::string text, word;
  FoldForMatching(text);
  pattern.FoldForMatching(word);
  return ContainsFolded(text, word);
}

// Eight ASCII bytes at a time fold to capitals at once; the rest go
// through the table.
void RString::FoldForMatching(std::string& into) const {
  into.resize(length_);
  uint32_t i = 0;
  for (; i + 8 <= length_; i += 8) {
    uint64_t bytes = 0;
    std::memcpy(&bytes, buffer_ + i, 8);
    if ((bytes & kHighBits) != 0) {
      for (uint32_t k = i; k < i + 8; ++k) into[k] = static_cast<char>(Folded(buffer_[k]));
      continue;
    }
    // A byte from "a" (0x61) gains its high bit by adding 0x1F, one past "z"
    // (0x7A) by adding 0x05: the difference marks the small letters.
    const uint64_t small = (bytes + 0x1F1F1F1F1F1F1F1FULL) & ~(bytes + 0x0505050505050505ULL) & kHighBits;
    bytes -= small >> 2;  // 0x20 off each small letter
    std::memcpy(&into[i], &bytes, 8);
  }
  for (; i < length_; ++i) into[i] = static_cast<char>(Folded(buffer_[i]));
}

// Titles and words are short: the first byte is looked for, then the rest
// compared, which costs less here than a general substring search.
bool RString::ContainsFolded(const std::string& folded, const std::string& word) {
  if (word.empty()) return true;
  const char* at = folded.data();
  const char* const end = at + folded.size();
  while (static_cast<size_t>(end - at) >= word.size()) {
    at = static_cast<const char*>(std::memchr(at, word[0], static_cast<size_t>(end - at) - word.size() + 1));
    if (at == nullptr) return false;
    if (std::memcmp(at + 1, word.data() + 1, word.size() - 1) == 0) return true;
    ++at;
  }
  return false;
}

bool RString::IsNumber() const {
  for (uint32_t i = 0; i < length_; ++i) {
    const char ch = buffer_[i];
    if ((ch < '0' || ch > '9') && ch != '-') return false;
  }
  return true;
}

int RString::ToInteger() const {
  return (buffer_ && IsNumber()) ? atoi(buffer_) : 0;
}

bool RString::IsFloat() const {
  uint32_t start = 0;
  while (GetChar(start) == '-') ++start;
  const RString number = GetSubString(start, length_);
  return number.BeforeFirst('.').IsNumber() &&
         number.AfterFirst('.').IsNumber();
}

float RString::ToFloat() const {
  return (buffer_ && IsFloat()) ? static_cast<float>(atof(buffer_)) : 0.0f;
}

std::string Format(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list again;
  va_copy(again, args);
  const int length = vsnprintf(nullptr, 0, format, args);
  va_end(args);
  std::string text(length > 0 ? length : 0, '\0');
  if (length > 0) vsnprintf(text.data(), text.size() + 1, format, again);
  va_end(again);
  return text;
}
