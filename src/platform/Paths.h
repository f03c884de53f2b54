#pragma once
// Text and path conversion between the program and the host file system.
// Inside the program every text is Windows-1252, one byte per character, and
// paths use "\" with an optional drive letter "X:". The host speaks UTF-8 with
// "/" and reaches drive letters through "dosdevices/x:" links in the working
// directory, as the compatibility layer the cabinet was designed for does.
#include <cstdint>
#include <string>

namespace platform {

// The Unicode code point of one Windows-1252 byte; the five bytes the code
// page leaves undefined give the C1 control of the same value.
uint16_t Windows1252ToUnicode(unsigned char byte);
// Host names need not fit internal text: a character the code page lacks, a
// byte that is not valid UTF-8 (a Latin-1 name from an old archive) and a
// "\" inside a name are kept as escaped host bytes, each the escape (the
// byte 0x81, which the code page leaves undefined) and two upper-case
// hexadecimal digits; so is a host U+0081. ToHostText gives every escaped
// byte back as it was, and any host name comes back whole.
constexpr char kHostByteEscape = '\x81';

// Windows-1252 bytes to UTF-8, escaped host bytes to themselves.
std::string ToHostText(const std::string& cp1252);
// UTF-8 to Windows-1252, escaping what internal text cannot hold.
std::string FromHostText(const std::string& utf8);
// Internal path to host path: separators, drive letter and encoding.
std::string ToHostPath(const std::string& internalPath);

// Whether a name, joined below a folder, opens a host path outside it: with
// its escaped host bytes decoded, as the host path is opened, one of its
// components, split at "\" or "/", is "." or ".."; or it holds a NUL, which
// would cut the host path short. A title holding "/" ("AC/DC Live.mp4") stays
// in its folder.
bool LeavesItsFolder(const std::string& name);
// Whether a name from outside (a queue request's part, a search result, a
// stick or downloads listing) may be joined below a folder: it stays in it,
// and no escape in it gives a host "/", "\" or NUL, which would open some
// other name than the one it reads as.
bool IsAcceptedOutsideName(const std::string& name);
// Whether a name read from a host folder listing can be joined below a
// folder: it holds no "\" (the host allows one inside a name, where it would
// become a separator) and is an accepted outside name.
bool IsPlainListedName(const std::string& name);

}  // namespace platform
