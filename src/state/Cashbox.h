#pragma once
// The one owner of the customer's money. Every change of the credits goes
// through here: coins, purchases of tracks, albums, VIP, Wi-Fi codes and
// downloads, paybacks of items that could not play, and the operator's
// counters. Each change is saved with the queue in "tempdata" through
// SavedState, and a purchase is taken only once the state that holds it is
// on disk, so that nothing plays or is shown that a power cut could undo.
//
// Prices are charged only in the coin-operated mode ("jukebox"); in every
// other mode a purchase takes nothing and coins stay the customer's. The
// balance never goes below 0 and sums stop at the largest balance.
//
// Threads: the playback thread calls PayBack and Finish, which save on it,
// the main thread the rest, which never waits for the disk: its changes are
// saved behind by a thread of the cashbox's own (StateSaver), and a sale is
// submitted there and ends on it, to be collected with FinishedSales. The
// credits, the counters and the taking of a snapshot are behind one lock,
// which is never held while a file is written. Saves are made one at a
// time, each of the state as it is when its turn comes, so an older state
// never replaces a newer one; a purchase's save and its taking effect are
// one turn. Each money line of the log is written once its state is saved.
//
// Every coin, sale, payback, play, counter clearing and settings change is
// also a row of the ledger (Ledger), which writes on a thread of its own:
// a ledger that cannot be written never holds up the money. At start the
// figures of "tempdata" are set beside the ledger's, and each difference is
// a row of its own.
#include <array>
#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "playback/PlayerListener.h"
#include "playback/Queue.h"
#include "state/Ledger.h"
#include "state/SavedState.h"
#include "state/StateSaver.h"

class Configuration;
class MainLibrary;

class Cashbox {
 public:
  Cashbox(Queue& queue, const Configuration& config, const MainLibrary* library);

  // Start-up, before the playback thread runs: credits, queue and counters
  // from "tempdata", and the saved volume when the configuration does not
  // fix one. With jumpsong the first saved entry is dropped and the state
  // saved again at once.
  std::optional<int32_t> Restore();
  // Replaces credits and counters, and appends the entries, as a restored
  // state would; for start-up and tests. The volume stays.
  void Restore(const StateSnapshot& state);
  // The volume to keep, when the configuration does not fix it; saved.
  void SetVolume(int32_t volume);

  int32_t Credits() const;
  int32_t CoinCount(int input) const;

  // One pulse of coin input 1 to 6; another input counts nothing.
  void CreditCoin(int input);

  enum class Sale {
    kDone,
    // Not enough credits, or nothing left to buy.
    kShort,
    // The state could not be saved: nothing was taken or queued.
    kNotSaved,
    // Its saved line would be longer than our readers take.
    kTooLong,
  };
  struct Item {
    QueueElement entry;
    int32_t price = 0;
  };
  // A sale's number, to find its end among the finished sales.
  using Ticket = uint64_t;
  struct Outcome {
    Ticket ticket = 0;
    Sale sale = Sale::kShort;
    // How many items were queued, the credits they took, and the credits
    // left once the sale was saved.
    int bought = 0;
    int32_t paid = 0;
    int32_t left = 0;
  };
  // Each purchase is submitted and returns at once; it is made on the
  // saver's turn, against the credits and queue of then, and ends once the
  // state that holds it is saved (or it was refused).
  //
  // A whole album: queues the items in order while, in the coin-operated
  // mode, the credits pay each at its price and at least least; those
  // bought stay bought when the credits run out. The sale is done when at
  // least one was.
  Ticket Buy(const std::vector<Item>& items, int32_t least);
  Ticket Buy(const QueueElement& entry, int32_t price);
  // Turns last, the queue's last entry, into a VIP entry for price more;
  // kShort when it would no longer pass a normal entry.
  Ticket BuyVip(const QueueElement& last, int32_t price);
  // A Wi-Fi code for price credits, and its return when it could not be
  // made: what its sale took (its Outcome's paid) comes back.
  Ticket BuyWifiCode(int32_t price);
  void ReturnWifiCode(int32_t paid);
  // The sales ended since the last call, in the order submitted.
  std::vector<Outcome> FinishedSales();
  // Playback thread: the head entry could not be played. It leaves the queue
  // and what was paid for it comes back in one step, so that no state saved
  // holds both or neither, and that is saved. False when the entry is no
  // longer the head.
  bool PayBack(const QueueElement& entry, const PlayReport& report = {});
  // Playback thread: the head entry was played; it leaves the queue, saved.
  void Finish(const QueueElement& entry, const PlayReport& report = {});
  // Queues an entry nobody paid for, saved behind.
  void AddFree(const QueueElement& entry);
  // The operator's reset of the counters of inputs 1 and 2.
  void ClearCoinCounters();
  // The operator saved the settings: each coin value and the play mode
  // changed since the last time go to the ledger.
  void NoteSettingsSaved();
  // Something the cabinet needs service for, for the ledger.
  void NoteService(const std::string& what);

