#pragma once
// The sales the cashbox is still saving, and what the screen does once each
// has ended: the main loop collects the ended ones every pass and runs what
// follows each (its log line, redraw and notice), in the order submitted.
// While any is pending, the loop keeps the customer's keys for after it.
//
// Threads: the main thread only; the cashbox ends the sales on its saver.
#include <deque>
#include <functional>

#include "state/Cashbox.h"

class PendingSales {
 public:
  using Then = std::function<void(const Cashbox::Outcome&)>;

  void Add(Cashbox::Ticket ticket, Then then);
  bool Waiting() const { return !pending_.empty(); }
  // Runs what follows each sale the cashbox has ended.
  void Finish(Cashbox& cashbox);

 private:
  struct Pending {
    Cashbox::Ticket ticket;
    Then then;
  };
  // What follows the sale, taken out of the pending ones; none for a sale
  // not submitted here.
  Then Take(Cashbox::Ticket ticket);

  std::deque<Pending> pending_;
};
