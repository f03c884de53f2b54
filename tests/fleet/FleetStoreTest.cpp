// The fleet's two files without a broker: what the cabinet finds to send in
// its ledger, and what the operator's file keeps and reports.
#include <gtest/gtest.h>

#include "FleetRig.h"
#include "fleet/CabinetStatus.h"
#include "fleet/FleetStore.h"
#include "fleet/LedgerOutbox.h"
#include "support/TempDir.h"

namespace {

using fleet::DumpJson;
using nlohmann::json;

// 2026-12-07 12:00 UTC.
const int64_t kNoon = 1796644800;

std::vector<int64_t> Seqs(const std::vector<fleet::LedgerRow>& rows) {
  std::vector<int64_t> seqs;
  for (const auto& row : rows) seqs.push_back(row.seq);
  return seqs;
}

TEST(LedgerOutbox, SendsUnacknowledgedRowsInOrderAsTheirColumns) {
  TempDir dir;
  fleet::LedgerOutbox outbox("mldkhub.db");
  EXPECT_TRUE(outbox.Unsent(0, 10).empty()) << "a file without a ledger has nothing to send";

  fleettest::TestLedger ledger("mldkhub.db");
  for (int i = 0; i < 5; ++i) ledger.Append(i % 2 ? "play" : "coin", i, kNoon + i);
  EXPECT_EQ(Seqs(outbox.Unsent(0, 3)), (std::vector<int64_t>{1, 2, 3}));
  EXPECT_EQ(Seqs(outbox.Unsent(3, 10)), (std::vector<int64_t>{4, 5}));

  ASSERT_TRUE(outbox.MarkSent(2));
  ASSERT_TRUE(outbox.MarkSent(4));
  EXPECT_EQ(Seqs(outbox.Unsent(0, 10)), (std::vector<int64_t>{1, 3, 5}));
  EXPECT_EQ(outbox.Unsent(0, 1)[0].object,
            json({{"seq", 1}, {"at", kNoon}, {"kind", "coin"}, {"input", 1}, {"credits", 0}}))
      << "NULL columns are left out";
  EXPECT_EQ(outbox.CoinCreditsSince(kNoon + 1), 2 + 4);
}

TEST(FleetStore, KeepsEachCabinetsEventOnceAndReportsPerDay) {
  TempDir dir;
  // Days are the operator's local days.
  setenv("TZ", "UTC", 1);
  tzset();
  fleet::FleetStore store("fleet.db");
  const auto event = [](int64_t seq, const char* kind, int64_t credits, int64_t at) {
    return DumpJson({{"seq", seq}, {"at", at}, {"kind", kind}, {"credits", credits}});
  };
  EXPECT_TRUE(store.AddEvent("bar-1", event(1, "coin", 3, kNoon)));
  EXPECT_FALSE(store.AddEvent("bar-1", event(1, "coin", 3, kNoon))) << "the same row twice";
  EXPECT_TRUE(store.AddEvent("bar-2", event(1, "coin", 5, kNoon)));
  EXPECT_TRUE(store.AddEvent("bar-1", event(2, "play", 0, kNoon + 60)));
  EXPECT_TRUE(store.AddEvent("bar-1", event(3, "coin", 1, kNoon + 86400)));
  for (const char* malformed : {"", "[]", "{\"seq\":4}", "{\"seq\":\"4\",\"at\":1,\"kind\":\"coin\"}", "\xff"})
    EXPECT_FALSE(store.AddEvent("bar-1", malformed)) << malformed;

  EXPECT_EQ(store.DailyCsv(),
            "day,cabinet,takings,plays\n"
            "2026-12-07,\"bar-1\",3,1\n2026-12-07,\"bar-2\",5,0\n2026-12-08,\"bar-1\",1,0\n");

  store.SetStatus("bar-1", DumpJson(fleet::StatusMessage("bar-1", {"1.0.0", 0, {}, "failed plays", "", 0}, 3, kNoon)),
                  kNoon + 5);
  store.SetStatus("bar-1", fleet::kOfflineStatus, kNoon + 9);
  store.SetStatus("bar-2", "not json", kNoon);
  const std::vector<fleet::CabinetRow> cabinets = store.Cabinets(kNoon - 3600);
  ASSERT_EQ(cabinets.size(), 2u);
  EXPECT_EQ(cabinets[0].lastSeen, kNoon) << "as old as the status says";
  EXPECT_EQ(cabinets[0].service, "failed plays") << "offline keeps the last status";
  EXPECT_EQ(cabinets[1].lastSeen, 0) << "a cabinet heard of only by its events";
}

}  // namespace
