#include "gui/SongSearch.h"

#include "catalogue/MainLibrary.h"

void SongSearch::Start(const MainLibrary& library, bool favourites, const RString& text) {
  words_ = SearchWords(text);
  walk_.reset();
  if (!words_.empty()) walk_.emplace(library, favourites, SearchScope::kOrdinaryGenres);
}

bool SongSearch::Walk(int budget) {
  if (walk_ && !walk_->Walk(*this, budget)) walk_.reset();
  return Running();
}

void SongSearch::Album(const CataloguePlace&, const GenreElement&, const DiscElement& disc) {
  disc.GetTitle().FoldForMatching(albumTitle_);
  leftForTracks_.clear();
  for (const std::string& word : words_)
    if (!RString::ContainsFolded(albumTitle_, word)) leftForTracks_.push_back(&word);
}

void SongSearch::Track(const CataloguePlace& at, const GenreElement& genre, const DiscElement& disc) {
  const RString& title = disc.GetTrack(at.track)->GetTitle();
  title.FoldForMatching(trackTitle_);
  for (const std::string* word : leftForTracks_)
    if (!RString::ContainsFolded(trackTitle_, *word)) return;
  found_(at, genre, disc, title);
}
