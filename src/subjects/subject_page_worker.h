#pragma once

#include <atomic>
#include <cstdint>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "subjects/subject_feed_loader.h"
#include "subjects/subject_item.h"

namespace lumarine {

// Gathers a subject's news into subject.htm in the program directory and opens it with the
// desktop's default handler. Every request runs on its own thread and requests may overlap;
// the page of the latest request is the one left on disk. The owner's destruction stops and
// joins every request still running. Requests are made on the user-interface thread.
class SubjectPageWorker {
 public:
  explicit SubjectPageWorker(SubjectFeedLoader loader = LoadSubjectFeed);
  ~SubjectPageWorker();
  SubjectPageWorker(const SubjectPageWorker&) = delete;
  SubjectPageWorker& operator=(const SubjectPageWorker&) = delete;

  // Opens the page of `item` (none: nothing happens): its own news, or with `blogSearch` the
  // blog search for its title. Returns at once; the worker keeps copies of what it needs.
  void OpenSubjectPage(const SubjectItem* item, bool blogSearch);

  // Starts one request for the feed at `url`, headed by `title`.
  void Request(std::string url, std::string title);

  // Waits until every request started so far has finished.
  void WaitForRequests();

 private:
  struct Running {
    std::jthread thread;
    std::shared_ptr<std::atomic<bool>> done;
  };

  void Run(std::stop_token stop, uint64_t sequence, const std::string& url,
           const std::string& title, const std::string& pagePath);

  SubjectFeedLoader loader_;
  std::mutex threadsMutex_;
  std::list<Running> threads_;
  uint64_t nextSequence_ = 0;
  std::mutex pageMutex_;  // orders the page replacements
  uint64_t newestWritten_ = 0;
};

}  // namespace lumarine
