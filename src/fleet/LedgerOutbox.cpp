#include "fleet/LedgerOutbox.h"

#include <ctime>

namespace fleet {

LedgerOutbox::LedgerOutbox(const std::string& hostPath) : db_(hostPath) {
  // An acknowledgement lost to a power cut costs at most a row sent twice.
  if (db_.Ok())
    db_.Run("PRAGMA synchronous=NORMAL; CREATE TABLE IF NOT EXISTS fleet_sent (seq INTEGER PRIMARY KEY);");
}

// The ledger appears once its writer first runs; after that it stays.
bool LedgerOutbox::HasLedger() {
  if (!ledgerSeen_ && db_.Ok()) ledgerSeen_ = db_.HasTable("ledger");
  return ledgerSeen_;
}

std::vector<LedgerRow> LedgerOutbox::Unsent(int64_t afterSeq, int limit, int64_t againFrom, int64_t againUpTo) {
  std::vector<LedgerRow> rows;
  if (!HasLedger()) return rows;
  Statement query(db_,
                  "SELECT * FROM ledger WHERE seq > ? AND (seq BETWEEN ? AND ? OR seq NOT IN "
                  "(SELECT seq FROM fleet_sent)) ORDER BY seq LIMIT ?");
  query.Bind(1, afterSeq).Bind(2, againFrom).Bind(3, againUpTo).Bind(4, int64_t{limit});
  while (query.Step()) {
    LedgerRow row;
    row.object = query.RowObject();
    row.seq = row.object.value("seq", int64_t{0});
    rows.push_back(std::move(row));
  }
  return rows;
}

bool LedgerOutbox::MarkSent(int64_t seq) {
  return Statement(db_, "INSERT OR IGNORE INTO fleet_sent (seq) VALUES (?)").Bind(1, seq).Done();
}

int64_t LedgerOutbox::CoinCreditsSince(int64_t since) {
  if (!HasLedger()) return 0;
  Statement query(db_, "SELECT COALESCE(SUM(credits), 0) FROM ledger WHERE kind = 'coin' AND at >= ?");
  return query.Bind(1, since).Step() ? query.Int(0) : 0;
}

int64_t StartOfLocalDay(int64_t now) {
  const std::time_t moment = static_cast<std::time_t>(now);
  std::tm local{};
  localtime_r(&moment, &local);
  local.tm_hour = local.tm_min = local.tm_sec = 0;
  local.tm_isdst = -1;
  return static_cast<int64_t>(std::mktime(&local));
}

}  // namespace fleet
