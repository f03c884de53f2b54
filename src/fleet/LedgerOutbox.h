#pragma once
// The cabinet's side of the ledger in "mldkhub.db": the rows the broker has
// not yet acknowledged, and the day's takings. It reads the ledger through
// a connection of its own and writes only the acknowledgements, in
// "fleet_sent", a table the ledger's writer never touches. A file without a
// ledger yet is no error: it simply has nothing to send.
#include <cstdint>
#include <string>
#include <vector>

#include "fleet/Sqlite.h"

namespace fleet {

struct LedgerRow {
  int64_t seq = 0;
  // The row as published: its columns by name, NULL ones left out.
  nlohmann::json object;
};

class LedgerOutbox {
 public:
  explicit LedgerOutbox(const std::string& hostPath);

  bool Ok() const { return db_.Ok(); }
  // At most limit rows after seq, oldest first: those not acknowledged yet,
  // and those from againFrom up to againUpTo even when they were.
  std::vector<LedgerRow> Unsent(int64_t afterSeq, int limit, int64_t againFrom = 0, int64_t againUpTo = 0);
  // Keeps the broker's acknowledgement of the row.
  bool MarkSent(int64_t seq);
  // Credits the coins gave since the moment (Unix seconds).
  int64_t CoinCreditsSince(int64_t since);

 private:
  bool HasLedger();

  Database db_;
  bool ledgerSeen_ = false;
};

// The Unix time of the last local midnight at or before now.
int64_t StartOfLocalDay(int64_t now);

}  // namespace fleet
