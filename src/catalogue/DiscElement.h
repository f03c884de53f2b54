#pragma once
// One album folder: its tracks, in the order they were added, plus the
// folder's cover and where the folder lies.
#include <cstdint>
#include <memory_resource>
#include <utility>

#include "base/RString.h"
#include "catalogue/TrackList.h"

class GenreElement;
class TrackElement;

class DiscElement {
 public:
  DiscElement() = default;
  explicit DiscElement(RString discTitle) : title(std::move(discTitle)) {}
  // A disc whose track list takes its memory from memory.
  DiscElement(RString discTitle, std::pmr::memory_resource* memory) : title(std::move(discTitle)), tracks_(memory) {}

  // The track at position i; null when there is none.
  TrackElement* GetTrack(unsigned i) const { return tracks_.Get(i); }
  void AddTrack(TrackElement* track) { tracks_.Add(track); }
  // The disc's first tracks, all at once: count tracks of an array that
  // outlives the disc. Only while the disc has no track.
  void TakeOverTracks(TrackElement* tracks, uint32_t count) { tracks_.TakeOver(tracks, count); }
  int GetTotalTracks() const { return static_cast<int>(tracks_.Count()); }

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
  TrackList tracks_{std::pmr::new_delete_resource()};
};
