#pragma once
// The program's text value: Windows-1252 bytes, one per character, in a
// buffer of exactly length + 1 bytes. A default text has no buffer at all,
// which reads as empty almost everywhere but never compares equal to
// anything, not even to "".
#include <cstdint>
#include <string>
#include <utility>

class RString {
 public:
  RString() = default;
  // Implicit, so that literals can be passed where texts are expected.
  RString(const char* text);
  // A copy of the length characters at text.
  RString(const char* text, uint32_t length);
  RString(const RString& other);
  RString(RString&& other) noexcept
      : buffer_(std::exchange(other.buffer_, nullptr)),
        length_(std::exchange(other.length_, 0)),
        owned_(std::exchange(other.owned_, true)) {}
  ~RString() {
    if (owned_) delete[] buffer_;
  }

  RString& operator=(const char* text);
  RString& operator=(const RString& other);
  RString& operator=(RString&& other) noexcept;

  // A text over characters it does not own: text must hold length
  // characters and a terminator and outlive every use of the result. Copies
  // are ordinary owning texts; the catalogue keeps its names this way in one
  // block of memory instead of one allocation per name.
  static RString Borrowing(const char* text, uint32_t length) {
    RString borrowed;
    borrowed.buffer_ = const_cast<char*>(text);
    borrowed.length_ = length;
    borrowed.owned_ = false;
    return borrowed;
  }

  RString operator+(const RString& other) const;
  RString operator+(const char* text) const;
  RString& operator+=(const RString& other);
  RString& operator+=(const char* text);

  const char* c_str() const { return buffer_; }
  // The characters for C-string interfaces: "" for a text without buffer.
  const char* Chars() const { return buffer_ ? buffer_ : ""; }
  uint32_t GetLength() const { return length_; }
  // The character at pos as 0..255; 0 past the end.
  int GetChar(uint32_t pos) const;

  // Inserts before pos; pos == length appends.
  void InsertChar(char ch, uint32_t pos);
  void RemoveChar(uint32_t pos);
  void RemoveLastChar();
  // Drops a final "\n" and then a final "\r"; one-character texts stay.
  void RemoveCR();
  // Characters [begin, end); out-of-range bounds are clamped to the text.
  RString GetSubString(uint32_t begin, uint32_t end) const;
  // Replaces the text by the formatted result, whatever its length; always
  // returns 0.
  int sprintf(const char* format, ...) __attribute__((format(printf, 2, 3)));

  // Splits at the first or last ch; the empty text when ch is absent. The
  // "last" forms never take a ch in the final position.
  RString BeforeFirst(char ch) const;
  RString AfterFirst(char ch) const;
  RString BeforeLast(char ch) const;
  RString AfterLast(char ch) const;

  bool operator==(const RString& other) const { return Compare(other); }
  bool operator!=(const RString& other) const { return !Compare(other); }
  bool Compare(const RString& other) const;
  // Case-insensitive ordering of the bytes (ASCII letters only), as
  // strcasecmp; 0 when this text has no buffer.
  int CaseCompare(const RString& other) const;
  // Whether pattern occurs in this text, accents and case ignored.
  bool IsSubStringSpecial(const RString& pattern) const;
  // The text as IsSubStringSpecial compares it: each character replaced by
  // the one that every character it matches folds to. A search of many
  // texts folds each once and looks for folded words with ContainsFolded.
  void FoldForMatching(std::string& into) const;
  static bool ContainsFolded(const std::string& folded, const std::string& word);

  // Digits and "-" only (the empty text included).
  bool IsNumber() const;
  int ToInteger() const;
  // Optional leading minus signs, then number parts around the first ".".
  bool IsFloat() const;
  float ToFloat() const;

 private:
  // A text of length characters, terminated but otherwise uninitialised.
  static RString WithLength(uint32_t length);
  static RString Join(const char* a, uint32_t aLength, const char* b,
                      uint32_t bLength);
  // Index of the first ch, or -1.
  int64_t FindFirst(char ch) const;
  // Index of the last ch before the final character, or -1.
  int64_t FindLastBeforeEnd(char ch) const;
  void Assign(const char* text, uint32_t length);
  void Release();

  friend RString operator+(const char* text, const RString& string);

  char* buffer_ = nullptr;
  uint32_t length_ = 0;
  bool owned_ = true;
};

RString operator+(const char* text, const RString& string);

// printf into a new text of whatever length it takes.
std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
