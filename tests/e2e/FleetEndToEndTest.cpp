// Twenty cabinets report to one operator through a real broker that
// crashes in the middle: one real jukebox on a private X server, which
// reports its status (its ledger is still empty), and nineteen through the
// same publishing module, each with a ledger that grows while the broker is
// down. The operator's file ends with each ledger's rows exactly once.
#include <gtest/gtest.h>

#include <chrono>
#include <ctime>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "FleetRig.h"
#include "Harness.h"
#include "fleet/FleetClient.h"
#include "fleet/FleetListener.h"
#include "support/Files.h"
#include "support/TempDir.h"
#include "support/Wait.h"

namespace {

using namespace std::chrono_literals;
using e2e::Jukebox;
using e2e::Millis;
namespace fs = std::filesystem;

const int kModuleCabinets = 19;
const int kRowsPerHalf = 60;
const int kCleanExitCode = 43;
const Millis kAnswered = 15000ms;
const Millis kDelivered = 120000ms;
const char* const kJukebox = "jukebox";

// Coins, sales, paybacks and plays in a cabinet's proportions.
void AppendRows(std::vector<std::unique_ptr<fleettest::TestLedger>>& ledgers, std::mt19937& random) {
  const char* const kinds[] = {"coin", "coin", "sale", "play", "play", "payback"};
  const int64_t now = static_cast<int64_t>(std::time(nullptr));
  for (int row = 0; row < kRowsPerHalf; ++row)
    for (auto& ledger : ledgers) ledger->Append(kinds[random() % 6], 1 + random() % 4, now);
}

// Each ledger's totals, and the operator's for the same cabinets.
std::vector<fleettest::TestLedger::Totals> Totals(std::vector<std::unique_ptr<fleettest::TestLedger>>& ledgers,
                                                  const fs::path* store = nullptr) {
  std::vector<fleettest::TestLedger::Totals> totals;
  for (size_t i = 0; i < ledgers.size(); ++i)
    totals.push_back(store ? fleettest::FleetTotals(*store, "bar-" + std::to_string(i)) : ledgers[i]->Count());
  return totals;
}

class FleetEndToEnd : public testing::Test {
 protected:
  void SetUp() override {
    for (const std::string& missing : {e2e::MissingHostProgram(), fleettest::MissingBrokerProgram()})
      if (!missing.empty()) GTEST_SKIP() << missing << " is not installed";
    output_ = fs::path(E2E_OUTPUT_DIR) / "FleetEndToEnd";
    fs::remove_all(output_);
    fs::create_directories(output_);
    broker_ = std::make_unique<fleettest::TestBroker>(dir_.Path() / "broker");
    ASSERT_TRUE(broker_->Prepare()) << ReadHostFile(dir_.Path() / "broker" / "tools.log");
    ASSERT_TRUE(broker_->Start()) << ReadHostFile(dir_.Path() / "broker" / "mosquitto.log");
    listener_ = std::make_unique<fleet::FleetListener>(broker_->Settings(), "operator", store_.string());
    ASSERT_TRUE(listener_->Start());
    ASSERT_TRUE(WaitUntil([&] { return listener_->Subscribed(); }, kAnswered));
    StartJukebox();
  }

  void TearDown() override {
    if (jukebox_) jukebox_->Stop(kAnswered);
    std::error_code ignored;
    fs::copy_file(dir_.Path() / "broker" / "mosquitto.log", output_ / "mosquitto.log", ignored);
  }

  void StartJukebox() {
    const fs::path cabinet = dir_.Path() / "cabinet";
    std::string reason;
    bool toolsMissing = false;
    if (!e2e::DemoCabinet::CopyTo(cabinet, reason, toolsMissing)) {
      if (toolsMissing) GTEST_SKIP() << reason;
      FAIL() << reason;
    }
    std::string settings = ReadHostFile(cabinet / "configuration");
    if (!settings.empty() && settings.back() != '\n') settings += "\n";
    settings += "fleethost=127.0.0.1\nfleetport=" + std::to_string(broker_->Port()) + "\nfleetuser=" +
                fleettest::kUser + "\nfleetpassword=" + fleettest::kPassword + "\nfleetca=" +
                broker_->CaFile().string() + "\nfleetcabinet=" + kJukebox + "\n";
    WriteHostFile(cabinet / "configuration", settings);
    fs::current_path(cabinet);
    ASSERT_TRUE(display_.Start("1024x768x24", output_ / "xvfb.log")) << "Xvfb did not start";
    environment_ = std::make_unique<e2e::JukeboxEnvironment>(display_.Name(), dir_.Path() / "home");
    jukebox_ = std::make_unique<Jukebox>(MELODECK_PROGRAM, cabinet, output_ / "melodeck.log");
    ASSERT_TRUE(jukebox_->Start(kAnswered)) << "no jukebox window\n" << jukebox_->Log();
  }

