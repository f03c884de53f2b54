#pragma once
// The memory of a catalogue's elements, their list nodes and their names,
// taken in large blocks and released all at once with the catalogue.
// Elements made here are never destroyed one by one, and their names are
// texts borrowed from the arena.
//
// Taking memory is a pointer bump. The blocks' pages are made ready a
// window at a time in one call, which costs much less than a page fault on
// the first touch of each page. Huge pages would fault less still, but a
// fresh one costs clearing 2 MiB, and where freed memory goes back to a
// virtual machine's host that is slower than the small pages altogether.
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
  RString Text(const char* text, uint32_t length) { return RString::Borrowing(Keep(text, length), length); }
  RString Text(const RString& text) { return Text(text.Chars(), text.GetLength()); }
  // The same copy, terminated, as plain characters.
  const char* Keep(const char* text, uint32_t length);

  template <class Element, class... Arguments>
  Element* New(Arguments&&... arguments) {
    return new (Take(sizeof(Element), alignof(Element))) Element(std::forward<Arguments>(arguments)...);
  }
  // Room for count elements, one after the other, for the caller to make.
  template <class Element>
  Element* Room(size_t count) {
    return static_cast<Element*>(Take(sizeof(Element) * count, alignof(Element)));
  }

 private:
  void* Take(size_t bytes, size_t alignment) {
    const uintptr_t at = (next_ + alignment - 1) & ~(alignment - 1);
    if (at + bytes >= ready_) return TakeFurther(bytes, alignment);
    next_ = at + bytes;
    return reinterpret_cast<void*>(at);
  }
  // Makes the next window of the block ready, or starts a new block.
  void* TakeFurther(size_t bytes, size_t alignment);
  void NewBlock(size_t bytes);

  void* do_allocate(size_t bytes, size_t alignment) override { return Take(bytes, alignment); }
  void do_deallocate(void*, size_t, size_t) override {}
  bool do_is_equal(const std::pmr::memory_resource& other) const noexcept override { return this == &other; }

  // The blocks taken, each starting with the address of the one before.
  void* lastBlock_ = nullptr;
  size_t blockSize_ = 0;
  uintptr_t next_ = 0;
  // The end of the pages made ready, and of the block.
  uintptr_t ready_ = 0;
  uintptr_t end_ = 0;
  std::pmr::monotonic_buffer_resource insertedNodes_{64 * 1024, this};
};
