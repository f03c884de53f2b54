#include "state/Cashbox.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "base/Numbers.h"
#include "catalogue/MainLibrary.h"
#include "config/Configuration.h"
#include "platform/Clock.h"
#include "platform/Paths.h"

namespace {

const char* const kKaraokeGenre = "Karaoke";

LedgerRow Row(const char* kind, std::string detail = {}) {
  LedgerRow row;
  row.kind = kind;
  row.detail = std::move(detail);
  return row;
}

const char* EndName(PlayReport::End end) {
  switch (end) {
    case PlayReport::End::kSkipped:
      return "skipped";
    case PlayReport::End::kFailed:
      return "failed";
    default:
      return "played";
  }
}

}  // namespace

Cashbox::Cashbox(Queue& queue, const Configuration& config, const MainLibrary* library)
    : queue_(queue), config_(config), library_(library), store_(library) {
  if (!config.volumeFixed) volume_ = config.volumen;
  for (int input = 1; input <= kCoinInputs; ++input) notedCoinValues_[input - 1] = config.CreditsPerCoin(input);
  notedMode_ = config.playmode.Chars();
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
  saver_.AskSave();
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
  LedgerRow row = Row("coin");
  row.input = input;
  {
    Lock lock(mutex_);
    AddSaturating(coins_[input - 1], 1);
    row.credits = Give(credits, "moneda");
    LogWhenSaved(Format("Moneda: entrada %d, %d creditos, quedan %d", input, credits, credits_));
  }
  ledger_.Append(row);
  saver_.AskSave();
}

// Expects the lock to be held.
int64_t Cashbox::Give(int64_t credits, const char* why) {
  const int32_t before = credits_;
  if (AddSaturating(credits_, credits))
    std::printf("Creditos al maximo (%s): quedan %d, %lld sin sumar\n", why, credits_,
                static_cast<long long>(credits));
  ++version_;
  return static_cast<int64_t>(credits_) - before;
}

Cashbox::Ticket Cashbox::Buy(const QueueElement& entry, int32_t price) {
  const char* kind = ItemKind(entry);
  return Submit([this, entry, price, kind] { return SellItems({Item{entry, price}}, 0, kind); });
}

Cashbox::Ticket Cashbox::Buy(const std::vector<Item>& items, int32_t least) {
  return Submit([this, items, least] { return SellItems(items, least, "album"); });
}

Cashbox::Ticket Cashbox::BuyVip(const QueueElement& last, int32_t price) {
  return Submit([this, last, price] { return SellVip(last, price); });
}

Cashbox::Ticket Cashbox::BuyWifiCode(int32_t price) {
  return Submit([this, price] { return SellWifiCode(price); });
}

Cashbox::Ticket Cashbox::Submit(std::function<Outcome()> sale) {
  const Ticket ticket = ++lastTicket_;
  saver_.Submit([this, ticket, sale] {
    Outcome outcome = sale();
    outcome.ticket = ticket;
    Lock lock(mutex_);
    outcome.left = credits_;
    finished_.push_back(outcome);
  });
  return ticket;
}

std::vector<Cashbox::Outcome> Cashbox::FinishedSales() {
  Lock lock(mutex_);
  return std::exchange(finished_, {});
}

// plan turns a copy of the live state into the state that holds the sale,
// or refuses it; once that state is saved, apply makes the live one take it.
// The sale's version is taken before the write: a change that comes
// meanwhile (a coin, a payback) only adds, and is saved in a later turn.
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
    version = ++version_;
  }
  if (!WriteLocked(next, version)) return Sale::kNotSaved;
  Lock lock(mutex_);
  return apply();
}

Cashbox::Outcome Cashbox::SellItems(const std::vector<Item>& items, int32_t least, const char* kind) {
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
  const int bought = sale == Sale::kDone ? static_cast<int>(added.size()) : 0;
  for (int i = 0; i < bought; ++i) NoteSale(kind, &added[i], added[i].paid);
  return Outcome{0, sale, bought, bought > 0 ? total : 0};
}

Cashbox::Outcome Cashbox::SellVip(const QueueElement& last, int32_t price) {
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
  const Sale sale = Sell(plan, apply);
  if (sale != Sale::kDone) return Outcome{0, sale};
  NoteSale("vip", &last, charge);
  return Outcome{0, sale, 1, charge};
}

