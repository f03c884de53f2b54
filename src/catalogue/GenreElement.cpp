#include "catalogue/GenreElement.h"

#include "catalogue/DiscElement.h"

DiscElement* GenreElement::GetDisc(unsigned i) const {
  return static_cast<DiscElement*>(GetItem(static_cast<int>(i)));
}
