#include "state/LedgerStatistics.h"

#include <sqlite3.h>

#include <limits>

#include "platform/Paths.h"
#include "state/Ledger.h"
#include "state/LedgerSql.h"

using ledgersql::Query;

namespace {

// The last row before the local day of ?1 began; the ledger_at index
// finds it.
const char* const kBeforeToday =
    "SELECT coalesce(min(seq), (SELECT coalesce(max(seq), 0) + 1 FROM ledger)) - 1 FROM ledger"
    " WHERE at >= CAST(strftime('%s', ?1, 'unixepoch', 'localtime', 'start of day', 'utc') AS INTEGER)";
const char* const kTakings =
    "SELECT kind, coalesce(input, 0), count(*), coalesce(sum(credits), 0) FROM ledger"
    " WHERE seq > ?1 AND kind IN ('coin', 'sale', 'payback') GROUP BY kind, input";
const char* const kMostPlayed =
    "SELECT genre, album, title, count(*) AS plays FROM ledger"
    " WHERE kind = 'play' AND detail <> 'failed' AND title IS NOT NULL"
    " GROUP BY genre, album, title ORDER BY plays DESC, genre, album, title LIMIT ?1";

std::string Text(sqlite3_stmt* statement, int column) {
  const unsigned char* text = sqlite3_column_text(statement, column);
  return text ? reinterpret_cast<const char*>(text) : "";
}

void AddTakings(sqlite3_stmt* row, Takings& takings) {
  const std::string kind = Text(row, 0);
  const int input = sqlite3_column_int(row, 1);
  const int64_t count = sqlite3_column_int64(row, 2), credits = sqlite3_column_int64(row, 3);
  if (kind == "coin") {
    if (input >= 1 && input <= 6) takings.coins[input - 1] += count;
    takings.coinCredits += credits;
  } else if (kind == "sale") {
    takings.sold += credits;
  } else {
    takings.paidBack += credits;
  }
}

bool ReadTakings(sqlite3* db, int64_t afterSeq, Takings& takings) {
  return Query(db, kTakings, afterSeq, [&](sqlite3_stmt* row) { AddTakings(row, takings); });
}

bool ReadAll(sqlite3* db, int64_t now, LedgerStatistics& statistics) {
  int64_t beforeToday = std::numeric_limits<int64_t>::max();
  bool read = false;
  const int64_t lastClearing = ledgersql::LastClearing(db, Ledger::kCountersCleared, read);
  return read &&
         Query(db, kBeforeToday, now, [&](sqlite3_stmt* row) { beforeToday = sqlite3_column_int64(row, 0); }) &&
         ReadTakings(db, beforeToday, statistics.today) &&
         ReadTakings(db, lastClearing, statistics.sinceCleared) &&
         Query(db, kMostPlayed, kMostPlayedShown, [&](sqlite3_stmt* row) {
           statistics.mostPlayed.push_back(TrackPlays{Text(row, 0), Text(row, 1), Text(row, 2),
                                                      sqlite3_column_int64(row, 3)});
         });
}

// SQLite asks every so many steps; non-zero ends the statement.
int Cancelled(void* cancel) { return static_cast<std::atomic<bool>*>(cancel)->load() ? 1 : 0; }

const int kStepsBetweenChecks = 100;

}  // namespace

std::optional<LedgerStatistics> ReadStatistics(const std::string& file, int64_t now,
                                               std::atomic<bool>* cancel) {
  sqlite3* db = nullptr;
  LedgerStatistics statistics;
  const bool opened =
      sqlite3_open_v2(platform::ToHostPath(file).c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK;
  if (opened && cancel) sqlite3_progress_handler(db, kStepsBetweenChecks, Cancelled, cancel);
  const bool read = opened && sqlite3_busy_timeout(db, 5000) == SQLITE_OK && ReadAll(db, now, statistics);
  sqlite3_close(db);
  if (!read) return std::nullopt;
  return statistics;
}
