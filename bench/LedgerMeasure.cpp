// ledger_measure generate FILE ROWS DAYS | append COUNT | coin COUNT | open FILE
// For bench/ledger.sh:
//   generate  makes the ledger FILE with the jukebox's own schema (Ledger)
//             and fills it with ROWS rows of a busy cabinet spread over the
//             DAYS days up to now: customers inserting coins, buying songs,
//             videos and albums that then play, now and then a payback, a
//             VIP or a Wi-Fi code, and a start and a stop each day;
//   append    times COUNT appends of a coin row to a running ledger in the
//             working directory, as the cashbox makes them on a coin, and
//             prints the mean and the longest in microseconds;
//   coin      times COUNT coins credited by the cashbox in the working
//             directory (its tempdata saved each time), with the ledger
//             written by its thread and, as the baseline, without a ledger
//             started, alternating, and prints median and longest in ms;
//   open      times what a start adds: opening FILE, with its check, and
//             the sums the reconciliation compares.
#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <random>
#include <vector>
#include <string>

#include "catalogue/MainLibrary.h"
#include "config/Configuration.h"
#include "playback/Queue.h"
#include "state/Cashbox.h"
#include "state/Ledger.h"

namespace {

const char* const kInsert =
    "INSERT INTO ledger (at, kind, item, input, credits, mode, genre, album, title, detail, started, ended,"
    " seconds) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)";
const int kGenres = 20, kAlbums = 60, kTracks = 12;

class Generator {
 public:
  Generator(sqlite3* db, long rows, int days) : db_(db), rows_(rows), days_(days) {
    sqlite3_prepare_v2(db, kInsert, -1, &insert_, nullptr);
  }
  ~Generator() { sqlite3_finalize(insert_); }

  void Run() {
    const int64_t begin = std::time(nullptr) - static_cast<int64_t>(days_) * 86400;
    const double step = static_cast<double>(days_) * 86400 / static_cast<double>(rows_);
    while (written_ < rows_) {
      at_ = begin + static_cast<int64_t>(static_cast<double>(written_) * step);
      Customer();
    }
  }

 private:
  // A coin, a purchase and its play; sometimes more.
  void Customer() {
    const int draw = static_cast<int>(random_() % 100);
    if (at_ / 86400 != day_) {
      day_ = at_ / 86400;
      Row("stop", "", 0, 0, "43");
      Row("start", "", 0, 0, "clean");
    }
    Row("coin", "", 1 + draw % 2, draw % 2 ? 3 : 1, "");
    const char* item = draw < 70 ? "song" : draw < 85 ? "video" : draw < 90 ? "karaoke" : draw < 95 ? "album" : "wifi";
    Track();
    Row("sale", item, 0, 1, "");
    if (draw == 7) Row("sale", "vip", 0, 1, "");
    if (std::string(item) == "wifi") return;
    Row("play", item, 0, 0, draw == 3 ? "failed" : draw % 9 == 0 ? "skipped" : "played");
    if (draw == 3) Row("payback", item, 0, 1, "could not play");
  }

  void Track() {
    const long n = static_cast<long>(random_() % (kGenres * kAlbums * kTracks));
    genre_ = "Genero " + std::to_string(n % kGenres);
    album_ = "Album " + std::to_string(n / kGenres % kAlbums);
    title_ = "Tema " + std::to_string(n / kGenres / kAlbums) + ".mp3";
  }

  void Text(int index, const std::string& text) {
    if (text.empty())
      sqlite3_bind_null(insert_, index);
    else
      sqlite3_bind_text(insert_, index, text.c_str(), -1, SQLITE_TRANSIENT);
  }

