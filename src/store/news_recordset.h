#pragma once

#include <string>

struct sqlite3_stmt;

namespace lumarine {

struct DatabaseError;

// Rows of one query, read forward only. Made by NewsConnection::Query; must not outlive the
// connection that made it.
class NewsRecordset {
 public:
  explicit NewsRecordset(sqlite3_stmt* statement, bool atEnd)
      : statement_(statement), atEnd_(atEnd) {}
  ~NewsRecordset();
  NewsRecordset(const NewsRecordset&) = delete;
  NewsRecordset& operator=(const NewsRecordset&) = delete;

  bool AtEnd() const { return atEnd_; }
  // Moves to the next row; false with `error` filled when the engine fails.
  bool MoveNext(DatabaseError& error);

  int FieldCount() const;
  // The field at `ordinal` of the current row as text: NULL and a missing field read as
  // empty, numbers in their decimal form.
  std::string FieldText(int ordinal) const;

 private:
  sqlite3_stmt* statement_;
  bool atEnd_;
};

}  // namespace lumarine
