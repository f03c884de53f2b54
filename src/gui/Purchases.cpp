// Paying for plays: the selection of the main screen becomes queue entries
// and its price leaves the credits.
#include <algorithm>
#include <cstdio>
#include <optional>
#include <vector>

#include "catalogue/MainLibrary.h"
#include "config/Configuration.h"
#include "gui/Purchases.h"
#include "gui/SDLGui.h"
#include "playback/Queue.h"
#include "state/Cashbox.h"

namespace {

// A price configured below 0 would add credits; it is taken as free.
int32_t Price(int32_t configured) { return std::max(configured, 0); }

// What a customer is told of a purchase that could not be saved.
const char* const kNotSavedText = "No se pudo guardar la compra: no se cobra";

}  // namespace

// Prices are checked here for the customer's messages; the cashbox takes
// them, and only in the coin-operated mode.
void Purchases::EnterPlay() {
  if (static_cast<int>(gui.selTrack) >= gui.SelectedAlbumTracks()) return;
  if (gui.JukeboxMode() && !CreditsAllowSelection()) return;
  if (ConfirmTypedZero()) return;
  if (gui.tracksList->highlightAll) {
    BuyWholeAlbum();
    return;
  }
  const std::optional<QueueElement> last = gui.queue->GetLastElement();
  if (last && last->SamePlay(QueueElement{gui.selGenre, gui.selDisc, gui.selTrack, 0}))
    OfferVip(*last);
  else
    BuySelectedTrack();
}

bool Purchases::IsVideoTrack(uint32_t track) const {
  return gui.library->IsVideo(gui.selGenre, gui.selDisc, track) || gui.library->IsKaraoke(gui.selGenre, gui.selDisc, track);
}

int32_t Purchases::PriceOfTrack(uint32_t track) const {
  return Price(IsVideoTrack(track) ? gui.config->creditsbyvideo : gui.config->creditsbyplay);
}

// Any purchase needs at least creditsbyplay; music and video tell the
// customer so, other kinds are refused silently.
bool Purchases::CreditsAllowSelection() {
  const int32_t balance = gui.Credits();
  const int32_t minimum = Price(gui.config->creditsbyplay);
  if (gui.library->IsMusic(gui.selGenre, gui.selDisc, gui.selTrack) && balance < minimum) {
    gui.messageBox.ShowNotice("Creditos insuficientes !!!", MessageBox::kRefusalTime);
    return false;
  }
  if (IsVideoTrack(gui.selTrack) && balance < Price(gui.config->creditsbyvideo)) {
    gui.messageBox.ShowNotice("Creditos insuficientes para Video !!!", MessageBox::kRefusalTime);
    return false;
  }
  return balance >= minimum;
}

// A typed track number 0 whose album highlight was lost (a track move drew
// the list again) marks the album anew; the next enter buys it.
bool Purchases::ConfirmTypedZero() {
  if (gui.typedNumber.GetLength() == 0 || gui.typedNumber.ToInteger() != 0 || gui.tracksList->highlightAll)
    return false;
  gui.ShowTracksList(true);
  gui.typedNumber = "";
  gui.panels.DrawGenre(true);
  return true;
}

// Tracks are bought in order while the credits pay for each at its own
// price; those bought stay bought when the credits run out. Every word of
// a sale waits for its save.
void Purchases::BuyWholeAlbum() {
  std::vector<Cashbox::Item> items;
  for (uint32_t track = 0; static_cast<int>(track) < gui.SelectedAlbumTracks(); ++track)
    items.push_back({QueueElement{gui.selGenre, gui.selDisc, track, 0}, PriceOfTrack(track)});
  const uint32_t genre = gui.selGenre, disc = gui.selDisc;
  const Cashbox::Ticket ticket = gui.cashbox->Buy(items, Price(gui.config->creditsbyplay));
  sales.Add(ticket, [this, genre, disc](const Cashbox::Outcome& outcome) {
    if (TellUnsold(outcome.sale)) return;
    std::printf("Compra: %d elementos del album %u,%u por %d creditos, quedan %d\n", outcome.bought, genre, disc,
                outcome.paid, outcome.left);
    gui.panels.DrawCredits(true);
    gui.panels.DrawQueue(true);
    gui.panels.DrawTracks(true);
    RString text;
    text.sprintf("Elementos agregados: %d", outcome.bought);
    gui.messageBox.ShowNotice(text, MessageBox::kNoticeTime);
  });
}

