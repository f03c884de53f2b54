#pragma once
// Memory as the kernel hands it out.
#include <cstddef>

namespace platform {

// Makes the pages of a writable range ready in one call, which costs much
// less than a fault on the first touch of each. Only ever early: a page it
// leaves out is made on its first touch as usual.
void PreparePages(void* begin, size_t bytes);

}  // namespace platform
