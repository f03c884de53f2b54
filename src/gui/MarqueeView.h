#pragma once
// The marquee text scrolling through its panel, and the TV-out picture: the
// same text bouncing over advertising images that change every five
// minutes. The places and images are the Marquee part's.
#include "gui/Marquee.h"

class SDLGui;

class MarqueeView {
 public:
  explicit MarqueeView(SDLGui& gui) : gui(gui) {}
  MarqueeView(const MarqueeView&) = delete;
  MarqueeView& operator=(const MarqueeView&) = delete;

  // One step of the marquee text, one pixel to the left at most every 10 ms;
  // over a full-screen video only on touch cabinets, in a black strip.
  void DrawMarquee();
  void UpdateMarquee();
  // One step of the TV-out picture: the marquee text bounces two pixels per
  // step, and the advertising image changes every five minutes.
  void DrawTVOUT();

 private:
  void DrawMarqueeText();
  // The strip of the text shown now, rendered again when it changed.
  const Marquee::TextStrip& MarqueeStrip();
  void ComposeMarqueePanel();
  void MoveTvText();
  void ShowNextAdvertising();

  SDLGui& gui;
};