Cashbox::Outcome Cashbox::SellWifiCode(int32_t price) {
  const int32_t charge = Charging() ? std::max(price, 0) : 0;
  const auto plan = [&](StateSnapshot& next) {
    if (next.credits < charge) return Sale::kShort;
    next.credits -= charge;
    return Sale::kDone;
  };
  const Sale sale = Sell(plan, [&]() {
    credits_ -= charge;
    return Sale::kDone;
  });
  if (sale != Sale::kDone) return Outcome{0, sale};
  NoteSale("wifi", nullptr, charge);
  return Outcome{0, sale, 0, charge};
}

void Cashbox::ReturnWifiCode(int32_t paid) {
  LedgerRow row = Row("payback", "wifi code not made");
  row.item = "wifi";
  {
    Lock lock(mutex_);
    row.credits = Give(std::max(paid, 0), "codigo de wifi devuelto");
  }
  if (row.credits > 0) ledger_.Append(row);
  saver_.AskSave();
}

bool Cashbox::PayBack(const QueueElement& entry, const PlayReport& report) {
  NotePlay(entry, report);
  LedgerRow row = ItemRow("payback", entry);
  row.detail = "could not play";
  {
    Lock lock(mutex_);
    if (!queue_.RemoveHeadIf(entry)) return false;
    row.credits = Give(std::max(entry.paid, 0), "devolucion");
  }
  if (row.credits > 0) ledger_.Append(row);
  Save();
  if (entry.paid > 0)
    std::printf("Devolucion: %d creditos por [%u,%u,%u], quedan %d\n", entry.paid, entry.genre, entry.disc,
                entry.track, Credits());
  return true;
}

void Cashbox::Finish(const QueueElement& entry, const PlayReport& report) {
  NotePlay(entry, report);
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
  saver_.AskSave();
}

void Cashbox::ClearCoinCounters() {
  {
    Lock lock(mutex_);
    coins_[0] = coins_[1] = 0;
    ++version_;
  }
  NoteOperator(Ledger::kCountersCleared);
  saver_.AskSave();
}

void Cashbox::NoteSettingsSaved() {
  for (int input = 1; input <= kCoinInputs; ++input) {
    int32_t& noted = notedCoinValues_[input - 1];
    const int32_t now = config_.CreditsPerCoin(input);
    if (now != noted) NoteOperator(Format("creditscoin%d %d -> %d", input, noted, now));
    noted = now;
  }
  const std::string mode = config_.playmode.Chars();
  if (mode != notedMode_) NoteOperator("playmode " + notedMode_ + " -> " + mode);
  notedMode_ = mode;
}

void Cashbox::NoteOperator(const std::string& what) { ledger_.Append(Row("operator", what)); }

void Cashbox::NoteService(const std::string& what) { ledger_.Append(Row("service", what)); }

void Cashbox::NoteSale(const char* kind, const QueueElement* entry, int32_t credits) {
  LedgerRow row = entry ? ItemRow("sale", *entry) : Row("sale");
  row.item = kind;
  row.credits = credits;
  row.mode = config_.playmode.Chars();
  ledger_.Append(row);
}

void Cashbox::NotePlay(const QueueElement& entry, const PlayReport& report) {
  LedgerRow row = ItemRow("play", entry);
  row.detail = EndName(report.end);
  row.started = report.started;
  row.ended = report.ended;
  ledger_.Append(row);
}

LedgerRow Cashbox::ItemRow(const char* kind, const QueueElement& entry) const {
  LedgerRow row = Row(kind);
  row.item = ItemKind(entry);
  if (library_ == nullptr || !library_->HasTrack(entry.genre, entry.disc, entry.track)) return row;
  row.genre = platform::ToHostText(library_->GetDiscGenreName(entry.genre, entry.disc).Chars());
  row.album = platform::ToHostText(library_->GetDiscTitle(entry.genre, entry.disc).Chars());
  row.title = platform::ToHostText(library_->GetTrackTitle(entry.genre, entry.disc, entry.track).Chars());
  return row;
}

const char* Cashbox::ItemKind(const QueueElement& entry) const {
  if (library_ == nullptr || !library_->HasTrack(entry.genre, entry.disc, entry.track)) return "song";
  const unsigned genre = entry.genre, disc = entry.disc, track = entry.track;
  if (library_->GetDiscGenreName(genre, disc) == kKaraokeGenre || library_->IsKaraoke(genre, disc, track))
    return "karaoke";
  if (library_->GetDiscTitle(genre, disc) == MainLibrary::kDownloadsDiscName) return "download";
  return library_->IsVideo(genre, disc, track) ? "video" : "song";
}

