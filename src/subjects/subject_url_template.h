#pragma once

#include <string>
#include <string_view>

namespace lumarine {

// Keyword search addresses from the process-wide subject search template, which lives in
// app/process_values.h alone. Thread-safe.
class SubjectUrlTemplate {
 public:
  // Reads the template from the settings into the process-wide value.
  static void LoadFromSettings();

  // The search address of a keyword: the template with its "%s" replaced by the keyword's
  // percent-encoded UTF-8 bytes.
  static std::string KeywordUrl(std::string_view keyword);

  // Replaces the first "%s" by `value` and "%%" by "%"; any other "%" stays as it is, so
  // a template from the settings can never act as a format string.
  static std::string Format(std::string_view format, std::string_view value);
};

}  // namespace lumarine
