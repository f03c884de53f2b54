#include "gui/PendingSales.h"

#include <algorithm>
#include <utility>

void PendingSales::Add(Cashbox::Ticket ticket, Then then) { pending_.push_back({ticket, std::move(then)}); }

// What follows may show a message, whose loop may come back here: each is
// taken out before it runs.
void PendingSales::Finish(Cashbox& cashbox) {
  if (!Waiting()) return;
  for (const Cashbox::Outcome& outcome : cashbox.FinishedSales()) {
    if (const Then then = Take(outcome.ticket)) then(outcome);
  }
}

PendingSales::Then PendingSales::Take(Cashbox::Ticket ticket) {
  const auto found = std::find_if(pending_.begin(), pending_.end(),
                                  [ticket](const Pending& pending) { return pending.ticket == ticket; });
  if (found == pending_.end()) return nullptr;
  Then then = std::move(found->then);
  pending_.erase(found);
  return then;
}
