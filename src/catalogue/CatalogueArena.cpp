#include "catalogue/CatalogueArena.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

#include "platform/Memory.h"

namespace {

constexpr size_t kFirstBlockSize = 1024 * 1024;
// Pages made ready at a time: large enough to make the call cheap per
// page, small enough to keep a small catalogue small.
constexpr uintptr_t kWindow = 256 * 1024;

uintptr_t WindowEnd(uintptr_t address) { return (address + kWindow - 1) & ~(kWindow - 1); }

}  // namespace

CatalogueArena::~CatalogueArena() {
  // The inserted nodes' own bookkeeping lies in the blocks.
  insertedNodes_.release();
  while (lastBlock_) {
    void* const before = *static_cast<void**>(lastBlock_);
    std::free(lastBlock_);
    lastBlock_ = before;
  }
}

void* CatalogueArena::TakeFurther(size_t bytes, size_t alignment) {
  const size_t needed = bytes + alignment;
  if (next_ + needed >= end_) NewBlock(sizeof(void*) + needed);
  const uintptr_t ready = std::min(end_, WindowEnd(next_ + needed));
  platform::PreparePages(reinterpret_cast<void*>(ready_), ready - ready_);
  ready_ = ready;
  return Take(bytes, alignment);
}

// Each block is twice the one before, so that a million tracks take a few
// blocks.
void CatalogueArena::NewBlock(size_t bytes) {
  blockSize_ = std::max({blockSize_ * 2, kFirstBlockSize, (bytes + kWindow - 1) & ~(kWindow - 1)});
  void* const block = std::aligned_alloc(kWindow, blockSize_);
  if (!block) throw std::bad_alloc();
  *static_cast<void**>(block) = lastBlock_;
  lastBlock_ = block;
  next_ = reinterpret_cast<uintptr_t>(block) + sizeof(void*);
  ready_ = reinterpret_cast<uintptr_t>(block);
  end_ = reinterpret_cast<uintptr_t>(block) + blockSize_;
}

const char* CatalogueArena::Keep(const char* text, uint32_t length) {
  char* copy = static_cast<char*>(Take(length + 1, 1));
  std::memcpy(copy, text, length);
  copy[length] = '\0';
  return copy;
}
