#include "store/news_recordset.h"

#include <sqlite3.h>

#include "store/news_connection.h"

namespace lumarine {

NewsRecordset::~NewsRecordset() { sqlite3_finalize(statement_); }

bool NewsRecordset::MoveNext(DatabaseError& error) {
  if (atEnd_) return true;
  const int rc = sqlite3_step(statement_);
  if (rc == SQLITE_ROW) return true;
  atEnd_ = true;
  if (rc == SQLITE_DONE) return true;
  error = DatabaseErrorOf(sqlite3_db_handle(statement_));
  return false;
}

int NewsRecordset::FieldCount() const { return sqlite3_column_count(statement_); }

std::string NewsRecordset::FieldText(int ordinal) const {
  if (atEnd_ || ordinal < 0 || ordinal >= FieldCount()) return {};
  const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement_, ordinal));
  if (!text) return {};
  return std::string(text, static_cast<size_t>(sqlite3_column_bytes(statement_, ordinal)));
}

}  // namespace lumarine
