#include "catalogue/CatalogueArena.h"

#include <cstring>

RString CatalogueArena::Text(const char* text, uint32_t length) {
  char* copy = static_cast<char*>(memory_.allocate(length + 1, 1));
  std::memcpy(copy, text, length);
  copy[length] = '\0';
  return RString::Borrowing(copy, length);
}
