#include "state/Ledger.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "TestCatalogue.h"
#include "config/Configuration.h"
#include "platform/Clock.h"
#include "state/Cashbox.h"
#include "support/Files.h"
#include "support/Sales.h"
#include "support/TempDir.h"
#include "support/Wait.h"

namespace fs = std::filesystem;

namespace {

QueueElement Track(uint32_t track) { return QueueElement{2, 1, track}; }
const QueueElement kDownload{1, 5, 0};

// Every row as its columns kind, item, input, credits, mode, genre, album,
// title, detail and seconds that are not NULL, joined by "|".
std::vector<std::string> LedgerRows(const char* file = Ledger::kFile) {
  std::vector<std::string> rows;
  sqlite3* db = nullptr;
  sqlite3_open_v2(file, &db, SQLITE_OPEN_READONLY, nullptr);
  sqlite3_stmt* statement = nullptr;
  sqlite3_prepare_v2(db,
                     "SELECT kind, item, input, credits, mode, genre, album, title, detail, seconds FROM ledger"
                     " ORDER BY seq",
                     -1, &statement, nullptr);
  while (sqlite3_step(statement) == SQLITE_ROW) {
    std::string row;
    for (int column = 0; column < 10; ++column) {
      const unsigned char* text = sqlite3_column_text(statement, column);
      if (text) row += (row.empty() ? "" : "|") + std::string(reinterpret_cast<const char*>(text));
    }
    rows.push_back(row);
  }
  sqlite3_finalize(statement);
  sqlite3_close(db);
  return rows;
}

PlayReport Report(PlayReport::End end) { return PlayReport{end, 1000, 1030}; }

class LedgerTest : public ::testing::Test {
 protected:
  LedgerTest() {
    platform::SetClock(&clock);
    config.playmode = "jukebox";  // coins of 1 and 3 credits, as by default
    NewCashbox();
  }
  ~LedgerTest() override {
    cashbox.reset();
    platform::SetClock(nullptr);
  }

  // A new run on the files as they are.
  void NewCashbox() {
    cashbox.reset();
    queue = std::make_unique<Queue>();
    cashbox = std::make_unique<Cashbox>(*queue, config, &catalogue.library);
    ::testing::internal::CaptureStdout();
    cashbox->Restore();
    ::testing::internal::GetCapturedStdout();
  }
  QueueElement Head() const { return *queue->GetElementFromQueue(0); }
  // The run's log while it starts its ledger.
  std::string StartLedger(bool afterPowerCut) {
    ::testing::internal::CaptureStdout();
    cashbox->StartLedger(afterPowerCut);
    return ::testing::internal::GetCapturedStdout();
  }
  void EmptyFolder() {
    cashbox.reset();
    for (const auto& entry : fs::directory_iterator(dir.Path())) fs::remove_all(entry.path());
  }
  void Quiet(const std::function<void()>& action) {
    ::testing::internal::CaptureStdout();
    action();
    ::testing::internal::GetCapturedStdout();
  }

