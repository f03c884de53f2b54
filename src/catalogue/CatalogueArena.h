#pragma once
// The memory of a catalogue's elements, their list nodes and their names,
// taken in large blocks and released all at once with the catalogue.
// Elements made here are never destroyed one by one, and their names are
// texts borrowed from the arena.
//
// The blocks are whole huge pages from the heap, which the kernel may back
// with huge pages: a large catalogue then costs a few page faults instead of
// one per 4 KiB. Taking memory is a pointer bump.
#include <cstdint>
#include <memory_resource>
#include <utility>

#include "base/RString.h"

class CatalogueArena final : public std::pmr::memory_resource {
 public:
  CatalogueArena() = default;
  ~CatalogueArena() override;
  CatalogueArena(const CatalogueArena&) = delete;
  CatalogueArena& operator=(const CatalogueArena&) = delete;

  std::pmr::memory_resource* Nodes() { return this; }
  // Nodes of a list that grows by insertions all along it (the all-music
  // genre), kept apart and together so that a walk in list order stays in
  // the cache instead of visiting the whole arena.
  std::pmr::memory_resource* InsertedNodes() { return &insertedNodes_; }

  // A copy of the length characters at text, kept in the arena.
  RString Text(const char* text, uint32_t length);
  RString Text(const RString& text) { return Text(text.Chars(), text.GetLength()); }

  template <class Element, class... Arguments>
  Element* New(Arguments&&... arguments) {
    return new (Take(sizeof(Element), alignof(Element))) Element(std::forward<Arguments>(arguments)...);
  }

 private:
  void* Take(size_t bytes, size_t alignment) {
    const uintptr_t at = (next_ + alignment - 1) & ~(alignment - 1);
    if (at + bytes >= end_) return TakeFromNewBlock(bytes, alignment);
    next_ = at + bytes;
    return reinterpret_cast<void*>(at);
  }
  void* TakeFromNewBlock(size_t bytes, size_t alignment);

  void* do_allocate(size_t bytes, size_t alignment) override { return Take(bytes, alignment); }
  void do_deallocate(void*, size_t, size_t) override {}
  bool do_is_equal(const std::pmr::memory_resource& other) const noexcept override { return this == &other; }

  // The blocks taken, each starting with the address of the one before.
  void* lastBlock_ = nullptr;
  size_t nextBlockSize_ = 0;
  uintptr_t next_ = 0;
  uintptr_t end_ = 0;
  std::pmr::monotonic_buffer_resource insertedNodes_{64 * 1024, this};
};
