// The cabinet's reporter and the operator's command against a real
// mosquitto broker on loopback, TLS and a password file made by each test.
#include <gtest/gtest.h>

#include <chrono>
#include <ctime>
#include <memory>

#include "FleetRig.h"
#include "fleet/FleetClient.h"
#include "support/Files.h"
#include "support/TempDir.h"
#include "support/Wait.h"

namespace {

using namespace std::chrono_literals;
using fleettest::TestBroker;
using SteadyClock = std::chrono::steady_clock;
namespace fs = std::filesystem;

class FleetBroker : public testing::Test {
 protected:
  void SetUp() override {
    const std::string missing = fleettest::MissingBrokerProgram();
    if (!missing.empty()) GTEST_SKIP() << missing << " is not installed";
    broker_ = std::make_unique<TestBroker>(dir_.Path() / "broker");
    ASSERT_TRUE(broker_->Prepare()) << ReadHostFile(dir_.Path() / "broker" / "tools.log");
    ASSERT_TRUE(broker_->Start()) << ReadHostFile(dir_.Path() / "broker" / "mosquitto.log");
  }

  fleet::FleetClient::Options Cabinet(const std::string& name, const std::string& password = fleettest::kPassword) {
    return broker_->Cabinet(name, dir_.Path(), password);
  }

  TempDir dir_;
  std::unique_ptr<TestBroker> broker_;
};

TEST_F(FleetBroker, OnlyTheRightPasswordConnects) {
  const struct {
    const char* password;
    bool connects;
  } cases[] = {{"", false}, {"wrong", false}, {fleettest::kPassword, true}};
  for (const auto& c : cases) {
    fleet::FleetClient client(Cabinet("bar-1", c.password));
    ASSERT_TRUE(WaitUntil([&] { return client.Connected() || client.Refusals() > 0; })) << c.password;
    EXPECT_EQ(client.Connected(), c.connects) << c.password;
  }
}

// The main thread's side takes no longer than a lock, whether the broker
// does not answer or is not there at all, and the reporter stops at once.
TEST_F(FleetBroker, CabinetNeverWaitsForASilentOrMissingBroker) {
  fleettest::SilentPort silent;
  for (const int port : {silent.Port(), fleettest::FreePort()}) {
    fleet::FleetClient::Options options = Cabinet("bar-2");
    options.broker.port = port;
    options.timing.connectTimeoutMs = 300;
    auto slowest = SteadyClock::duration::zero();
    auto client = std::make_unique<fleet::FleetClient>(options);
    fleet::CabinetStatus status;
    const std::clock_t cpuBefore = std::clock();
    const auto wallBefore = SteadyClock::now();
    WaitUntil(
        [&] {
          const auto start = SteadyClock::now();
          status.cabinetCredits++;
          client->SetStatus(status);
          slowest = std::max(slowest, SteadyClock::now() - start);
          return status.cabinetCredits == 200;
        },
        60s);
    EXPECT_FALSE(client->Connected());
    // A link that tried again at once would keep a core of the cabinet busy.
    const double cpuMs = 1000.0 * static_cast<double>(std::clock() - cpuBefore) / CLOCKS_PER_SEC;
    const double wallMs = std::chrono::duration<double, std::milli>(SteadyClock::now() - wallBefore).count();
    EXPECT_LT(cpuMs, wallMs / 4) << "port " << port;
    const auto stopping = SteadyClock::now();
    client.reset();
    const auto slowestUs = std::chrono::duration_cast<std::chrono::microseconds>(slowest).count();
    RecordProperty("slowest_set_status_us_port_" + std::to_string(port), static_cast<int>(slowestUs));
    EXPECT_LT(slowestUs, 5000) << "port " << port;
    EXPECT_LT(SteadyClock::now() - stopping, 1s) << "port " << port;
  }
}

std::string Output(const fs::path& program, const platform::Argv& arguments, const fs::path& file, int& code) {
  platform::Argv argv = {program.string()};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  code = platform::RunAndWait(argv, {file.string(), true});
  return ReadHostFile(file);
}

// The operator's command listens to a cabinet, then shows it online and
// offline, and its day as CSV.
TEST_F(FleetBroker, CommandListensThenShowsCabinetsAndDays) {
  const fs::path program = MELODECK_FLEET_PROGRAM, db = dir_.Path() / "fleet.db", out = dir_.Path() / "out.txt";
  int code = -1;
  EXPECT_NE(Output(program, {"--help"}, out, code).find("Usage: melodeck-fleet"), std::string::npos);
  EXPECT_EQ(code, 0);
  EXPECT_EQ(Output(program, {"--version"}, out, code).rfind("melodeck-fleet ", 0), 0u);
  Output(program, {"cabinets", "--db"}, out, code);
  EXPECT_EQ(code, 2);

  // The events of a cabinet reach a listener that has subscribed.
  WriteHostFile(dir_.Path() / "password", std::string(fleettest::kPassword) + "\n");
  platform::ChildProcess listener;
  ASSERT_TRUE(listener.Start({program.string(), "listen", "--db", db.string(), "--host", "127.0.0.1", "--port",
                              std::to_string(broker_->Port()), "--user", fleettest::kUser, "--password-file",
                              (dir_.Path() / "password").string(), "--ca", broker_->CaFile().string()},
                             platform::ChildOutput::kCaptured));
  std::string said;
  ASSERT_TRUE(WaitUntil([&] { return (said += listener.ReadOutput(4096)).find("escuchando") != std::string::npos; },
                        30s))
      << said;
  fleettest::TestLedger ledger(dir_.Path() / "bar-3.db");
  const int64_t now = static_cast<int64_t>(std::time(nullptr));
  for (const char* kind : {"coin", "coin", "sale", "play"}) ledger.Append(kind, 2, now);
  auto cabinet = std::make_unique<fleet::FleetClient>(Cabinet("bar-3"));
  fleet::CabinetStatus status;
  status.service = "save failing";
  cabinet->SetStatus(status);

  const auto shows = [&](const platform::Argv& command, const std::string& text) {
    return WaitUntil([&] { return Output(program, command, out, code).find(text) != std::string::npos; }, 30s);
  };
  EXPECT_TRUE(shows({"csv", "--db", db.string()}, ",\"bar-3\",4,1\n")) << ReadHostFile(out);
  EXPECT_TRUE(shows({"cabinets", "--db", db.string()}, "online")) << ReadHostFile(out);
  EXPECT_NE(ReadHostFile(out).find("        4  save failing"), std::string::npos) << ReadHostFile(out);
  cabinet.reset();
  EXPECT_TRUE(shows({"cabinets", "--db", db.string()}, "offline")) << ReadHostFile(out);
  listener.Terminate();
}

}  // namespace
