// Folder scan: every content root holds genre folders, each holding disc
// folders, each holding the media files and cover image of one album.
#include <cstdio>
#include <cstring>
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

#include "base/RDir.h"
#include "catalogue/MainLibrary.h"

namespace {

// The cabinet's file names hold at most 255 characters. A host name may
// hold more in internal text, each byte outside the code page taking three
// (an escaped byte): such a name is left out with a log line.
constexpr size_t kLongestName = 255;

bool IsHidden(const RString& name) { return name.GetChar(0) == '.'; }

bool IsKeptName(const RString& name, int32_t& namesLeftOut) {
  if (name.GetLength() <= kLongestName) return true;
  std::printf("Nombre omitido (mas de %zu caracteres): %s\n", kLongestName, name.Chars());
  ++namesLeftOut;
  return false;
}

// The name up to and including its last ".".
std::string BaseName(const RString& name) {
  const char* dot = static_cast<const char*>(memrchr(name.Chars(), '.', name.GetLength()));
  return std::string(name.Chars(), dot ? dot - name.Chars() + 1 : name.GetLength());
}

// Base names (up to and including the ".") of the "cdg" karaoke files, whose
// "mp3" companions are their sound rather than tracks of their own.
std::unordered_set<std::string> KaraokeBaseNames(const std::vector<RString>& files) {
  std::unordered_set<std::string> bases;
  for (const RString& name : files)
    if (MainLibrary::HasExtension(name, "cdg")) bases.insert(BaseName(name));
  return bases;
}

bool IsKaraokeAudio(const RString& name, const std::unordered_set<std::string>& karaokeBases) {
  return !karaokeBases.empty() && MainLibrary::HasExtension(name, "mp3") && karaokeBases.count(BaseName(name)) > 0;
}

// The entries of a disc folder that count as files, in listing order, named
// with texts of the arena: a disc folder is listed for every album, so its
// names take no allocation of their own. A name too long for the buffer is
// cut one character past the longest kept.
std::vector<RString> ListFiles(const RString& path, CatalogueArena& arena, int32_t& namesLeftOut) {
  std::vector<RString> files;
  RDir dir(path);
  char entry[kLongestName + 2];
  while (dir.GetFile(entry, sizeof entry)) {
    const RString name = RString::Borrowing(entry, static_cast<uint32_t>(std::strlen(entry)));
    if (dir.IsFile() && !IsHidden(name) && IsKeptName(name, namesLeftOut)) files.push_back(arena.Text(name));
  }
  return files;
}

}  // namespace

int MainLibrary::LoadContentFromStorage() {
  unsigned rootIndex = 0;
  for (RItemList* node = contentPaths.GetFirst(); node; node = node->next, ++rootIndex)
    LoadGenresFromPath(*static_cast<RString*>(node->data), rootIndex);
  std::puts("Finalizada la carga de repertorio desde Storage");
  return 0;
}

void MainLibrary::LoadGenresFromPath(const RString& path, unsigned rootIndex) {
  for (const RString& name : ListFolders(path)) {
    if (name.CaseCompare("Tumbs.db") == 0) continue;
    // The favourites folder is built into genre 0 by LoadFavoritos when
    // favourites are on; read here too it would show as a second copy.
    if (rootIndex == 0 && name == kFavouritesGenreName) continue;
    std::printf("Cargando genero: %s\n", name.c_str());
    LoadDiscsFromPath(path + "\\" + name, GetOrAddGenre(name), rootIndex);
  }
}

void MainLibrary::LoadDownloads() {
  if (GetFirst() == nullptr || GetContentPathCount() == 0) return;
  const RString folder = GetContentPath(0) + "\\" + GetGenreName(0) + "\\" + kDownloadsDiscName;
  for (const RString& name : ListFiles(folder, arena, namesLeftOut))
    if (HaveTrackFormat(name)) AddDownloadedTrack(name);
}

void MainLibrary::LoadDiscsFromPath(const RString& path, GenreElement* genre, unsigned rootIndex) {
  for (const RString& name : ListFolders(path)) {
    DiscElement* disc = NewDisc(genre, name.Chars(), name.GetLength());
    disc->SetRootIndex(rootIndex);
    genre->AddDisc(disc);
    LoadTracksFromPath(path + "\\" + name, disc);
  }
}

// When several images are listed, the last one is the cover. The "mp3" sound
// of a "cdg" karaoke file plays with it and is not a track of its own. The
// names already lie in the arena, so the elements borrow them as they are.
void MainLibrary::LoadTracksFromPath(const RString& path, DiscElement* disc) {
  std::vector<RString> files = ListFiles(path, arena, namesLeftOut);
  const std::unordered_set<std::string> karaokeBases = KaraokeBaseNames(files);
  std::vector<ArenaName> tracks;
  for (const RString& name : files) {
    if (HaveImageFormat(name))
      disc->SetCoverName(RString::Borrowing(name.c_str(), name.GetLength()));
    else if (HaveTrackFormat(name) && !IsKaraokeAudio(name, karaokeBases))
      tracks.push_back({name.Chars(), name.GetLength()});
  }
  GiveTracks(disc, tracks);
}

std::vector<RString> MainLibrary::ListFolders(const RString& path) {
  std::vector<RString> folders;
  RDir dir(path);
  RString name;
  while (dir.GetFile(name))
    if (name.GetLength() > 0 && dir.IsDirectory() && !IsHidden(name) && IsKeptName(name, namesLeftOut))
      folders.push_back(std::move(name));
  return folders;
}

bool MainLibrary::HaveTrackFormat(const RString& name) { return IsMusic(name) || IsVideo(name); }
