// Paying for plays: the selection of the main screen becomes queue entries
// and its price leaves the credits.
#include <algorithm>
#include <cstdio>
#include <optional>

#include "catalogue/MainLibrary.h"
#include "config/Configuration.h"
#include "gui/SDLGui.h"
#include "playback/Queue.h"

namespace {

// A price configured below 0 would add credits; it is taken as free.
int32_t Price(int32_t configured) { return std::max(configured, 0); }

}  // namespace

// Credits are compared as signed numbers: a balance that went below 0 (free
// modes still charge, a video may cost more than the minimum) buys nothing.
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
  const int32_t minimum = Price(config->creditsbyplay);
  if (library->IsMusic(selGenre, selDisc, selTrack) && credits < minimum) {
    ShowNotice("Creditos insuficientes !!!", kRefusalTime);
    return false;
  }
  if (IsVideoTrack(selTrack) && credits < Price(config->creditsbyvideo)) {
    ShowNotice("Creditos insuficientes para Video !!!", kRefusalTime);
    return false;
  }
  return credits >= minimum;
}

// A typed track number 0 whose album highlight was lost (a track move drew
// the list again) marks the album anew; the next enter buys it.
bool SDLGui::ConfirmTypedZero() {
  if (typedNumber.GetLength() == 0 || typedNumber.ToInteger() != 0 || tracksList->highlightAll)
    return false;
  ShowTracksList(true);
  typedNumber = "";
  DrawGenre(true);
  return true;
}

// Tracks are bought in order while the credits pay for each at its own
// price; those bought stay bought when the credits run out. Queue and
// credits are saved before anything is shown.
void SDLGui::BuyWholeAlbum() {
  const int tracks = SelectedAlbumTracks();
  int added = 0;
  int32_t paid = 0;
  for (uint32_t track = 0; static_cast<int>(track) < tracks; ++track) {
    if (JukeboxMode() && !CreditsPay(PriceOfTrack(track))) break;
    paid += Charge(QueueElement{selGenre, selDisc, track, 0});
    ++added;
  }
  SaveState();
  std::printf("Compra: %d elementos del album %u,%u por %d creditos, quedan %d\n", added, selGenre, selDisc, paid,
              credits);
  DrawCredits(true);
  DrawQueue(true);
  DrawTracks(true);
  RString text;
  text.sprintf("Elementos agregados: %d", added);
  ShowNotice(text, kNoticeTime);
}

// The entry is queued and saved with the credits at once, so that it can
// start playing while the customer reads the message.
void SDLGui::BuySelectedTrack() {
  const int32_t paid = Charge(QueueElement{selGenre, selDisc, selTrack, 0});
  SaveState();
  std::printf("Compra: %u,%u,%u por %d creditos, quedan %d\n", selGenre, selDisc, selTrack, paid, credits);
  DrawCredits(true);
  DrawQueue(true);
  RString text;
  const RString title = ShownTitle(library->GetTrackTitle(selGenre, selDisc, selTrack));
  text.sprintf("Agregado: %s", title.Chars());
  ShowNotice(text, kNoticeTime);
}

// Every purchase also needs the least price of all, creditsbyplay.
bool SDLGui::CreditsPay(int32_t price) const {
  return credits >= price && credits >= Price(config->creditsbyplay);
}

// Only the coin-operated mode pays back an item that cannot be played, so
// only there is the entry marked with its price.
int32_t SDLGui::Charge(const QueueElement& entry) {
  const int32_t price = PriceOfTrack(entry.track);
  credits -= price;
  queue->AddElementToQueue(entry.genre, entry.disc, entry.track, JukeboxMode() ? price : 0);
  return price;
}

// last is the queue's last entry, the selected track. Making it VIP is
// offered, paid and done only when it moves it ahead of a normal entry
// waiting; whether it does is asked again after the customer's answer, as
// the playback thread may have moved on meanwhile.
void SDLGui::OfferVip(const QueueElement& last) {
  const int32_t vipPrice = config->creditsvip;
  if (vipPrice <= 0 || !queue->LastWouldPassAsVIP(last)) return;
  if (JukeboxMode() && credits < vipPrice) {
    ShowNotice("Creditos insuficientes para VIP !!!", kRefusalTime);
    return;
  }
  const int answer = ShowMsg("Activar reproduccion VIP?", genreFont, -1, true, true);
  if (!KeyIs(answer, config->enter) || !queue->RemoveLastAndInsertVIP(last, JukeboxMode() ? vipPrice : 0)) return;
  credits -= vipPrice;
  SaveState();
  std::printf("Compra VIP: %u,%u,%u por %d creditos, quedan %d\n", last.genre, last.disc, last.track, vipPrice,
              credits);
  DrawCredits(true);
  DrawQueue(true);
  ShowNotice("Modo VIP activado", kNoticeTime);
}

void SDLGui::ShowNotice(const RString& text, int timeout) {
  ShowMsg(text, genreFont, timeout, true, true);
}