// The entry is queued and saved with the credits in one turn, so that it
// can start playing while the customer reads the message.
void Purchases::BuySelectedTrack() {
  const QueueElement entry{gui.selGenre, gui.selDisc, gui.selTrack, 0};
  const int32_t price = PriceOfTrack(gui.selTrack);
  sales.Add(gui.cashbox->Buy(entry, price), [this, entry](const Cashbox::Outcome& outcome) {
    if (TellUnsold(outcome.sale)) return;
    std::printf("Compra: %u,%u,%u por %d creditos, quedan %d\n", entry.genre, entry.disc, entry.track, outcome.paid,
                outcome.left);
    gui.panels.DrawCredits(true);
    gui.panels.DrawQueue(true);
    RString text;
    const RString title = gui.panels.ShownTitle(gui.library->GetTrackTitle(entry.genre, entry.disc, entry.track));
    text.sprintf("Agregado: %s", title.Chars());
    gui.messageBox.ShowNotice(text, MessageBox::kNoticeTime);
  });
}

// last is the queue's last entry, the selected track. Making it VIP is
// offered, paid and done only when it moves it ahead of a normal entry
// waiting; whether it does is asked again after the customer's answer, as
// the playback thread may have moved on meanwhile.
void Purchases::OfferVip(const QueueElement& last) {
  const int32_t vipPrice = gui.config->creditsvip;
  if (vipPrice <= 0 || !gui.queue->LastWouldPassAsVIP(last)) return;
  if (gui.JukeboxMode() && gui.Credits() < vipPrice) {
    gui.messageBox.ShowNotice("Creditos insuficientes para VIP !!!", MessageBox::kRefusalTime);
    return;
  }
  const int answer = gui.messageBox.ShowMsg("Activar reproduccion VIP?", gui.genreFont, -1, true, true);
  if (!SDLGui::KeyIs(answer, gui.config->enter)) return;
  sales.Add(gui.cashbox->BuyVip(last, vipPrice), [this, last](const Cashbox::Outcome& outcome) {
    if (outcome.sale == Cashbox::Sale::kShort || TellUnsold(outcome.sale)) return;
    std::printf("Compra VIP: %u,%u,%u por %d creditos, quedan %d\n", last.genre, last.disc, last.track, outcome.paid,
                outcome.left);
    gui.panels.DrawCredits(true);
    gui.panels.DrawQueue(true);
    gui.messageBox.ShowNotice("Modo VIP activado", MessageBox::kNoticeTime);
  });
}

// A sale the cashbox could not save, or whose entry it cannot keep, is
// told; true when nothing was sold.
bool Purchases::TellUnsold(Cashbox::Sale sale) {
  switch (sale) {
    case Cashbox::Sale::kDone:
      return false;
    case Cashbox::Sale::kNotSaved:
      std::puts("Compra no realizada: no se pudo guardar");
      gui.serviceStatus.NoteSavingState();
      gui.messageBox.ShowNotice(kNotSavedText, MessageBox::kRefusalTime);
      return true;
    case Cashbox::Sale::kTooLong:
      std::puts("Compra no realizada: nombre demasiado largo");
      gui.messageBox.ShowNotice("Nombre demasiado largo, no se agrega", MessageBox::kRefusalTime);
      return true;
    case Cashbox::Sale::kShort:
      return true;
  }
  return true;
}

void Purchases::Finish() { sales.Finish(*gui.cashbox); }
