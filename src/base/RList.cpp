#include "base/RList.h"

#include <new>

RList::~RList() { RList::Clear(); }

RItemList* RList::Link(void* data, RItemList* prev, RItemList* next) {
  RItemList* node = new (nodes_->allocate(sizeof(RItemList), alignof(RItemList))) RItemList;
  node->data = data;
  node->prev = prev;
  node->next.store(next, std::memory_order_relaxed);
  if (next) ++reshapes_;
  // Readers find the node complete once they can reach it or count it.
  (prev ? prev->next : first_).store(node, std::memory_order_release);
  (next ? next->prev : last_) = node;
  count_.store(count_.load(std::memory_order_relaxed) + 1, std::memory_order_release);
  return node;
}

bool RList::AddItem(const void* data) {
  Link(const_cast<void*>(data), last_, nullptr);
  return true;
}

bool RList::PrependItem(void* data) {
  Link(data, nullptr, first_);
  return true;
}

bool RList::InsertItem(void* data, int index) {
  if (count_ == 0) return PrependItem(data);
  RItemList* at = GetItemRaw(index);
  if (!at) return false;
  Link(data, at->prev, at);
  return true;
}

RItemList* RList::InsertItemRawAfter(void* data, RItemList* node) {
  return node ? Link(data, node, node->next) : nullptr;
}

bool RList::DeleteItem(int index) {
  RItemList* node = GetItemRaw(index);
  if (!node) return false;
  RItemList* const next = node->next;
  (node->prev ? node->prev->next : first_) = next;
  (next ? next->prev : last_) = node->prev;
  Release(node);
  --count_;
  ++reshapes_;
  return true;
}

bool RList::Clear() {
  for (RItemList* node = first_; node;) {
    RItemList* const next = node->next;
    Release(node);
    node = next;
  }
  first_ = nullptr;
  last_ = nullptr;
  count_ = 0;
  ++reshapes_;
  return true;
}

void RList::Release(RItemList* node) { nodes_->deallocate(node, sizeof(RItemList), alignof(RItemList)); }

RItemList* RList::GetItemRaw(int index) const {
  if (index < 0 || index >= count_) return nullptr;
  RItemList* node = first_;
  for (int i = 0; i < index; ++i) node = node->next;
  return node;
}

void* RList::GetItem(int index) const {
  RItemList* node = GetItemRaw(index);
  return node ? node->data : nullptr;
}

bool RList::SetItem(void* data, int index) {
  RItemList* node = GetItemRaw(index);
  if (!node) return false;
  node->data = data;
  return true;
}
