#include "state/Cashbox.h"

#include <algorithm>
#include <cstdio>

#include "base/Numbers.h"
#include "config/Configuration.h"
#include "platform/Clock.h"

Cashbox::Cashbox(Queue& queue, const Configuration& config, const MainLibrary* library)
    : queue_(queue), config_(config), store_(library) {}

std::optional<int32_t> Cashbox::Restore() {
  StateSnapshot saved;
  if (!config_.volumeFixed) saved.volume = config_.volumen;
  const SavedState::Loaded loaded = store_.Load(saved, config_.jumpsong);
  Restore(saved);
  if (loaded == SavedState::Loaded::kRead && config_.jumpsong) Save();
  return saved.volume;
}

void Cashbox::Restore(const StateSnapshot& state) {
  Lock lock(mutex_);
  credits_ = std::max(state.credits, 0);
  coins_ = state.coins;
  for (const QueueElement& entry : state.queue)
    queue_.AddElementToQueue(entry.genre, entry.disc, entry.track, std::max(entry.paid, 0));
}

int32_t Cashbox::Credits() const {
  Lock lock(mutex_);
  return credits_;
}

int32_t Cashbox::CoinCount(int input) const {
  Lock lock(mutex_);
  return input >= 1 && input <= kCoinInputs ? coins_[input - 1] : 0;
}

bool Cashbox::Charging() const { return config_.playmode == "jukebox"; }

void Cashbox::CreditCoin(int input) {
  if (input < 1 || input > kCoinInputs) return;
  {
    Lock lock(mutex_);
    AddSaturating(coins_[input - 1], 1);
    Give(config_.CreditsPerCoin(input), "moneda");
  }
  Save();
}

// Expects the lock to be held.
void Cashbox::Give(int64_t credits, const char* why) {
  if (AddSaturating(credits_, credits))
    std::printf("Creditos al maximo (%s): quedan %d, %lld sin sumar\n", why, credits_,
                static_cast<long long>(credits));
  ++version_;
}

// Expects the lock to be held; the price was checked against the credits.
void Cashbox::Take(int32_t price) {
  credits_ = price < credits_ ? credits_ - price : 0;
  ++version_;
}

Cashbox::Sale Cashbox::Buy(const QueueElement& entry, int32_t price) {
  int bought = 0;
  return Buy({Item{entry, price}}, 0, bought);
}

// The state that holds the purchase is saved first; only then do the queue
// and the credits take it. A payback that comes meanwhile only adds.
Cashbox::Sale Cashbox::Buy(const std::vector<Item>& items, int32_t least, int& bought) {
  const bool charging = Charging();
  bought = 0;
  StateSnapshot next;
  uint64_t version;
  int32_t total = 0;
  {
    Lock lock(mutex_);
    next = SnapshotLocked();
    for (const Item& item : items) {
      const int32_t price = charging ? std::max(item.price, 0) : 0;
      if (charging && (next.credits < price || next.credits < least)) break;
      if (!store_.CanSave(item.entry)) return bought == 0 ? Sale::kTooLong : Sale::kShort;
      QueueElement entry = item.entry;
      entry.vip = 0;
      entry.paid = price;
      next.queue.push_back(entry);
      next.credits -= price;
      total += price;
      ++bought;
    }
    if (bought == 0) return Sale::kShort;
    version = ++version_;
  }
  if (!Write(next, version)) {
    bought = 0;
    return Sale::kNotSaved;
  }
  Lock lock(mutex_);
  for (auto entry = next.queue.end() - bought; entry != next.queue.end(); ++entry)
    queue_.AddElementToQueue(entry->genre, entry->disc, entry->track, entry->paid);
  credits_ -= total;
  return Sale::kDone;
}

Cashbox::Sale Cashbox::BuyVip(const QueueElement& last, int32_t price) {
  const int32_t charge = Charging() ? std::max(price, 0) : 0;
  StateSnapshot next;
  uint64_t version;
  {
    Lock lock(mutex_);
    next = SnapshotLocked();
    if (next.credits < charge || !PlaceLastAsVIP(next.queue, last, charge)) return Sale::kShort;
    next.credits -= charge;
    version = ++version_;
  }
  if (!Write(next, version)) return Sale::kNotSaved;
  Lock lock(mutex_);
  // The playback thread may have moved on meanwhile; then nothing is taken
  // and the state is saved again as it is.
  if (!queue_.RemoveLastAndInsertVIP(last, charge)) {
    ++version_;
    return Sale::kShort;
  }
  credits_ -= charge;
  return Sale::kDone;
}

Cashbox::Sale Cashbox::BuyWifiCode(int32_t price) {
  const int32_t charge = Charging() ? std::max(price, 0) : 0;
  StateSnapshot next;
  uint64_t version;
  {
    Lock lock(mutex_);
    next = SnapshotLocked();
    if (next.credits < charge) return Sale::kShort;
    next.credits -= charge;
    version = ++version_;
  }
  if (!Write(next, version)) return Sale::kNotSaved;
  Lock lock(mutex_);
  credits_ -= charge;
  return Sale::kDone;
}

void Cashbox::ReturnWifiCode(int32_t price) {
  {
    Lock lock(mutex_);
    Give(Charging() ? std::max(price, 0) : 0, "codigo de wifi devuelto");
  }
  Save();
}

bool Cashbox::PayBack(const QueueElement& entry) {
  Lock lock(mutex_);
  if (!queue_.RemoveHeadIf(entry)) return false;
  Give(std::max(entry.paid, 0), "devolucion");
  return true;
}

void Cashbox::AddFree(const QueueElement& entry) {
  {
    Lock lock(mutex_);
    queue_.AddElementToQueue(entry.genre, entry.disc, entry.track);
    ++version_;
  }
  Save();
}

void Cashbox::ClearCoinCounters() {
  {
    Lock lock(mutex_);
    coins_[0] = coins_[1] = 0;
    ++version_;
  }
  Save();
}

StateSnapshot Cashbox::SnapshotLocked() const {
  StateSnapshot state;
  state.credits = credits_;
  if (!config_.volumeFixed) state.volume = config_.volumen;
  state.queue = queue_.GetElements();
  state.coins = coins_;
  return state;
}

bool Cashbox::Save() {
  StateSnapshot now;
  uint64_t version;
  {
    Lock lock(mutex_);
    now = SnapshotLocked();
    version = version_;
  }
  return Write(now, version);
}

void Cashbox::SaveIfDue() {
  uint64_t version;
  {
    Lock lock(mutex_);
    version = version_;
  }
  if (version == savedVersion_ && !saveFailing_) return;
  if (saveFailing_ && platform::Ticks() - lastTry_ < kRetryInterval) return;
  Save();
}

bool Cashbox::Write(const StateSnapshot& next, uint64_t version) {
  Lock lock(writeMutex_);
  if (version < savedVersion_) return true;
  lastTry_ = platform::Ticks();
  if (!store_.Save(next)) {
    NoteFailure();
    return false;
  }
  NoteSaved(version);
  return true;
}

void Cashbox::NoteSaved(uint64_t version) {
  savedVersion_ = version;
  if (saveFailing_.exchange(false)) std::puts("Estado guardado de nuevo en tempdata");
}

void Cashbox::NoteFailure() {
  if (!saveFailing_.exchange(true)) std::printf("No se pudo guardar tempdata: %s\n", store_.Fault().c_str());
}
