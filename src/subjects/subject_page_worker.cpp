#include "subject_page_worker.h"

#include "platform/file_io.h"
#include "platform/paths.h"
#include "platform/shell_open.h"
#include "platform/text_codec.h"
#include "subjects/subject_page.h"

namespace lumarine {

SubjectPageWorker::SubjectPageWorker(SubjectFeedLoader loader) : loader_(std::move(loader)) {}

SubjectPageWorker::~SubjectPageWorker() {
  std::list<Running> running;
  {
    std::lock_guard lock(threadsMutex_);
    running.swap(threads_);
  }
  for (Running& request : running) request.thread.request_stop();
  running.clear();  // joins
}

void SubjectPageWorker::OpenSubjectPage(const SubjectItem* item, bool blogSearch) {
  if (!item) return;
  Request(blogSearch ? BlogCommentUrl(item->title) : item->url, item->title);
}

void SubjectPageWorker::Request(std::string url, std::string title) {
  std::lock_guard lock(threadsMutex_);
  threads_.remove_if([](const Running& request) { return request.done->load(); });
  auto done = std::make_shared<std::atomic<bool>>(false);
  const uint64_t sequence = ++nextSequence_;
  std::string pagePath = DataDirectory() + "/subject.htm";
  threads_.push_back(
      {std::jthread([this, done, sequence, url = std::move(url), title = std::move(title),
                     pagePath = std::move(pagePath)](std::stop_token stop) {
         Run(stop, sequence, url, title, pagePath);
         done->store(true);
       }),
       done});
}

void SubjectPageWorker::WaitForRequests() {
  std::list<Running> running;
  {
    std::lock_guard lock(threadsMutex_);
    running.swap(threads_);
  }
  // Joined explicitly: destroying a jthread would ask it to stop first.
  for (Running& request : running) request.thread.join();
}

void SubjectPageWorker::Run(std::stop_token stop, uint64_t sequence, const std::string& url,
                            const std::string& title, const std::string& pagePath) {
  // A feed that cannot be loaded gives the page with its header and the reason.
  std::string failure;
  const std::vector<SubjectFeedItem> items = loader_(url, stop, &failure);
  if (stop.stop_requested()) return;
  const std::string page = Utf8ToGb18030(BuildSubjectPage(title, items, url, failure));
  {
    std::lock_guard lock(pageMutex_);
    // A later request already left its page: this one must not replace it.
    if (sequence < newestWritten_) return;
    if (!ReplaceFileContents(pagePath, page)) return;
    newestWritten_ = sequence;
  }
  ShellOpen(pagePath);
}

}  // namespace lumarine
