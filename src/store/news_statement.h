#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3_stmt;

namespace lumarine {

class NewsConnection;

// A statement compiled once and run many times with new values in its "?" places, for a
// batch of rows of the same shape. Made by NewsConnection::Prepare; must not outlive it.
class NewsStatement {
 public:
  // A value for one place: text, or an integer when `isInteger`.
  struct Value {
    std::string_view text;
    bool isInteger = false;
    long long integer = 0;
  };

  NewsStatement(NewsConnection& connection, sqlite3_stmt* statement)
      : connection_(connection), statement_(statement) {}
  ~NewsStatement();
  NewsStatement(const NewsStatement&) = delete;
  NewsStatement& operator=(const NewsStatement&) = delete;

  // Runs the statement once with `values` in order; on failure the connection's LastError()
  // tells why, as for NewsConnection::Execute.
  bool Run(const std::vector<Value>& values);

 private:
  NewsConnection& connection_;
  sqlite3_stmt* statement_;
};

}  // namespace lumarine
