#include "platform/http_client.h"

#include <curl/curl.h>

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <memory>
#include <mutex>
#include <optional>

#include "platform/ascii_text.h"
#include "platform/file_io.h"
#include "platform/text_codec.h"

namespace lumarine {
namespace {

void InitialiseCurlOnce() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct EasyDeleter {
  void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};
struct MultiDeleter {
  void operator()(CURLM* multi) const { curl_multi_cleanup(multi); }
};
struct ListDeleter {
  void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

struct Sink {
  std::string* body;
  size_t limit;
  bool overflow = false;
};

size_t WriteBody(char* data, size_t size, size_t count, void* user) {
  auto* sink = static_cast<Sink*>(user);
  const size_t bytes = size * count;
  if (sink->body->size() + bytes > sink->limit) {
    sink->overflow = true;
    return 0;  // aborts the transfer
  }
  sink->body->append(data, bytes);
  return bytes;
}

bool IsNetworkAddress(const std::string& url) {
  const size_t scheme = url.find("://");
  return scheme != std::string::npos && url.compare(0, scheme, "file") != 0;
}

HttpResponse ReadLocalFile(const HttpRequest& request) {
  HttpResponse response;
  std::string path = request.url;
  if (path.starts_with("file://")) {
    path = PercentDecode(path.substr(7));
    // "file://localhost/x" names the same file as "file:///x".
    if (path.starts_with("localhost/")) path.erase(0, 9);
  }
  // Plain system calls: a refresh pass reads many small files, and a stream costs several
  // times their reading. Only a regular file is read (a FIFO would wait for a writer).
  FileContents contents = ReadFileContents(path, request.maxBodyBytes);
  response.ok = contents.Read();
  if (!response.ok) response.error = "cannot read " + path;
  response.body = std::move(contents.bytes);
  return response;
}

}  // namespace

namespace {

// One request's easy handle and everything it points into while it runs.
struct Transfer {
  explicit Transfer(const HttpRequest& request)
      : request(request), sink{&response.body, request.maxBodyBytes} {}

