#include "gui/CoverThumbnails.h"

#include <SDL_image.h>
#include <zlib.h>

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <cstring>

#include "gui/CoverDecoder.h"
#include "gui/SDLGui.h"
#include "platform/Files.h"

namespace {

// An entry: this header, then the rows of pixels without padding. The
// pixels are kept in the scaler's own format, so an entry read back is the
// surface that was stored.
struct EntryHeader {
  char magic[8];
  uint64_t coverSize;
  int64_t coverModified;
  uint32_t width;
  uint32_t height;
  uint32_t bytesPerPixel;
  uint32_t masks[4];
  uint32_t checksum;  // CRC-32 of the pixels
};
// Version 2: covers keep their proportions; the stretched ones of version 1
// are made again.
constexpr char kMagic[8] = {'M', 'L', 'D', 'K', 'M', 'I', 'N', '2'};

uint32_t RowBytes(const SDL_Surface* surface) {
  return static_cast<uint32_t>(surface->w) * surface->format->BytesPerPixel;
}

// FNV-1a, 64 bits: a name that two covers of one cabinet do not share.
uint64_t NameHash(const RString& text) {
  uint64_t hash = 0xcbf29ce484222325u;
  for (const char* c = text.Chars(); *c != '\0'; ++c)
    hash = (hash ^ static_cast<unsigned char>(*c)) * 0x100000001b3u;
  return hash;
}

bool Describes(const EntryHeader& header, const platform::FileStamp& cover, int width, int height) {
  return std::memcmp(header.magic, kMagic, sizeof kMagic) == 0 && header.coverSize == cover.size &&
         header.coverModified == cover.modified && header.width == static_cast<uint32_t>(width) &&
         header.height == static_cast<uint32_t>(height) &&
         (header.bytesPerPixel == 3 || header.bytesPerPixel == 4);
}

// The stored thumbnail of the cover as it is; null when there is none, or
// it is of another version of the cover or does not read back whole.
SDL_Surface* ReadEntry(const std::string& entry, const platform::FileStamp& cover, int width, int height) {
  FILE* file = platform::OpenRegularFile(entry, platform::Links::kFollow);
  if (file == nullptr) return nullptr;
  EntryHeader header;
  SDL_Surface* surface = nullptr;
  if (std::fread(&header, sizeof header, 1, file) == 1 && Describes(header, cover, width, height))
    surface = SDL_CreateRGBSurface(SDL_SWSURFACE, width, height, header.bytesPerPixel * 8, header.masks[0],
                                   header.masks[1], header.masks[2], header.masks[3]);
  uLong checksum = crc32(0, nullptr, 0);
  for (int y = 0; surface != nullptr && y < height; ++y) {
    auto* row = static_cast<Bytef*>(surface->pixels) + y * surface->pitch;
    if (std::fread(row, RowBytes(surface), 1, file) == 1) {
      checksum = crc32(checksum, row, RowBytes(surface));
    } else {
      SDL_FreeSurface(surface);
      surface = nullptr;
    }
  }
  std::fclose(file);
  if (surface != nullptr && checksum != header.checksum) {
    SDL_FreeSurface(surface);
    surface = nullptr;
  }
  return surface;
}

// Without a flush to disk: the checksum tells a file cut short by a power
// cut, and the main loop does not wait for the disk.
void WriteEntry(const std::string& entry, const platform::FileStamp& cover, SDL_Surface* thumbnail) {
  EntryHeader header;
  std::memset(&header, 0, sizeof header);
  std::memcpy(header.magic, kMagic, sizeof kMagic);
  header.coverSize = cover.size;
  header.coverModified = cover.modified;
  header.width = static_cast<uint32_t>(thumbnail->w);
  header.height = static_cast<uint32_t>(thumbnail->h);
  const SDL_PixelFormat* format = thumbnail->format;
  header.bytesPerPixel = format->BytesPerPixel;
  const uint32_t masks[4] = {format->Rmask, format->Gmask, format->Bmask, format->Amask};
  std::memcpy(header.masks, masks, sizeof masks);

  std::string contents(sizeof header, '\0');
  uLong checksum = crc32(0, nullptr, 0);
  for (int y = 0; y < thumbnail->h; ++y) {
    const auto* row = static_cast<const Bytef*>(thumbnail->pixels) + y * thumbnail->pitch;
    checksum = crc32(checksum, row, RowBytes(thumbnail));
    contents.append(reinterpret_cast<const char*>(row), RowBytes(thumbnail));
  }
  header.checksum = static_cast<uint32_t>(checksum);
  std::memcpy(&contents[0], &header, sizeof header);
  if (platform::WriteFileAtomically(entry, contents, false)) return;
  platform::CreateDirectory(CoverThumbnails::kFolder);
  platform::WriteFileAtomically(entry, contents, false);
}

std::string EntryName(uint64_t cover, CoverThumbnails::Size size) {
  char name[64];
  std::snprintf(name, sizeof name, "%016" PRIx64 "-%dx%d.mini", cover, size.width, size.height);
  return name;
}

// Only a name EntryName gives back as it is counts as an entry.
bool ReadEntryName(const std::string& name, uint64_t& cover, CoverThumbnails::Size& size) {
  unsigned long long hash = 0;
  if (std::sscanf(name.c_str(), "%16llx-%dx%d.mini", &hash, &size.width, &size.height) != 3) return false;
  cover = hash;
  return EntryName(cover, size) == name;
}

}  // namespace

