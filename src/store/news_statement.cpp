#include "store/news_statement.h"

#include <sqlite3.h>

#include "store/news_connection.h"

namespace lumarine {

NewsStatement::~NewsStatement() { sqlite3_finalize(statement_); }

bool NewsStatement::Run(const std::vector<Value>& values) {
  sqlite3_reset(statement_);
  sqlite3_clear_bindings(statement_);
  int place = 1;
  for (const Value& value : values) {
    const int rc = value.isInteger
                       ? sqlite3_bind_int64(statement_, place, value.integer)
                       : sqlite3_bind_text(statement_, place, value.text.data(),
                                           static_cast<int>(value.text.size()), SQLITE_STATIC);
    if (rc != SQLITE_OK) {
      connection_.RecordError();
      return false;
    }
    ++place;
  }
  const int rc = sqlite3_step(statement_);
  if (rc != SQLITE_DONE) connection_.RecordError();
  // Reset at once so that a failed row leaves no statement running on the connection.
  sqlite3_reset(statement_);
  return rc == SQLITE_DONE;
}

}  // namespace lumarine
