#include "playback/Queue.h"

#include <algorithm>

namespace {

using Lock = std::lock_guard<std::mutex>;

}  // namespace

Queue::~Queue() {
  for (RItemList* node = entries_.GetFirst(); node; node = node->next) delete &ElementOf(node);
}

QueueElement& Queue::ElementOf(const RItemList* node) {
  return *static_cast<QueueElement*>(node->data);
}

bool Queue::AddElementToQueue(uint32_t genre, uint32_t disc, uint32_t track, int32_t paid) {
  Lock lock(mutex_);
  return entries_.AddItem(new QueueElement{genre, disc, track, 0, paid});
}

bool Queue::AddElementToQueueVIP(uint32_t genre, uint32_t disc, uint32_t track) {
  Lock lock(mutex_);
  InsertVIPLocked(new QueueElement{genre, disc, track, 1});
  return true;
}

// The playing item at position 0 is never passed; the new entry goes ahead of
// the first waiting entry that is not VIP, or to the end when there is none.
void Queue::InsertVIPLocked(QueueElement* element) {
  element->vip = 1;
  RItemList* first = entries_.GetFirst();
  RItemList* waiting = first ? first->next.load() : nullptr;
  while (waiting && ElementOf(waiting).vip == 1) waiting = waiting->next;
  if (waiting)
    entries_.InsertItemRawAfter(element, waiting->prev);
  else
    entries_.AddItem(element);
}

std::optional<QueueElement> Queue::GetElementFromQueue(int index) const {
  Lock lock(mutex_);
  const RItemList* node = entries_.GetItemRaw(index);
  if (!node) return std::nullopt;
  return ElementOf(node);
}

std::optional<QueueElement> Queue::GetLastElement() const {
  Lock lock(mutex_);
  const RItemList* node = entries_.GetLast();
  if (!node) return std::nullopt;
  return ElementOf(node);
}

std::vector<QueueElement> Queue::GetElements() const {
  Lock lock(mutex_);
  std::vector<QueueElement> elements;
  elements.reserve(entries_.Count());
  for (const RItemList* node = entries_.GetFirst(); node; node = node->next)
    elements.push_back(ElementOf(node));
  return elements;
}

int Queue::Count() const {
  Lock lock(mutex_);
  return entries_.Count();
}

bool Queue::Remove(int index) {
  Lock lock(mutex_);
  if (!entries_.GetItemRaw(index)) return false;
  RemoveNodeLocked(index);
  return true;
}

void Queue::RemoveNodeLocked(int index) {
  delete &ElementOf(entries_.GetItemRaw(index));
  entries_.DeleteItem(index);
}

bool Queue::LastWouldPassAsVIP(const QueueElement& expected) const {
  Lock lock(mutex_);
  return LastWouldPassLocked(expected);
}

// The playing entry at position 0 is never passed.
bool Queue::LastWouldPassLocked(const QueueElement& expected) const {
  const RItemList* last = entries_.GetLast();
  if (!last || !ElementOf(last).SamePlay(expected)) return false;
  for (const RItemList* node = entries_.GetFirst()->next; node != nullptr && node != last; node = node->next)
    if (ElementOf(node).vip == 0) return true;
  return false;
}

bool Queue::RemoveLastAndInsertVIP(const QueueElement& expected, int32_t price) {
  Lock lock(mutex_);
  if (!LastWouldPassLocked(expected)) return false;
  QueueElement* element = &ElementOf(entries_.GetLast());
  entries_.DeleteItem(entries_.Count() - 1);
  element->paid += price;
  InsertVIPLocked(element);
  return true;
}

bool Queue::RemoveIf(int index, const QueueElement& expected) {
  Lock lock(mutex_);
  RItemList* node = entries_.GetItemRaw(index);
  if (!node || !ElementOf(node).SamePlay(expected)) return false;
  RemoveNodeLocked(index);
  return true;
}

bool PlaceLastAsVIP(std::vector<QueueElement>& entries, const QueueElement& expected, int32_t price) {
  if (entries.size() < 2 || !entries.back().SamePlay(expected)) return false;
  const auto firstNormal =
      std::find_if(entries.begin() + 1, entries.end() - 1, [](const QueueElement& e) { return e.vip == 0; });
  if (firstNormal == entries.end() - 1) return false;
  QueueElement element = entries.back();
  element.vip = 1;
  element.paid += price;
  entries.pop_back();
  entries.insert(firstNormal, element);
  return true;
}
