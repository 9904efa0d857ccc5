#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <stop_token>
#include <string>
#include <vector>

namespace lumarine {

struct HttpRequest {
  // http(s) or ftp address; "file://" addresses and plain paths read a local file.
  std::string url;
  std::vector<std::string> headers;  // "Name: value"
  bool noCache = false;              // ask caches along the way not to answer
  std::chrono::milliseconds connectTimeout{10'000};
  std::chrono::milliseconds totalTimeout{30'000};
  size_t maxBodyBytes = 16 * 1024 * 1024;
  bool failOnHttpError = true;  // status >= 400 is a failure
  std::stop_token stop;         // aborts the transfer at once when requested
  // Validators of an earlier answer; when set, an unchanged resource answers 304.
  std::string ifNoneMatch;      // sent as If-None-Match
  std::string ifModifiedSince;  // sent as If-Modified-Since
};

// Why a transfer gave no usable body.
enum class HttpFailure {
  kNone,
  kCannotConnect,  // no connection (refused, unknown host, unreachable)
  kTimedOut,
  kHttpStatus,  // the server answered with status >= 400
  kTooLarge,
  kStopped,
  kOther,  // anything else: broken transfer, TLS, redirect loop, unreadable local file
};

struct HttpResponse {
  bool ok = false;  // complete body, and no HTTP error when failOnHttpError
  long status = 0;  // last HTTP status; 0 when no answer came (and for local files)
  std::string contentType;
  std::string body;
  std::string error;  // why it failed, for diagnostics only
  HttpFailure failure = HttpFailure::kNone;
  bool notModified = false;  // 304: the validators sent still hold; no body
  std::string etag;          // validators of this answer, empty when it sent none
  std::string lastModified;
};

// Blocking GET with the redirect, size and time bounds of the request. Thread-safe.
HttpResponse HttpGet(const HttpRequest& request);

// Runs the GETs of `requests` (their own stop tokens are not used) with at most
// `maxTransfers` in flight, at least `startPause` between two starts, over shared connections.
// `onDone` runs on the calling thread for each finished transfer, with its index, while the
// others go on. `stop` aborts every transfer at once; those unfinished get no call.
void HttpGetAll(const std::vector<HttpRequest>& requests, size_t maxTransfers,
                std::chrono::milliseconds startPause,
                const std::function<void(size_t, HttpResponse&)>& onDone, std::stop_token stop);

// GET into a file: the target is replaced atomically, and only when the transfer succeeded.
HttpResponse HttpDownloadToFile(const HttpRequest& request, const std::string& path);

// The charset parameter of a Content-Type value ("text/xml; charset=gbk" gives "gbk").
std::string CharsetOfContentType(const std::string& contentType);

}  // namespace lumarine
