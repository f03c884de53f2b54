#include "catalogue/CatalogueSearch.h"

#include "catalogue/MainLibrary.h"

CatalogueWalk::CatalogueWalk(const MainLibrary& library, bool favourites, SearchScope scope)
    : library_(library), favourites_(favourites), scope_(scope) {}

void CatalogueWalk::Restart() {
  at_ = CataloguePlace();
  inAlbum_ = false;
}

void CatalogueWalk::Finish() {
  at_ = CataloguePlace{static_cast<uint32_t>(library_.GetTotalGenres()), 0, 0};
  inAlbum_ = false;
}

bool CatalogueWalk::Skipped(uint32_t genre) const {
  const uint32_t allMusic = favourites_ ? 1 : 0;
  if (genre == allMusic) return true;
  return favourites_ && genre == 0 && scope_ == SearchScope::kOrdinaryGenres;
}

bool CatalogueWalk::OnlyDownloads(uint32_t genre) const {
  return favourites_ && genre == 0 && scope_ == SearchScope::kOrdinaryGenresAndDownloads;
}

bool CatalogueWalk::Walk(Visitor& visitor, int budget) {
  const auto genres = static_cast<uint32_t>(library_.GetTotalGenres());
  int examined = 0;
  auto exhausted = [&](bool beforeTrack) {
    if (budget == 0 || ++examined <= budget) return false;
    stoppedBeforeTrack_ = beforeTrack;
    return true;
  };
  for (; at_.genre < genres; ++at_.genre, at_.disc = 0) {
    if (Skipped(at_.genre)) continue;
    const GenreElement* genre = library_.GetGenre(at_.genre);
    const auto discs = static_cast<uint32_t>(genre->GetTotalDiscs());
    for (; at_.disc < discs; ++at_.disc, at_.track = 0, inAlbum_ = false) {
      const DiscElement* disc = genre->GetDisc(at_.disc);
      // A walk that stopped inside the album visited it already.
      if (!inAlbum_) {
        if (exhausted(false)) return true;
        inAlbum_ = true;
        if (OnlyDownloads(at_.genre) && disc->GetTitle() != MainLibrary::kDownloadsDiscName) continue;
        visitor.Album(CataloguePlace{at_.genre, at_.disc, 0}, *genre, *disc);
      }
      const auto tracks = static_cast<uint32_t>(disc->GetTotalTracks());
      for (; at_.track < tracks; ++at_.track) {
        if (exhausted(true)) return true;
        visitor.Track(at_, *genre, *disc);
      }
    }
  }
  return false;
}

std::vector<std::string> SearchWords(const RString& text) {
  std::string folded;
  text.FoldForMatching(folded);
  std::vector<std::string> words;
  for (size_t start = folded.find_first_not_of(' '); start != std::string::npos;) {
    const size_t end = folded.find(' ', start);
    words.push_back(folded.substr(start, end - start));
    start = end == std::string::npos ? end : folded.find_first_not_of(' ', end);
  }
  return words;
}

bool HoldsEveryWord(const RString& title, const std::vector<std::string>& words) {
  std::string folded;
  title.FoldForMatching(folded);
  for (const std::string& word : words)
    if (!RString::ContainsFolded(folded, word)) return false;
  return true;
}
