#include "catalogue/CatalogueArena.h"

#include <sys/mman.h>

#include <cstdlib>
#include <cstring>
#include <new>

namespace {

constexpr size_t kHugePageSize = 2 * 1024 * 1024;

size_t WholeHugePages(size_t bytes) { return (bytes + kHugePageSize - 1) / kHugePageSize * kHugePageSize; }

}  // namespace

void* CatalogueArena::HugePageBlocks::do_allocate(size_t bytes, size_t /*alignment*/) {
  const size_t size = WholeHugePages(bytes);
  void* block = std::aligned_alloc(kHugePageSize, size);
  if (!block) throw std::bad_alloc();
  madvise(block, size, MADV_HUGEPAGE);
  return block;
}

void CatalogueArena::HugePageBlocks::do_deallocate(void* block, size_t /*bytes*/, size_t /*alignment*/) {
  std::free(block);
}

RString CatalogueArena::Text(const char* text, uint32_t length) {
  char* copy = static_cast<char*>(memory_.allocate(length + 1, 1));
  std::memcpy(copy, text, length);
  copy[length] = '\0';
  return RString::Borrowing(copy, length);
}
