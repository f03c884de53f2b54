#include "catalogue/TrackList.h"

#include <cstring>

#include "catalogue/TrackElement.h"

namespace {

constexpr uint32_t kFirstTableCapacity = 4;

}  // namespace

TrackList::~TrackList() {
  for (Table* table = added_.load(); table != nullptr;) {
    Table* const replaced = table->replaced;
    memory_->deallocate(table, Table::Bytes(table->capacity), alignof(Table));
    table = replaced;
  }
}

void TrackList::TakeOver(TrackElement* tracks, uint32_t count) {
  takenOver_ = tracks;
  takenOverCount_ = count;
  count_.store(count, std::memory_order_release);
}

TrackList::Table* TrackList::NewTable(uint32_t capacity, Table* replaced) {
  Table* table = static_cast<Table*>(memory_->allocate(Table::Bytes(capacity), alignof(Table)));
  table->replaced = replaced;
  table->capacity = capacity;
  if (replaced != nullptr) std::memcpy(table->Slots(), replaced->Slots(), sizeof(TrackElement*) * replaced->capacity);
  return table;
}

void TrackList::Add(TrackElement* track) {
  const uint32_t count = count_.load(std::memory_order_relaxed);
  const uint32_t slot = count - takenOverCount_;
  Table* table = added_.load(std::memory_order_relaxed);
  if (table == nullptr || slot == table->capacity) {
    table = NewTable(table ? table->capacity * 2 : kFirstTableCapacity, table);
    added_.store(table, std::memory_order_release);
  }
  table->Slots()[slot] = track;
  count_.store(count + 1, std::memory_order_release);
}

TrackElement* TrackList::Get(unsigned i) const {
  if (i >= Count()) return nullptr;
  if (i < takenOverCount_) return takenOver_ + i;
  return added_.load(std::memory_order_acquire)->Slots()[i - takenOverCount_];
}
