#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "store/news_connection.h"
#include "store/news_recordset.h"

namespace lumarine {

// Helpers every news store operation shares.

// The program directory that holds news.mdb (no trailing "/"): beside the executable, or the
// user's cache directory for an installed program.
std::string ProgramDirectory();

// ProgramDirectory() + "/news.mdb", built anew at every call.
std::string NewsDatabasePath();

// Opens news.mdb for one operation. When the engine cannot even make a connection it shows
// `noConnectionMessage` (nothing when empty); when opening fails it shows
// "Can not open connection:\n" and the error. Either way the result is null.
// Messages are shown on the calling thread, which waits for them to be closed. A stop
// requested on `stop` ends the connection's waits for locks at once.
std::unique_ptr<NewsConnection> OpenNewsDatabase(std::string_view noConnectionMessage,
                                                 std::stop_token stop = {});

// Runs one statement that returns no rows. On failure stores the formatted error in
// `errorText` and returns false; shows nothing.
bool ExecuteStatement(NewsConnection& connection, const std::string& sql, std::string& errorText);

// The four labelled lines of a database error.
std::string FormatComError(const DatabaseError& error);

// `value` with every single quote doubled, for use between single quotes in a statement.
std::string QuoteSqlText(std::string_view value);

// The field at `ordinal` of the recordset's current row; NULL reads as empty text and the
// read flag as "0" or "1".
std::string GetFieldText(const NewsRecordset& recordset, int ordinal);

}  // namespace lumarine
