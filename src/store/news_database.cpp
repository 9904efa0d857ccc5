#include "store/news_database.h"

#include <cinttypes>
#include <cstdio>

#include "platform/message_box.h"
#include "platform/paths.h"

namespace lumarine {

std::string ProgramDirectory() { return DataDirectory(); }

std::string NewsDatabasePath() { return ProgramDirectory() + "/news.mdb"; }

std::unique_ptr<NewsConnection> OpenNewsDatabase(std::string_view noConnectionMessage,
                                                 std::stop_token stop) {
  auto connection = std::make_unique<NewsConnection>();
  switch (connection->Open(NewsDatabasePath(), std::move(stop))) {
    case NewsConnection::OpenResult::kOpened:
      return connection;
    case NewsConnection::OpenResult::kNoConnectionObject:
      if (!noConnectionMessage.empty()) ShowMessageBox(std::string(noConnectionMessage));
      return nullptr;
    case NewsConnection::OpenResult::kOpenFailed:
      ShowMessageBox("Can not open connection:\n" + FormatComError(connection->LastError()));
      return nullptr;
  }
  return nullptr;
}

bool ExecuteStatement(NewsConnection& connection, const std::string& sql, std::string& errorText) {
  if (connection.Execute(sql)) return true;
  errorText = FormatComError(connection.LastError());
  return false;
}

std::string FormatComError(const DatabaseError& error) {
  // Codes are shown as the 32-bit values they are, whatever the width of long.
  const auto code = static_cast<uint32_t>(error.code);
  std::string meaning = error.meaning;
  if (meaning.ends_with("\r\n"))
    meaning.resize(meaning.size() - 2);
  else if (meaning.ends_with('\n'))
    meaning.pop_back();
  char buffer[64];
  if (meaning.empty()) {
    if (code > 0x80040200u && code <= 0x8004FFFFu)
      std::snprintf(buffer, sizeof buffer, "IDispatch error #%d",
                    static_cast<int>(code - 0x80040200u));
    else
      std::snprintf(buffer, sizeof buffer, "Unknown error 0x%0" PRIX32, code);
    meaning = buffer;
  }
  std::snprintf(buffer, sizeof buffer, "%08" PRIx32, code);
  return "Code = " + std::string(buffer) + "\nCode meaning = " + meaning +
         "\nSource = " + error.source + "\nDescription = " + error.description;
}

std::string QuoteSqlText(std::string_view value) {
  std::string quoted;
  quoted.reserve(value.size() + 8);
  for (size_t start = 0;;) {
    const size_t quote = value.find('\'', start);
    if (quote == std::string_view::npos) return quoted.append(value.substr(start));
    quoted.append(value.substr(start, quote + 1 - start)).push_back('\'');
    start = quote + 1;
  }
}

std::string GetFieldText(const NewsRecordset& recordset, int ordinal) {
  return recordset.FieldText(ordinal);
}

}  // namespace lumarine
