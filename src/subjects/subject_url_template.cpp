#include "subject_url_template.h"

#include "platform/process_values.h"
#include "platform/settings.h"
#include "subjects/subject_store.h"

namespace lumarine {

void SubjectUrlTemplate::LoadFromSettings() {
  SetSubjectSearchTemplate(Settings::SubjectFeedTemplate());
}

std::string SubjectUrlTemplate::KeywordUrl(std::string_view keyword) {
  return Format(SubjectSearchTemplate(), SubjectStore::EncodeKeywordUtf8(keyword));
}

std::string SubjectUrlTemplate::Format(std::string_view format, std::string_view value) {
  std::string out;
  bool substituted = false;
  for (size_t i = 0; i < format.size(); ++i) {
    if (format[i] == '%' && i + 1 < format.size()) {
      if (format[i + 1] == '%') {
        out += '%';
        ++i;
        continue;
      }
      if (format[i + 1] == 's' && !substituted) {
        out += value;
        substituted = true;
        ++i;
        continue;
      }
    }
    out += format[i];
  }
  return out;
}

}  // namespace lumarine
