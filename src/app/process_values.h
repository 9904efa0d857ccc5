#pragma once

#include <string>

namespace lumarine {

// The subject search address template ("%s" stands for the keyword), read once when the main
// frame is created and used by subject page gathering on any thread.
std::string SubjectSearchTemplate();
void SetSubjectSearchTemplate(std::string value);

}  // namespace lumarine
