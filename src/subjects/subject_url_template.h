#pragma once

#include <string>
#include <string_view>

namespace lumarine {

// The process-wide subject search template: read once when the main window is created and
// only read afterwards (a new value in the settings takes effect at the next start).
// Thread-safe.
class SubjectUrlTemplate {
 public:
  static void Set(std::string value);
  // The template set last; the default search before any Set.
  static std::string Get();
  static void LoadFromSettings();

  // The search address of a keyword: the template with its "%s" replaced by the keyword's
  // percent-encoded UTF-8 bytes.
  static std::string KeywordUrl(std::string_view keyword);

  // Replaces the first "%s" by `value` and "%%" by "%"; any other "%" stays as it is, so
  // a template from the settings can never act as a format string.
  static std::string Format(std::string_view format, std::string_view value);
};

}  // namespace lumarine
