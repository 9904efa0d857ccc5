#include "store/news_connection.h"

#include <sqlite3.h>

#include <algorithm>
#include <thread>

#include "store/news_recordset.h"
#include "store/news_statement.h"

namespace lumarine {
namespace {

DatabaseError ErrorOfCode(int code, std::string description) {
  return {code, sqlite3_errstr(code), "SQLite", std::move(description)};
}

// Prepares the single statement in `sql`; more than one statement is refused, so a value
// can never smuggle a second one in.
int PrepareOne(sqlite3* db, const std::string& sql, sqlite3_stmt** statement,
               DatabaseError& error) {
  const char* tail = nullptr;
  int rc = sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()) + 1, statement, &tail);
  if (rc != SQLITE_OK) {
    error = DatabaseErrorOf(db);
    return rc;
  }
  const char* end = sql.data() + sql.size();
  for (const char* p = tail ? tail : end; p < end; ++p) {
    if (*p != ' ' && *p != '\t' && *p != '\r' && *p != '\n' && *p != ';') {
      sqlite3_finalize(*statement);
      *statement = nullptr;
      error = ErrorOfCode(SQLITE_ERROR, "more than one statement in the text");
      return SQLITE_ERROR;
    }
  }
  if (!*statement) {
    error = ErrorOfCode(SQLITE_ERROR, "no statement in the text");
    return SQLITE_ERROR;
  }
  return SQLITE_OK;
}

}  // namespace

DatabaseError DatabaseErrorOf(sqlite3* db) {
  if (!db) return ErrorOfCode(SQLITE_NOMEM, sqlite3_errstr(SQLITE_NOMEM));
  return {sqlite3_extended_errcode(db), sqlite3_errstr(sqlite3_extended_errcode(db)), "SQLite",
          sqlite3_errmsg(db)};
}

NewsConnection::~NewsConnection() { Close(); }

void NewsConnection::Close() {
  // Recordsets are gone by now (they may not outlive the connection), so this closes at once.
  sqlite3_close_v2(db_);
  db_ = nullptr;
}

NewsConnection::OpenResult NewsConnection::Open(const std::string& path, std::stop_token stop) {
  Close();
  const int rc = sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE, nullptr);
  if (!db_) {
    lastError_ = ErrorOfCode(SQLITE_NOMEM, "out of memory");
    return OpenResult::kNoConnectionObject;
  }
  sqlite3_extended_result_codes(db_, 1);
  if (rc == SQLITE_OK) {
    // One budget for the whole operation: a per-statement timeout multiplies by the rows of
    // a batch when another process holds the write lock.
    lockWaitEnd_ = std::chrono::steady_clock::now() + kLockWaitBudget;
    stop_ = std::move(stop);
    sqlite3_busy_handler(db_, &NewsConnection::WaitForLock, this);
    // Opening is lazy: read the header now so that a file that is no database, or one that
    // cannot be read, fails here like a missing one.
    if (sqlite3_exec(db_, "pragma schema_version", nullptr, nullptr, nullptr) == SQLITE_OK) {
      // The file holds one run's items and is emptied at exit: with the write-ahead log a
      // commit need not wait for the disk (a power cut may lose the last saves, never the
      // file), which would otherwise cost every feed of a pass a disk flush.
      sqlite3_exec(db_, "pragma synchronous = normal", nullptr, nullptr, nullptr);
      return OpenResult::kOpened;
    }
  }
  lastError_ = DatabaseErrorOf(db_);
  Close();
  return OpenResult::kOpenFailed;
}

bool NewsConnection::Execute(const std::string& sql) {
  sqlite3_stmt* statement = nullptr;
  if (PrepareOne(db_, sql, &statement, lastError_) != SQLITE_OK) return false;
  int rc;
  while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
  }
  if (rc != SQLITE_DONE) lastError_ = DatabaseErrorOf(db_);
  sqlite3_finalize(statement);
  return rc == SQLITE_DONE;
}

std::unique_ptr<NewsRecordset> NewsConnection::Query(const std::string& sql) {
  sqlite3_stmt* statement = nullptr;
  if (PrepareOne(db_, sql, &statement, lastError_) != SQLITE_OK) return nullptr;
  const int rc = sqlite3_step(statement);
  if (rc != SQLITE_ROW && rc != SQLITE_DONE) {
    lastError_ = DatabaseErrorOf(db_);
    sqlite3_finalize(statement);
    return nullptr;
  }
  return std::make_unique<NewsRecordset>(statement, rc == SQLITE_DONE);
}

std::unique_ptr<NewsStatement> NewsConnection::Prepare(const std::string& sql) {
  sqlite3_stmt* statement = nullptr;
  if (PrepareOne(db_, sql, &statement, lastError_) != SQLITE_OK) return nullptr;
  return std::make_unique<NewsStatement>(*this, statement);
}

int NewsConnection::WaitForLock(void* self, int attempt) {
  auto* connection = static_cast<NewsConnection*>(self);
  if (connection->stop_.stop_requested()) return 0;
  const auto now = std::chrono::steady_clock::now();
  if (now >= connection->lockWaitEnd_) return 0;
  // Short sleeps first, as the engine's own timeout does, then at most 50 ms at a time.
  static constexpr int kSleepsMs[] = {1, 2, 5, 10, 15, 20, 25, 25, 25, 50};
  const int sleepMs =
      kSleepsMs[std::min<size_t>(static_cast<size_t>(attempt), std::size(kSleepsMs) - 1)];
  std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(
      std::chrono::milliseconds(sleepMs), connection->lockWaitEnd_ - now));
  return 1;
}

bool NewsConnection::CheckWritable() {
  if (db_ && sqlite3_db_readonly(db_, "main") == 0) return true;
  lastError_ = ErrorOfCode(SQLITE_READONLY, sqlite3_errstr(SQLITE_READONLY));
  return false;
}

void NewsConnection::RecordError() { lastError_ = DatabaseErrorOf(db_); }

bool NewsConnection::InTransaction() const { return db_ && !sqlite3_get_autocommit(db_); }

bool IsWriteFailure(const DatabaseError& error) {
  switch (error.code & 0xff) {
    case SQLITE_READONLY:
    case SQLITE_FULL:
    case SQLITE_IOERR:
    case SQLITE_CANTOPEN:
    case SQLITE_PERM:
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
      return true;
    default:
      return false;
  }
}

bool IsLockTimeout(const DatabaseError& error) {
  return (error.code & 0xff) == SQLITE_BUSY || (error.code & 0xff) == SQLITE_LOCKED;
}

}  // namespace lumarine
