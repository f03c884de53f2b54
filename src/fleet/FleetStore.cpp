#include "fleet/FleetStore.h"

#include "fleet/Broker.h"

namespace fleet {

namespace {

using nlohmann::json;

const char* const kSchema =
    "CREATE TABLE IF NOT EXISTS events (cabinet TEXT NOT NULL, seq INTEGER NOT NULL, at INTEGER NOT NULL,"
    " kind TEXT NOT NULL, credits INTEGER NOT NULL DEFAULT 0, row TEXT NOT NULL, PRIMARY KEY (cabinet, seq));"
    "CREATE INDEX IF NOT EXISTS events_at ON events(at);"
    "CREATE TABLE IF NOT EXISTS cabinets (cabinet TEXT PRIMARY KEY, online INTEGER NOT NULL,"
    " last_seen INTEGER NOT NULL, status TEXT);";

// A quoted CSV field.
std::string Quoted(const std::string& text) {
  std::string quoted = "\"";
  for (char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + "\"";
}

bool IsEvent(const json& row) {
  return row.is_object() && row.contains("seq") && row["seq"].is_number_integer() && row.contains("at") &&
         row["at"].is_number_integer() && row.contains("kind") && row["kind"].is_string();
}

}  // namespace

FleetStore::FleetStore(const std::string& hostPath) : db_(hostPath) {
  if (db_.Ok()) db_.Run(kSchema);
}

bool FleetStore::AddEvent(const std::string& cabinet, const std::string& payload) {
  const json row = json::parse(payload, nullptr, false);
  if (!IsEvent(row)) return false;
  const json given = row.value("credits", json(0));
  const int64_t amount = given.is_number_integer() ? given.get<int64_t>() : 0;
  Statement insert(db_, "INSERT OR IGNORE INTO events (cabinet, seq, at, kind, credits, row) VALUES (?,?,?,?,?,?)");
  insert.Bind(1, cabinet).Bind(2, row["seq"].get<int64_t>()).Bind(3, row["at"].get<int64_t>());
  insert.Bind(4, row["kind"].get<std::string>()).Bind(5, amount).Bind(6, payload);
  return insert.Done() && sqlite3_changes(db_.Handle()) == 1;
}

// The last will's "offline" keeps the status it follows, so that the
// operator still sees what the cabinet last said.
void FleetStore::SetStatus(const std::string& cabinet, const std::string& payload, int64_t now) {
  if (payload == kOfflineStatus) {
    Statement offline(db_,
                      "INSERT INTO cabinets (cabinet, online, last_seen) VALUES (?, 0, 0) "
                      "ON CONFLICT(cabinet) DO UPDATE SET online = 0");
    offline.Bind(1, cabinet).Done();
    return;
  }
  const json status = json::parse(payload, nullptr, false);
  if (!status.is_object()) return;
  // A retained status heard again after a reconnection is as old as it says.
  const int64_t said = status.contains("at") && status["at"].is_number_integer() ? status["at"].get<int64_t>() : now;
  Statement online(db_, "INSERT OR REPLACE INTO cabinets (cabinet, online, last_seen, status) VALUES (?, 1, ?, ?)");
  online.Bind(1, cabinet).Bind(2, said).Bind(3, payload).Done();
}

std::vector<CabinetRow> FleetStore::Cabinets(int64_t dayStart) {
  Statement query(db_,
                  "SELECT names.cabinet, COALESCE(c.online, 0), COALESCE(c.last_seen, 0), COALESCE(c.status, '{}'),"
                  " (SELECT COALESCE(SUM(credits), 0) FROM events e"
                  "   WHERE e.cabinet = names.cabinet AND e.kind = 'coin' AND e.at >= ?)"
                  " FROM (SELECT cabinet FROM cabinets UNION SELECT DISTINCT cabinet FROM events) names"
                  " LEFT JOIN cabinets c ON c.cabinet = names.cabinet ORDER BY names.cabinet");
  query.Bind(1, dayStart);
  std::vector<CabinetRow> rows;
  while (query.Step()) {
    const json status = json::parse(query.Text(3), nullptr, false);
    CabinetRow row{query.Text(0), query.Int(1) != 0, query.Int(2), query.Int(4), ""};
    if (status.is_object() && status.contains("service") && status["service"].is_string())
      row.service = status["service"].get<std::string>();
    rows.push_back(row);
  }
  return rows;
}

std::string FleetStore::DailyCsv() {
  Statement query(db_,
                  "SELECT date(at, 'unixepoch', 'localtime') AS day, cabinet,"
                  " SUM(CASE WHEN kind = 'coin' THEN credits ELSE 0 END), SUM(kind = 'play')"
                  " FROM events GROUP BY day, cabinet ORDER BY day, cabinet");
  std::string csv = "day,cabinet,takings,plays\n";
  while (query.Step())
    csv += query.Text(0) + "," + Quoted(query.Text(1)) + "," + std::to_string(query.Int(2)) + "," +
           std::to_string(query.Int(3)) + "\n";
  return csv;
}

}  // namespace fleet
