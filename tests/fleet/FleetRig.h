#pragma once
// What the fleet tests stand on: a real mosquitto broker on loopback with
// TLS (certificates made here with openssl) and a password file, and
// cabinet ledgers written by SQL with the agreed schema.
#include <cstdint>
#include <filesystem>
#include <ostream>
#include <string>

#include "fleet/Broker.h"
#include "fleet/FleetClient.h"
#include "fleet/Sqlite.h"
#include "platform/Processes.h"

namespace fleettest {

namespace fs = std::filesystem;

// The first program the broker tests need that is not installed; empty when
// all are.
std::string MissingBrokerProgram();

// A loopback TCP port nobody listens on just now.
int FreePort();

// A loopback port that takes connections into its backlog and never
// answers, as a broker behind a stalled network does.
class SilentPort {
 public:
  SilentPort();
  ~SilentPort();
  int Port() const { return port_; }

 private:
  int fd_;
  int port_;
};

// The broker accepts this user with this password.
extern const char* const kUser;
extern const char* const kPassword;

class TestBroker {
 public:
  // Its certificates, password file, settings and data go in folder.
  explicit TestBroker(const fs::path& folder);
  ~TestBroker() { Kill(); }

  // Makes the certificates and the password file; false when a tool failed.
  bool Prepare();
  // Starts the broker and waits until it serves; false when it did not.
  bool Start();
  // Ends the broker at once, as a crash does.
  void Kill() { process_.Kill(); }

  int Port() const { return port_; }
  fs::path CaFile() const { return folder_ / "ca.crt"; }
  fleet::BrokerSettings Settings(const std::string& password = kPassword) const;
  // A cabinet of this broker whose ledger is folder/<name>.db, quick to
  // connect again.
  fleet::FleetClient::Options Cabinet(const std::string& name, const fs::path& folder,
                                      const std::string& password = kPassword) const;

 private:
  bool Run(const platform::Argv& argv);
  bool WriteSettings();

  fs::path folder_;
  int port_;
  platform::ChildProcess process_;
};

// A cabinet's "mldkhub.db" with the ledger's schema, its rows appended one
// by one as the jukebox's writer does.
class TestLedger {
 public:
  explicit TestLedger(const fs::path& file);
  void Append(const std::string& kind, int64_t credits, int64_t at);
  // Rows, credits of coins and plays, as a ledger and the fleet's file must
  // agree on them.
  struct Totals {
    int64_t rows = 0, coinCredits = 0, plays = 0;
    bool operator==(const Totals& o) const { return rows == o.rows && coinCredits == o.coinCredits && plays == o.plays; }
  };
  Totals Count();

 private:
  fleet::Database db_;
};

// A cabinet's last status in the operator's file: online or not, and the
// message (null when none was heard).
struct Heard {
  bool online = false;
  nlohmann::json status;
};
Heard HeardOf(const fs::path& store, const std::string& cabinet);

inline void PrintTo(const TestLedger::Totals& t, std::ostream* out) {
  *out << t.rows << " rows, " << t.coinCredits << " credits from coins, " << t.plays << " plays";
}

// The same totals for one cabinet from the operator's file.
TestLedger::Totals FleetTotals(const fs::path& store, const std::string& cabinet);

}  // namespace fleettest
