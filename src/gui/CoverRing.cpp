#include "gui/CoverRing.h"

#include <algorithm>

void CoverRing::EmptySlot(Slot& slot) {
  slot.cover.reset();
  slot.enlarged.reset();
  slot.path.clear();
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

std::vector<CoverRing::Place> CoverRing::Places(int discs, uint32_t selected) {
  std::vector<Place> places;
  if (discs <= 0 || selected >= static_cast<uint32_t>(discs)) return places;
  const uint32_t count = static_cast<uint32_t>(discs);
  const bool wraps = discs > kSmallGenreDiscs;
  uint32_t disc = selected;
  for (int i = kSelected; i < kSlots && (wraps || disc < count); ++i) {
    places.push_back({i, disc, true});
    disc = wraps ? (disc + 1) % count : disc + 1;
  }
  if (!wraps) return places;
  disc = (selected + count - 1) % count;
  for (int i = kSelected - 1; i >= 0; --i) {
    places.push_back({i, disc, false});
    disc = (disc + count - 1) % count;
  }
  return places;
}
