#include "state/Cashbox.h"

#include <algorithm>
#include <cstdio>

#include "base/Numbers.h"
#include "config/Configuration.h"
#include "platform/Clock.h"

Cashbox::Cashbox(Queue& queue, const Configuration& config, const MainLibrary* library)
    : queue_(queue), config_(config), store_(library) {
  if (!config.volumeFixed) volume_ = config.volumen;
}

std::optional<int32_t> Cashbox::Restore() {
  StateSnapshot saved;
  if (!config_.volumeFixed) saved.volume = config_.volumen;
  const SavedState::Loaded loaded = store_.Load(saved, config_.jumpsong);
  Restore(saved);
  {
    Lock lock(mutex_);
    volume_ = saved.volume;
  }
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

void Cashbox::SetVolume(int32_t volume) {
  {
    Lock lock(mutex_);
    if (!volume_) return;
    volume_ = volume;
    ++version_;
  }
  Save();
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
  const int32_t credits = config_.CreditsPerCoin(input);
  {
    Lock lock(mutex_);
    AddSaturating(coins_[input - 1], 1);
    Give(credits, "moneda");
  }
  Save();
  std::printf("Moneda: entrada %d, %d creditos, quedan %d\n", input, credits, Credits());
}

// Expects the lock to be held.
void Cashbox::Give(int64_t credits, const char* why) {
  if (AddSaturating(credits_, credits))
    std::printf("Creditos al maximo (%s): quedan %d, %lld sin sumar\n", why, credits_,
                static_cast<long long>(credits));
  ++version_;
}

Cashbox::Sale Cashbox::Buy(const QueueElement& entry, int32_t price) {
  int bought = 0;
  return Buy({Item{entry, price}}, 0, bought);
}

// plan turns a copy of the live state into the state that holds the sale,
// or refuses it; once that state is saved, apply makes the live one take it.
// A payback that comes meanwhile only adds, and is saved in a later turn.
template <typename Plan, typename Apply>
Cashbox::Sale Cashbox::Sell(Plan plan, Apply apply) {
  Lock turn(writeMutex_);
  StateSnapshot next;
  uint64_t version;
  {
    Lock lock(mutex_);
    next = SnapshotLocked();
    const Sale planned = plan(next);
    if (planned != Sale::kDone) return planned;
    version = version_ + 1;
  }
  if (!WriteLocked(next, version)) return Sale::kNotSaved;
  Lock lock(mutex_);
  ++version_;
  return apply();
}

Cashbox::Sale Cashbox::Buy(const std::vector<Item>& items, int32_t least, int& bought) {
  const bool charging = Charging();
  std::vector<QueueElement> added;
  int32_t total = 0;
  const auto plan = [&](StateSnapshot& next) {
    for (const Item& item : items) {
      const int32_t price = charging ? std::max(item.price, 0) : 0;
      if (charging && (next.credits < price || next.credits < least)) break;
      if (!store_.CanSave(item.entry)) return added.empty() ? Sale::kTooLong : Sale::kDone;
      added.push_back(QueueElement{item.entry.genre, item.entry.disc, item.entry.track, 0, price});
      next.queue.push_back(added.back());
      next.credits -= price;
      total += price;
    }
    return added.empty() ? Sale::kShort : Sale::kDone;
  };
  const auto apply = [&]() {
    for (const QueueElement& entry : added) queue_.AddElementToQueue(entry.genre, entry.disc, entry.track, entry.paid);
    credits_ -= total;
    return Sale::kDone;
  };
  const Sale sale = Sell(plan, apply);
  bought = sale == Sale::kDone ? static_cast<int>(added.size()) : 0;
  return sale;
}

Cashbox::Sale Cashbox::BuyVip(const QueueElement& last, int32_t price) {
  const int32_t charge = Charging() ? std::max(price, 0) : 0;
  const auto plan = [&](StateSnapshot& next) {
    if (next.credits < charge || !PlaceLastAsVIP(next.queue, last, charge)) return Sale::kShort;
    next.credits -= charge;
    return Sale::kDone;
  };
  // The playback thread may have moved on meanwhile; then nothing is taken
  // and the state is saved again as it is.
  const auto apply = [&]() {
    if (!queue_.RemoveLastAndInsertVIP(last, charge)) {
      ++version_;
      return Sale::kShort;
    }
    credits_ -= charge;
    return Sale::kDone;
  };
  return Sell(plan, apply);
}

Cashbox::Sale Cashbox::BuyWifiCode(int32_t price) {
  const int32_t charge = Charging() ? std::max(price, 0) : 0;
  const auto plan = [&](StateSnapshot& next) {
    if (next.credits < charge) return Sale::kShort;
    next.credits -= charge;
    return Sale::kDone;
  };
  return Sell(plan, [&]() {
    credits_ -= charge;
    return Sale::kDone;
  });
}

void Cashbox::ReturnWifiCode(int32_t price) {
  {
    Lock lock(mutex_);
    Give(Charging() ? std::max(price, 0) : 0, "codigo de wifi devuelto");
  }
  Save();
}

bool Cashbox::PayBack(const QueueElement& entry) {
  {
    Lock lock(mutex_);
    if (!queue_.RemoveHeadIf(entry)) return false;
    Give(std::max(entry.paid, 0), "devolucion");
  }
  Save();
  if (entry.paid > 0)
    std::printf("Devolucion: %d creditos por [%u,%u,%u], quedan %d\n", entry.paid, entry.genre, entry.disc,
                entry.track, Credits());
  return true;
}

void Cashbox::Finish(const QueueElement& entry) {
  {
    Lock lock(mutex_);
    if (!queue_.RemoveHeadIf(entry)) return;
    ++version_;
  }
  Save();
  std::printf("Terminado [%u,%u,%u], pagado %d\n", entry.genre, entry.disc, entry.track, entry.paid);
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
  state.volume = volume_;
  state.queue = queue_.GetElements();
  state.coins = coins_;
  return state;
}

bool Cashbox::Save() {
  Lock turn(writeMutex_);
  StateSnapshot now;
  uint64_t version;
  {
    Lock lock(mutex_);
    now = SnapshotLocked();
    version = version_;
  }
  return WriteLocked(now, version);
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

bool Cashbox::WriteLocked(const StateSnapshot& state, uint64_t version) {
  lastTry_ = platform::Ticks();
  if (!store_.Save(state)) {
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