  TempDir dir;
  platform::ManualClock clock{1000};
  TestCatalogue catalogue;
  Configuration config{&catalogue.library};
  std::unique_ptr<Queue> queue;
  std::unique_ptr<Cashbox> cashbox;
};

// Each action of the money is its row, in order, with what it was about.
TEST_F(LedgerTest, EachActionIsARowOfItsKind) {
  const struct {
    const char* what;
    std::function<void(Cashbox&)> act;
    std::vector<std::string> rows;
  } actions[] = {
      {"coins", [](Cashbox& c) { c.CreditCoin(2), c.CreditCoin(1); }, {"coin|2|3", "coin|1|1"}},
      {"song", [](Cashbox& c) { SaleOf(c, c.Buy(Track(0), 2)); }, {"sale|song|2|jukebox|Salsa|Disco 1|Tema 0.mp3"}},
      {"album",
       [](Cashbox& c) { SaleOf(c, c.Buy({{Track(1), 1}, {Track(2), 1}}, 1)); },
       {"sale|album|1|jukebox|Salsa|Disco 1|Tema 1.mp3", "sale|album|1|jukebox|Salsa|Disco 1|Tema 2.mp3"}},
      {"wifi code and its return", [](Cashbox& c) { c.CreditCoin(2), SaleOf(c, c.BuyWifiCode(2)), c.ReturnWifiCode(2); },
       {"coin|2|3", "sale|wifi|2|jukebox", "payback|wifi|2|wifi code not made"}},
      {"download", [](Cashbox& c) { SaleOf(c, c.Buy(kDownload, 1)); }, {"sale|download|1|jukebox|Rock|Descargas|Primero.mp4"}},
      {"vip", [](Cashbox& c) { SaleOf(c, c.BuyVip(QueueElement{1, 5, 0, 0, 1}, 1)); },
       {"sale|vip|1|jukebox|Rock|Descargas|Primero.mp4"}},
      {"played", [this](Cashbox& c) { c.Finish(Head(), Report(PlayReport::End::kPlayed)); },
       {"play|song|0|Salsa|Disco 1|Tema 0.mp3|played|30"}},
      {"not played, paid back", [this](Cashbox& c) { c.PayBack(Head(), Report(PlayReport::End::kFailed)); },
       {"play|download|0|Rock|Descargas|Primero.mp4|failed|30",
        "payback|download|2|Rock|Descargas|Primero.mp4|could not play"}},
      {"skipped", [this](Cashbox& c) { c.Finish(Head(), Report(PlayReport::End::kSkipped)); },
       {"play|song|0|Salsa|Disco 1|Tema 1.mp3|skipped|30"}},
      {"counters cleared", [](Cashbox& c) { c.ClearCoinCounters(); }, {"operator|0|counters cleared"}},
      {"settings",
       [this](Cashbox& c) {
         config.creditscoin1 = 2;
         config.playmode = "fiesta";
         c.NoteSettingsSaved();
       },
       {"operator|0|creditscoin1 1 -> 2", "operator|0|playmode jukebox -> fiesta"}},
      {"free sale", [](Cashbox& c) { SaleOf(c, c.Buy(Track(3), 5)); }, {"sale|song|0|fiesta|Salsa|Disco 1|Tema 3.mp3"}},
      {"service", [](Cashbox& c) { c.NoteService("3 items in a row not played"); },
       {"service|0|3 items in a row not played"}},
      {"stop", [](Cashbox& c) { c.StopLedger(43); }, {"stop|0|43"}},
  };
  StartLedger(true);
  std::vector<std::string> expected{"start|0|power cut"};
  for (const auto& action : actions) {
    Quiet([&] { action.act(*cashbox); });
    expected.insert(expected.end(), action.rows.begin(), action.rows.end());
  }
  EXPECT_EQ(LedgerRows(), expected);
  EXPECT_FALSE(cashbox->LedgerFailing());
}

// A power cut between the two files: whichever holds more, the next start
// marks each figure that differs, and the one after finds them agreeing.
TEST_F(LedgerTest, ReconciliationMarksEachDifferenceAfterAPowerCut) {
  // What the cut lost: the ledger's rows (tempdata ahead, the differences
  // positive), or the last save of "tempdata" (negative).
  for (const int sign : {1, -1}) {
    SCOPED_TRACE(sign);
    const bool ledgerLost = sign > 0;
    EmptyFolder();
    NewCashbox();
    StartLedger(false);
    Quiet([&] { cashbox->CreditCoin(1), SaleOf(*cashbox, cashbox->Buy(Track(0), 1)); });
    cashbox->StopLedger(43);
    const std::string before = ReadHostFile("tempdata");
    NewCashbox();
    if (ledgerLost) {
      Quiet([&] { cashbox->CreditCoin(2); });  // saved, but its row never written
    } else {
      StartLedger(false);
      Quiet([&] { cashbox->CreditCoin(2); });
      cashbox->StopLedger(43);
      WriteHostFile("tempdata", before);  // the save was lost
    }
    NewCashbox();
    const std::string log = StartLedger(true);
    EXPECT_NE(log.find("El registro y tempdata difieren en savedcredits: "), std::string::npos) << log;
    cashbox->StopLedger(43);
    std::vector<std::string> rows = LedgerRows();
    const std::vector<std::string> tail(rows.end() - 4, rows.end() - 1);
    EXPECT_EQ(tail[0], "start|0|power cut");
    EXPECT_EQ(tail[1], "reconciled|" + std::to_string(3 * sign) + "|savedcredits");
    EXPECT_EQ(tail[2], "reconciled|" + std::to_string(sign) + "|counter2");

    NewCashbox();
    EXPECT_EQ(StartLedger(false).find("difieren"), std::string::npos);
    cashbox->StopLedger(43);
    EXPECT_EQ(LedgerRows().size(), rows.size() + 2);
  }
}

// A file that is no database, or one whose pages were overwritten, is kept
// aside whole and a new ledger begins.
TEST_F(LedgerTest, DamagedFileIsMovedAsideAndANewOneStarted) {
  const struct {
    const char* what;
    std::function<void()> damage;
  } damages[] = {
      {"not a database", [] { WriteHostFile(Ledger::kFile, std::string(8192, 'x')); }},
      {"pages overwritten",
       [] {
         {
           Ledger ledger;
           ledger.Open();
           ledger.Start();
           LedgerRow coin;
           coin.kind = "coin";
           for (int count = 0; count < 2000; ++count) ledger.Append(coin);
         }
         std::string pages = ReadHostFile(Ledger::kFile);
         ASSERT_GT(pages.size(), 16384u);
         pages.replace(4096, 8192, std::string(8192, '\x5a'));
         WriteHostFile(Ledger::kFile, pages);
       }},
  };
  for (const auto& damage : damages) {
    SCOPED_TRACE(damage.what);
    EmptyFolder();
    NewCashbox();
    damage.damage();
    const std::string damaged = ReadHostFile(Ledger::kFile);
    const std::string log = StartLedger(false);
    cashbox->StopLedger(43);
    EXPECT_NE(log.find("Registro mldkhub.db danado: se aparta como mldkhub.db.damaged-"), std::string::npos) << log;
    std::vector<fs::path> aside;
    for (const auto& entry : fs::directory_iterator(".")) {
      if (entry.path().filename().string().rfind("mldkhub.db.damaged-", 0) == 0) aside.push_back(entry.path());
    }
    ASSERT_GE(aside.size(), 1u);
    EXPECT_EQ(ReadHostFile(aside[0]).substr(0, 4096), damaged.substr(0, 4096));
    EXPECT_EQ(LedgerRows().front(), "start|0|clean");
    EXPECT_FALSE(cashbox->LedgerFailing());
  }
}

// While the file cannot be written the money goes on and the rows wait;
// once it can, they are all written.
TEST_F(LedgerTest, UnwritableLedgerNeverStopsSalesAndCatchesUpLater) {
  fs::create_directory(Ledger::kFile);
  const std::string log = StartLedger(false);
  EXPECT_NE(log.find("Registro mldkhub.db: no se pudo abrir"), std::string::npos) << log;
  EXPECT_TRUE(cashbox->LedgerFailing());
  Quiet([&] { cashbox->CreditCoin(2); });
  EXPECT_EQ(SaleOf(*cashbox, cashbox->Buy(Track(0), 2)), Cashbox::Sale::kDone);
  EXPECT_EQ(cashbox->Credits(), 1);
  EXPECT_FALSE(cashbox->SaveFailing());

  fs::remove(Ledger::kFile);
  Quiet([&] { cashbox->CreditCoin(1); });
  EXPECT_TRUE(WaitUntil([&] { return !cashbox->LedgerFailing(); }));
  cashbox->StopLedger(43);
  EXPECT_EQ(LedgerRows(), (std::vector<std::string>{"start|0|clean", "coin|2|3",
                                                     "sale|song|2|jukebox|Salsa|Disco 1|Tema 0.mp3", "coin|1|1",
                                                     "stop|0|43"}));
}

}  // namespace
