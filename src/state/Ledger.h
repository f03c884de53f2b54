#pragma once
// The operator's ledger in "mldkhub.db": every coin, sale, payback, play,
// operator action, service event, start and stop, one row each, appended
// and never changed. The fleet client keeps its own connection to the same
// file (and a table of its own there, which this code never touches), so
// the file runs with a write-ahead log and every connection waits a while
// for the other's locks.
//
// Rows are written by a writer thread of the ledger's own, in one
// transaction per batch, so that no coin or purchase waits for the disk.
// A ledger that cannot be written is logged, reported by Failing(), keeps
// its rows in memory (up to kMostPending, the oldest going first) and tries
// again when the next row comes; the money goes on meanwhile. A file that is
// no database or fails its check at open is moved aside and a new one
// started.
//
// Threads: any thread appends; the rows waiting, the stop request and the
// writer's retry mark are behind one lock. The connection belongs to the
// caller of Open until Start, then to the writer thread alone.
#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

struct sqlite3;
struct sqlite3_stmt;

// One row; empty texts and an input of 0 are stored as NULL, and the play
// times only in play rows. Texts are UTF-8.
struct LedgerRow {
  int64_t at = 0;
  std::string kind;
  std::string item;
  int input = 0;
  int64_t credits = 0;
  std::string mode, genre, album, title, detail;
  int64_t started = 0, ended = 0;
};

// What the ledger's rows add up to for the figures "tempdata" keeps: the
// balance, and the coins of each input since its counter was last cleared.
// Rows marked reconciled count towards the figure they name.
struct LedgerFigures {
  int64_t balance = 0;
  std::array<int64_t, 6> coins{};
};

class Ledger {
 public:
  static constexpr const char* kFile = "mldkhub.db";
  static constexpr size_t kMostPending = 100000;
  // The operator row of a clearing of the counters of inputs 1 and 2.
  static constexpr const char* kCountersCleared = "counters cleared";

  explicit Ledger(std::string file = kFile);
  ~Ledger();
  Ledger(const Ledger&) = delete;
  Ledger& operator=(const Ledger&) = delete;

  // Opens the file, creating it and its tables when missing; false, logged,
  // when it cannot be written.
  bool Open();
  // The figures of the rows written so far; none without an open file.
  // Only before Start.
  std::optional<LedgerFigures> Figures();
  // Starts the writer thread; rows appended before wait for it.
  void Start();
  // Queues the row, stamped with the time now.
  void Append(LedgerRow row);
  // Writes what is waiting and ends the writer thread.
  void Close();
  // Whether the last write failed, or the file could not be opened.
  bool Failing() const { return failing_; }
  const std::string& File() const { return file_; }

 private:
  using Lock = std::unique_lock<std::mutex>;

  bool Connect();
  bool Damaged();
  void MoveAside();
  bool Prepare();
  void Disconnect();
  void WriterLoop();
  bool WriteBatch(const std::deque<LedgerRow>& rows);
  bool Insert(const LedgerRow& row);
  void NoteWritten();
  void NoteFault(const char* what);

  const std::string file_;
  sqlite3* db_ = nullptr;
  sqlite3_stmt* insert_ = nullptr;

  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<LedgerRow> pending_;
  bool stopping_ = false;
  // After a failed write the writer waits for more rows than this.
  size_t retryAbove_ = 0;
  size_t dropped_ = 0;
  std::thread writer_;
  std::atomic<bool> failing_{false};
};