  const HttpRequest& request;
  HttpResponse response;
  Sink sink;
  std::unique_ptr<CURL, EasyDeleter> easy;
  std::unique_ptr<curl_slist, ListDeleter> headers;
};

// Sets up the easy handle of `transfer`; false when curl could not make one.
bool PrepareTransfer(Transfer& transfer) {
  InitialiseCurlOnce();
  transfer.easy.reset(curl_easy_init());
  if (!transfer.easy) {
    transfer.response.error = "curl initialisation failed";
    transfer.response.failure = HttpFailure::kOther;
    return false;
  }
  const HttpRequest& request = transfer.request;
  auto addHeader = [&transfer](const std::string& header) {
    transfer.headers.reset(curl_slist_append(transfer.headers.release(), header.c_str()));
  };
  for (const std::string& header : request.headers) addHeader(header);
  if (request.noCache) {
    addHeader("Cache-Control: no-cache");
    addHeader("Pragma: no-cache");
  }
  if (!request.ifNoneMatch.empty()) addHeader("If-None-Match: " + request.ifNoneMatch);
  if (!request.ifModifiedSince.empty()) addHeader("If-Modified-Since: " + request.ifModifiedSince);

  CURL* handle = transfer.easy.get();
  curl_easy_setopt(handle, CURLOPT_URL, request.url.c_str());
  curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, "http,https,ftp");
  curl_easy_setopt(handle, CURLOPT_REDIR_PROTOCOLS_STR, "http,https,ftp");
  curl_easy_setopt(handle, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(handle, CURLOPT_MAXREDIRS, 5L);
  curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT_MS,
                   static_cast<long>(request.connectTimeout.count()));
  curl_easy_setopt(handle, CURLOPT_TIMEOUT_MS, static_cast<long>(request.totalTimeout.count()));
  curl_easy_setopt(handle, CURLOPT_ACCEPT_ENCODING, "");
  curl_easy_setopt(handle, CURLOPT_USERAGENT, "Lumarine/0.1");
  curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, WriteBody);
  curl_easy_setopt(handle, CURLOPT_WRITEDATA, &transfer.sink);
  curl_easy_setopt(handle, CURLOPT_PRIVATE, &transfer);
  if (transfer.headers) curl_easy_setopt(handle, CURLOPT_HTTPHEADER, transfer.headers.get());
  if (request.failOnHttpError) curl_easy_setopt(handle, CURLOPT_FAILONERROR, 1L);
  return true;
}

std::string HeaderOfLastAnswer(CURL* handle, const char* name) {
  curl_header* header = nullptr;
  if (curl_easy_header(handle, name, 0, CURLH_HEADER, -1, &header) != CURLHE_OK || !header)
    return {};
  return header->value;
}

HttpFailure FailureOf(CURLcode result) {
  switch (result) {
    case CURLE_COULDNT_CONNECT:
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
      return HttpFailure::kCannotConnect;
    case CURLE_OPERATION_TIMEDOUT:
      return HttpFailure::kTimedOut;
    case CURLE_HTTP_RETURNED_ERROR:
      return HttpFailure::kHttpStatus;
    default:
      return HttpFailure::kOther;
  }
}

// Fills the response of a transfer that ended with `result`.
void FinishTransfer(Transfer& transfer, CURLcode result) {
  HttpResponse& response = transfer.response;
  CURL* handle = transfer.easy.get();
  curl_easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &response.status);
  char* contentType = nullptr;
  if (curl_easy_getinfo(handle, CURLINFO_CONTENT_TYPE, &contentType) == CURLE_OK && contentType)
    response.contentType = contentType;
  if (transfer.sink.overflow) {
    response.error = "response larger than the limit";
    response.failure = HttpFailure::kTooLarge;
  } else if (result != CURLE_OK) {
    response.error = curl_easy_strerror(result);
    response.failure = FailureOf(result);
  } else if (transfer.request.failOnHttpError && response.status >= 400) {
    response.error = "HTTP " + std::to_string(response.status);
    response.failure = HttpFailure::kHttpStatus;
  } else {
    response.ok = true;
    response.notModified = response.status == 304;
    response.etag = HeaderOfLastAnswer(handle, "ETag");
    response.lastModified = HeaderOfLastAnswer(handle, "Last-Modified");
  }
  if (!response.ok) response.body.clear();
}

HttpResponse ReadLocal(const HttpRequest& request) {
  HttpResponse response = ReadLocalFile(request);
  if (!response.ok) response.failure = HttpFailure::kOther;
  return response;
}

HttpResponse Stopped() {
  HttpResponse response;
  response.error = "stopped";
  response.failure = HttpFailure::kStopped;
  return response;
}

}  // namespace

HttpResponse HttpGet(const HttpRequest& request) {
  // One request of a batch: the batch's stop token is the request's own.
  std::optional<HttpResponse> answer;
  HttpGetAll(
      {request}, 1, std::chrono::milliseconds(0),
      [&answer](size_t, HttpResponse& response) { answer = std::move(response); }, request.stop);
  if (answer) return std::move(*answer);
  if (request.stop.stop_requested()) return Stopped();
  // The batch gave up without an answer: curl could not be set up or its loop failed.
  HttpResponse response;
  response.error = "curl initialisation failed";
  response.failure = HttpFailure::kOther;
  return response;
}

