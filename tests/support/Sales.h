#pragma once
// Waiting for a sale submitted to the cashbox to end.
#include <gtest/gtest.h>

#include "state/Cashbox.h"

// The sale's outcome once the cashbox's saver has ended it; sales that ended
// before it are dropped.
inline Cashbox::Outcome Ended(Cashbox& cashbox, Cashbox::Ticket ticket) {
  cashbox.Flush();
  for (const Cashbox::Outcome& outcome : cashbox.FinishedSales())
    if (outcome.ticket == ticket) return outcome;
  ADD_FAILURE() << "sale " << ticket << " never ended";
  return {};
}

inline Cashbox::Sale SaleOf(Cashbox& cashbox, Cashbox::Ticket ticket) { return Ended(cashbox, ticket).sale; }