  void Row(const char* kind, const std::string& item, int input, int credits, const std::string& detail) {
    if (written_ >= rows_) return;
    const bool withItem = !item.empty() && item != "wifi";
    sqlite3_reset(insert_);
    sqlite3_clear_bindings(insert_);
    sqlite3_bind_int64(insert_, 1, at_);
    Text(2, kind);
    Text(3, item);
    if (input) sqlite3_bind_int(insert_, 4, input);
    sqlite3_bind_int(insert_, 5, credits);
    Text(6, std::string(kind) == "sale" ? "jukebox" : "");
    Text(7, withItem ? genre_ : "");
    Text(8, withItem ? album_ : "");
    Text(9, withItem ? title_ : "");
    Text(10, detail);
    if (std::string(kind) == "play") {
      sqlite3_bind_int64(insert_, 11, at_ - 200);
      sqlite3_bind_int64(insert_, 12, at_);
      sqlite3_bind_int(insert_, 13, 200);
    }
    sqlite3_step(insert_);
    ++written_;
  }

  sqlite3* db_;
  sqlite3_stmt* insert_ = nullptr;
  const long rows_;
  const int days_;
  long written_ = 0;
  int64_t at_ = 0, day_ = 0;
  std::string genre_, album_, title_;
  std::mt19937 random_{20261207};
};

int Generate(const char* file, long rows, int days) {
  {
    Ledger ledger(file);
    if (!ledger.Open()) return 1;
  }
  sqlite3* db = nullptr;
  if (sqlite3_open(file, &db) != SQLITE_OK) return 1;
  sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
  Generator(db, rows, days).Run();
  const bool done = sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK;
  sqlite3_close(db);
  return done ? 0 : 1;
}

int Append(long count) {
  Ledger ledger;
  if (!ledger.Open()) return 1;
  ledger.Start();
  LedgerRow coin;
  coin.kind = "coin";
  coin.input = 1;
  coin.credits = 1;
  double total = 0, longest = 0;
  for (long i = 0; i < count; ++i) {
    const auto start = std::chrono::steady_clock::now();
    ledger.Append(coin);
    const double us = std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count();
    total += us;
    longest = std::max(longest, us);
  }
  const auto start = std::chrono::steady_clock::now();
  ledger.Close();
  const double drain = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  std::printf("append: mean %.2f us, longest %.1f us over %ld rows; draining at stop %.0f ms\n", total / count,
              longest, count, drain);
  return 0;
}

double Milliseconds(const std::function<void()>& action) {
  const auto start = std::chrono::steady_clock::now();
  action();
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

void Summary(const char* what, std::vector<double> times) {
  std::sort(times.begin(), times.end());
  std::fprintf(stderr, "coin, %s: median %.2f ms, 95th percentile %.2f ms, longest %.2f ms over %zu coins\n", what,
               times[times.size() / 2], times[times.size() * 95 / 100], times.back(), times.size());
}

int Coins(long count) {
  MainLibrary library;
  Configuration config(&library);
  config.playmode = "jukebox";
  Queue queue;
  Cashbox withLedger(queue, config, &library), without(queue, config, &library);
  if (!std::freopen("/dev/null", "w", stdout)) return 1;  // the cashbox's log lines
  withLedger.StartLedger(false);
  std::vector<double> ledgered, bare;
  for (long i = 0; i < count; ++i) {
    ledgered.push_back(Milliseconds([&] { withLedger.CreditCoin(1); }));
    bare.push_back(Milliseconds([&] { without.CreditCoin(1); }));
  }
  withLedger.StopLedger(0);
  Summary("ledger written", ledgered);
  Summary("no ledger (baseline)", bare);
  return 0;
}

int OpenAndSum(const char* file) {
  Ledger ledger(file);
  bool summed = false;
  const double opening = Milliseconds([&] { ledger.Open(); });
  const double summing = Milliseconds([&] { summed = ledger.Figures().has_value(); });
  std::printf("start: open and check %.0f ms, sums for the reconciliation %.0f ms\n", opening, summing);
  return summed ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "generate" && argc == 5) return Generate(argv[2], std::atol(argv[3]), std::atoi(argv[4]));
  if (mode == "append" && argc == 3) return Append(std::atol(argv[2]));
  if (mode == "coin" && argc == 3) return Coins(std::atol(argv[2]));
  if (mode == "open" && argc == 3) return OpenAndSum(argv[2]);
  std::fputs("usage: ledger_measure generate FILE ROWS DAYS | append COUNT | coin COUNT | open FILE\n", stderr);
  return 2;
}
