#pragma once
// Paying for plays apart from the rest of the GUI: the main screen's
// selection becomes queue entries and its price leaves the credits, and the
// sales the cashbox is still saving are followed to what the screen does
// once each is saved.
#include <cstdint>

#include "gui/PendingSales.h"
#include "state/Cashbox.h"

class SDLGui;
struct QueueElement;

class Purchases {
 public:
  explicit Purchases(SDLGui& gui) : gui(gui) {}
  Purchases(const Purchases&) = delete;
  Purchases& operator=(const Purchases&) = delete;

  // Queues the selected track, or every track of the highlighted album,
  // and takes the price from the credits (refused in "jukebox" mode when
  // they do not reach it); enter again on the track queued last offers to
  // make it a VIP play for creditsvip more.
  void EnterPlay();
  // What follows each sale the cashbox has ended; every pass.
  void Finish();
  PendingSales& Pending() { return sales; }
  // Tells the customer why a sale was not made; true when it was not.
  bool TellUnsold(Cashbox::Sale sale);

 private:
  // Video and karaoke tracks of the selected album cost creditsbyvideo.
  bool IsVideoTrack(uint32_t track) const;
  int32_t PriceOfTrack(uint32_t track) const;
  // The "jukebox" mode's checks for the selected track, with their messages.
  bool CreditsAllowSelection();
  bool ConfirmTypedZero();
  void BuyWholeAlbum();
  void BuySelectedTrack();
  void OfferVip(const QueueElement& last);

  SDLGui& gui;
  PendingSales sales;
};
