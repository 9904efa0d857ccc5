#pragma once

#include <chrono>
#include <cstddef>
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
};

struct HttpResponse {
  bool ok = false;  // complete body, and no HTTP error when failOnHttpError
  long status = 0;  // last HTTP status; 0 when no answer came (and for local files)
  std::string contentType;
  std::string body;
  std::string error;  // why it failed, for diagnostics only
};

// Blocking GET with the redirect, size and time bounds of the request. Thread-safe.
HttpResponse HttpGet(const HttpRequest& request);

// GET into a file: the target is replaced atomically, and only when the transfer succeeded.
HttpResponse HttpDownloadToFile(const HttpRequest& request, const std::string& path);

// The charset parameter of a Content-Type value ("text/xml; charset=gbk" gives "gbk").
std::string CharsetOfContentType(const std::string& contentType);

}  // namespace lumarine
