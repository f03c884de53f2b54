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
  CatalogueArena() : memory_(kFirstBlockSize) {}

  std::pmr::memory_resource* Nodes() { return &memory_; }

  // A copy of the length characters at text, kept in the arena.
  RString Text(const char* text, uint32_t length);
  RString Text(const RString& text) { return Text(text.Chars(), text.GetLength()); }

  template <class Element, class... Arguments>
  Element* New(Arguments&&... arguments) {
    void* place = memory_.allocate(sizeof(Element), alignof(Element));
    return new (place) Element(std::forward<Arguments>(arguments)...);
  }

 private:
  static constexpr size_t kFirstBlockSize = 64 * 1024;

  std::pmr::monotonic_buffer_resource memory_;
};
