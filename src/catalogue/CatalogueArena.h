#pragma once
// The memory of a catalogue's elements, their list nodes and their names,
// taken in large blocks and released all at once with the catalogue.
// Elements made here are never destroyed one by one, and their names are
// texts borrowed from the arena.
#include <cstdint>
#include <memory_resource>
#include <utility>

#include "base/RString.h"

class CatalogueArena {
 public:
  CatalogueArena() : memory_(kFirstBlockSize, &blocks_) {}

  std::pmr::memory_resource* Nodes() { return &memory_; }
  // Nodes of a list that grows by insertions all along it (the all-music
  // genre), kept apart and together so that a walk in list order stays in
  // the cache instead of visiting the whole arena.
  std::pmr::memory_resource* InsertedNodes() { return &insertedNodes_; }

  // A copy of the length characters at text, kept in the arena.
  RString Text(const char* text, uint32_t length);
  RString Text(const RString& text) { return Text(text.Chars(), text.GetLength()); }

  template <class Element, class... Arguments>
  Element* New(Arguments&&... arguments) {
    void* place = memory_.allocate(sizeof(Element), alignof(Element));
    return new (place) Element(std::forward<Arguments>(arguments)...);
  }

 private:
  // Blocks of whole huge pages from the heap, which the kernel may back with
  // huge pages: a large catalogue then costs a few page faults instead of
  // one per 4 KiB.
  class HugePageBlocks : public std::pmr::memory_resource {
    void* do_allocate(size_t bytes, size_t alignment) override;
    void do_deallocate(void* block, size_t bytes, size_t alignment) override;
    bool do_is_equal(const std::pmr::memory_resource& other) const noexcept override { return this == &other; }
  };

  static constexpr size_t kFirstBlockSize = 2 * 1024 * 1024;
  static constexpr size_t kFirstInsertedNodesBlockSize = 64 * 1024;

  HugePageBlocks blocks_;
  std::pmr::monotonic_buffer_resource memory_;
  std::pmr::monotonic_buffer_resource insertedNodes_{kFirstInsertedNodesBlockSize};
};
