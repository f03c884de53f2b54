#include "fleet/Sqlite.h"

#include <cstdio>

namespace fleet {

namespace {

// A writer holding the file (the jukebox's ledger) makes us wait this long
// before a statement gives up; we are never on the customer's path.
const int kBusyTimeoutMs = 5000;

}  // namespace

Database::Database(const std::string& hostPath) {
  if (sqlite3_open_v2(hostPath.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                      nullptr) != SQLITE_OK) {
    std::printf("Fleet: no se pudo abrir %s: %s\n", hostPath.c_str(), db_ ? sqlite3_errmsg(db_) : "sin memoria");
    sqlite3_close(db_);
    db_ = nullptr;
    return;
  }
  sqlite3_busy_timeout(db_, kBusyTimeoutMs);
  if (!Run("PRAGMA journal_mode=WAL;")) {
    sqlite3_close(db_);
    db_ = nullptr;
  }
}

Database::~Database() { sqlite3_close(db_); }

bool Database::Run(const char* sql) {
  char* error = nullptr;
  if (sqlite3_exec(db_, sql, nullptr, nullptr, &error) == SQLITE_OK) return true;
  std::printf("Fleet: error de base de datos: %s\n", error ? error : "?");
  sqlite3_free(error);
  return false;
}

bool Database::HasTable(const char* name) {
  Statement query(*this, "SELECT 1 FROM sqlite_master WHERE type='table' AND name=?");
  return query.Bind(1, std::string(name)).Step();
}

Statement::Statement(const Database& db, const char* sql) {
  if (sqlite3_prepare_v2(db.Handle(), sql, -1, &stmt_, nullptr) != SQLITE_OK) {
    std::printf("Fleet: consulta no valida: %s\n", sqlite3_errmsg(db.Handle()));
    stmt_ = nullptr;
  }
}

Statement::~Statement() { sqlite3_finalize(stmt_); }

Statement& Statement::Bind(int index, int64_t value) {
  if (stmt_) sqlite3_bind_int64(stmt_, index, value);
  return *this;
}

Statement& Statement::Bind(int index, const std::string& value) {
  if (stmt_) sqlite3_bind_text(stmt_, index, value.data(), static_cast<int>(value.size()), SQLITE_TRANSIENT);
  return *this;
}

bool Statement::Step() { return stmt_ && sqlite3_step(stmt_) == SQLITE_ROW; }

bool Statement::Done() { return stmt_ && sqlite3_step(stmt_) == SQLITE_DONE; }

int64_t Statement::Int(int column) const { return sqlite3_column_int64(stmt_, column); }

std::string Statement::Text(int column) const {
  const auto* text = sqlite3_column_text(stmt_, column);
  return text ? std::string(reinterpret_cast<const char*>(text), sqlite3_column_bytes(stmt_, column)) : "";
}

nlohmann::json Statement::RowObject() const {
  nlohmann::json row = nlohmann::json::object();
  for (int column = 0; column < sqlite3_column_count(stmt_); ++column) {
    const char* name = sqlite3_column_name(stmt_, column);
    switch (sqlite3_column_type(stmt_, column)) {
      case SQLITE_NULL:
        break;
      case SQLITE_INTEGER:
        row[name] = Int(column);
        break;
      case SQLITE_FLOAT:
        row[name] = sqlite3_column_double(stmt_, column);
        break;
      default:
        row[name] = Text(column);
        break;
    }
  }
  return row;
}

std::string DumpJson(const nlohmann::json& value) {
  return value.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

}  // namespace fleet
