#pragma once
// The operator's file: every event of every cabinet, once each by cabinet
// and sequence number, and each cabinet's last status.
#include <cstdint>
#include <string>
#include <vector>

#include "fleet/Sqlite.h"

namespace fleet {

struct CabinetRow {
  std::string cabinet;
  bool online = false;
  // Unix seconds of the last status heard; 0 when none was.
  int64_t lastSeen = 0;
  int64_t takingsToday = 0;
  std::string service;
};

class FleetStore {
 public:
  explicit FleetStore(const std::string& hostPath);

  bool Ok() const { return db_.Ok(); }
  // False when the event is malformed or already kept.
  bool AddEvent(const std::string& cabinet, const std::string& payload);
  // A status message, or the "offline" of a last will, heard at now (Unix
  // seconds).
  void SetStatus(const std::string& cabinet, const std::string& payload, int64_t now);

  // Every cabinet heard of, by name; takings since dayStart (Unix seconds).
  std::vector<CabinetRow> Cabinets(int64_t dayStart);
  // "day,cabinet,takings,plays", one line per cabinet and local day.
  std::string DailyCsv();

 private:
  Database db_;
};

}  // namespace fleet
