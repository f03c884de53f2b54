#pragma once
// The tracks of a disc by position. A disc read whole (from the catalogue
// file or its folder) keeps its tracks in one array, taken over as it is:
// a million tracks then cost no node and no pointer each. Tracks added one
// by one afterwards (downloads) are kept by address in a table after them.
//
// One thread may add while others read: a track is in place before the
// count that covers it is published, and a table that grows is copied,
// the old one kept for readers until the list goes.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory_resource>

class TrackElement;

class TrackList {
 public:
  explicit TrackList(std::pmr::memory_resource* memory) : memory_(memory) {}
  ~TrackList();
  TrackList(const TrackList&) = delete;
  TrackList& operator=(const TrackList&) = delete;

  // Takes over the count tracks of an array that outlives the list as its
  // first tracks; only while the list is empty and nobody reads it.
  void TakeOver(TrackElement* tracks, uint32_t count);
  void Add(TrackElement* track);
  // The track at position i; null when there is none.
  TrackElement* Get(unsigned i) const;
  unsigned Count() const { return count_.load(std::memory_order_acquire); }

 private:
  // The addresses of the tracks added one by one; its slots follow it.
  struct Table {
    Table* replaced;
    uint32_t capacity;
    TrackElement** Slots() { return reinterpret_cast<TrackElement**>(this + 1); }
    static size_t Bytes(uint32_t capacity) { return sizeof(Table) + sizeof(TrackElement*) * capacity; }
  };

  Table* NewTable(uint32_t capacity, Table* replaced);

  std::pmr::memory_resource* memory_;
  TrackElement* takenOver_ = nullptr;
  uint32_t takenOverCount_ = 0;
  std::atomic<uint32_t> count_{0};
  std::atomic<Table*> added_{nullptr};
};
