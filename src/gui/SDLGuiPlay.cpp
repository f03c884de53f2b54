// Paying for plays: the selection of the main screen becomes queue entries
// and its price leaves the credits.
#include <algorithm>
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

// Tracks are bought in order while the credits reach creditsbyplay; those
// bought stay bought when the credits run out.
void SDLGui::BuyWholeAlbum() {
  const int tracks = SelectedAlbumTracks();
  int added = 0;
  for (uint32_t track = 0; static_cast<int>(track) < tracks; ++track) {
    if (JukeboxMode() && credits < Price(config->creditsbyplay)) break;
    credits -= PriceOfTrack(track);
    queue->AddElementToQueue(selGenre, selDisc, track);
    ++added;
  }
  tracksList->SetSelected(0);
  ShowTracksList(false);
  DrawCredits(true);
  RString text;
  text.sprintf("Elementos agregados: %d", added);
  ShowNotice(text, kNoticeTime);
  DrawQueue(true);
  DrawTracks(true);
  config->SaveTempData(queue, credits);
}

void SDLGui::BuySelectedTrack() {
  credits -= PriceOfTrack(selTrack);
  DrawCredits(true);
  RString text;
  const RString title = ShownTitle(library->GetTrackTitle(selGenre, selDisc, selTrack));
  text.sprintf("Agregado: %s", title.Chars());
  ShowNotice(text, kNoticeTime);
  queue->AddElementToQueue(selGenre, selDisc, selTrack);
  DrawQueue(true);
  config->SaveTempData(queue, credits);
}

// last is the queue's last entry, the selected track. Making it VIP moves
// it ahead of the normal entries waiting; an entry already VIP, or the one
// playing, would gain nothing and is left alone. The move is asked of the
// queue for exactly that entry, so an entry the playback thread took away
// meanwhile is neither moved nor paid for.
void SDLGui::OfferVip(const QueueElement& last) {
  const int32_t vipPrice = config->creditsvip;
  if (vipPrice <= 0 || last.vip || queue->Count() < 2) return;
  if (JukeboxMode() && credits < vipPrice) {
    ShowNotice("Creditos insuficientes para VIP !!!", kRefusalTime);
    return;
  }
  const int answer = ShowMsg("Activar reproduccion VIP?", genreFont, -1, true, true);
  if (!KeyIs(answer, config->enter) || !queue->RemoveLastAndInsertVIP(last)) return;
  credits -= vipPrice;
  DrawCredits(true);
  DrawQueue(true);
  config->SaveTempData(queue, credits);
  ShowNotice("Modo VIP activado", kNoticeTime);
}

void SDLGui::ShowNotice(const RString& text, int timeout) {
  ShowMsg(text, genreFont, timeout, true, true);
}
