#include "platform/Memory.h"

#include <sys/mman.h>

namespace platform {

void PreparePages(void* begin, size_t bytes) { madvise(begin, bytes, MADV_POPULATE_WRITE); }

}  // namespace platform
