#pragma once

#include <memory>

namespace lumarine {

class RssFeed;

// Marks every item of the record read, trying again when the database could not be opened,
// then releases the record. Runs on the showing pass's thread once the rows are handed over.
void MarkReadWorker(std::unique_ptr<RssFeed> feed, int attempts);

}  // namespace lumarine
