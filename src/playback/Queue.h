#pragma once
// The play queue: catalogue positions waiting to be played, in playing order.
// Position 0 is the item playing (or about to play). The main thread and the
// playback thread share it: every operation takes the queue's own lock, and
// readers get copies, never references into the queue.
#include <cstdint>
#include <mutex>
#include <optional>
#include <vector>

#include "base/RList.h"

struct QueueElement {
  uint32_t genre = 0;
  uint32_t disc = 0;
  uint32_t track = 0;
  uint8_t vip = 0;
  // Credits the customer paid for the entry; 0 when nobody paid for it.
  int32_t paid = 0;

  // Whether both stand for the same catalogue track; the VIP mark aside.
  bool SamePlay(const QueueElement& other) const {
    return genre == other.genre && disc == other.disc && track == other.track;
  }
};

// RemoveLastAndInsertVIP's move made on a copy of the entries, for a state
// that is saved before the queue takes it; false, with entries unchanged,
// when the last entry would not pass a normal one.
bool PlaceLastAsVIP(std::vector<QueueElement>& entries, const QueueElement& expected, int32_t price);

class Queue {
 public:
  Queue() = default;
  ~Queue();
  Queue(const Queue&) = delete;
  Queue& operator=(const Queue&) = delete;

  // Appends a normal entry, paid for with paid credits.
  bool AddElementToQueue(uint32_t genre, uint32_t disc, uint32_t track, int32_t paid = 0);
  // Inserts a VIP entry behind the playing item and the VIP entries already
  // waiting, ahead of every normal entry that waits.
  bool AddElementToQueueVIP(uint32_t genre, uint32_t disc, uint32_t track);
  // A copy of the entry at index; none when there is no such position.
  std::optional<QueueElement> GetElementFromQueue(int index) const;
  std::optional<QueueElement> GetLastElement() const;
  // Copies of all entries in queue order, taken at one moment.
  std::vector<QueueElement> GetElements() const;
  int Count() const;
  // Takes the entry at index out; false when there is none.
  bool Remove(int index);

  // Whether the last entry is still the same play as expected and, made
  // VIP, would pass a normal entry waiting ahead of it.
  bool LastWouldPassAsVIP(const QueueElement& expected) const;
  // Turns the last entry into a VIP entry placed as AddElementToQueueVIP
  // places it, provided LastWouldPassAsVIP holds, and adds price to what was
  // paid for it; false, with nothing changed, otherwise.
  bool RemoveLastAndInsertVIP(const QueueElement& expected, int32_t price = 0);
  // Removes the entry at index provided it is still the same play as
  // expected; false, with nothing changed, otherwise.
  bool RemoveIf(int index, const QueueElement& expected);
  // The playback thread's "this item is over".
  bool RemoveHeadIf(const QueueElement& expected) { return RemoveIf(0, expected); }

 private:
  static QueueElement& ElementOf(const RItemList* node);
  // These expect the lock to be held.
  void InsertVIPLocked(QueueElement* element);
  void RemoveNodeLocked(int index);
  bool LastWouldPassLocked(const QueueElement& expected) const;

  mutable std::mutex mutex_;
  RList entries_;  // of owned QueueElement*
};
