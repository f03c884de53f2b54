#include "gui/Marquee.h"

namespace {

const uint32_t kMarqueeStep = 10;
const uint32_t kTvTextStep = 5;
const int kTvTextMove = 2;
const uint32_t kAdvertisingTime = 300001;

// Two pixels on in the current direction, which turns at either edge.
void Bounce(int32_t& position, uint8_t& backwards, int size, int limit) {
  if (backwards) {
    position -= kTvTextMove;
    if (position <= 0) backwards = 0;
  } else {
    position += kTvTextMove;
    if (position + size >= limit) backwards = 1;
  }
}

}  // namespace

const Marquee::TextStrip& Marquee::Strip(const RString& text, SDL_TTFWriter& writer) {
  if (text == strip_.text && writer.GetFont() == strip_.font) return strip_;
  strip_ = TextStrip{text, writer.GetFont()};
  writer.SizeText(text.Chars(), &strip_.width, &strip_.height);
  if (strip_.font != nullptr && text.GetLength() > 0) strip_.surface.reset(writer.DrawText2(nullptr, text.Chars(), 0, 0, 0));
  return strip_;
}

void Marquee::Restart(int panelWidth) {
  x_ = panelWidth;
  y_ = 0;
}

bool Marquee::StepDue(uint32_t now) const { return now - drawnAt_ > kMarqueeStep; }

bool Marquee::TvStepDue(uint32_t now) const { return now - tvMovedAt_ > kTvTextStep; }

void Marquee::BounceTv(int width, int height) {
  Bounce(tvX_, tvLeft_, strip_.width, width);
  Bounce(tvY_, tvUp_, strip_.height, height);
}

bool Marquee::AdvertisingDue(uint32_t now) const { return now - adShownAt_ >= kAdvertisingTime; }

RString Marquee::NextAdvertising(uint32_t now) {
  adShownAt_ = now;
  const int count = adFiles_.Count();
  if (count == 0) return "";
  if (adIndex_ >= static_cast<uint32_t>(count)) adIndex_ = 0;
  const RString file = adFiles_.GetItem(static_cast<int>(adIndex_));
  adIndex_ = (adIndex_ + 1) % static_cast<uint32_t>(count);
  return file;
}
