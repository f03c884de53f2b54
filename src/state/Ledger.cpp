#include "state/Ledger.h"

#include <sqlite3.h>

#include <cstdio>
#include <ctime>
#include <utility>

#include "platform/Clock.h"
#include "platform/Files.h"
#include "platform/Paths.h"
#include "state/LedgerSql.h"

using ledgersql::Query;

namespace {

// The fleet client's writes hold the file's lock for moments at most.
const int kBusyWaitMs = 5000;

const char* const kSchema =
    "PRAGMA journal_mode=WAL;"
    "PRAGMA synchronous=FULL;"
    "CREATE TABLE IF NOT EXISTS schema_version (version INTEGER NOT NULL);"
    "CREATE TABLE IF NOT EXISTS ledger ("
    " seq INTEGER PRIMARY KEY AUTOINCREMENT, at INTEGER NOT NULL, kind TEXT NOT NULL, item TEXT,"
    " input INTEGER, credits INTEGER NOT NULL DEFAULT 0, mode TEXT, genre TEXT, album TEXT, title TEXT,"
    " detail TEXT, started INTEGER, ended INTEGER, seconds INTEGER);"
    "CREATE INDEX IF NOT EXISTS ledger_at ON ledger(at);"
    "CREATE INDEX IF NOT EXISTS ledger_kind_at ON ledger(kind, at);"
    "INSERT INTO schema_version (version) SELECT 1 WHERE NOT EXISTS (SELECT 1 FROM schema_version);";

const char* const kInsert =
    "INSERT INTO ledger (at, kind, item, input, credits, mode, genre, album, title, detail, started, ended,"
    " seconds) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13)";

// The balance, and per input the coins since the last clearing of the
// counters of inputs 1 and 2 (?1), each with the reconciled rows of its
// figure.
const char* const kBalance =
    "SELECT coalesce(sum(CASE kind WHEN 'coin' THEN credits WHEN 'sale' THEN -credits"
    " WHEN 'payback' THEN credits WHEN 'reconciled' THEN"
    " (CASE detail WHEN 'savedcredits' THEN credits ELSE 0 END) ELSE 0 END), 0) FROM ledger";
const char* const kCoins =
    "SELECT input, count(*) FROM ledger WHERE kind = 'coin' AND input BETWEEN 1 AND 6"
    " AND seq > (CASE WHEN input <= 2 THEN ?1 ELSE 0 END) GROUP BY input"
    " UNION ALL SELECT substr(detail, 8), sum(credits) FROM ledger WHERE kind = 'reconciled'"
    " AND detail GLOB 'counter[1-6]' AND seq > (CASE WHEN detail <= 'counter2' THEN ?1 ELSE 0 END)"
    " GROUP BY detail";

void BindText(sqlite3_stmt* statement, int index, const std::string& text) {
  if (text.empty())
    sqlite3_bind_null(statement, index);
  else
    sqlite3_bind_text(statement, index, text.c_str(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
}

std::string DamagedName(const std::string& file) {
  const std::time_t now = static_cast<std::time_t>(platform::UnixTime());
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", std::gmtime(&now));
  return file + ".damaged-" + stamp;
}

}  // namespace

Ledger::Ledger(std::string file) : file_(std::move(file)) {}

Ledger::~Ledger() {
  Close();
  Disconnect();
}

bool Ledger::Open() {
  if (Connect()) return true;
  NoteFault("no se pudo abrir");
  Disconnect();
  return false;
}

bool Ledger::Connect() {
  const std::string path = platform::ToHostPath(file_);
  const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX;
  if (sqlite3_open_v2(path.c_str(), &db_, flags, nullptr) != SQLITE_OK) return false;
  if (Damaged()) {
    Disconnect();
    MoveAside();
    if (sqlite3_open_v2(path.c_str(), &db_, flags, nullptr) != SQLITE_OK) return false;
  }
  sqlite3_busy_timeout(db_, kBusyWaitMs);
  return sqlite3_exec(db_, kSchema, nullptr, nullptr, nullptr) == SQLITE_OK && Prepare();
}

// A file that is no database, or whose pages do not hold together.
bool Ledger::Damaged() {
  sqlite3_busy_timeout(db_, kBusyWaitMs);
  bool whole = false;
  const bool read = Query(db_, "PRAGMA quick_check", 0, [&](sqlite3_stmt* statement) {
    const unsigned char* verdict = sqlite3_column_text(statement, 0);
    whole = verdict != nullptr && std::string(reinterpret_cast<const char*>(verdict)) == "ok";
  });
  const int fault = sqlite3_errcode(db_);
  return (read && !whole) || fault == SQLITE_NOTADB || fault == SQLITE_CORRUPT;
}

// Its write-ahead log goes with it: the new file must not take its pages.
void Ledger::MoveAside() {
  const std::string aside = DamagedName(file_);
  const bool moved = platform::RenameFile(file_, aside);
  platform::RenameFile(file_ + "-wal", aside + "-wal");
  platform::DeleteFile(file_ + "-shm");
  if (moved)
    std::printf("Registro %s danado: se aparta como %s y se empieza uno nuevo\n", file_.c_str(), aside.c_str());
  else
    std::printf("Registro %s danado y no se pudo apartar\n", file_.c_str());
}

bool Ledger::Prepare() { return sqlite3_prepare_v2(db_, kInsert, -1, &insert_, nullptr) == SQLITE_OK; }

void Ledger::Disconnect() {
  sqlite3_finalize(insert_);
  insert_ = nullptr;
  sqlite3_close(db_);
  db_ = nullptr;
}

std::optional<LedgerFigures> Ledger::Figures() {
  if (db_ == nullptr) return std::nullopt;
  LedgerFigures figures;
  bool read = false;
  const int64_t lastClearing = ledgersql::LastClearing(db_, kCountersCleared, read);
  if (!read || !Query(db_, kBalance, 0, [&](sqlite3_stmt* s) { figures.balance = sqlite3_column_int64(s, 0); }))
    return std::nullopt;
  if (!Query(db_, kCoins, lastClearing, [&](sqlite3_stmt* s) {
        const int input = sqlite3_column_int(s, 0);
        if (input >= 1 && input <= 6) figures.coins[input - 1] += sqlite3_column_int64(s, 1);
      }))
    return std::nullopt;
  return figures;
}

void Ledger::Start() {
  Lock lock(mutex_);
  if (writer_.joinable()) return;
  stopping_ = false;
  writer_ = std::thread(&Ledger::WriterLoop, this);
}

void Ledger::Append(LedgerRow row) {
  row.at = platform::UnixTime();
  Lock lock(mutex_);
  if (pending_.size() >= kMostPending) {
    pending_.pop_front();
    if (dropped_++ == 0)
      std::printf("Registro %s: demasiadas filas sin escribir, se pierden las mas viejas\n", file_.c_str());
  }
  pending_.push_back(std::move(row));
  wake_.notify_one();
}

void Ledger::Close() {
  {
    Lock lock(mutex_);
    if (!writer_.joinable()) return;
    stopping_ = true;
    wake_.notify_one();
  }
  writer_.join();
}

// Each batch is what waited when the writer woke; after a failure the rows
// stay, ahead of those that come later.
void Ledger::WriterLoop() {
  Lock lock(mutex_);
  for (;;) {
    wake_.wait(lock, [&] { return stopping_ || pending_.size() > retryAbove_; });
    std::deque<LedgerRow> batch;
    batch.swap(pending_);
    const bool stop = stopping_;
    lock.unlock();
    const bool written = batch.empty() || WriteBatch(batch);
    if (written) std::deque<LedgerRow>().swap(batch);  // freed outside the lock
    lock.lock();
    if (!written) {
      batch.insert(batch.end(), pending_.begin(), pending_.end());
      pending_.swap(batch);
    }
    retryAbove_ = written ? 0 : pending_.size();
    if (stop) return;
  }
}

bool Ledger::WriteBatch(const std::deque<LedgerRow>& rows) {
  if (db_ == nullptr && !Connect()) {
    Disconnect();
    NoteFault("no se pudo abrir");
    return false;
  }
  bool written = sqlite3_exec(db_, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) == SQLITE_OK;
  for (auto row = rows.begin(); written && row != rows.end(); ++row) written = Insert(*row);
  if (written) written = sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK;
  if (written) {
    NoteWritten();
    return true;
  }
  NoteFault("no se pudo escribir");
  sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
  return false;
}

bool Ledger::Insert(const LedgerRow& row) {
  sqlite3_reset(insert_);
  sqlite3_clear_bindings(insert_);
  sqlite3_bind_int64(insert_, 1, row.at);
  BindText(insert_, 2, row.kind);
  BindText(insert_, 3, row.item);
  if (row.input != 0) sqlite3_bind_int(insert_, 4, row.input);
  sqlite3_bind_int64(insert_, 5, row.credits);
  BindText(insert_, 6, row.mode);
  BindText(insert_, 7, row.genre);
  BindText(insert_, 8, row.album);
  BindText(insert_, 9, row.title);
  BindText(insert_, 10, row.detail);
  if (row.kind == "play") {
    sqlite3_bind_int64(insert_, 11, row.started);
    sqlite3_bind_int64(insert_, 12, row.ended);
    sqlite3_bind_int64(insert_, 13, row.ended - row.started);
  }
  return sqlite3_step(insert_) == SQLITE_DONE;
}

void Ledger::NoteWritten() {
  if (failing_.exchange(false)) std::printf("Registro %s escrito de nuevo\n", file_.c_str());
}

void Ledger::NoteFault(const char* what) {
  if (failing_.exchange(true)) return;
  std::printf("Registro %s: %s: %s\n", file_.c_str(), what, db_ ? sqlite3_errmsg(db_) : "sin conexion");
}
