// Paying for plays: the selection of the main screen becomes queue entries
// and its price leaves the credits.
#include <algorithm>
#include <cstdio>
#include <optional>
#include <vector>

#include "catalogue/MainLibrary.h"
#include "config/Configuration.h"
#include "gui/SDLGui.h"
#include "playback/Queue.h"
#include "state/Cashbox.h"

namespace {

// A price configured below 0 would add credits; it is taken as free.
int32_t Price(int32_t configured) { return std::max(configured, 0); }

}  // namespace

// Prices are checked here for the customer's messages; the cashbox takes
// them, and only in the coin-operated mode.
void SDLGui::EnterPlay() {
  if (static_cast<int>(selTrack) >= SelectedAlbumTracks()) return;
  if (JukeboxMode() && !CreditsAllowSelection()) return;
  if (ConfirmTypedZero()) return;
  if (tracksList->highlightAll) {
    BuyWholeAlbum();
    return;
  }
  const std::optional<QueueElement> last = queue->GetLastElement();
  if (last && last->SamePlay(QueueElement{selGenre, selDisc, selTrack, 0}))
    OfferVip(*last);
  else
    BuySelectedTrack();
}

bool SDLGui::IsVideoTrack(uint32_t track) const {
  return library->IsVideo(selGenre, selDisc, track) || library->IsKaraoke(selGenre, selDisc, track);
}

int32_t SDLGui::PriceOfTrack(uint32_t track) const {
  return Price(IsVideoTrack(track) ? config->creditsbyvideo : config->creditsbyplay);
}

// Any purchase needs at least creditsbyplay; music and video tell the
// customer so, other kinds are refused silently.
bool SDLGui::CreditsAllowSelection() {
  const int32_t balance = Credits();
  const int32_t minimum = Price(config->creditsbyplay);
  if (library->IsMusic(selGenre, selDisc, selTrack) && balance < minimum) {
    ShowNotice("Creditos insuficientes !!!", kRefusalTime);
    return false;
  }
  if (IsVideoTrack(selTrack) && balance < Price(config->creditsbyvideo)) {
    ShowNotice("Creditos insuficientes para Video !!!", kRefusalTime);
    return false;
  }
  return balance >= minimum;
}

// A typed track number 0 whose album highlight was lost (a track move drew
// the list again) marks the album anew; the next enter buys it.
bool SDLGui::ConfirmTypedZero() {
  if (typedNumber.GetLength() == 0 || typedNumber.ToInteger() != 0 || tracksList->highlightAll)
    return false;
  ShowTracksList(true);
  typedNumber = "";
  panels.DrawGenre(true);
  return true;
}

// Tracks are bought in order while the credits pay for each at its own
// price; those bought stay bought when the credits run out. Every word of
// a sale waits for its save.
void SDLGui::BuyWholeAlbum() {
  std::vector<Cashbox::Item> items;
  for (uint32_t track = 0; static_cast<int>(track) < SelectedAlbumTracks(); ++track)
    items.push_back({QueueElement{selGenre, selDisc, track, 0}, PriceOfTrack(track)});
  const uint32_t genre = selGenre, disc = selDisc;
  const Cashbox::Ticket ticket = cashbox->Buy(items, Price(config->creditsbyplay));
  sales.Add(ticket, [this, items, genre, disc](const Cashbox::Outcome& outcome) {
    if (TellUnsold(outcome.sale)) return;
    int32_t paid = 0;
    for (int i = 0; i < outcome.bought && JukeboxMode(); ++i) paid += items[i].price;
    std::printf("Compra: %d elementos del album %u,%u por %d creditos, quedan %d\n", outcome.bought, genre, disc,
                paid, Credits());
    panels.DrawCredits(true);
    panels.DrawQueue(true);
    panels.DrawTracks(true);
    RString text;
    text.sprintf("Elementos agregados: %d", outcome.bought);
    ShowNotice(text, kNoticeTime);
  });
}

// The entry is queued and saved with the credits in one turn, so that it
// can start playing while the customer reads the message.
void SDLGui::BuySelectedTrack() {
  const QueueElement entry{selGenre, selDisc, selTrack, 0};
  const int32_t price = PriceOfTrack(selTrack);
  sales.Add(cashbox->Buy(entry, price), [this, entry, price](const Cashbox::Outcome& outcome) {
    if (TellUnsold(outcome.sale)) return;
    std::printf("Compra: %u,%u,%u por %d creditos, quedan %d\n", entry.genre, entry.disc, entry.track,
                JukeboxMode() ? price : 0, Credits());
    panels.DrawCredits(true);
    panels.DrawQueue(true);
    RString text;
    const RString title = panels.ShownTitle(library->GetTrackTitle(entry.genre, entry.disc, entry.track));
    text.sprintf("Agregado: %s", title.Chars());
    ShowNotice(text, kNoticeTime);
  });
}

// last is the queue's last entry, the selected track. Making it VIP is
// offered, paid and done only when it moves it ahead of a normal entry
// waiting; whether it does is asked again after the customer's answer, as
// the playback thread may have moved on meanwhile.
void SDLGui::OfferVip(const QueueElement& last) {
  const int32_t vipPrice = config->creditsvip;
  if (vipPrice <= 0 || !queue->LastWouldPassAsVIP(last)) return;
  if (JukeboxMode() && Credits() < vipPrice) {
    ShowNotice("Creditos insuficientes para VIP !!!", kRefusalTime);
    return;
  }
  const int answer = ShowMsg("Activar reproduccion VIP?", genreFont, -1, true, true);
  if (!KeyIs(answer, config->enter)) return;
  sales.Add(cashbox->BuyVip(last, vipPrice), [this, last, vipPrice](const Cashbox::Outcome& outcome) {
    if (outcome.sale == Cashbox::Sale::kShort || TellUnsold(outcome.sale)) return;
    std::printf("Compra VIP: %u,%u,%u por %d creditos, quedan %d\n", last.genre, last.disc, last.track,
                JukeboxMode() ? vipPrice : 0, Credits());
    panels.DrawCredits(true);
    panels.DrawQueue(true);
    ShowNotice("Modo VIP activado", kNoticeTime);
  });
}

// A sale the cashbox could not save, or whose entry it cannot keep, is
// told; true when nothing was sold.
bool SDLGui::TellUnsold(Cashbox::Sale sale) {
  switch (sale) {
    case Cashbox::Sale::kDone:
      return false;
    case Cashbox::Sale::kNotSaved:
      std::puts("Compra no realizada: no se pudo guardar");
      NoteSavingState();
      ShowNotice(kNotSavedText, kRefusalTime);
      return true;
    case Cashbox::Sale::kTooLong:
      std::puts("Compra no realizada: nombre demasiado largo");
      ShowNotice("Nombre demasiado largo, no se agrega", kRefusalTime);
      return true;
    case Cashbox::Sale::kShort:
      return true;
  }
  return true;
}

void SDLGui::ShowNotice(const RString& text, int timeout) {
  ShowMsg(text, genreFont, timeout, true, true);
}