  void StartModuleCabinets() {
    for (int i = 0; i < kModuleCabinets; ++i) {
      const std::string name = "bar-" + std::to_string(i);
      ledgers_.push_back(std::make_unique<fleettest::TestLedger>(dir_.Path() / (name + ".db")));
    }
    AppendRows(ledgers_, random_);
    for (int i = 0; i < kModuleCabinets; ++i) {
      cabinets_.push_back(
          std::make_unique<fleet::FleetClient>(broker_->Cabinet("bar-" + std::to_string(i), dir_.Path())));
      cabinets_.back()->SetStatus(fleet::CabinetStatus{});
    }
  }

  // The jukebox's status as the operator last heard it holds the credits.
  bool OperatorSeesCredits(int credits) {
    return WaitUntil(
        [&] {
          const fleettest::Heard heard = fleettest::HeardOf(store_, kJukebox);
          return heard.online && heard.status.is_object() && heard.status.value("credits", -1) == credits;
        },
        kAnswered);
  }

  TempDir dir_;
  fs::path output_;
  fs::path store_ = dir_.Path() / "fleet.db";
  std::unique_ptr<fleettest::TestBroker> broker_;
  std::unique_ptr<fleet::FleetListener> listener_;
  e2e::VirtualDisplay display_;
  std::unique_ptr<e2e::JukeboxEnvironment> environment_;
  std::unique_ptr<Jukebox> jukebox_;
  std::vector<std::unique_ptr<fleettest::TestLedger>> ledgers_;
  std::vector<std::unique_ptr<fleet::FleetClient>> cabinets_;
  std::mt19937 random_{20261208};
};

TEST_F(FleetEndToEnd, TwentyCabinetsReportThroughABrokerCrash) {
  ASSERT_TRUE(jukebox_->Press("c", 150ms));
  ASSERT_TRUE(OperatorSeesCredits(1)) << jukebox_->Log();
  StartModuleCabinets();

  // The crash comes once rows flow and the broker has saved the operator's
  // session, as it does every second.
  ASSERT_TRUE(WaitUntil(
      [&] { return listener_->EventsKept() > 0 && fs::exists(dir_.Path() / "broker" / "data" / "mosquitto.db"); },
      kAnswered));
  const int64_t keptAtTheCrash = listener_->EventsKept();
  broker_->Kill();

  // Coins and sales go on while the broker is down.
  const auto coin = std::chrono::steady_clock::now();
  ASSERT_TRUE(jukebox_->Press("c", 150ms));
  ASSERT_TRUE(jukebox_->WaitForSavedLine("savedcredits=2", true, kAnswered)) << jukebox_->SavedState();
  const auto credited = std::chrono::steady_clock::now() - coin;
  AppendRows(ledgers_, random_);
  ASSERT_TRUE(broker_->Start()) << ReadHostFile(dir_.Path() / "broker" / "mosquitto.log");

  const auto restarted = std::chrono::steady_clock::now();
  WaitUntil([&] { return Totals(ledgers_) == Totals(ledgers_, &store_); }, kDelivered);
  const auto delivered = std::chrono::steady_clock::now() - restarted;
  EXPECT_EQ(Totals(ledgers_), Totals(ledgers_, &store_));
  EXPECT_TRUE(OperatorSeesCredits(2)) << jukebox_->Log();
  RecordProperty("rows", kModuleCabinets * kRowsPerHalf * 2);
  RecordProperty("kept_at_the_crash", static_cast<int>(keptAtTheCrash));
  RecordProperty("copies_ignored", static_cast<int>(listener_->EventsHeard() - listener_->EventsKept()));
  const auto ms = [](auto duration) {
    return static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(duration).count());
  };
  RecordProperty("coin_saved_with_the_broker_down_ms", ms(credited));
  RecordProperty("all_delivered_after_the_restart_ms", ms(delivered));
  EXPECT_LT(keptAtTheCrash, kModuleCabinets * kRowsPerHalf) << "the crash came after every row was delivered";

  EXPECT_EQ(jukebox_->Stop(kAnswered), kCleanExitCode) << jukebox_->Log();
  EXPECT_TRUE(WaitUntil([&] { return !fleettest::HeardOf(store_, kJukebox).online; }, kAnswered))
      << "the jukebox did not say offline";
  jukebox_.reset();
}

}  // namespace
