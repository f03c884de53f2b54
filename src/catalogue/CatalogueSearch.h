#pragma once
// The walk both catalogue searches take: albums and their tracks in
// catalogue order, leaving out the genres that only list copies of the
// others' discs. It can stop after a number of items and go on later from
// where it stopped, so a search can be spread over passes of a loop.
#include <cstdint>
#include <string>
#include <vector>

#include "base/RString.h"

class DiscElement;
class GenreElement;
class MainLibrary;

// Which genres a search looks at. With favourites the favourites genre is
// genre 0 and the all-music genre genre 1; without, the all-music genre is
// genre 0.
enum class SearchScope {
  // Neither the all-music genre nor the favourites genre.
  kOrdinaryGenres,
  // Not the all-music genre; of the favourites genre only the downloads
  // album (its other albums count as examined, their tracks are not).
  kOrdinaryGenresAndDownloads,
};

// An album (track 0) or a track of the catalogue.
struct CataloguePlace {
  uint32_t genre = 0, disc = 0, track = 0;
};

class CatalogueWalk {
 public:
  class Visitor {
   public:
    virtual void Album(const CataloguePlace& at, const GenreElement& genre, const DiscElement& disc) = 0;
    virtual void Track(const CataloguePlace& at, const GenreElement& genre, const DiscElement& disc) = 0;

   protected:
    ~Visitor() = default;
  };

  CatalogueWalk(const MainLibrary& library, bool favourites, SearchScope scope);

  // Visits each album, then its tracks, from where the walk stands. With a
  // budget the walk stops before the item that would exceed it: true then,
  // false once the catalogue is exhausted. A budget of 0 has no limit.
  bool Walk(Visitor& visitor, int budget = 0);
  // Whether the last Walk stopped before a track (else before an album).
  bool StoppedBeforeTrack() const { return stoppedBeforeTrack_; }
  void Restart();
  // Nothing is left to visit.
  void Finish();

 private:
  bool Skipped(uint32_t genre) const;
  bool OnlyDownloads(uint32_t genre) const;

  const MainLibrary& library_;
  const bool favourites_;
  const SearchScope scope_;
  CataloguePlace at_;
  // The album at at_ was visited already.
  bool inAlbum_ = false;
  bool stoppedBeforeTrack_ = false;
};

// The words of a search text, runs of spaces between them, folded for
// matching (RString::FoldForMatching).
std::vector<std::string> SearchWords(const RString& text);
// Whether a title holds every word.
bool HoldsEveryWord(const RString& title, const std::vector<std::string>& words);
