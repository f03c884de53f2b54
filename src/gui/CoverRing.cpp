#include "gui/CoverRing.h"

#include <algorithm>

void CoverRing::EmptySlot(Slot& slot) {
  slot.cover.reset();
  slot.enlarged.reset();
}

void CoverRing::Empty() {
  for (Slot& slot : slots_) EmptySlot(slot);
}

void CoverRing::TurnForward() {
  Slot leaving = std::move(slots_.front());
  slots_.pop_front();
  EmptySlot(leaving);
  slots_.push_back(std::move(leaving));
}

void CoverRing::TurnBack() {
  Slot leaving = std::move(slots_.back());
  slots_.pop_back();
  EmptySlot(leaving);
  slots_.push_front(std::move(leaving));
}

int CoverRing::CoversOnScreen(int discs, uint32_t selected) {
  int shown = std::min(discs, kShown);
  if (discs <= kSmallGenreDiscs) {
    const int fromSelection = selected < static_cast<uint32_t>(discs) ? discs - static_cast<int>(selected) : 0;
    shown = std::min(shown, fromSelection);
  }
  return shown;
}

bool CoverRing::MayLoad(Step& step, uint32_t now) const {
  const bool may = step.loads == 0 || now - step.start < stepBudget_;
  if (may) ++step.loads;
  return may;
}
