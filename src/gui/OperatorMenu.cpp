#include "gui/OperatorMenu.h"

#include <algorithm>
#include <iterator>

#include "config/Configuration.h"

namespace {

// "right" walks the modes forward, "left" back; another mode stays as it is.
const char* const kPlayModes[] = {"jukebox", "fiesta", "continuo", "aleatorio"};
const int kPlayModeCount = static_cast<int>(std::size(kPlayModes));
// "configuser" keeps the credits per coin in 16 bits.
const int32_t kMostCreditsPerCoin = 0xFFFF;

const char* const kWidestRows[] = {
    "Monedero 1: 65535", "Monedero 2: 65535", "Contador 1: 99999999", "Contador 2: 99999999",
    "Limpiar contadores", "Estadisticas", "Configuracion Admin", "Modo: aleatorio", "Salida de TV: Si", "Wifi WPS",
    "Configtool", "Archivos", "Guardar y salir", "Salir"};
static_assert(std::size(kWidestRows) == OperatorMenu::kRowCount);

RString NextPlayMode(const RString& mode, int step) {
  for (int i = 0; i < kPlayModeCount; ++i) {
    if (mode == kPlayModes[i]) return kPlayModes[(i + step + kPlayModeCount) % kPlayModeCount];
  }
  return mode;
}

RString Numbered(const char* format, int value) {
  RString text;
  text.sprintf(format, value);
  return text;
}

}  // namespace

const char* OperatorMenu::WidestRow(int row) { return kWidestRows[row]; }

void OperatorMenu::Open(const Configuration& config) {
  coin1_ = config.creditscoin1;
  coin2_ = config.creditscoin2;
  playMode_ = config.playmode;
}

bool OperatorMenu::Step(int row, int step, Configuration& config) {
  switch (row) {
    case kCoin1Row:
      coin1_ = std::clamp(coin1_ + step, 0, kMostCreditsPerCoin);
      return true;
    case kCoin2Row:
      coin2_ = std::clamp(coin2_ + step, 0, kMostCreditsPerCoin);
      return true;
    case kPlayModeRow:
      playMode_ = NextPlayMode(playMode_, step);
      return true;
    case kTvOutRow:
      config.tvout = config.tvout ? 0 : 1;
      return true;
    default:
      return false;
  }
}

void OperatorMenu::Save(Configuration& config) const {
  config.creditscoin1 = static_cast<uint16_t>(coin1_);
  config.creditscoin2 = static_cast<uint16_t>(coin2_);
  config.playmode = playMode_;
}

bool OperatorMenu::ShowsValue(int row) { return row <= kCounter2Row || row == kPlayModeRow || row == kTvOutRow; }

RString OperatorMenu::ValueRow(int row, const Configuration& config, int count1, int count2) const {
  switch (row) {
    case kCoin1Row:
      return Numbered("Monedero 1: %d", coin1_);
    case kCoin2Row:
      return Numbered("Monedero 2: %d", coin2_);
    case kCounter1Row:
      return Numbered("Contador 1: %d", count1);
    case kCounter2Row:
      return Numbered("Contador 2: %d", count2);
    case kPlayModeRow:
      return "Modo: " + playMode_;
    case kTvOutRow:
      return config.tvout ? "Salida de TV: Si" : "Salida de TV: No";
    default:
      return "";
  }
}
