#pragma once

#include <memory>
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

  // Opens an existing database file for reading and writing; never creates it. Waits up to
  // five seconds for a lock held by another connection before a statement fails.
  OpenResult Open(const std::string& path);

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

  // The error of the last call that failed.
  const DatabaseError& LastError() const { return lastError_; }

 private:
  void Close();

  sqlite3* db_ = nullptr;
  DatabaseError lastError_;
};

// The error the connection `db` reports for its last call.
DatabaseError DatabaseErrorOf(sqlite3* db);

}  // namespace lumarine
