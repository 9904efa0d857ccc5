#include "platform/http_client.h"

#include <curl/curl.h>

#include <unistd.h>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <fstream>
#include <memory>
#include <mutex>
#include <sstream>

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
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    response.error = "cannot open " + path;
    return response;
  }
  in.seekg(0, std::ios::end);
  const std::streamoff size = in.tellg();
  if (size < 0 || static_cast<size_t>(size) > request.maxBodyBytes) {
    response.error = "file too large or unreadable";
    return response;
  }
  in.seekg(0);
  response.body.resize(static_cast<size_t>(size));
  in.read(response.body.data(), size);
  response.ok = static_cast<bool>(in);
  return response;
}

}  // namespace

HttpResponse HttpGet(const HttpRequest& request) {
  if (!IsNetworkAddress(request.url)) return ReadLocalFile(request);
  HttpResponse response;
  if (request.stop.stop_requested()) {
    response.error = "stopped";
    return response;
  }
  InitialiseCurlOnce();
  std::unique_ptr<CURL, EasyDeleter> easy(curl_easy_init());
  std::unique_ptr<CURLM, MultiDeleter> multi(curl_multi_init());
  if (!easy || !multi) {
    response.error = "curl initialisation failed";
    return response;
  }

  std::unique_ptr<curl_slist, ListDeleter> headers;
  auto addHeader = [&headers](const std::string& header) {
    headers.reset(curl_slist_append(headers.release(), header.c_str()));
  };
  for (const std::string& header : request.headers) addHeader(header);
  if (request.noCache) {
    addHeader("Cache-Control: no-cache");
    addHeader("Pragma: no-cache");
  }

  Sink sink{&response.body, request.maxBodyBytes};
  CURL* handle = easy.get();
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
  curl_easy_setopt(handle, CURLOPT_WRITEDATA, &sink);
  if (headers) curl_easy_setopt(handle, CURLOPT_HTTPHEADER, headers.get());
  if (request.failOnHttpError) curl_easy_setopt(handle, CURLOPT_FAILONERROR, 1L);

  // The multi interface lets a stop request wake the transfer at once.
  curl_multi_add_handle(multi.get(), handle);
  std::atomic<bool> stopped{false};
  std::stop_callback onStop(request.stop, [&] {
    stopped = true;
    curl_multi_wakeup(multi.get());
  });
  int running = 1;
  while (running > 0 && !stopped) {
    if (curl_multi_perform(multi.get(), &running) != CURLM_OK) break;
    if (running > 0) curl_multi_poll(multi.get(), nullptr, 0, 1000, nullptr);
  }

  CURLcode result = CURLE_ABORTED_BY_CALLBACK;
  int queued = 0;
  while (CURLMsg* message = curl_multi_info_read(multi.get(), &queued))
    if (message->msg == CURLMSG_DONE) result = message->data.result;
  curl_easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &response.status);
  char* contentType = nullptr;
  if (curl_easy_getinfo(handle, CURLINFO_CONTENT_TYPE, &contentType) == CURLE_OK && contentType)
    response.contentType = contentType;
  curl_multi_remove_handle(multi.get(), handle);

  if (stopped) {
    response.error = "stopped";
  } else if (sink.overflow) {
    response.error = "response larger than the limit";
  } else if (result != CURLE_OK) {
    response.error = curl_easy_strerror(result);
  } else if (request.failOnHttpError && response.status >= 400) {
    response.error = "HTTP " + std::to_string(response.status);
  } else {
    response.ok = true;
  }
  if (!response.ok) response.body.clear();
  return response;
}

HttpResponse HttpDownloadToFile(const HttpRequest& request, const std::string& path) {
  HttpResponse response = HttpGet(request);
  if (!response.ok) return response;
  static std::atomic<unsigned> counter{0};
  const std::string temporary =
      path + ".part" + std::to_string(getpid()) + "_" + std::to_string(counter.fetch_add(1));
  std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
  out.write(response.body.data(), static_cast<std::streamsize>(response.body.size()));
  out.close();
  if (!out || std::rename(temporary.c_str(), path.c_str()) != 0) {
    std::remove(temporary.c_str());
    response.ok = false;
    response.error = "cannot write " + path;
  }
  return response;
}

std::string CharsetOfContentType(const std::string& contentType) {
  // media-type *( ";" parameter ), parameter = token "=" ( token / quoted-string ); blanks
  // around ";" and "=" are tolerated, names and the charset value are case-insensitive.
  const auto lower = [](std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
  };
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  size_t i = contentType.find(';');
  while (i != std::string::npos && i < contentType.size()) {
    ++i;  // past ";"
    while (i < contentType.size() && blank(contentType[i])) ++i;
    const size_t nameStart = i;
    while (i < contentType.size() && contentType[i] != '=' && contentType[i] != ';') ++i;
    size_t nameEnd = i;
    while (nameEnd > nameStart && blank(contentType[nameEnd - 1])) --nameEnd;
    const std::string name = lower(contentType.substr(nameStart, nameEnd - nameStart));
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
    if (name == "charset") return lower(value);
    i = contentType.find(';', i);
  }
  return {};
}

}  // namespace lumarine