void Cashbox::StartLedger(bool afterPowerCut) {
  ledger_.Open();
  ledger_.Append(Row("start", afterPowerCut ? "power cut" : "clean"));
  Reconcile();
  ledger_.Start();
}

// The state waiting is saved first, with the ledger rows of its sales.
void Cashbox::StopLedger(int status) {
  saver_.Flush();
  ledger_.Append(Row("stop", std::to_string(status)));
  ledger_.Close();
}

// Rows still waiting are not in the figures: the ledger is reconciled
// before any is written.
void Cashbox::Reconcile() {
  const std::optional<LedgerFigures> ledgered = ledger_.Figures();
  if (!ledgered) {
    std::printf("No se pudo comparar el registro %s con tempdata\n", ledger_.File().c_str());
    return;
  }
  StateSnapshot saved;
  {
    Lock lock(mutex_);
    saved.credits = credits_;
    saved.coins = coins_;
  }
  ReconcileFigure("savedcredits", saved.credits, ledgered->balance);
  for (int input = 0; input < kCoinInputs; ++input)
    ReconcileFigure(Format("counter%d", input + 1), saved.coins[input], ledgered->coins[input]);
}

void Cashbox::ReconcileFigure(const std::string& figure, int64_t saved, int64_t ledgered) {
  if (saved == ledgered) return;
  std::printf("El registro y tempdata difieren en %s: %lld en tempdata, %lld en el registro\n", figure.c_str(),
              static_cast<long long>(saved), static_cast<long long>(ledgered));
  LedgerRow row = Row("reconciled", figure);
  row.credits = saved - ledgered;
  ledger_.Append(row);
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

// The queue may change outside the cashbox (a random play): a change all
// the same.
void Cashbox::AskSave() {
  {
    Lock lock(mutex_);
    ++version_;
  }
  saver_.AskSave();
}

void Cashbox::SaveIfDue() {
  uint64_t version;
  {
    Lock lock(mutex_);
    version = version_;
  }
  if (version == savedVersion_ && !saveFailing_) return;
  if (saveFailing_ && platform::Ticks() - lastTry_ < kRetryInterval) return;
  saver_.AskSave();
}

void Cashbox::SaveWhenChanged() {
  Lock turn(writeMutex_);
  StateSnapshot now;
  uint64_t version;
  {
    Lock lock(mutex_);
    version = version_;
    if (version == savedVersion_ && !saveFailing_) return;
    now = SnapshotLocked();
  }
  WriteLocked(now, version);
}

void Cashbox::SetStateWriter(SavedState::Writer writer) {
  Lock turn(writeMutex_);
  store_.SetWriter(std::move(writer));
}

// The lines of the states up to version follow the outcome of its save,
// as the failure's line.
bool Cashbox::WriteLocked(const StateSnapshot& state, uint64_t version) {
  lastTry_ = platform::Ticks();
  const bool saved = store_.Save(state);
  if (saved)
    NoteSaved(version);
  else
    NoteFailure();
  LogLinesUpTo(version);
  return saved;
}

void Cashbox::LogWhenSaved(std::string line) { waitingLines_.emplace_back(version_, std::move(line)); }

void Cashbox::LogLinesUpTo(uint64_t version) {
  std::deque<std::pair<uint64_t, std::string>> due;
  {
    Lock lock(mutex_);
    while (!waitingLines_.empty() && waitingLines_.front().first <= version) {
      due.push_back(std::move(waitingLines_.front()));
      waitingLines_.pop_front();
    }
  }
  for (const auto& line : due) std::puts(line.second.c_str());
}

void Cashbox::NoteSaved(uint64_t version) {
  savedVersion_ = version;
  if (!saveFailing_.exchange(false)) return;
  std::puts("Estado guardado de nuevo en tempdata");
  NoteService("tempdata saved again");
}

void Cashbox::NoteFailure() {
  if (saveFailing_.exchange(true)) return;
  std::printf("No se pudo guardar tempdata: %s\n", store_.Fault().c_str());
  NoteService("tempdata not saved: " + store_.Fault());
}