void HttpGetAll(const std::vector<HttpRequest>& requests, size_t maxTransfers,
                std::chrono::milliseconds startPause,
                const std::function<void(size_t, HttpResponse&)>& onDone, std::stop_token stop) {
  using Clock = std::chrono::steady_clock;
  maxTransfers = std::max<size_t>(maxTransfers, 1);
  InitialiseCurlOnce();
  std::unique_ptr<CURLM, MultiDeleter> multi(curl_multi_init());
  if (!multi) return;
  std::atomic<bool> stopped{stop.stop_requested()};
  std::stop_callback onStop(stop, [&] {
    stopped = true;
    curl_multi_wakeup(multi.get());
  });

  // Transfers in flight, by index; each owns its easy handle.
  std::vector<std::pair<size_t, std::unique_ptr<Transfer>>> active;
  size_t next = 0;
  Clock::time_point lastStart = Clock::now() - startPause;
  while (!stopped && (next < requests.size() || !active.empty())) {
    while (!stopped && next < requests.size() && active.size() < maxTransfers &&
           Clock::now() - lastStart >= startPause) {
      const size_t index = next++;
      lastStart = Clock::now();
      const HttpRequest& request = requests[index];
      if (!IsNetworkAddress(request.url)) {
        HttpResponse response = ReadLocal(request);
        onDone(index, response);
        continue;
      }
      auto transfer = std::make_unique<Transfer>(request);
      if (!PrepareTransfer(*transfer) ||
          curl_multi_add_handle(multi.get(), transfer->easy.get()) != CURLM_OK) {
        onDone(index, transfer->response);
        continue;
      }
      active.emplace_back(index, std::move(transfer));
    }
    if (stopped) break;

    int running = 0;
    if (curl_multi_perform(multi.get(), &running) != CURLM_OK) break;
    int queued = 0;
    while (CURLMsg* message = curl_multi_info_read(multi.get(), &queued)) {
      if (message->msg != CURLMSG_DONE) continue;
      CURL* handle = message->easy_handle;
      const CURLcode result = message->data.result;
      const auto found = std::find_if(active.begin(), active.end(), [handle](const auto& entry) {
        return entry.second->easy.get() == handle;
      });
      curl_multi_remove_handle(multi.get(), handle);
      if (found == active.end()) continue;
      std::pair<size_t, std::unique_ptr<Transfer>> done = std::move(*found);
      active.erase(found);
      FinishTransfer(*done.second, result);
      onDone(done.first, done.second->response);
      if (stopped) break;
    }
    if (stopped || (next >= requests.size() && active.empty())) break;

    // Wake for the network, or when the next start is due.
    int waitMs = 1000;
    if (next < requests.size() && active.size() < maxTransfers) {
      const auto untilStart = startPause - (Clock::now() - lastStart);
      waitMs = static_cast<int>(std::clamp<long long>(
          std::chrono::duration_cast<std::chrono::milliseconds>(untilStart).count(), 0, 1000));
    }
    if (!active.empty() || waitMs > 0) curl_multi_poll(multi.get(), nullptr, 0, waitMs, nullptr);
  }
  for (auto& entry : active) curl_multi_remove_handle(multi.get(), entry.second->easy.get());
}

HttpResponse HttpDownloadToFile(const HttpRequest& request, const std::string& path) {
  HttpResponse response = HttpGet(request);
  if (!response.ok) return response;
  if (!ReplaceFileContents(path, response.body)) {
    response.ok = false;
    response.error = "cannot write " + path;
  }
  return response;
}

std::string CharsetOfContentType(const std::string& contentType) {
  // media-type *( ";" parameter ), parameter = token "=" ( token / quoted-string ); blanks
  // around ";" and "=" are tolerated, names and the charset value are case-insensitive.
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  size_t i = contentType.find(';');
  while (i != std::string::npos && i < contentType.size()) {
    ++i;  // past ";"
    while (i < contentType.size() && blank(contentType[i])) ++i;
    const size_t nameStart = i;
    while (i < contentType.size() && contentType[i] != '=' && contentType[i] != ';') ++i;
    size_t nameEnd = i;
    while (nameEnd > nameStart && blank(contentType[nameEnd - 1])) --nameEnd;
    const std::string name = AsciiLower(contentType.substr(nameStart, nameEnd - nameStart));
    std::string value;
    if (i < contentType.size() && contentType[i] == '=') {
      ++i;
      while (i < contentType.size() && blank(contentType[i])) ++i;
      if (i < contentType.size() && contentType[i] == '"') {
        for (++i; i < contentType.size() && contentType[i] != '"'; ++i) {
          if (contentType[i] == '\\' && i + 1 < contentType.size()) ++i;
          value += contentType[i];
        }
        if (i < contentType.size()) ++i;  // past the closing quote
      } else {
        while (i < contentType.size() && contentType[i] != ';') value += contentType[i++];
        while (!value.empty() && blank(value.back())) value.pop_back();
      }
    }
    if (name == "charset") return AsciiLower(value);
    i = contentType.find(';', i);
  }
  return {};
}

}  // namespace lumarine
