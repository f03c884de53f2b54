#include "FleetRig.h"

#include <netinet/in.h>
#include <pwd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <fstream>

#include "support/Files.h"
#include "support/Wait.h"

namespace fleettest {

const char* const kUser = "cabinet";
const char* const kPassword = "s3cret pass";

namespace {

const char* const kBroker = "/usr/sbin/mosquitto";

const char* const kLedgerSchema =
    "CREATE TABLE IF NOT EXISTS schema_version (version INTEGER NOT NULL);"
    "INSERT INTO schema_version VALUES (1);"
    "CREATE TABLE IF NOT EXISTS ledger (seq INTEGER PRIMARY KEY AUTOINCREMENT, at INTEGER NOT NULL,"
    " kind TEXT NOT NULL, item TEXT, input INTEGER, credits INTEGER NOT NULL DEFAULT 0, mode TEXT,"
    " genre TEXT, album TEXT, title TEXT, detail TEXT, started INTEGER, ended INTEGER, seconds INTEGER);"
    "CREATE INDEX IF NOT EXISTS ledger_at ON ledger(at);";

std::string UserName() {
  const passwd* user = getpwuid(geteuid());
  return user ? user->pw_name : "root";
}

}  // namespace

std::string MissingBrokerProgram() {
  if (access(kBroker, X_OK) != 0) return kBroker;
  for (const char* program : {"mosquitto_passwd", "openssl"})
    if (platform::FindProgram(program).empty()) return program;
  return "";
}

namespace {

// A socket bound to a loopback port the system chose.
int BoundSocket(int& port) {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof address;
  bind(fd, reinterpret_cast<sockaddr*>(&address), size);
  getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size);
  port = ntohs(address.sin_port);
  return fd;
}

}  // namespace

int FreePort() {
  int port = 0;
  close(BoundSocket(port));
  return port;
}

SilentPort::SilentPort() : fd_(BoundSocket(port_)) { listen(fd_, 8); }

SilentPort::~SilentPort() { close(fd_); }

TestBroker::TestBroker(const fs::path& folder) : folder_(folder), port_(FreePort()) {
  fs::create_directories(folder_ / "data");
}

bool TestBroker::Run(const platform::Argv& argv) {
  return platform::RunAndWait(argv, {(folder_ / "tools.log").string(), true}) == 0;
}

bool TestBroker::Prepare() {
  const std::string dir = folder_.string() + "/";
  const platform::Argv newKey = {"-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes"};
  platform::Argv ca = {"openssl", "req", "-x509", "-days", "2", "-subj", "/CN=melodeck test CA",
                       "-keyout", dir + "ca.key", "-out", dir + "ca.crt"};
  platform::Argv request = {"openssl", "req", "-subj", "/CN=localhost", "-keyout", dir + "server.key",
                            "-out", dir + "server.csr"};
  ca.insert(ca.begin() + 2, newKey.begin(), newKey.end());
  request.insert(request.begin() + 2, newKey.begin(), newKey.end());
  std::ofstream(folder_ / "server.ext") << "subjectAltName=IP:127.0.0.1,DNS:localhost\n";
  return Run(ca) && Run(request) &&
         Run({"openssl", "x509", "-req", "-days", "2", "-in", dir + "server.csr", "-CA", dir + "ca.crt", "-CAkey",
              dir + "ca.key", "-CAcreateserial", "-extfile", dir + "server.ext", "-out", dir + "server.crt"}) &&
         Run({"mosquitto_passwd", "-c", "-b", dir + "passwd", kUser, kPassword}) && WriteSettings();
}

// Sessions, queued messages and retained statuses are kept on disk every
// second, so that the listener's session and what waits for it outlive a
// crash of the broker, as the operator's broker must be set up.
bool TestBroker::WriteSettings() {
  const std::string dir = folder_.string() + "/";
  std::ofstream settings(folder_ / "mosquitto.conf");
  settings << "user " << UserName() << "\nallow_anonymous false\npassword_file " << dir << "passwd\n"
           << "persistence true\npersistence_location " << dir << "data/\nautosave_interval 1\n"
           << "max_queued_messages 100000\nlog_dest file " << dir << "mosquitto.log\n"
           << "listener " << port_ << " 127.0.0.1\ncafile " << dir << "ca.crt\ncertfile " << dir
           << "server.crt\nkeyfile " << dir << "server.key\n";
  return settings.good();
}

bool TestBroker::Start() {
  fs::remove(folder_ / "mosquitto.log");
  if (!process_.Start({kBroker, "-c", (folder_ / "mosquitto.conf").string()})) return false;
  return WaitUntil([&] { return ReadHostFile(folder_ / "mosquitto.log").find(" running") != std::string::npos; },
                   std::chrono::seconds(20));
}

fleet::BrokerSettings TestBroker::Settings(const std::string& password) const {
  return {"127.0.0.1", port_, kUser, password, CaFile().string()};
}

fleet::FleetClient::Options TestBroker::Cabinet(const std::string& name, const fs::path& folder,
                                                const std::string& password) const {
  fleet::FleetClient::Options options;
  options.broker = Settings(password);
  options.cabinet = name;
  options.ledgerPath = (folder / (name + ".db")).string();
  options.timing.longestRetryMs = 1000;
  options.resendAcknowledgedMs = 10000;
  return options;
}

TestLedger::TestLedger(const fs::path& file) : db_(file.string()) { db_.Run(kLedgerSchema); }

void TestLedger::Append(const std::string& kind, int64_t credits, int64_t at) {
  fleet::Statement insert(db_, "INSERT INTO ledger (at, kind, credits, input, detail) VALUES (?, ?, ?, ?, ?)");
  insert.Bind(1, at).Bind(2, kind).Bind(3, credits);
  if (kind == "coin") insert.Bind(4, int64_t{1});
  if (kind == "play") insert.Bind(5, std::string("played"));
  insert.Done();
}

namespace {

// The totals of the rows the clause picks, its "?" bound to cabinet.
TestLedger::Totals TotalsWhere(const fleet::Database& db, const std::string& rows, const std::string& cabinet) {
  fleet::Statement query(db, ("SELECT COUNT(*), COALESCE(SUM(CASE WHEN kind = 'coin' THEN credits END), 0),"
                              " COALESCE(SUM(kind = 'play'), 0) FROM " + rows).c_str());
  query.Bind(1, cabinet).Step();
  return {query.Int(0), query.Int(1), query.Int(2)};
}

}  // namespace

TestLedger::Totals TestLedger::Count() { return TotalsWhere(db_, "ledger WHERE ? IS NOT NULL", ""); }

Heard HeardOf(const fs::path& store, const std::string& cabinet) {
  fleet::Database db(store.string());
  fleet::Statement query(db, "SELECT online, status FROM cabinets WHERE cabinet = ?");
  if (!query.Bind(1, cabinet).Step()) return {};
  return {query.Int(0) != 0, nlohmann::json::parse(query.Text(1), nullptr, false)};
}

TestLedger::Totals FleetTotals(const fs::path& store, const std::string& cabinet) {
  return TotalsWhere(fleet::Database(store.string()), "events WHERE cabinet = ?", cabinet);
}

}  // namespace fleettest
