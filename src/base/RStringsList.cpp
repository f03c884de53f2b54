#include "base/RStringsList.h"

RStringsList::~RStringsList() { RStringsList::Clear(); }

bool RStringsList::AddItem(const RString& text) {
  return RList::AddItem(new RString(text));
}

bool RStringsList::DeleteItem(int index) {
  RString* text = static_cast<RString*>(RList::GetItem(index));
  if (!RList::DeleteItem(index)) return false;
  delete text;
  return true;
}

bool RStringsList::Clear() {
  for (RItemList* node = GetFirst(); node; node = node->next) {
    delete static_cast<RString*>(node->data);
  }
  return RList::Clear();
}

RString RStringsList::GetItem(int index) const {
  const RString* text = static_cast<const RString*>(RList::GetItem(index));
  return text ? *text : RString();
}
