#include "store/news_database_file.h"

#include <sqlite3.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>
#include <vector>

namespace lumarine {
namespace {

bool BuildSchema(const std::string& path, const std::string& schemaSql, std::string& errorText) {
  sqlite3* db = nullptr;
  int rc = sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
  char* message = nullptr;
  if (rc == SQLITE_OK) rc = sqlite3_exec(db, schemaSql.c_str(), nullptr, nullptr, &message);
  if (rc != SQLITE_OK) {
    errorText = message ? message : (db ? sqlite3_errmsg(db) : sqlite3_errstr(rc));
    sqlite3_free(message);
  }
  // Closing the last connection folds the write-ahead log back into the file.
  if (sqlite3_close(db) != SQLITE_OK && rc == SQLITE_OK) {
    errorText = "the database could not be closed";
    rc = SQLITE_ERROR;
  }
  return rc == SQLITE_OK;
}

// The index definitions (name, statement) of the database `db`.
std::vector<std::pair<std::string, std::string>> IndexesOf(sqlite3* db) {
  std::vector<std::pair<std::string, std::string>> indexes;
  sqlite3_stmt* statement = nullptr;
  if (sqlite3_prepare_v2(db,
                         "select name, sql from sqlite_master where type = 'index' and sql "
                         "is not null order by name",
                         -1, &statement, nullptr) != SQLITE_OK)
    return indexes;
  while (sqlite3_step(statement) == SQLITE_ROW)
    indexes.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(statement, 0)),
                         reinterpret_cast<const char*>(sqlite3_column_text(statement, 1)));
  sqlite3_finalize(statement);
  return indexes;
}

}  // namespace

bool UpdateNewsDatabaseIndexes(const std::string& path, const std::string& schemaSql,
                               std::string& errorText) {
  sqlite3* wanted = nullptr;
  sqlite3_open_v2(":memory:", &wanted, SQLITE_OPEN_READWRITE, nullptr);
  char* message = nullptr;
  if (sqlite3_exec(wanted, schemaSql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
    errorText = message ? message : "the schema does not run";
    sqlite3_free(message);
    sqlite3_close(wanted);
    return false;
  }
  const auto wantedIndexes = IndexesOf(wanted);
  sqlite3_close(wanted);

  sqlite3* db = nullptr;
  if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
    errorText = db ? sqlite3_errmsg(db) : "out of memory";
    sqlite3_close(db);
    return false;
  }
  const auto present = IndexesOf(db);
  std::string script;
  for (const auto& index : wantedIndexes) {
    if (std::find(present.begin(), present.end(), index) == present.end())
      script += "drop index if exists \"" + index.first + "\";\n" + index.second + ";\n";
  }
  bool ok = true;
  if (!script.empty()) {
    script = "begin immediate;\n" + script + "commit;";
    if (sqlite3_exec(db, script.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
      errorText = message ? message : sqlite3_errmsg(db);
      sqlite3_free(message);
      sqlite3_exec(db, "rollback", nullptr, nullptr, nullptr);
      ok = false;
    }
  }
  sqlite3_close(db);
  return ok;
}

CreateDatabaseResult CreateNewsDatabase(const std::string& path, const std::string& schemaSql,
                                        std::string& errorText) {
  struct stat info;
  if (lstat(path.c_str(), &info) == 0) return CreateDatabaseResult::kAlreadyExists;

  // Built under a temporary name beside the target, then linked into place: link() refuses
  // an existing target, so a file that appeared meanwhile is kept as well.
  std::string temporary = path + ".XXXXXX";
  const int fd = mkstemp(temporary.data());
  if (fd < 0) {
    errorText = std::string("cannot create a file beside ") + path + ": " + std::strerror(errno);
    return CreateDatabaseResult::kFailed;
  }
  fchmod(fd, 0644);  // mkstemp makes it private; the database is an ordinary program file
  close(fd);
  CreateDatabaseResult result = CreateDatabaseResult::kCreated;
  if (!BuildSchema(temporary, schemaSql, errorText)) {
    result = CreateDatabaseResult::kFailed;
  } else if (link(temporary.c_str(), path.c_str()) != 0) {
    if (errno == EEXIST) {
      result = CreateDatabaseResult::kAlreadyExists;
    } else {
      errorText = std::string("cannot create ") + path + ": " + std::strerror(errno);
      result = CreateDatabaseResult::kFailed;
    }
  }
  unlink(temporary.c_str());
  unlink((temporary + "-wal").c_str());
  unlink((temporary + "-shm").c_str());
  return result;
}

}  // namespace lumarine
