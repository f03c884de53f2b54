#pragma once
// A doubly linked list of untyped pointers addressed by 0-based position.
// The list owns its nodes but never the elements they point to. Positional
// access walks from the head; code that visits every element should walk the
// nodes from GetFirst() instead.
//
// One thread may append (AddItem) while others read the list: a new node is
// complete before the link to it and the count that includes it are
// published. Every other change needs the readers to wait.
#include <atomic>
#include <memory_resource>

// One node of an RList.
struct RItemList {
  void* data = nullptr;
  std::atomic<RItemList*> next{nullptr};
  RItemList* prev = nullptr;
};

class RList {
 public:
  RList() = default;
  // A list whose nodes come from nodes, which must outlive it; the
  // catalogue takes them from its arena.
  explicit RList(std::pmr::memory_resource* nodes) : nodes_(nodes) {}
  virtual ~RList();
  RList(const RList&) = delete;
  RList& operator=(const RList&) = delete;

  bool AddItem(const void* data);
  bool PrependItem(void* data);
  // Inserts so that data takes position index, which must be a current
  // position; into an empty list the index does not matter.
  bool InsertItem(void* data, int index);
  // Inserts right after node; the new node, or nullptr when node is null.
  RItemList* InsertItemRawAfter(void* data, RItemList* node);
  virtual bool DeleteItem(int index);
  virtual bool Clear();

  RItemList* GetItemRaw(int index) const;
  void* GetItem(int index) const;
  bool SetItem(void* data, int index);
  int Count() const { return count_; }
  // Changes that may have moved elements to other positions: every one but
  // an append. A position found before the count changed may be stale.
  unsigned Reshapes() const { return reshapes_; }

  RItemList* GetFirst() const { return first_; }
  RItemList* GetLast() const { return last_; }

 private:
  // Links a new node between prev and next (either may be null).
  RItemList* Link(void* data, RItemList* prev, RItemList* next);
  void Release(RItemList* node);

  std::pmr::memory_resource* nodes_ = std::pmr::new_delete_resource();

  std::atomic<RItemList*> first_{nullptr};
  RItemList* last_ = nullptr;
  std::atomic<int> count_{0};
  unsigned reshapes_ = 0;
};