  // After Restore: opens the ledger, notes the start (after a power cut
  // when the last run did not end cleanly), reconciles it with the
  // restored state and starts writing it.
  void StartLedger(bool afterPowerCut);
  // Notes the stop with the exit status and writes all that waits.
  void StopLedger(int status);
  // Whether the ledger cannot be written: the cabinet needs service.
  bool LedgerFailing() const { return ledger_.Failing(); }
  const std::string& LedgerFile() const { return ledger_.File(); }

  // Saves the state as it is now on the calling thread; false when it
  // could not be saved. Not for the main thread once it runs its loop.
  bool Save();
  // Has the state as it is now saved behind.
  void AskSave();
  // Asks for a save when something changed since the last save, and while
  // saving fails every kRetryInterval ms.
  void SaveIfDue();
  // Waits until every change and sale so far had its turn to be saved.
  void Flush() { saver_.Flush(); }
  // Stands in for the disk; for tests.
  void SetStateWriter(SavedState::Writer writer);
  // Whether the last save failed: the cabinet needs service.
  bool SaveFailing() const { return saveFailing_; }
  // Whether the entry can be kept in the saved state at all.
  bool CanSave(const QueueElement& entry) const { return store_.CanSave(entry); }

  static constexpr uint32_t kRetryInterval = 5000;

 private:
  using Lock = std::lock_guard<std::mutex>;

  bool Charging() const;
  // Runs sale on the saver's turn, its outcome then kept for FinishedSales.
  Ticket Submit(std::function<Outcome()> sale);
  template <typename Plan, typename Apply>
  Sale Sell(Plan plan, Apply apply);
  Outcome SellVip(const QueueElement& last, int32_t price);
  Outcome SellWifiCode(int32_t price);
  // The saver's save: the state when it changed or saving fails.
  void SaveWhenChanged();
  StateSnapshot SnapshotLocked() const;
  // Writes state, which the live one holds at version once the caller's
  // turn ends; expects the write lock to be held.
  bool WriteLocked(const StateSnapshot& state, uint64_t version);
  void NoteSaved(uint64_t version);
  void NoteFailure();
  // line goes to the log once the state of now was saved (or failed to be).
  // Expects the lock held.
  void LogWhenSaved(std::string line);
  void LogLinesUpTo(uint64_t version);
  // Adds to the credits; what was really added. Expects the lock held.
  int64_t Give(int64_t credits, const char* why);
  Outcome SellItems(const std::vector<Item>& items, int32_t least, const char* kind);
  void Reconcile();
  void ReconcileFigure(const std::string& figure, int64_t saved, int64_t ledgered);
  void NoteOperator(const std::string& what);
  void NoteSale(const char* kind, const QueueElement* entry, int32_t credits);
  void NotePlay(const QueueElement& entry, const PlayReport& report);
  // A row of the entry's kind and catalogue path.
  LedgerRow ItemRow(const char* kind, const QueueElement& entry) const;
  const char* ItemKind(const QueueElement& entry) const;

  Queue& queue_;
  const Configuration& config_;
  const MainLibrary* library_;
  SavedState store_;
  Ledger ledger_;
  // Main thread: the settings as last noted in the ledger.
  std::array<int32_t, kCoinInputs> notedCoinValues_{};
  std::string notedMode_;

  mutable std::mutex mutex_;
  int32_t credits_ = 0;
  std::array<int32_t, kCoinInputs> coins_{};
  std::optional<int32_t> volume_;
  // Counts the changes of the state; a purchase reserves its number before
  // it is saved.
  uint64_t version_ = 0;

  // One save at a time; taken before mutex_.
  std::mutex writeMutex_;
  std::atomic<uint64_t> savedVersion_{0};
  std::atomic<bool> saveFailing_{false};
  std::atomic<uint32_t> lastTry_{0};

  // Under mutex_: log lines with the version that holds them, and the sales
  // ended, not yet collected.
  std::deque<std::pair<uint64_t, std::string>> waitingLines_;
  std::vector<Outcome> finished_;
  std::atomic<Ticket> lastTicket_{0};
  // Last, so that its thread ends before what it uses.
  StateSaver saver_{[this] { SaveWhenChanged(); }};
};
