#pragma once

#include <chrono>
#include <functional>
#include <map>
#include <stop_token>
#include <string>
#include <vector>

namespace lumarine {

class FeedHealthBook;

// Fetch -> parse -> store for the feeds of a refresh pass. Downloads run several at once over
// shared connections; each feed that arrives is parsed and its items are saved under its
// channel while the others still download. Remembers each feed's ETag and Last-Modified for
// the run and sends them back, so an unchanged feed answers 304 and costs no parse and no
// store work. Not thread-safe: one pass at a time, on the caller's thread.
class FeedFetcher {
 public:
  struct Job {
    std::string address;
    std::string channel;  // the class its items are saved under
  };

  // `health`, when given, receives the result of every download; not owned.
  FeedFetcher(size_t maxTransfers, std::chrono::milliseconds startPause,
              FeedHealthBook* health = nullptr);

  // Runs the jobs; `onFeedDone` is called with the index of every job whose download ended,
  // whatever it gave (a 304 included). Returns the number of new rows stored; appends their
  // titles to `titles`. A stop ends the pass at once; jobs not finished get no call.
  int RunPass(const std::vector<Job>& jobs, const std::function<void(size_t)>& onFeedDone,
              std::vector<std::string>& titles, const std::stop_token& stop);

 private:
  struct Validators {
    std::string etag;
    std::string lastModified;
  };

  size_t maxTransfers_;
  std::chrono::milliseconds startPause_;
  FeedHealthBook* health_;
  std::map<std::string, Validators> validators_;  // by feed address
};

}  // namespace lumarine
