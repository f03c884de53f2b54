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
// Threads: the playback thread calls PayBack and Finish, the main thread
// the rest. The credits, the counters and the taking of a snapshot are
// behind one lock, which is never held while a file is written. Saves are
// made one at a time, each of the state as it is when its turn comes, so an
// older state never replaces a newer one; a purchase's save and its taking
// effect are one turn. Each money line of the log is written once its state
// is saved.
//
// Every coin, sale, payback, play, counter clearing and settings change is
// also a row of the ledger (Ledger), which writes on a thread of its own:
// a ledger that cannot be written never holds up the money. At start the
// figures of "tempdata" are set beside the ledger's, and each difference is
// a row of its own.
#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "playback/PlayerListener.h"
#include "playback/Queue.h"
#include "state/Ledger.h"
#include "state/SavedState.h"

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
  // A whole album: queues the items in order while, in the coin-operated mode, the credits
  // pay each at its price and at least least; those bought stay bought when
  // the credits run out. bought tells how many; the sale is done when at
  // least one was.
  Sale Buy(const std::vector<Item>& items, int32_t least, int& bought);
  Sale Buy(const QueueElement& entry, int32_t price);
  // Turns last, the queue's last entry, into a VIP entry for price more;
  // kShort when it would no longer pass a normal entry.
  Sale BuyVip(const QueueElement& last, int32_t price);
  // A Wi-Fi code for price credits, and its return when it could not be
  // made.
  Sale BuyWifiCode(int32_t price);
  void ReturnWifiCode(int32_t price);
  // Playback thread: the head entry could not be played. It leaves the queue
  // and what was paid for it comes back in one step, so that no state saved
  // holds both or neither, and that is saved. False when the entry is no
  // longer the head.
  bool PayBack(const QueueElement& entry, const PlayReport& report = {});
  // Playback thread: the head entry was played; it leaves the queue, saved.
  void Finish(const QueueElement& entry, const PlayReport& report = {});
  // Queues an entry nobody paid for and saves.
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

  // Saves the state as it is now; false when it could not be saved.
  bool Save();
  // Saves when something changed since the last save, and while saving
  // fails retries every kRetryInterval ms.
  void SaveIfDue();
  // Whether the last save failed: the cabinet needs service.
  bool SaveFailing() const { return saveFailing_; }
  // Whether the entry can be kept in the saved state at all.
  bool CanSave(const QueueElement& entry) const { return store_.CanSave(entry); }

  static constexpr uint32_t kRetryInterval = 5000;

 private:
  using Lock = std::lock_guard<std::mutex>;

  bool Charging() const;
  template <typename Plan, typename Apply>
  Sale Sell(Plan plan, Apply apply);
  StateSnapshot SnapshotLocked() const;
  // Writes state, which the live one holds at version once the caller's
  // turn ends; expects the write lock to be held.
  bool WriteLocked(const StateSnapshot& state, uint64_t version);
  void NoteSaved(uint64_t version);
  void NoteFailure();
  // Adds to the credits; what was really added. Expects the lock held.
  int64_t Give(int64_t credits, const char* why);
  Sale BuyItems(const std::vector<Item>& items, int32_t least, int& bought, const char* kind);
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
};
