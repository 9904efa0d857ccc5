#pragma once

#include <string>

namespace lumarine {

// The one holder of the subject search address template ("%s" stands for the keyword): set
// once when the main frame is created and read by subject commands and page gathering on any
// thread. Until it is set, or while it is set empty, it is the default Google News search.
std::string SubjectSearchTemplate();
void SetSubjectSearchTemplate(std::string value);

}  // namespace lumarine
