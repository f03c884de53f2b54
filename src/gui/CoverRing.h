#pragma once
// The ring of cover slots around the selected disc: slot kSelected holds the
// selected disc, the slots after it the discs after it and those before it
// the discs before it, wrapping around the genre. Moving one disc turns the
// ring by one slot, so only the cover that comes into view has to be loaded.
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "gui/Surface.h"

class CoverRing {
 public:
  // cover is empty while the slot is not loaded; a disc without a cover of
  // its own shares the default cover. The size is the cover's, given with
  // the disc and its cover's path (empty when it has none, and while the
  // slot holds no disc); enlarged is the cover one gap wider at the
  // carousel's full height, loaded while the slot holds the selected disc.
  struct Slot {
    Surface cover;
    Surface enlarged;
    std::string path;
    uint32_t disc = 0;
    int width = 0;
    int height = 0;
  };
  static constexpr int kSlots = 24;
  static constexpr int kSelected = 10;
  // The covers shown are slots kSelected to kSelected + kShown - 1.
  static constexpr int kShown = 4;
  // Genres of up to this many discs are not wrapped around.
  static constexpr int kSmallGenreDiscs = 3;
  static constexpr uint32_t kStepBudget = 10;

  CoverRing() : slots_(kSlots) {}

  // Slot i; null outside the ring.
  Slot* At(int i) { return i >= 0 && i < kSlots ? &slots_[static_cast<size_t>(i)] : nullptr; }
  const Slot* At(int i) const { return i >= 0 && i < kSlots ? &slots_[static_cast<size_t>(i)] : nullptr; }
  // Empties every slot: the genre changed or the selection jumped.
  void Empty();
  // After the selection moved one disc on, the first slot comes round empty
  // at the end; after it moved back, the last comes round empty first.
  void TurnForward();
  void TurnBack();
  // How many covers the carousel shows for a genre of discs with the
  // selection at selected: up to kShown, and in small genres none past the
  // last disc.
  static int CoversOnScreen(int discs, uint32_t selected);
  // The slots a fill of the ring gives a disc, in the order it loads them:
  // the forward pass from kSelected on with the selected disc and those
  // after it, then, in genres that wrap, the backward pass from
  // kSelected - 1 down with those before it.
  struct Place {
    int slot;
    uint32_t disc;
    bool forward;
  };
  static std::vector<Place> Places(int discs, uint32_t selected);

  // The covers placed (and drawn) in one step of filling the ring: the
  // first always, others while the step has taken less than the budget, so
  // that a genre change spreads over several passes of the main loop.
  struct Step {
    uint32_t start;
    int loads;
  };
  bool MayLoad(Step& step, uint32_t now) const;
  void SetStepBudget(uint32_t ms) { stepBudget_ = ms; }

 private:
  static void EmptySlot(Slot& slot);

  std::deque<Slot> slots_;
  uint32_t stepBudget_ = kStepBudget;
};
