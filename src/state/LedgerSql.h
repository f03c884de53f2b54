#pragma once
// What the ledger's writer and its readers share of its SQL.
#include <sqlite3.h>

#include <cstdint>

namespace ledgersql {

// The sequence number of the last clearing of the counters (?1 is its
// operator row's detail); 0 when there was none.
constexpr const char* kLastClearing =
    "SELECT coalesce(max(seq), 0) FROM ledger WHERE kind = 'operator' AND detail = ?1";

// Runs sql with its one parameter, if it has one, handing each row to
// onRow; false when it failed.
template <typename OnRow>
bool Query(sqlite3* db, const char* sql, int64_t parameter, OnRow onRow) {
  sqlite3_stmt* statement = nullptr;
  if (sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) != SQLITE_OK) return false;
  if (sqlite3_bind_parameter_count(statement) > 0) sqlite3_bind_int64(statement, 1, parameter);
  int step;
  while ((step = sqlite3_step(statement)) == SQLITE_ROW) onRow(statement);
  sqlite3_finalize(statement);
  return step == SQLITE_DONE;
}

// The clearing's sequence number, the detail being a text parameter.
inline int64_t LastClearing(sqlite3* db, const char* detail, bool& read) {
  int64_t seq = 0;
  sqlite3_stmt* statement = nullptr;
  read = sqlite3_prepare_v2(db, kLastClearing, -1, &statement, nullptr) == SQLITE_OK &&
         sqlite3_bind_text(statement, 1, detail, -1, SQLITE_STATIC) == SQLITE_OK &&
         sqlite3_step(statement) == SQLITE_ROW;
  if (read) seq = sqlite3_column_int64(statement, 0);
  sqlite3_finalize(statement);
  return seq;
}

}  // namespace ledgersql
