#include "catalogue/CatalogueArena.h"

#include <sys/mman.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

constexpr size_t kHugePageSize = 2 * 1024 * 1024;

size_t WholeHugePages(size_t bytes) { return (bytes + kHugePageSize - 1) / kHugePageSize * kHugePageSize; }

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

// Each block is twice the one before, so that a million tracks take a few
// blocks, and a small catalogue one huge page.
void* CatalogueArena::TakeFromNewBlock(size_t bytes, size_t alignment) {
  nextBlockSize_ = std::max(nextBlockSize_ * 2, WholeHugePages(sizeof(void*) + bytes + alignment));
  void* const block = std::aligned_alloc(kHugePageSize, nextBlockSize_);
  if (!block) throw std::bad_alloc();
  madvise(block, nextBlockSize_, MADV_HUGEPAGE);
  *static_cast<void**>(block) = lastBlock_;
  lastBlock_ = block;
  next_ = reinterpret_cast<uintptr_t>(block) + sizeof(void*);
  end_ = reinterpret_cast<uintptr_t>(block) + nextBlockSize_;
  return Take(bytes, alignment);
}

RString CatalogueArena::Text(const char* text, uint32_t length) {
  char* copy = static_cast<char*>(Take(length + 1, 1));
  std::memcpy(copy, text, length);
  copy[length] = '\0';
  return RString::Borrowing(copy, length);
}
