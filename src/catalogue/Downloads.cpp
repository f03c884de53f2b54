#include "catalogue/Downloads.h"

#include <string>

#include "catalogue/MainLibrary.h"
#include "platform/Paths.h"

namespace {

const char* const kDownloadPrefix = "[D] ";
// A host file name holds 255 bytes; the tool adds the extension and, while
// it downloads, an ending of its own.
constexpr size_t kMostHostBytes = 200;

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// The bytes of the host character at "at": a UTF-8 sequence, or one byte
// that does not start a whole one.
size_t CharacterLength(const std::string& host, size_t at) {
  const auto lead = static_cast<unsigned char>(host[at]);
  const size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
  if (at + length > host.size()) return 1;
  for (size_t i = 1; i < length; ++i)
    if (!IsContinuation(static_cast<unsigned char>(host[at + i]))) return 1;
  return length;
}

// A host separator or control character, C1 controls (UTF-8 C2 80..C2 9F)
// included.
bool HoldsUnsafeByte(const std::string& host) {
  for (size_t i = 0; i < host.size(); ++i) {
    const auto byte = static_cast<unsigned char>(host[i]);
    if (byte == '/' || byte == '\\' || byte < 0x20 || byte == 0x7F) return true;
    if (byte == 0xC2 && i + 1 < host.size() && static_cast<unsigned char>(host[i + 1]) < 0xA0) return true;
  }
  return false;
}

}  // namespace

// Made safe as the host will read it: the title decoded to host text first.
RString DownloadName(const RString& row) {
  const std::string title = platform::ToHostText(row.AfterFirst(' ').Chars());
  std::string name = kDownloadPrefix;
  for (size_t at = 0; at < title.size();) {
    const size_t length = CharacterLength(title, at);
    std::string character = title.substr(at, length);
    at += length;
    if (HoldsUnsafeByte(character)) character = "_";
    if (character == "." && name.back() == '.') continue;
    if (name.size() + character.size() > kMostHostBytes) break;
    name += character;
  }
  return RString(platform::FromHostText(name).c_str());
}

bool IsSafeDownloadName(const RString& name) {
  const std::string host = platform::ToHostText(name.Chars());
  return !host.empty() && host.size() <= kMostHostBytes && host.find("..") == std::string::npos &&
         !HoldsUnsafeByte(host) && platform::IsPlainListedName(name.Chars());
}

RString DownloadsFolder(MainLibrary& library) {
  return library.GetDiscPath(0, static_cast<unsigned>(library.DownloadsDiscIndex()));
}
