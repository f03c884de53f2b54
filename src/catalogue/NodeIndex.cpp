#include "catalogue/NodeIndex.h"

NodeIndex::~NodeIndex() {
  for (int s = 0; s < kSegments; ++s)
    if (RItemList** segment = segments_[s].load()) memory_->deallocate(segment, SegmentBytes(s), alignof(RItemList*));
}

int NodeIndex::SegmentOf(unsigned i, unsigned& slot) {
  const unsigned long long block = i / kFirstSegment + 1ull;
  const int segment = 63 - __builtin_clzll(block);
  slot = i - kFirstSegment * ((1u << segment) - 1u);
  return segment;
}

void NodeIndex::Rebuild(const RList& list) {
  count_.store(0, std::memory_order_relaxed);
  for (RItemList* node = list.GetFirst(); node; node = node->next) Append(node);
}

void NodeIndex::Append(RItemList* node) {
  const unsigned i = count_.load(std::memory_order_relaxed);
  unsigned slot = 0;
  const int s = SegmentOf(i, slot);
  RItemList** segment = segments_[s].load(std::memory_order_relaxed);
  if (segment == nullptr) {
    segment = static_cast<RItemList**>(memory_->allocate(SegmentBytes(s), alignof(RItemList*)));
    segments_[s].store(segment, std::memory_order_relaxed);
  }
  segment[slot] = node;
  count_.store(i + 1, std::memory_order_release);
}

RItemList* NodeIndex::Get(unsigned i) const {
  if (i >= Count()) return nullptr;
  unsigned slot = 0;
  const int s = SegmentOf(i, slot);
  return segments_[s].load(std::memory_order_relaxed)[slot];
}
