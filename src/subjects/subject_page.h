#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "subjects/subject_feed_loader.h"

namespace lumarine {

// The subject news page (UTF-8), titled with the subject's title: a header with the title,
// then one title row and one description row per item, or, without items, a row saying that
// no news was found and `failure` (why, when known). Titles and links are escaped, only web
// links are clickable, descriptions keep their harmless markup only.
std::string BuildSubjectPage(std::string_view title, const std::vector<SubjectFeedItem>& items,
                             std::string_view failure = {});

// The blog search for a subject's title: the title's GB2312 bytes, percent-escaped only
// where a query value needs it.
std::string BlogCommentUrl(std::string_view title);

}  // namespace lumarine
