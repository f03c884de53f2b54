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

// 1..6 for the letters that match regardless of accent and case (the
// vowels and the Spanish "N with tilde"), 0 for any other character.
int AccentGroup(unsigned char c) {
  static const char* const kGroups[] = {
      "Aa" "\xC1\xC0\xC2\xC4" "\xE1\xE0\xE2\xE4",
      "Ee" "\xC9\xC8\xCA\xCB" "\xE9\xE8\xEA\xEB",
      "Ii" "\xCD\xCC\xCE\xCF" "\xED\xEC\xEE\xEF",
      "Oo" "\xD3\xD2\xD4\xD6" "\xF3\xF2\xF4\xF6",
      "Uu" "\xDA\xD9\xDB\xDC" "\xFA\xF9\xFB\xFC",
      "\xD1\xF1",
  };
  if (c == 0) return 0;
  for (int group = 0; group < 6; ++group) {
    if (strchr(kGroups[group], c)) return group + 1;
  }
  return 0;
}

// Letters of one accent group match each other and nothing else; other
// characters match ignoring case.
bool CharsMatch(unsigned char a, unsigned char b) {
  const int groupA = AccentGroup(a);
  const int groupB = AccentGroup(b);
  if (groupA != 0 || groupB != 0) return groupA == groupB;
  return AsciiUpper(a) == AsciiUpper(b);
}

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

RString::~RString() { Release(); }

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

// A match that breaks restarts the search after the breaking character;
// earlier starting points are not tried again.
bool RString::IsSubStringSpecial(const RString& pattern) const {
  uint32_t i = 0;
  uint32_t j = 0;
  bool searching = true;
  for (; i < length_ && j < pattern.length_; ++i) {
    const int ch = GetChar(i);
    if (searching && CharsMatch(ch, pattern.GetChar(0))) searching = false;
    if (searching) continue;
    if (CharsMatch(ch, pattern.GetChar(j))) {
      ++j;
    } else {
      searching = true;
      j = 0;
    }
  }
  return j == pattern.length_;
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
