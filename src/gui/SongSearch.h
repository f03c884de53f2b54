#pragma once
// The on-screen keyboard's search: tracks whose album title and track title
// (with its extension) hold every word of the text between them, found a
// slice at a time so that a large catalogue does not hold up one pass of
// the main loop.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/RString.h"
#include "catalogue/CatalogueSearch.h"

class SongSearch : private CatalogueWalk::Visitor {
 public:
  using Found = std::function<void(const CataloguePlace&, const GenreElement&, const DiscElement&, const RString&)>;

  explicit SongSearch(Found found) : found_(std::move(found)) {}

  // Starts over for text. The all-music genre and the favourites genre,
  // copies of the others, are left out. A text without words (only spaces)
  // finds nothing: the search is over at once.
  void Start(const MainLibrary& library, bool favourites, const RString& text);
  // At most budget albums and tracks more (0: all that are left); whether
  // the search goes on.
  bool Walk(int budget);
  bool Running() const { return walk_.has_value(); }

 private:
  // Titles are folded once for all words, and an album title that holds
  // some words leaves only the others for its tracks' titles.
  void Album(const CataloguePlace& at, const GenreElement& genre, const DiscElement& disc) override;
  void Track(const CataloguePlace& at, const GenreElement& genre, const DiscElement& disc) override;

  Found found_;
  std::optional<CatalogueWalk> walk_;
  std::vector<std::string> words_;
  std::string albumTitle_, trackTitle_;
  std::vector<const std::string*> leftForTracks_;
};
