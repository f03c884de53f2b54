#include "catalogue/MainLibrary.h"

#include <cctype>
#include <cstddef>
#include <cstring>
#include <iterator>
#include <new>
#include <string_view>

#include "platform/Paths.h"

namespace {

constexpr std::string_view kMusicExtensions[] = {"mp3", "ogg", "wma", "wav", "m4a", "aac", "m3u"};
constexpr std::string_view kVideoExtensions[] = {"mpg", "mpeg", "wmv", "mov",  "avi", "mp4", "flv",
                                                 "3gp", "m4v",  "cdg", "mkv", "webm", "kar"};
constexpr std::string_view kKaraokeExtensions[] = {"cdg", "kar"};
constexpr std::string_view kTvExtensions[] = {"m3u8"};
constexpr std::string_view kImageExtensions[] = {"jpg", "jpeg", "gif", "png", "bmp"};

// Whether the name ends in "." and the lower-case candidate, ASCII case
// ignored: then the candidate, which holds no dot, is all after the last dot.
// Compared in place from the end, as this runs for every track the loaders
// read.
bool EndsInExtension(std::string_view name, std::string_view candidate) {
  if (name.size() <= candidate.size()) return false;
  const char* extension = name.data() + name.size() - candidate.size();
  if (extension[-1] != '.') return false;
  for (size_t i = 0; i < candidate.size(); ++i) {
    const char c = extension[i];
    if ((c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c) != candidate[i]) return false;
  }
  return true;
}

template <size_t N>
bool HasExtensionIn(std::string_view name, const std::string_view (&extensions)[N]) {
  for (std::string_view candidate : extensions)
    if (EndsInExtension(name, candidate)) return true;
  return false;
}

std::string_view View(const RString& text) { return std::string_view(text.Chars(), text.GetLength()); }

// Index of the first element of list whose text equals name, or -1.
template <class Element>
int IndexOfFirst(const RList& list, const RString& name, const RString& (Element::*text)() const) {
  int index = 0;
  for (RItemList* node = list.GetFirst(); node; node = node->next, ++index)
    if ((static_cast<Element*>(node->data)->*text)() == name) return index;
  return -1;
}

}  // namespace

GenreElement* MainLibrary::GetGenre(unsigned g) const {
  return static_cast<GenreElement*>(GetItem(static_cast<int>(g)));
}

DiscElement* MainLibrary::GetDisc(unsigned g, unsigned d) const { return GetGenre(g)->GetDisc(d); }

TrackElement* MainLibrary::GetTrack(unsigned g, unsigned d, unsigned t) const {
  return GetDisc(g, d)->GetTrack(t);
}

int MainLibrary::GetTotalDiscs(unsigned g) const { return GetGenre(g)->GetTotalDiscs(); }

int MainLibrary::GetTotalTracks(unsigned g, unsigned d) const { return GetDisc(g, d)->GetTotalTracks(); }

bool MainLibrary::HasTrack(unsigned g, unsigned d, unsigned t) const {
  return g < static_cast<unsigned>(GetTotalGenres()) && d < static_cast<unsigned>(GetTotalDiscs(g)) &&
         t < static_cast<unsigned>(GetTotalTracks(g, d));
}

RString MainLibrary::GetGenreName(unsigned g) const { return GetGenre(g)->GetName(); }

RString MainLibrary::GetDiscTitle(unsigned g, unsigned d) const { return GetDisc(g, d)->GetTitle(); }

RString MainLibrary::GetTrackTitle(unsigned g, unsigned d, unsigned t) const {
  return GetTrack(g, d, t)->GetTitle();
}

int MainLibrary::GetDiscIndex(unsigned g, unsigned d) const { return GetDisc(g, d)->GetDiscIndex(); }

int MainLibrary::GetGenreIndex(const RString& name) const {
  const int index = IndexOfFirst(*this, name, &GenreElement::GetName);
  return index < 0 ? 0 : index;
}

int MainLibrary::GetDiscIndex(unsigned g, const RString& title) const {
  const int index = IndexOfFirst(*GetGenre(g), title, &DiscElement::GetTitle);
  return index < 0 ? 0 : index;
}

int MainLibrary::GetTrackIndex(unsigned g, unsigned d, const RString& title) const {
  const DiscElement* disc = GetDisc(g, d);
  for (int t = 0; t < disc->GetTotalTracks(); ++t)
    if (disc->GetTrack(static_cast<unsigned>(t))->GetTitle() == title) return t;
  return -1;
}

bool MainLibrary::ExistGenre(const RString& name) const { return GetGenreByName(name) != nullptr; }

GenreElement* MainLibrary::GetGenreByName(const RString& name) const {
  for (RItemList* node = GetFirst(); node; node = node->next) {
    GenreElement* genre = static_cast<GenreElement*>(node->data);
    if (genre->GetName() == name) return genre;
  }
  return nullptr;
}

GenreElement* MainLibrary::GetOrAddGenre(const RString& name) {
  GenreElement* genre = GetGenreByName(name);
  if (genre) return genre;
  genre = NewGenre(name.Chars(), name.GetLength());
  AddItem(genre);
  return genre;
}

GenreElement* MainLibrary::NewGenre(const char* name, uint32_t length) {
  return arena.New<GenreElement>(arena.Text(name, length), arena.Nodes());
}

DiscElement* MainLibrary::NewDisc(GenreElement* genre, const char* title, uint32_t length) {
  DiscElement* disc = arena.New<DiscElement>(arena.Text(title, length), arena.Nodes());
  disc->SetGenre(genre);
  return disc;
}

