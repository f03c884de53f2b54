#pragma once
// The nodes of a long list by position, so that reading by position does not
// walk the list. One thread appends while others read: a slot is written
// before the count that covers it is published, and slots never move, since
// they lie in segments of doubling size that are never reallocated.
#include <atomic>
#include <memory_resource>

#include "base/RList.h"

class NodeIndex {
 public:
  explicit NodeIndex(std::pmr::memory_resource* memory) : memory_(memory) {}
  ~NodeIndex();
  NodeIndex(const NodeIndex&) = delete;
  NodeIndex& operator=(const NodeIndex&) = delete;

  // Indexes every node of list from the start; nobody may read meanwhile.
  void Rebuild(const RList& list);
  void Append(RItemList* node);
  // The node at position i; null when i is not indexed.
  RItemList* Get(unsigned i) const;
  unsigned Count() const { return count_.load(std::memory_order_acquire); }

 private:
  static constexpr unsigned kFirstSegment = 16;
  // Segment s holds kFirstSegment << s slots, 2^32 positions in all.
  static constexpr int kSegments = 29;

  // The segment of position i and the slot in it.
  static int SegmentOf(unsigned i, unsigned& slot);
  static size_t SegmentBytes(int segment) { return (size_t{kFirstSegment} << segment) * sizeof(RItemList*); }

  std::pmr::memory_resource* memory_;
  std::atomic<RItemList**> segments_[kSegments] = {};
  std::atomic<unsigned> count_{0};
};
