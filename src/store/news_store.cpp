#include "store/news_store.h"

#include <functional>
#include <initializer_list>
#include <optional>
#include <vector>

#include "platform/message_box.h"
#include "store/news_database.h"
#include "store/news_statement.h"
#include "store/write_failure_notice.h"

namespace lumarine {
namespace {

constexpr std::string_view kNoConnection = "Can not create connection object, please install MDAC!";
constexpr std::string_view kNoConnectionInLoader =
    "Can not create connection object, please install MDAC!!!!!!!!!!";

constexpr int kUnread = 0;

// Fills the printf-style statement `format`: each "%s" or "%d" takes the next argument as
// it is (numbers come already written out). Cheaper than snprintf for long values.
std::string FormatStatement(std::string_view format, std::initializer_list<std::string_view> args) {
  size_t size = format.size();
  for (const std::string_view arg : args) size += arg.size();
  std::string text;
  text.reserve(size);
  auto next = args.begin();
  for (size_t i = 0; i < format.size(); ++i) {
    if (format[i] == '%' && i + 1 < format.size() &&
        (format[i + 1] == 's' || format[i + 1] == 'd') && next != args.end()) {
      text += *next++;
      ++i;
    } else {
      text += format[i];
    }
  }
  return text;
}

const std::string kUnreadText = std::to_string(kUnread);

// Runs `runRow` for every row in one transaction and counts the rows taken. A row that
// fails alone (a refused duplicate) is skipped. Empty when the transaction could not be
// begun or committed, or the engine ended it early: then none of it was kept.
std::optional<int> RunInOneTransaction(NewsConnection& connection, size_t rows,
                                       const std::function<bool(size_t)>& runRow,
                                       std::vector<size_t>& taken) {
  taken.clear();
  if (!connection.Execute("begin immediate")) return std::nullopt;
  for (size_t row = 0; row < rows; ++row) {
    if (runRow(row))
      taken.push_back(row);
    else if (!connection.InTransaction())
      return std::nullopt;
  }
  if (connection.Execute("commit")) return static_cast<int>(taken.size());
  // A successful rollback leaves the commit's error as the last one.
  if (connection.InTransaction()) connection.Execute("rollback");
  return std::nullopt;
}

// One commit for the whole batch is what makes saving fast; when the database will not take
// the batch for a reason of its own, each row runs on its own as far as it can. A lock held
// elsewhere past the wait budget, or a file that takes no writes, ends the batch: then
// `failure` holds why. `taken` receives the indices of the rows kept.
int RunForEveryRow(NewsConnection& connection, size_t rows,
                   const std::function<bool(size_t)>& runRow, std::vector<size_t>& taken,
                   std::optional<DatabaseError>& failure) {
  taken.clear();
  failure.reset();
  if (rows == 0) return 0;
  for (int attempt = 0; attempt < 2; ++attempt) {
    if (const std::optional<int> count = RunInOneTransaction(connection, rows, runRow, taken))
      return *count;
    if (IsLockTimeout(connection.LastError()) || IsWriteFailure(connection.LastError())) {
      failure = connection.LastError();
      taken.clear();
      return 0;
    }
  }
  taken.clear();
  for (size_t row = 0; row < rows; ++row)
    if (runRow(row)) taken.push_back(row);
  return static_cast<int>(taken.size());
}

}  // namespace

SaveFeedResult SaveFeedItems(const RssFeed& feed, const SaveFeedOptions& options) {
  SaveFeedResult result;
  const std::string path = NewsDatabasePath();
  auto connection = std::make_unique<NewsConnection>();
  switch (connection->Open(path, options.stop)) {
    case NewsConnection::OpenResult::kOpened:
      break;
    case NewsConnection::OpenResult::kNoConnectionObject:
      ShowMessageBox(std::string(kNoConnection));
      result.failed = true;
      return result;
    case NewsConnection::OpenResult::kOpenFailed:
      // Every feed of a pass would fail alike: say it once.
      WriteFailureNotice::Report(path, connection->LastError());
      result.failed = true;
      return result;
  }
  if (!options.saveItems || feed.items.empty()) return result;
  if (!connection->CheckWritable()) {
    WriteFailureNotice::Report(path, connection->LastError());
    result.failed = true;
    return result;
  }
  // The insert is compiled once for the batch; every row binds its values, so no quoting
  // is needed and a value cannot end the statement early.
  const std::unique_ptr<NewsStatement> insert = connection->Prepare(
      "insert into FeedItem (FeedLink, title, link, description, pubdate, author, category, "
      "subject,readstatus,class) values(?,?,?,?,?,?,?,?,?,?)");
  if (!insert) {
    result.failed = true;
    return result;
  }
  std::vector<size_t> taken;
  std::optional<DatabaseError> failure;
  result.stored = RunForEveryRow(
      *connection, feed.items.size(),
      [&](size_t row) {
        const RssItem& item = feed.items[row];
        return insert->Run({{feed.feedLink},
                            {item.title},
                            {item.link},
                            {item.description},
                            {item.pubDate},
                            {item.author},
                            {item.category},
                            {item.subject},
                            {{}, true, kUnread},
                            {feed.className}});
      },
      taken, failure);
  if (failure) {
    // A lock held elsewhere is given up on silently; a file that takes no writes is told.
    if (IsWriteFailure(*failure)) WriteFailureNotice::Report(path, *failure);
    result.failed = true;
  } else {
    WriteFailureNotice::Clear(path);
  }
  for (const size_t row : taken) result.titles.push_back(feed.items[row].title);
  return result;
}

int CheckUnreadItems(const std::string& channel, std::stop_token stop) {
  const std::unique_ptr<NewsConnection> connection = OpenNewsDatabase({}, std::move(stop));
  if (!connection) return 0;
  const std::string sql =
      channel.empty() ? FormatStatement("select * from FeedItem where readstatus=%d", {kUnreadText})
                      : FormatStatement("select * from FeedItem where readstatus=%d and class='%s'",
                                        {kUnreadText, QuoteSqlText(channel)});
  if (!connection->Query(sql)) {
    ShowMessageBox("数据库链接失败:\n" + FormatComError(connection->LastError()));
    return 0;
  }
  return 1;
}

namespace {

// Appends the title, link and class of every row the query gives.
void AppendRows(NewsConnection& connection, const std::string& sql, RssFeed& feed) {
  const std::unique_ptr<NewsRecordset> rows = connection.Query(sql);
  if (!rows) {
    ShowMessageBox(FormatComError(connection.LastError()));
    return;
  }
  DatabaseError error;
  while (!rows->AtEnd()) {
    RssItem item;
    item.title = GetFieldText(*rows, 1);
    item.link = GetFieldText(*rows, 2);
    item.className = GetFieldText(*rows, 9);
    feed.items.push_back(std::move(item));
    if (!rows->MoveNext(error)) {
      ShowMessageBox(FormatComError(error));
      return;
    }
  }
}

}  // namespace

void LoadUnreadItems(RssFeed& feed, const std::string& channel, std::stop_token stop) {
  const std::unique_ptr<NewsConnection> connection =
      OpenNewsDatabase(kNoConnectionInLoader, std::move(stop));
  if (!connection) return;
  const std::string sql =
      channel.empty()
          ? FormatStatement("select * from FeedItem where  readstatus=%d limit 18", {kUnreadText})
          : FormatStatement("select * from FeedItem where readstatus=%d and class = '%s' limit 18",
                            {kUnreadText, QuoteSqlText(channel)});
  AppendRows(*connection, sql, feed);
}

void LoadReadItems(RssFeed& feed, const std::string& channel, size_t limit, std::stop_token stop) {
  const std::unique_ptr<NewsConnection> connection =
      OpenNewsDatabase(kNoConnectionInLoader, std::move(stop));
  if (!connection) return;
  // Rows are only ever inserted, so the row id orders them by when they were stored.
  const std::string where = channel.empty() ? "readstatus<>%d" : "readstatus<>%d and class = '%s'";
  const std::string sql = FormatStatement("select * from FeedItem where " + where +
                                              " order by rowid desc limit " + std::to_string(limit),
                                          {kUnreadText, QuoteSqlText(channel)});
  AppendRows(*connection, sql, feed);
}

int MarkItemsRead(const RssFeed* feed, std::stop_token stop) {
  const std::unique_ptr<NewsConnection> connection = OpenNewsDatabase({}, std::move(stop));
  if (!connection) return 0;
  if (feed) {
    const std::unique_ptr<NewsStatement> update =
        connection->Prepare("update FeedItem set readstatus = 1 where link = ?");
    // A row without a link is known by its title within its channel, as the file's keys say;
    // by its empty link alone, it would mark every link-less row read unseen.
    const std::unique_ptr<NewsStatement> updateNoLink = connection->Prepare(
        "update FeedItem set readstatus = 1 where link = '' and class = ? and title = ?");
    std::vector<size_t> taken;
    std::optional<DatabaseError> failure;
    if (update && updateNoLink)
      RunForEveryRow(
          *connection, feed->items.size(),
          [&](size_t row) {
            const RssItem& item = feed->items[row];
            return item.link.empty() ? updateNoLink->Run({{item.className}, {item.title}})
                                     : update->Run({{item.link}});
          },
          taken, failure);
  }
  return 1;
}

void ClearAllItems() {
  const std::unique_ptr<NewsConnection> connection = OpenNewsDatabase(kNoConnection);
  if (!connection) return;
  std::string ignored;
  ExecuteStatement(*connection, "delete from FeedItem", ignored);
}

}  // namespace lumarine
