#pragma once

#include <memory>
#include <stop_token>

namespace lumarine {

class RssFeed;

// Marks every item of the record read, trying again when the database could not be opened,
// then releases the record. Runs on the showing pass's thread once the rows are handed over;
// a stop requested on `stop` ends its waits for locks at once.
void MarkReadWorker(std::unique_ptr<RssFeed> feed, int attempts, const std::stop_token& stop);

}  // namespace lumarine
