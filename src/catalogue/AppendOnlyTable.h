#pragma once
// Elements by position in a table that one thread appends to while others
// read it. An entry is in place before the count that covers it is
// published, and a table that grows is copied, the old one kept for readers
// until this one goes.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory_resource>

template <class Element>
class AppendOnlyTable {
 public:
  explicit AppendOnlyTable(std::pmr::memory_resource* memory) : memory_(memory) {}
  ~AppendOnlyTable() {
    for (Block* block = block_.load(); block != nullptr;) {
      Block* const replaced = block->replaced;
      memory_->deallocate(block, Block::Bytes(block->capacity), alignof(Block));
      block = replaced;
    }
  }
  AppendOnlyTable(const AppendOnlyTable&) = delete;
  AppendOnlyTable& operator=(const AppendOnlyTable&) = delete;

  void Append(Element* element) {
    const uint32_t count = count_.load(std::memory_order_relaxed);
    Block* block = block_.load(std::memory_order_relaxed);
    if (block == nullptr || count == block->capacity) {
      block = NewBlock(block ? block->capacity * 2 : kFirstCapacity, block);
      block_.store(block, std::memory_order_release);
    }
    block->Slots()[count] = element;
    count_.store(count + 1, std::memory_order_release);
  }
  // Room for capacity entries in all, so that appends up to there take no
  // further memory: a table filled at once then takes no more than it holds.
  void Reserve(uint32_t capacity) {
    Block* block = block_.load(std::memory_order_relaxed);
    if (capacity > (block ? block->capacity : 0)) block_.store(NewBlock(capacity, block), std::memory_order_release);
  }
  // Empties the table, keeping its memory; nobody may read meanwhile.
  void Clear() { count_.store(0, std::memory_order_relaxed); }
  // The element at position i; null when there is none.
  Element* Get(uint32_t i) const {
    if (i >= Count()) return nullptr;
    return block_.load(std::memory_order_acquire)->Slots()[i];
  }
  uint32_t Count() const { return count_.load(std::memory_order_acquire); }

 private:
  // The slots follow the block's two fields.
  struct Block {
    Block* replaced;
    uint32_t capacity;
    Element** Slots() { return reinterpret_cast<Element**>(this + 1); }
    static size_t Bytes(uint32_t capacity) { return sizeof(Block) + sizeof(Element*) * capacity; }
  };
  static constexpr uint32_t kFirstCapacity = 4;

  Block* NewBlock(uint32_t capacity, Block* replaced) {
    Block* block = static_cast<Block*>(memory_->allocate(Block::Bytes(capacity), alignof(Block)));
    block->replaced = replaced;
    block->capacity = capacity;
    if (replaced != nullptr) std::memcpy(block->Slots(), replaced->Slots(), sizeof(Element*) * replaced->capacity);
    return block;
  }

  std::pmr::memory_resource* memory_;
  std::atomic<Block*> block_{nullptr};
  std::atomic<uint32_t> count_{0};
};
