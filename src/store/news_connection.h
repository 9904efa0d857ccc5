#pragma once

#include <chrono>
#include <memory>
#include <stop_token>
#include <string>

struct sqlite3;

namespace lumarine {

class NewsRecordset;
class NewsStatement;

// What the database engine said about a failed call, in the four parts the messages show.
struct DatabaseError {
  long code = 0;            // extended result code
  std::string meaning;      // the engine's text for the code
  std::string source;       // the component that raised the error
  std::string description;  // the engine's message for this failure
};

// One connection to the news database, closed when destroyed. Use it on one thread at a
// time; every store operation makes its own.
class NewsConnection {
 public:
  enum class OpenResult { kOpened, kNoConnectionObject, kOpenFailed };

  NewsConnection() = default;
  ~NewsConnection();
  NewsConnection(const NewsConnection&) = delete;
  NewsConnection& operator=(const NewsConnection&) = delete;

  // How long all statements of one connection together may wait for locks that another
  // connection holds; after that every statement that needs such a lock fails at once. As
  // long as one exit-time request may take, so emptying the table at exit waits no longer.
  static constexpr std::chrono::milliseconds kLockWaitBudget{3000};

  // Opens an existing database file for reading and writing; never creates it. The lock wait
  // budget starts here; a stop requested on `stop` ends every wait for a lock at once, so a
  // worker that is asked to end never sits out the budget.
  OpenResult Open(const std::string& path, std::stop_token stop = {});

  // Runs one statement that returns no rows.
  bool Execute(const std::string& sql);
  // Runs one query; the recordset stands on its first row (or at its end). Null on failure.
  std::unique_ptr<NewsRecordset> Query(const std::string& sql);

  // Compiles one statement with "?" places for NewsStatement::Run. Null on failure.
  std::unique_ptr<NewsStatement> Prepare(const std::string& sql);
  // Takes the engine's error for the last failed call as LastError().
  void RecordError();

  // True while a transaction begun on this connection is still open. The engine ends one
  // by itself after some failures (a full disk, for one).
  bool InTransaction() const;

  // False, with LastError() telling why, when the engine opened the file for reading only
  // (its permissions forbid writing).
  bool CheckWritable();

  // The error of the last call that failed.
  const DatabaseError& LastError() const { return lastError_; }

 private:
  static int WaitForLock(void* self, int attempt);
  void Close();

  sqlite3* db_ = nullptr;
  DatabaseError lastError_;
  std::chrono::steady_clock::time_point lockWaitEnd_;
  std::stop_token stop_;
};

// True for the errors that mean the file cannot take writes at all: read only, disk full,
// input/output failure, a file that cannot be opened or is damaged. Not for a lock held
// elsewhere, a refused row or a bad statement.
bool IsWriteFailure(const DatabaseError& error);
// True when the error is a lock held by another connection.
bool IsLockTimeout(const DatabaseError& error);

// The error the connection `db` reports for its last call.
DatabaseError DatabaseErrorOf(sqlite3* db);

}  // namespace lumarine
