#include "gui/Skin.h"

#include <cmath>
#include <cstdio>
#include <limits>

#include "config/SettingsFile.h"

// The layouts were tuned on the x87 FPU, where a fraction times a size is
// formed with a 64-bit mantissa before it is truncated: 0.98 × 800 gives 783
// there (the double nearest 0.98 lies just below it) but 784 in doubles.
static_assert(std::numeric_limits<long double>::digits >= 64,
              "screen fractions need extended-precision products");

namespace {

enum class Dimension { kWidth, kHeight };

struct SkinKey {
  const char* key;
  int32_t Skin::*field;
  Dimension dimension;
};

// The keys a skin file may set, in the order they are looked up.
const SkinKey kSkinKeys[] = {
    {"xgenre", &Skin::xgenre, Dimension::kWidth},
    {"ygenre", &Skin::ygenre, Dimension::kHeight},
    {"wgenre", &Skin::wgenre, Dimension::kWidth},
    {"hgenre", &Skin::hgenre, Dimension::kHeight},
    {"coverseparation", &Skin::coverseparation, Dimension::kWidth},
    {"xtitles", &Skin::xtitles, Dimension::kWidth},
    {"ytitles", &Skin::ytitles, Dimension::kHeight},
    {"wtitles", &Skin::wtitles, Dimension::kWidth},
    {"htitles", &Skin::htitles, Dimension::kHeight},
    {"xcovers", &Skin::xcovers, Dimension::kWidth},
    {"ycovers", &Skin::ycovers, Dimension::kHeight},
    {"wcovers", &Skin::wcovers, Dimension::kWidth},
    {"hcovers", &Skin::hcovers, Dimension::kHeight},
    {"xtrackslist", &Skin::xtrackslist, Dimension::kWidth},
    {"ytrackslist", &Skin::ytrackslist, Dimension::kHeight},
    {"wtrackslist", &Skin::wtrackslist, Dimension::kWidth},
    {"htrackslist", &Skin::htrackslist, Dimension::kHeight},
    {"xinfo", &Skin::xinfo, Dimension::kWidth},
    {"yinfo", &Skin::yinfo, Dimension::kHeight},
    {"winfo", &Skin::winfo, Dimension::kWidth},
    {"hinfo", &Skin::hinfo, Dimension::kHeight},
    {"xcredits", &Skin::xcredits, Dimension::kWidth},
    {"ycredits", &Skin::ycredits, Dimension::kHeight},
    {"wcredits", &Skin::wcredits, Dimension::kWidth},
    {"hcredits", &Skin::hcredits, Dimension::kHeight},
    {"wgenreslist", &Skin::wgenreslist, Dimension::kWidth},
    {"hgenreslist", &Skin::hgenreslist, Dimension::kHeight},
    {"wabclist", &Skin::wabclist, Dimension::kWidth},
    {"habclist", &Skin::habclist, Dimension::kHeight},
    {"xqueue", &Skin::xqueue, Dimension::kWidth},
    {"yqueue", &Skin::yqueue, Dimension::kHeight},
    {"wqueue", &Skin::wqueue, Dimension::kWidth},
    {"hqueue", &Skin::hqueue, Dimension::kHeight},
    {"xmedia", &Skin::xmedia, Dimension::kWidth},
    {"ymedia", &Skin::ymedia, Dimension::kHeight},
    {"wmedia", &Skin::wmedia, Dimension::kWidth},
    {"hmedia", &Skin::hmedia, Dimension::kHeight},
    {"xvolumen", &Skin::xvolumen, Dimension::kWidth},
    {"yvolumen", &Skin::yvolumen, Dimension::kHeight},
    {"wvolumen", &Skin::wvolumen, Dimension::kWidth},
    {"hvolumen", &Skin::hvolumen, Dimension::kHeight},
    {"xmarquee", &Skin::xmarquee, Dimension::kWidth},
    // The marquee's vertical values are fractions of the width as well.
    {"ymarquee", &Skin::ymarquee, Dimension::kWidth},
    {"wmarquee", &Skin::wmarquee, Dimension::kWidth},
    {"hmarquee", &Skin::hmarquee, Dimension::kWidth},
};

// Truncates toward zero. Values beyond the 32-bit range (a skin file may hold
// "1e30" or "inf") saturate, and "nan" reads as 0 like any unreadable value.
int32_t TruncateToPixels(long double value) {
  if (std::isnan(value)) return 0;
  if (value <= std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  if (value >= std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(value);
}

// A default fraction: the double nearest the decimal times the size.
int32_t DefaultFraction(double factor, uint16_t size) {
  return TruncateToPixels(static_cast<long double>(factor) * size);
}

// A skin-file fraction: single precision on both sides, exact product.
int32_t SkinFileFraction(float factor, uint16_t size) {
  return TruncateToPixels(static_cast<long double>(factor) *
                          static_cast<long double>(static_cast<float>(size)));
}

// Four covers side by side with three gaps between them.
int32_t CoverWidth(int32_t coversWidth, int32_t separation) {
  const int64_t widthOfCovers = int64_t{coversWidth} - 3 * int64_t{separation};
  return static_cast<int32_t>(widthOfCovers / 4);
}

// Where an extent of the given size starts when centred on the screen.
int32_t CentredStart(uint16_t screenSize, int32_t size) {
  return screenSize / 2 - size / 2;
}

}  // namespace

Skin::Skin(uint16_t width, uint16_t height, uint8_t mode)
    : mode(mode),
      width(width != 0 ? width : 800),
      height(height != 0 ? height : 600),
      name("skin") {}

void Skin::SetSkinName(const RString& skinName) { name = skinName; }

Skin& Skin::SetDefaultCoordsSkin4() {
  const auto ofWidth = [this](double factor) { return DefaultFraction(factor, width); };
  const auto ofHeight = [this](double factor) { return DefaultFraction(factor, height); };

  xgenre = ofWidth(0.01);
  ygenre = ofHeight(0.01);
  wgenre = ofWidth(0.98);
  hgenre = ofHeight(0.05);

  xtitles = ofWidth(0.01);
  ytitles = ofHeight(0.06);
  wtitles = ofWidth(0.98);
  htitles = ofHeight(0.03);

  xcovers = ofWidth(0.01);
  ycovers = ofHeight(0.1);
  wcovers = ofWidth(0.98);
  hcovers = ofHeight(0.3);
  coverseparation = ofWidth(0.01);
  wcover = CoverWidth(wcovers, coverseparation);

  xtrackslist = ofWidth(0.01);
  ytrackslist = ofHeight(0.45);
  wtrackslist = wcover;
  htrackslist = ofHeight(0.2);

  xinfo = ofWidth(0.01);
  yinfo = ofHeight(0.75);
  winfo = wcover;
  hinfo = ofHeight(0.2);

  xcredits = ofWidth(0.83);
  ycredits = ofHeight(0.94);
  wcredits = ofWidth(0.14);
  hcredits = ofHeight(0.03);

  wgenreslist = ofWidth(0.5);
  hgenreslist = ofHeight(0.4);
  xgenreslist = CentredStart(width, wgenreslist);
  ygenreslist = CentredStart(height, hgenreslist);

  wabclist = ofWidth(0.3);
  habclist = ofHeight(0.4);
  xabclist = CentredStart(width, wabclist);
  yabclist = CentredStart(height, habclist);

  xqueue = ofWidth(0.75);
  yqueue = ofHeight(0.5);
  wqueue = ofWidth(0.25);
  hqueue = ofHeight(0.15);

  wmedia = ofWidth(0.3);
  hmedia = ofHeight(0.25);
  xmedia = CentredStart(width, wmedia);
  ymedia = ofHeight(0.7);

  xvolumen = ofWidth(0.2);
  yvolumen = ofHeight(0.96);
  wvolumen = ofWidth(0.6);
  hvolumen = ofHeight(0.02);

  xmarquee = ofWidth(0.4);
  ymarquee = ofHeight(0.05);
  wmarquee = ofWidth(0.5);
  hmarquee = ofHeight(0.1);
  return *this;
}

void Skin::CalculateCoordinates(uint8_t newMode, uint16_t newWidth, uint16_t newHeight) {
  if (newWidth != 0 && newHeight != 0) {
    width = newWidth;
    height = newHeight;
  }
  if (newMode != 1) return;

  SetDefaultCoordsSkin4();
  const bool opened = SettingsFile::Read(
      "skins/" + name + ".txt",
      [this](const RString& key, const RString& value) { ApplySkinValue(key, value); });
  if (!opened) {
    puts("Error al abrir el archivo de coordenadas del skin, se usaran valores por default");
    return;
  }
  DeriveDependentCoords();
}

void Skin::ApplySkinValue(const RString& key, const RString& value) {
  for (const SkinKey& entry : kSkinKeys) {
    if (key != entry.key) continue;
    const uint16_t size = entry.dimension == Dimension::kWidth ? width : height;
    this->*entry.field = SkinFileFraction(value.ToFloat(), size);
    return;
  }
}

void Skin::DeriveDependentCoords() {
  wcover = CoverWidth(wcovers, coverseparation);
  xgenreslist = CentredStart(width, wgenreslist);
  ygenreslist = CentredStart(height, hgenreslist);
  xabclist = CentredStart(width, wabclist);
  yabclist = CentredStart(height, habclist);
}