TrackElement* MainLibrary::NewTrack(const char* title, uint32_t length) {
  return arena.New<TrackElement>(arena.Text(title, length));
}

void MainLibrary::GiveTracks(DiscElement* disc, const std::vector<ArenaName>& titles) {
  if (titles.empty()) return;
  TrackElement* tracks = arena.Room<TrackElement>(titles.size());
  for (size_t i = 0; i < titles.size(); ++i)
    new (tracks + i) TrackElement(RString::Borrowing(titles[i].text, titles[i].length));
  disc->TakeOverTracks(tracks, static_cast<uint32_t>(titles.size()));
}

RString MainLibrary::GetContentPath(unsigned i) const { return contentPaths.GetItem(static_cast<int>(i)); }

RString MainLibrary::GetDiscGenreName(unsigned g, unsigned d) const { return GetDisc(g, d)->GetGenre()->GetName(); }

RString MainLibrary::GetDiscPath(unsigned g, unsigned d) const {
  const DiscElement* disc = GetDisc(g, d);
  return GetContentPath(disc->GetRootIndex()) + "\\" + GetDiscGenreName(g, d) + "\\" + disc->GetTitle();
}

RString MainLibrary::GetTrackPath(unsigned g, unsigned d, unsigned t) const {
  return GetDiscPath(g, d) + "\\" + GetTrackTitle(g, d, t);
}

bool MainLibrary::LeavesItsFolder(const RString& genre, const RString& disc, const RString& track) {
  return platform::LeavesItsFolder(genre.Chars()) || platform::LeavesItsFolder(disc.Chars()) ||
         platform::LeavesItsFolder(track.Chars());
}

bool MainLibrary::TrackLeavesItsFolder(unsigned g, unsigned d, unsigned t) const {
  const DiscElement* disc = GetDisc(g, d);
  // The favourites copy joins the listed genre's name, the track path that of
  // the disc's own genre.
  return LeavesItsFolder(disc->GetGenre()->GetName(), disc->GetTitle(), GetTrackTitle(g, d, t)) ||
         platform::LeavesItsFolder(GetGenreName(g).Chars());
}

RString MainLibrary::GetCoverName(unsigned g, unsigned d) const { return GetDisc(g, d)->GetCoverName(); }

RString MainLibrary::GetCoverPath(unsigned g, unsigned d) const {
  const DiscElement* disc = GetDisc(g, d);
  if (!disc->HaveCover()) return "";
  return GetDiscPath(g, d) + "\\" + disc->GetCoverName();
}

bool MainLibrary::IsMusic(unsigned g, unsigned d, unsigned t) const { return IsMusic(GetTrackPath(g, d, t)); }

bool MainLibrary::IsVideo(unsigned g, unsigned d, unsigned t) const { return IsVideo(GetTrackPath(g, d, t)); }

bool MainLibrary::IsKaraoke(unsigned g, unsigned d, unsigned t) const {
  return IsKaraoke(GetTrackPath(g, d, t));
}

bool MainLibrary::IsMusic(const RString& name) { return HasExtensionIn(View(name), kMusicExtensions); }

bool MainLibrary::IsVideo(const RString& name) { return HasExtensionIn(View(name), kVideoExtensions); }

bool MainLibrary::IsKaraoke(const RString& name) { return IsKaraoke(name.Chars(), name.GetLength()); }

static_assert(std::size(kKaraokeExtensions) == 2 && kKaraokeExtensions[0].back() == 'g' &&
                  kKaraokeExtensions[1].back() == 'r',
              "the first look at a name checks the karaoke extensions' last letters");

// Both karaoke extensions end in a letter no other name's last character
// lowers to, which turns most names away before any comparison.
bool MainLibrary::IsKaraoke(const char* name, uint32_t length) {
  if (length == 0) return false;
  const char last = static_cast<char>(name[length - 1] | 0x20);
  return (last == 'g' || last == 'r') && HasExtensionIn(std::string_view(name, length), kKaraokeExtensions);
}

bool MainLibrary::IsTv(const RString& name) { return HasExtensionIn(View(name), kTvExtensions); }

RString MainLibrary::GetExtension(const RString& name) {
  for (int64_t i = static_cast<int64_t>(name.GetLength()) - 1; i >= 0; --i)
    if (name.GetChar(static_cast<uint32_t>(i)) == '.') return name.GetSubString(i + 1, name.GetLength());
  return "";
}

bool MainLibrary::HaveImageFormat(const RString& name) {
  return !std::strstr(name.Chars(), "minicover") && HasExtensionIn(View(name), kImageExtensions);
}

bool MainLibrary::HasExtension(const RString& name, const char* extension) {
  return EndsInExtension(View(name), extension);
}

RString MainLibrary::GetKaraokeAudioName(const RString& cdgName) {
  const RString extension = GetExtension(cdgName);
  return cdgName.GetSubString(0, cdgName.GetLength() - extension.GetLength()) + "mp3";
}

int MainLibrary::SearchAlbumChar(unsigned g, int letter) const {
  const GenreElement* genre = GetGenre(g);
  int index = 0;
  for (RItemList* node = genre->GetFirst(); node; node = node->next, ++index) {
    const int first = std::toupper(static_cast<DiscElement*>(node->data)->GetTitle().GetChar(0));
    if (first == letter) return index;
    if (first > letter) return index > 0 ? index - 1 : 0;
  }
  return genre->GetTotalDiscs() - 1;
}
