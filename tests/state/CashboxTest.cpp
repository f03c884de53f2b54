#include "state/Cashbox.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <numeric>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "TestCatalogue.h"
#include "config/Configuration.h"
#include "platform/Clock.h"
#include "support/Files.h"
#include "support/HeldDisk.h"
#include "support/Sales.h"
#include "support/TempDir.h"

namespace {

QueueElement Track(uint32_t track) { return QueueElement{2, 1, track}; }

class CashboxTest : public ::testing::Test {
 protected:
  CashboxTest() {
    platform::SetClock(&clock);
    config.playmode = "jukebox";
    config.creditscoin1 = 1;
    config.creditscoin2 = 3;
  }
  ~CashboxTest() override { platform::SetClock(nullptr); }

  void Start(int32_t credits) {
    StateSnapshot state;
    state.credits = credits;
    cashbox.Restore(state);
  }
  StateSnapshot Saved() {
    StateSnapshot state;
    ::testing::internal::CaptureStdout();
    SavedState(&catalogue.library).Load(state, false);
    ::testing::internal::GetCapturedStdout();
    return state;
  }
  std::vector<int32_t> Paid() const {
    std::vector<int32_t> paid;
    for (const QueueElement& e : queue.GetElements()) paid.push_back(e.paid);
    return paid;
  }