std::string CoverThumbnails::EntryPath(const RString& cover, int width, int height) {
  return kFolder + ("\\" + EntryName(NameHash(cover), Size{width, height}));
}

void CoverThumbnails::InUse::AddCover(const RString& cover) { covers_.insert(NameHash(cover)); }

bool CoverThumbnails::InUse::Holds(uint64_t cover, Size size) const {
  return covers_.count(cover) != 0 && std::find(sizes_.begin(), sizes_.end(), size) != sizes_.end();
}

bool CoverThumbnails::DeleteUnused(const InUse& inUse, const std::function<bool()>& keepGoing) {
  if (platform::KindOf(kFolder) != platform::EntryKind::kFolder) return true;
  platform::DirListing listing(kFolder);
  std::string name;
  while (listing.Next(name)) {
    if (!keepGoing()) return false;
    uint64_t cover = 0;
    Size size{};
    if (!listing.CurrentIsReachable() || !ReadEntryName(name, cover, size) || inUse.Holds(cover, size)) continue;
    const std::string entry = kFolder + ("\\" + name);
    if (platform::KindOf(entry) == platform::EntryKind::kRegular) platform::DeleteFile(entry);
  }
  return true;
}

SDL_Surface* CoverThumbnails::Get(const RString& cover, int width, int height, std::string& log) {
  platform::FileStamp stamp;
  const bool exists = platform::GetFileStamp(cover.Chars(), stamp);
  const std::string version =
      std::string(cover.Chars()) + '\n' + std::to_string(stamp.size) + '\n' + std::to_string(stamp.modified);
  if (undecodable_.count(version) != 0) return nullptr;
  const std::string entry = EntryPath(cover, width, height);
  if (exists) {
    if (SDL_Surface* stored = ReadEntry(entry, stamp, width, height)) return stored;
  }

  SDL_Surface* image = DecodeCover(cover, width, height);
  if (image == nullptr) {
    log = "Error loading cover <" + std::string(cover.Chars()) + ">\n" + IMG_GetError() + "\n";
    undecodable_.insert(version);
    return nullptr;
  }
  SDL_Surface* thumbnail = SDLGui::ScaledCopy(image, width, height);
  SDL_FreeSurface(image);
  if (thumbnail != nullptr && exists) WriteEntry(entry, stamp, thumbnail);
  return thumbnail;
}
