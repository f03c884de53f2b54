#pragma once
// One album folder: its tracks, in the order they were added, plus the
// folder's cover and where the folder lies.
//
// A disc read whole (from the catalogue file or its folder) keeps its
// tracks in one array, taken over as it is: a million tracks then cost no
// node and no pointer each. Tracks added one by one afterwards (downloads)
// follow them in a table that may grow while others read.
#include <cstdint>
#include <memory_resource>
#include <utility>

#include "base/RString.h"
#include "catalogue/AppendOnlyTable.h"
#include "catalogue/TrackElement.h"

class GenreElement;

class DiscElement {
 public:
  DiscElement() = default;
  explicit DiscElement(RString discTitle) : title(std::move(discTitle)) {}
  // A disc whose track list takes its memory from memory.
  DiscElement(RString discTitle, std::pmr::memory_resource* memory)
      : title(std::move(discTitle)), addedTracks_(memory) {}

  // The track at position i; null when there is none.
  TrackElement* GetTrack(unsigned i) const {
    return i < takenOverCount_ ? takenOver_ + i : addedTracks_.Get(i - takenOverCount_);
  }
  void AddTrack(TrackElement* track) { addedTracks_.Append(track); }
  // The disc's first tracks, all at once: count tracks of an array that
  // outlives the disc. Only while the disc has no track and nobody reads it.
  void TakeOverTracks(TrackElement* tracks, uint32_t count) {
    takenOver_ = tracks;
    takenOverCount_ = count;
  }
  int GetTotalTracks() const { return static_cast<int>(takenOverCount_ + addedTracks_.Count()); }

  const RString& GetTitle() const { return title; }
  void SetTitle(RString text) { title = std::move(text); }
  RString GetCoverName() const { return coverName; }
  void SetCoverName(RString name) { coverName = std::move(name); }
  bool HaveCover() const { return coverName.GetLength() > 0; }
  unsigned GetRootIndex() const { return rootIndex; }
  void SetRootIndex(unsigned index) { rootIndex = index; }
  GenreElement* GetGenre() const { return genre; }
  void SetGenre(GenreElement* owner) { genre = owner; }
  int GetDiscIndex() const { return discIndex; }
  void SetDiscIndex(int index) { discIndex = index; }

  RString title = "";
  // Cover image file name inside the disc folder; empty when there is none.
  // The empty text takes no memory of its own, which a disc made in the
  // catalogue's arena (never destroyed) would not give back.
  RString coverName = RString::Borrowing("", 0);
  // Position of the disc's media root among the library's content paths.
  uint32_t rootIndex = 0;
  // The genre whose folder holds the disc (not owned). A disc listed in the
  // all-music genre keeps pointing here, so its path stays right.
  GenreElement* genre = nullptr;
  // Position in the all-music genre, or in the favourites genre.
  int32_t discIndex = 0;

 private:
  TrackElement* takenOver_ = nullptr;
  uint32_t takenOverCount_ = 0;
  AppendOnlyTable<TrackElement> addedTracks_{std::pmr::new_delete_resource()};
};