  TempDir dir;
  platform::ManualClock clock{1000};
  TestCatalogue catalogue;
  Configuration config{&catalogue.library};
  Queue queue;
  Cashbox cashbox{queue, config, &catalogue.library};
};

using Sale = Cashbox::Sale;

// Every kind of purchase takes exactly its price in the coin-operated mode,
// nothing in the free ones, and never more than the balance; its outcome
// tells what it took and left.
TEST_F(CashboxTest, PurchasesTakeTheirPriceOnlyInTheCoinOperatedMode) {
  const struct {
    const char* what;
    std::function<Cashbox::Ticket(Cashbox&)> buy;
    int32_t jukeboxLeft;
    std::vector<int32_t> jukeboxPaid;
  } purchases[] = {
      {"track", [](Cashbox& c) { return c.Buy(Track(0), 2); }, 3, {2}},
      {"album while the credits last",
       [](Cashbox& c) { return c.Buy({{Track(0), 2}, {Track(1), 1}, {Track(2), 3}, {Track(3), 1}}, 1); },
       2, {2, 1}},
      {"wifi code", [](Cashbox& c) { return c.BuyWifiCode(4); }, 1, {}},
      {"more than the balance", [](Cashbox& c) { return c.Buy(Track(0), 6); }, 5, {}},
  };
  for (const char* mode : {"jukebox", "fiesta", "continuo", "aleatorio", "round"}) {
    for (const auto& purchase : purchases) {
      SCOPED_TRACE(std::string(mode) + ": " + purchase.what);
      while (queue.Count() > 0) queue.Remove(0);
      Start(5);
      config.playmode = mode;
      const bool charging = config.playmode == "jukebox";
      const Cashbox::Outcome outcome = Ended(cashbox, purchase.buy(cashbox));
      const Sale sale = outcome.sale;
      EXPECT_EQ(sale, charging && purchase.jukeboxLeft == 5 ? Sale::kShort : Sale::kDone);
      EXPECT_EQ(cashbox.Credits(), charging ? purchase.jukeboxLeft : 5);
      EXPECT_EQ(outcome.paid, 5 - cashbox.Credits());
      EXPECT_EQ(outcome.left, cashbox.Credits());
      const std::vector<int32_t> unpaid(Paid().size(), 0);
      EXPECT_EQ(Paid(), charging ? purchase.jukeboxPaid : unpaid);
      if (sale == Sale::kDone) {
        EXPECT_EQ(Saved().credits, cashbox.Credits());
      }
    }
  }
}

// A VIP costs its price on top in the coin-operated mode only, and only
// when it passes an entry.
TEST_F(CashboxTest, VipIsChargedOnlyWhenItPassesAndOnlyForCoins) {
  for (const char* mode : {"jukebox", "fiesta"}) {
    SCOPED_TRACE(mode);
    while (queue.Count() > 0) queue.Remove(0);
    config.playmode = mode;
    Start(3);
    ASSERT_EQ(SaleOf(cashbox, cashbox.Buy(Track(0), 1)), Sale::kDone);
    ASSERT_EQ(SaleOf(cashbox, cashbox.Buy(Track(1), 1)), Sale::kDone);
    EXPECT_EQ(SaleOf(cashbox, cashbox.BuyVip(Track(1), 2)), Sale::kShort);  // nothing to pass yet
    ASSERT_EQ(SaleOf(cashbox, cashbox.Buy(Track(2), 0)), Sale::kDone);
    EXPECT_EQ(SaleOf(cashbox, cashbox.BuyVip(Track(2), 2)), config.playmode == "jukebox" ? Sale::kShort : Sale::kDone);
    config.creditsvip = 1;
    if (config.playmode == "jukebox") {
      EXPECT_EQ(SaleOf(cashbox, cashbox.BuyVip(Track(2), 1)), Sale::kDone);
      EXPECT_EQ(cashbox.Credits(), 0);
      EXPECT_EQ(Paid(), (std::vector<int32_t>{1, 1, 1}));
    } else {
      EXPECT_EQ(cashbox.Credits(), 3);
      EXPECT_EQ(Paid(), (std::vector<int32_t>{0, 0, 0}));
    }
    EXPECT_EQ(queue.GetElementFromQueue(1)->track, 2u);
    EXPECT_EQ(Saved().queue.size(), 3u);
  }
}

TEST_F(CashboxTest, SumsStopAtTheLargestBalance) {
  StateSnapshot state;
  state.credits = INT_MAX - 1;
  state.coins[1] = INT_MAX;
  cashbox.Restore(state);
  ::testing::internal::CaptureStdout();
  cashbox.CreditCoin(2);
  const std::string printed = ::testing::internal::GetCapturedStdout();
  EXPECT_EQ(cashbox.Credits(), INT_MAX);
  EXPECT_EQ(cashbox.CoinCount(2), INT_MAX);
  EXPECT_NE(printed.find("Creditos al maximo"), std::string::npos);
}

// While "tempdata" cannot be written (a full disk, a folder that became
// read-only) nothing is sold, coins still count, the failure is logged once
// and the save is tried again until it succeeds.
TEST_F(CashboxTest, FailedSaveSellsNothingAndIsRetried) {
  Start(3);
  std::filesystem::create_directory("tempdata.tmp");  // no temporary file can be made
  ::testing::internal::CaptureStdout();
  cashbox.CreditCoin(1);
  cashbox.CreditCoin(1);
  const Cashbox::Outcome album = Ended(cashbox, cashbox.Buy({{Track(0), 1}, {Track(1), 1}}, 1));
  EXPECT_EQ(album.sale, Sale::kNotSaved);
  EXPECT_EQ(album.bought, 0);
  EXPECT_EQ(SaleOf(cashbox, cashbox.BuyWifiCode(1)), Sale::kNotSaved);
  EXPECT_EQ(cashbox.Credits(), 5);
  EXPECT_EQ(queue.Count(), 0);
  EXPECT_TRUE(cashbox.SaveFailing());
  EXPECT_FALSE(std::filesystem::exists("tempdata"));

  std::filesystem::remove("tempdata.tmp");
  clock.Advance(Cashbox::kRetryInterval - 1);
  cashbox.SaveIfDue();
  cashbox.Flush();
  EXPECT_FALSE(std::filesystem::exists("tempdata"));
  clock.Advance(1);
  cashbox.SaveIfDue();
  cashbox.Flush();
  const std::string printed = ::testing::internal::GetCapturedStdout();
  EXPECT_FALSE(cashbox.SaveFailing());
  EXPECT_EQ(Saved().credits, 5);
  EXPECT_EQ(Saved().coins[0], 2);
  EXPECT_EQ(printed,
            "No se pudo guardar tempdata: Is a directory\n"
            "Moneda: entrada 1, 1 creditos, quedan 4\n"
            "Moneda: entrada 1, 1 creditos, quedan 5\n"
            "Estado guardado de nuevo en tempdata\n");
}

// A figure of a saved "tempdata".
int Figure(const std::string& text, const std::string& key) {
  const size_t at = text.find("\n" + key + "=");
  return at == std::string::npos ? -1 : std::stoi(text.substr(at + key.size() + 2));
}

// Coins and a sale come while the disk takes its time: the coins count at
// once and are logged once saved, the sale waits for its turn and is made on
// the newest state, and no state written is older than the one before it.
TEST_F(CashboxTest, SlowSavesNeverWriteAnOlderState) {
  Start(0);
  HeldDisk disk;
  cashbox.SetStateWriter(disk.Writer());
  ::testing::internal::CaptureStdout();
  cashbox.CreditCoin(1);
  ASSERT_TRUE(disk.WaitForWrites(1));
  for (int i = 0; i < 20; ++i) cashbox.CreditCoin(1);
  const Cashbox::Ticket sale = cashbox.Buy(Track(0), 3);
  for (int i = 0; i < 20; ++i) cashbox.CreditCoin(2);
  EXPECT_EQ(cashbox.Credits(), 81);
  EXPECT_EQ(queue.Count(), 0);
  EXPECT_TRUE(cashbox.FinishedSales().empty());

  disk.Release();
  EXPECT_EQ(SaleOf(cashbox, sale), Sale::kDone);
  const std::string printed = ::testing::internal::GetCapturedStdout();
  EXPECT_EQ(cashbox.Credits(), 78);
  const std::vector<std::string> written = disk.Written();
  ASSERT_GE(written.size(), 2u);
  EXPECT_LE(written.size(), 4u) << "saves asked for meanwhile come to one";
  for (size_t i = 1; i < written.size(); ++i) {
    SCOPED_TRACE(written[i]);
    EXPECT_GE(Figure(written[i], "counter1"), Figure(written[i - 1], "counter1"));
    EXPECT_GE(Figure(written[i], "counter2"), Figure(written[i - 1], "counter2"));
  }
  EXPECT_EQ(written.back(), ReadHostFile("tempdata"));
  EXPECT_EQ(Saved().credits, 78);
  EXPECT_EQ(Saved().coins[1], 20);
  EXPECT_EQ(Saved().queue.size(), 1u);
  EXPECT_EQ(std::count(printed.begin(), printed.end(), '\n'), 41);
  EXPECT_NE(printed.find("Moneda: entrada 2, 3 creditos, quedan 81\n"), std::string::npos) << printed;
}

// The playback thread pays back entries while the main thread saves: every
// state saved holds each entry or its payback, never both or neither.
TEST_F(CashboxTest, PaybacksAndSavesNeverLoseOrDoubleMoney) {
  constexpr uint32_t kEntries = 200;
  StateSnapshot state;
  state.credits = 1;
  for (uint32_t i = 0; i < kEntries; ++i) state.queue.push_back(QueueElement{2, 1, i % 4, 0, 1 + int32_t(i % 3)});
  const int64_t total = std::accumulate(state.queue.begin(), state.queue.end(), int64_t{state.credits},
                                        [](int64_t sum, const QueueElement& e) { return sum + e.paid; });
  cashbox.Restore(state);
  std::thread playback([&] {
    while (const std::optional<QueueElement> head = queue.GetElementFromQueue(0)) cashbox.PayBack(*head);
  });
  for (bool done = false; !done;) {
    done = queue.Count() == 0;
    ASSERT_TRUE(cashbox.Save());
    const StateSnapshot saved = Saved();
    int64_t sum = saved.credits;
    for (const QueueElement& e : saved.queue) sum += e.paid;
    ASSERT_EQ(sum, total);
  }
  playback.join();
  EXPECT_EQ(cashbox.Credits(), total);
}

// The money has one owner: no other code changes the credits or writes the
// saved state.
TEST(CashboxOwnership, NoOtherCodeChangesTheCreditsOrWritesTheState) {
  const std::regex creditChange(R"((\bcredits_?\s*([-+*/]?=[^=]|\+\+|--))|((\+\+|--)\s*credits_?\b))");
  const std::regex stateFile(R"("tempdata")");
  const std::filesystem::path source = std::filesystem::path(MELODECK_SOURCE_DIR) / "src";
  std::vector<std::string> offenders;
  for (const auto& file : std::filesystem::recursive_directory_iterator(source)) {
    const std::filesystem::path path = file.path();
    if (path.extension() != ".cpp" && path.extension() != ".h") continue;
    const bool owner = path.parent_path().filename() == "state";
    std::ifstream in(path);
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
      const std::string code = line.substr(0, line.find("//"));
      if (!owner && (std::regex_search(code, creditChange) || std::regex_search(code, stateFile)))
        offenders.push_back(path.string() + ":" + std::to_string(number) + ": " + line);
    }
  }
  EXPECT_TRUE(offenders.empty()) << ::testing::PrintToString(offenders);
}

}  // namespace
