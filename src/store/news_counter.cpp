#include "store/news_counter.h"

#include <string>

#include "store/news_database.h"

namespace lumarine {
namespace {

// The first field of the one row `sql` gives, as a number.
std::optional<long long> QueryNumber(const std::string& sql) {
  NewsConnection connection;
  if (connection.Open(NewsDatabasePath()) != NewsConnection::OpenResult::kOpened)
    return std::nullopt;
  const std::unique_ptr<NewsRecordset> rows = connection.Query(sql);
  if (!rows || rows->AtEnd()) return std::nullopt;
  const std::string text = rows->FieldText(0);
  return text.empty() ? 0 : std::stoll(text);
}

}  // namespace

std::optional<long long> NewsCounter::LastRowId() {
  return QueryNumber("select max(rowid) from FeedItem");
}

std::optional<int> NewsCounter::CountAfter(long long afterRowId, const std::string& channel) {
  std::string sql = "select count(*) from FeedItem where rowid > " + std::to_string(afterRowId);
  if (!channel.empty()) sql += " and class = '" + QuoteSqlText(channel) + "'";
  const std::optional<long long> count = QueryNumber(sql);
  if (!count) return std::nullopt;
  return static_cast<int>(*count);
}

}  // namespace lumarine
