// The two genres that are not folders of a media root: the all-music genre,
// ordered by the first letter of the disc titles, and the favourites genre;
// and the downloads album of whichever of them is genre 0.
#include <cctype>
#include <cstdio>
#include <cstring>

#include "catalogue/MainLibrary.h"

namespace {

// Buckets 0..24 are the letters "A".."Y"; bucket 25 takes every other first
// character, "Z" included.
constexpr int kBuckets = 26;
constexpr int kOtherBucket = kBuckets - 1;

// The letter index, one for the program: per bucket the node of the last disc
// inserted for it, and whether the all-music list has had its first disc.
struct LetterIndex {
  RItemList* lastOfBucket[kBuckets] = {};
  bool hasFirstDisc = false;
};
LetterIndex letterIndex;

}  // namespace

int MainLibrary::GetIndexOfChar(int c) {
  const int upper = std::toupper(c & 0xFF);
  return (upper >= 'A' && upper <= 'Y') ? upper - 'A' : kOtherBucket;
}

RItemList* MainLibrary::GetItemBeforeOfChar(int c) {
  const int byte = c & 0xFF;
  const int upper = std::toupper(byte);
  if (byte >= 128 || upper < 'A') return nullptr;
  for (int bucket = upper > 'Z' ? kOtherBucket : GetIndexOfChar(upper); bucket >= 0; --bucket)
    if (letterIndex.lastOfBucket[bucket]) return letterIndex.lastOfBucket[bucket];
  return nullptr;
}

// Every load starts from a clean index, so that a library loaded after another
// in the same process is ordered exactly as the first one.
void MainLibrary::InitAllGenre() {
  letterIndex = LetterIndex();
  allGenre = arena.New<GenreElement>(arena.Text(kAllGenreName, std::strlen(kAllGenreName)), arena.InsertedNodes());
  PrependItem(allGenre);
  allDiscs = allGenre->GetDiscs();
  discCount = 0;
}

int MainLibrary::AddToAllGenre(GenreElement* /*genre*/, DiscElement* disc) {
  const int first = disc->GetTitle().GetChar(0);
  const int bucket = GetIndexOfChar(first);
  RItemList*& last = letterIndex.lastOfBucket[bucket];
  if (!letterIndex.hasFirstDisc) {
    allDiscs->AddItem(disc);
    last = allDiscs->GetFirst();
    letterIndex.hasFirstDisc = true;
  } else if (last) {
    last = allDiscs->InsertItemRawAfter(disc, last);
  } else if (first == 'A') {
    allDiscs->PrependItem(disc);
    last = allDiscs->GetFirst();
  } else if (RItemList* before = GetItemBeforeOfChar(first)) {
    last = allDiscs->InsertItemRawAfter(disc, before);
  } else {
    allDiscs->AddItem(disc);
    last = allDiscs->GetLast();
  }
  return bucket;
}

// The all-music genre is complete here: its discs, placed in letter order,
// are indexed by position too.
void MainLibrary::FillIndexDiscs() {
  if (!GetFirst()) return;
  GenreElement* genre = GetGenre(0);
  genre->IndexDiscs();
  int index = 0;
  for (RItemList* node = genre->GetFirst(); node; node = node->next, ++index)
    static_cast<DiscElement*>(node->data)->SetDiscIndex(index);
}

void MainLibrary::LoadFavoritos() {
  if (GetFirst() && GetGenreName(0) == kFavouritesGenreName) {
    std::puts("Eliminando genero anterior favoritas");
    DeleteItem(0);
  }
  GenreElement* favourites = NewGenre(kFavouritesGenreName, std::strlen(kFavouritesGenreName));
  PrependItem(favourites);
  if (GetContentPathCount() == 0) return;

  const RString folder = GetContentPath(0) + "\\" + kFavouritesGenreName;
  std::printf("Cargando favoritos: %s\n", folder.c_str());
  std::printf("Cargando genero: %s\n", favourites->GetName().c_str());
  for (const RString& name : ListFolders(folder)) {
    if (name.CaseCompare(kAllGenreName) == 0 || name.CaseCompare("Tumbs.db") == 0) continue;
    std::printf("Cargando FAVORITOS: %s\n", name.c_str());
    DiscElement* disc = NewDisc(favourites, name.Chars(), name.GetLength());
    disc->SetDiscIndex(favourites->GetTotalDiscs());
    favourites->AddDisc(disc);
    LoadTracksFromPath(folder + "\\" + name, disc);
  }
}

// A genre's own "Descargas", not the album of that title of another genre
// that the all-music genre lists.
int MainLibrary::DownloadsDiscIndex() {
  GenreElement* genre = GetGenre(0);
  int index = 0;
  for (RItemList* node = genre->GetFirst(); node; node = node->next, ++index) {
    const DiscElement* disc = static_cast<DiscElement*>(node->data);
    if (disc->GetGenre() == genre && disc->GetTitle() == kDownloadsDiscName) return index;
  }
  DiscElement* disc = NewDisc(genre, kDownloadsDiscName, static_cast<uint32_t>(std::strlen(kDownloadsDiscName)));
  disc->SetDiscIndex(index);
  genre->AddDisc(disc);
  return index;
}

int MainLibrary::AddDownloadedTrack(const RString& name) {
  const int disc = DownloadsDiscIndex();
  const int track = GetTrackIndex(0, static_cast<unsigned>(disc), name);
  if (track >= 0) return track;
  GetDisc(0, static_cast<unsigned>(disc))->AddTrack(NewTrack(name.Chars(), name.GetLength()));
  return GetTotalTracks(0, static_cast<unsigned>(disc)) - 1;
}
