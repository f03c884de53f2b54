#include "platform/Paths.h"

#include <algorithm>
#include <cctype>
#include <cstdint>

namespace platform {
namespace {

// Unicode code points of the Windows-1252 bytes 0x80..0x9F. The five bytes
// the code page leaves undefined map to the C1 control of the same value.
const uint16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void AppendUtf8(std::string& out, uint32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// The Windows-1252 byte of a code point; false when the code page lacks it.
bool ByteOfCodePoint(uint32_t cp, char& byte) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
    byte = static_cast<char>(cp);
    return true;
  }
  for (int i = 0; i < 32; ++i)
    if (kHighControls[i] == cp) {
      byte = static_cast<char>(0x80 + i);
      return true;
    }
  return false;
}

// A host byte that has no place in internal text: the escape, then the
// byte in two hexadecimal digits.
void AppendEscaped(std::string& out, const std::string& hostBytes) {
  static const char kDigits[] = "0123456789ABCDEF";
  for (char c : hostBytes) {
    const auto byte = static_cast<unsigned char>(c);
    out += kHostByteEscape;
    out += kDigits[byte >> 4];
    out += kDigits[byte & 0x0F];
  }
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The host byte escaped at pos; false when no escape starts there.
bool EscapedByteAt(const std::string& s, size_t pos, char& byte) {
  if (s[pos] != kHostByteEscape || pos + 2 >= s.size()) return false;
  const int high = HexValue(s[pos + 1]), low = HexValue(s[pos + 2]);
  if (high < 0 || low < 0) return false;
  byte = static_cast<char>(high * 16 + low);
  return true;
}

// Host characters internal text keeps as they are: "\" would be taken for
// a folder separator and the escape for an escaped byte.
bool KeepsItsByte(char byte) { return byte != '\\' && byte != kHostByteEscape; }

// Decodes one UTF-8 sequence at pos; returns its length, 0 when invalid.
size_t DecodeUtf8(const std::string& s, size_t pos, uint32_t& cp) {
  const auto lead = static_cast<unsigned char>(s[pos]);
  size_t length;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    cp = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    cp = lead & 0x0F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    cp = lead & 0x07;
  } else {
    return 0;
  }
  if (pos + length > s.size()) return 0;
  for (size_t i = 1; i < length; ++i) {
    const auto next = static_cast<unsigned char>(s[pos + i]);
    if ((next & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (next & 0x3F);
  }
  const uint32_t smallest[5] = {0, 0, 0x80, 0x800, 0x10000};
  return cp >= smallest[length] ? length : 0;
}

bool IsDotComponent(const std::string& component) { return component == "." || component == ".."; }

// Host bytes an escape inside a name from outside may not give: a
// separator, or the NUL that ends a host path.
bool ChangesTheHostPath(char byte) { return byte == '/' || byte == '\\' || byte == '\0'; }

bool StartsWithDriveLetter(const std::string& path) {
  return path.size() >= 2 && std::isalpha(static_cast<unsigned char>(path[0])) &&
         path[1] == ':';
}

}  // namespace

uint16_t Windows1252ToUnicode(unsigned char byte) {
  if (byte >= 0x80 && byte <= 0x9F) return kHighControls[byte - 0x80];
  return byte;
}

std::string ToHostText(const std::string& cp1252) {
  std::string out;
  out.reserve(cp1252.size());
  for (size_t pos = 0; pos < cp1252.size(); ++pos) {
    char byte;
    if (EscapedByteAt(cp1252, pos, byte)) {
      out += byte;
      pos += 2;
    } else {
      AppendUtf8(out, Windows1252ToUnicode(static_cast<unsigned char>(cp1252[pos])));
    }
  }
  return out;
}

std::string FromHostText(const std::string& utf8) {
  const auto isPlain = [](char c) { return static_cast<unsigned char>(c) < 0x80 && c != '\\'; };
  if (std::all_of(utf8.begin(), utf8.end(), isPlain)) return utf8;
  std::string out;
  out.reserve(utf8.size());
  for (size_t pos = 0; pos < utf8.size();) {
    uint32_t cp = utf8[pos];
    size_t length = 1;
    if (static_cast<unsigned char>(utf8[pos]) >= 0x80) length = std::max<size_t>(DecodeUtf8(utf8, pos, cp), 1);
    char byte;
    const bool valid = length > 1 || static_cast<unsigned char>(utf8[pos]) < 0x80;
    if (valid && ByteOfCodePoint(cp, byte) && KeepsItsByte(byte))
      out += byte;
    else
      AppendEscaped(out, utf8.substr(pos, length));
    pos += length;
  }
  return out;
}

std::string ToHostPath(const std::string& internalPath) {
  std::string path = internalPath;
  if (StartsWithDriveLetter(path)) {
    const char drive = static_cast<char>(std::tolower(static_cast<unsigned char>(path[0])));
    std::string rest = path.substr(2);
    if (!rest.empty() && rest[0] != '\\' && rest[0] != '/') rest = "/" + rest;
    path = std::string("dosdevices/") + drive + ":" + rest;
  }
  for (char& c : path)
    if (c == '\\') c = '/';
  return ToHostText(path);
}

bool LeavesItsFolder(const std::string& name) {
  std::string separated = name;
  std::replace(separated.begin(), separated.end(), '\\', '/');
  const std::string host = ToHostText(separated);
  if (host.find('\0') != std::string::npos) return true;
  for (size_t start = 0; start <= host.size();) {
    const size_t end = std::min(host.find('/', start), host.size());
    if (IsDotComponent(host.substr(start, end - start))) return true;
    start = end + 1;
  }
  return false;
}

bool IsAcceptedOutsideName(const std::string& name) {
  for (size_t pos = 0; pos < name.size(); ++pos) {
    char byte;
    if (EscapedByteAt(name, pos, byte) && ChangesTheHostPath(byte)) return false;
  }
  return !LeavesItsFolder(name);
}

bool IsPlainListedName(const std::string& name) {
  return name.find('\\') == std::string::npos && IsAcceptedOutsideName(name);
}

}  // namespace platform
