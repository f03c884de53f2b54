// The operator menu's "Estadisticas": the ledger's figures as shown, read
// off the main loop, and the row that shows them until a key.
#include "gui/StatisticsScreen.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

#include "MainScreenFixture.h"
#include "gui/OperatorMenu.h"
#include "state/Ledger.h"
#include "support/Wait.h"

namespace {

class StatisticsScreenTest : public MainScreenTest {
 protected:
  void SetUp() override {
    catalogue.AddGenre("Rock", 3);
    config.configmenu = SDLK_F2;
    Open();
  }

  static LedgerRow Row(const char* kind, int input, int64_t credits, const char* title = "",
                       const char* detail = "") {
    LedgerRow row;
    row.kind = kind;
    row.input = input;
    row.credits = credits;
    row.item = *title ? "song" : "";
    row.genre = *title ? "Pop" : "";
    row.album = *title ? "Año" : "";
    row.title = title;
    row.detail = detail;
    return row;
  }

  static std::vector<std::string> Shown(StatisticsScreen& screen) {
    EXPECT_TRUE(WaitUntil([&] { return screen.Ready(); }));
    std::vector<std::string> lines;
    for (const RString& line : screen.Lines()) lines.emplace_back(line.Chars());
    return lines;
  }
};

TEST_F(StatisticsScreenTest, TodaySinceClearingAndMostPlayed) {
  {
    Ledger ledger;
    ASSERT_TRUE(ledger.Open());
    ledger.Start();
    for (const LedgerRow& row :
         {Row("coin", 1, 1), Row("sale", 0, 1, "Canción"), Row("play", 0, 0, "Canción", "played"),
          Row("operator", 0, 0, "", Ledger::kCountersCleared), Row("coin", 2, 3), Row("sale", 0, 2, "Otra"),
          Row("play", 0, 0, "Otra", "failed"), Row("payback", 0, 2, "Otra", "could not play"),
          Row("play", 0, 0, "Canción", "skipped")})
      ledger.Append(row);
  }
  StatisticsScreen screen(Ledger::kFile, platform::UnixTime());
  EXPECT_EQ(Shown(screen), (std::vector<std::string>{
                               "Estadisticas",
                               "Hoy:",
                               "  2 monedas (1: 1, 2: 1), 4 creditos; vendido 3, devuelto 2",
                               "Desde que se limpiaron los contadores:",
                               "  1 monedas (2: 1), 3 creditos; vendido 2, devuelto 2",
                               "Las 10 mas tocadas:",
                               "1. Canci\xf3n - A\xf1o (Pop): 2",
                           }));
  const SDL_Rect box = screen.Draw(gui.Display().screen, gui.Writers().genresListFont);
  EXPECT_NEAR(box.x * 2 + box.w, gui.Display().screen->w, 1);  // in the middle
  EXPECT_NEAR(box.y * 2 + box.h, gui.Display().screen->h, 1);
  EXPECT_GE(box.h, 7 * gui.Writers().genresListFont.GetFontHeight());
}

// A missing file, or a reading cut short.
TEST_F(StatisticsScreenTest, LedgerThatCannotBeReadIsSaid) {
  StatisticsScreen screen("missing.db", platform::UnixTime());
  EXPECT_EQ(Shown(screen),
            (std::vector<std::string>{"Estadisticas", "No se pudo leer el registro de ventas"}));
  {
    Ledger ledger;
    ledger.Open();
    ledger.Start();
    for (int coin = 0; coin < 100; ++coin) ledger.Append(Row("coin", 1, 1));
  }
  std::atomic<bool> cancelled{true};
  EXPECT_TRUE(ReadStatistics(Ledger::kFile, platform::UnixTime()));
  EXPECT_FALSE(ReadStatistics(Ledger::kFile, platform::UnixTime(), &cancelled));
}

// Shown for 30 seconds, or until a key; the menu comes back either way.
TEST_F(StatisticsScreenTest, MenuRowShowsTheFiguresUntilAKey) {
  gui.Money().StartLedger(false);
  Press(config.configmenu);
  gui.Lists().configList->SetSelected(OperatorMenu::kStatisticsRow);
  EXPECT_GE(WaitOf([&] { gui.Router().DispatchKey(config.enter); }), 30000u);
  EXPECT_EQ(gui.Display().dialog, SDLGui::kConfigScreen);
  Answer(SDLK_a);
  EXPECT_LT(WaitOf([&] { gui.Router().DispatchKey(config.enter); }), 30000u);
  EXPECT_EQ(gui.Display().dialog, SDLGui::kConfigScreen);
  gui.Money().StopLedger(43);
}

}  // namespace
