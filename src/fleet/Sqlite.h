#pragma once
// A few RAII wrappers over SQLite for the fleet's two files: the cabinet's
// ledger (read, plus the acknowledgements) and the operator's store. Every
// connection uses the write-ahead log and waits for the other writer rather
// than failing at once.
#include <sqlite3.h>

#include <cstdint>
#include <memory>
#include <string>

#include <nlohmann/json.hpp>

namespace fleet {

class Database {
 public:
  // Opens (creating) the file at a host path; Ok() tells whether it worked.
  explicit Database(const std::string& hostPath);
  ~Database();
  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;

  bool Ok() const { return db_ != nullptr; }
  // Runs statements without results; false, with a log line, on failure.
  bool Run(const char* sql);
  bool HasTable(const char* name);
  sqlite3* Handle() const { return db_; }

 private:
  sqlite3* db_ = nullptr;
};

class Statement {
 public:
  Statement(const Database& db, const char* sql);
  ~Statement();
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  bool Ok() const { return stmt_ != nullptr; }
  Statement& Bind(int index, int64_t value);
  Statement& Bind(int index, const std::string& value);
  // The next row; false at the end or on failure.
  bool Step();
  // Runs a statement without results to its end; false on failure.
  bool Done();
  int64_t Int(int column) const;
  std::string Text(int column) const;
  // The current row as an object keyed by column name, NULL columns left
  // out.
  nlohmann::json RowObject() const;

 private:
  sqlite3_stmt* stmt_ = nullptr;
};

// Text for JSON that never throws: bytes that are not UTF-8 are replaced.
std::string DumpJson(const nlohmann::json& value);

}  // namespace fleet
