#include "catalogue/GenreElement.h"

#include "catalogue/DiscElement.h"

DiscElement* GenreElement::GetDisc(unsigned i) const {
  const RItemList* node = GetDiscNode(i);
  return node ? static_cast<DiscElement*>(node->data) : nullptr;
}

RItemList* GenreElement::GetDiscNode(unsigned i) const {
  if (indexedShape_ == Reshapes())
    if (RItemList* node = discIndex_.Get(i)) return node;
  return GetItemRaw(static_cast<int>(i));
}

void GenreElement::AddDisc(DiscElement* disc) {
  const bool whole = IndexIsWhole();
  AddItem(disc);
  if (whole) discIndex_.Append(GetLast());
}

void GenreElement::IndexDiscs() {
  discIndex_.Clear();
  discIndex_.Reserve(static_cast<uint32_t>(Count()));
  for (RItemList* node = GetFirst(); node; node = node->next) discIndex_.Append(node);
  indexedShape_ = Reshapes();
}

bool GenreElement::IndexIsWhole() const {
  return indexedShape_ == Reshapes() && discIndex_.Count() == static_cast<unsigned>(Count());
}
