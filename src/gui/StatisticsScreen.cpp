#include "gui/StatisticsScreen.h"

#include <algorithm>

#include "gui/fontsdl.h"
#include "platform/Paths.h"

namespace {

const int kPadding = 12;
const SDL_Color kBoxColour = {0, 48, 96, 0};

RString Internal(const std::string& utf8) { return platform::FromHostText(utf8).c_str(); }

// "  12 monedas (1: 10, 2: 2), 16 creditos; vendido 12, devuelto 1"
RString TakingsText(const Takings& takings) {
  int64_t coins = 0;
  std::string perInput;
  for (size_t input = 0; input < takings.coins.size(); ++input) {
    if (takings.coins[input] == 0) continue;
    coins += takings.coins[input];
    perInput += Format("%s%zu: %lld", perInput.empty() ? "" : ", ", input + 1,
                       static_cast<long long>(takings.coins[input]));
  }
  return Format("  %lld monedas (%s), %lld creditos; vendido %lld, devuelto %lld", static_cast<long long>(coins),
                perInput.empty() ? "-" : perInput.c_str(), static_cast<long long>(takings.coinCredits),
                static_cast<long long>(takings.sold), static_cast<long long>(takings.paidBack))
      .c_str();
}

std::vector<RString> FiguresLines(const LedgerStatistics& figures) {
  std::vector<RString> lines{"Estadisticas",
                             "Hoy:",
                             TakingsText(figures.today),
                             "Desde que se limpiaron los contadores:",
                             TakingsText(figures.sinceCleared),
                             "Las 10 mas tocadas:"};
  int place = 0;
  for (const TrackPlays& track : figures.mostPlayed) {
    lines.push_back(Format("%d. %s - %s (%s): %lld", ++place, Internal(track.title).Chars(),
                           Internal(track.album).Chars(), Internal(track.genre).Chars(),
                           static_cast<long long>(track.plays))
                        .c_str());
  }
  if (figures.mostPlayed.empty()) lines.push_back("Nada tocado todavia");
  return lines;
}

}  // namespace

StatisticsScreen::StatisticsScreen(const std::string& ledgerFile, int64_t now)
    : reading_(std::async(std::launch::async, ReadStatistics, ledgerFile, now, &cancel_)) {}

StatisticsScreen::~StatisticsScreen() { cancel_ = true; }

bool StatisticsScreen::Ready() {
  if (!read_ && reading_.wait_for(std::chrono::seconds(0)) == std::future_status::ready) read_ = reading_.get();
  return read_.has_value();
}

std::vector<RString> StatisticsScreen::Lines() {
  if (!Ready()) return {"Estadisticas", "Leyendo el registro..."};
  if (!*read_) return {"Estadisticas", "No se pudo leer el registro de ventas"};
  return FiguresLines(**read_);
}

SDL_Rect StatisticsScreen::Draw(SDL_Surface* target, SDL_TTFWriter& font) {
  const std::vector<RString> lines = Lines();
  int width = 0;
  for (const RString& line : lines) {
    int w = 0;
    font.SizeText(line.Chars(), &w, nullptr);
    width = std::max(width, w);
  }
  const int lineHeight = std::max(font.GetFontHeight(), 1);
  // A line is drawn whole only when narrower than its room.
  width = std::min(width + 1 + 2 * kPadding, target->w);
  const int height = std::min(static_cast<int>(lines.size()) * lineHeight + 2 * kPadding, target->h);
  SDL_Rect box = {static_cast<Sint16>((target->w - width) / 2), static_cast<Sint16>((target->h - height) / 2),
                  static_cast<Uint16>(width), static_cast<Uint16>(height)};
  SDL_Rect fill = box;
  SDL_FillRect(target, &fill, SDL_MapRGB(target->format, kBoxColour.r, kBoxColour.g, kBoxColour.b));
  int y = box.y + kPadding;
  for (const RString& line : lines) {
    font.DrawText2(target, line.Chars(), static_cast<unsigned>(box.x + kPadding), static_cast<unsigned>(y),
                   static_cast<unsigned>(width - 2 * kPadding));
    y += lineHeight;
  }
  return box;
}
