#pragma once
// Where the marquee text stands: scrolling through its panel one pixel to
// the left at a time, and on the TV-out picture bouncing two pixels per
// step over advertising images that take turns. The text is rendered once
// for as long as it and its font stay.
#include <cstdint>

#include "base/RString.h"
#include "base/RStringsList.h"
#include "gui/Surface.h"
#include "gui/fontsdl.h"

class Marquee {
 public:
  struct TextStrip {
    RString text;
    TTF_Font* font = nullptr;
    // None for an empty text or without a font.
    Surface surface;
    int width = 0, height = 0;
  };
  // The strip of text in writer's font, rendered again when either changed.
  const TextStrip& Strip(const RString& text, SDL_TTFWriter& writer);
  const TextStrip& LastStrip() const { return strip_; }
  void Forget() { strip_ = TextStrip(); }

  // The panel: the text enters again from its right edge once it has left
  // on the left.
  int X() const { return x_; }
  int Y() const { return y_; }
  void Restart(int panelWidth);
  bool HasLeft() const { return x_ <= -strip_.width; }
  bool StepDue(uint32_t now) const;
  void StepLeft() { --x_; }
  void PlaceAt(int x) { x_ = x; }
  void Drawn(uint32_t now) { drawnAt_ = now; }

  // The TV-out text: each step goes two pixels on in each direction, which
  // turns at the edges of width × height.
  int TvX() const { return tvX_; }
  int TvY() const { return tvY_; }
  bool TvGoesLeft() const { return tvLeft_ != 0; }
  bool TvGoesUp() const { return tvUp_ != 0; }
  bool TvStepDue(uint32_t now) const;
  void BounceTv(int width, int height);
  void PlaceTvText(int x, int y) { tvX_ = x, tvY_ = y; }
  uint32_t TvMovedAt() const { return tvMovedAt_; }
  void TvMoved(uint32_t now) { tvMovedAt_ = now; }

  // The advertising images, in listing order, round and round; a new one
  // every five minutes.
  void AddAdvertising(const RString& file) { adFiles_.AddItem(file); }
  const RStringsList& Advertising() const { return adFiles_; }
  bool AdvertisingDue(uint32_t now) const;
  uint32_t AdvertisingShownAt() const { return adShownAt_; }
  // The next image's file, empty without any; the time counts from now.
  RString NextAdvertising(uint32_t now);

 private:
  TextStrip strip_;
  int32_t x_ = 0, y_ = 0;
  uint32_t drawnAt_ = 0;
  int32_t tvX_ = 0, tvY_ = 0;
  uint8_t tvLeft_ = 0, tvUp_ = 0;
  uint32_t tvMovedAt_ = 0;
  RStringsList adFiles_;
  uint32_t adIndex_ = 0;
  uint32_t adShownAt_ = 0;
};
