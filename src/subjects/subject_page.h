#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "subjects/subject_feed_loader.h"

namespace lumarine {

// The subject news page (UTF-8 here; it declares GB18030, the encoding it is written in),
// titled with the subject's title: a header with the title, then one title row and one
// description row per item, or, without items, a row saying that no news was found and
// `failure` (why, when known). Links are escaped and only web links are clickable; item
// titles keep their inline markup and descriptions their harmless markup only, with relative
// addresses made absolute against the item's link or `feedAddress`.
std::string BuildSubjectPage(std::string_view title, const std::vector<SubjectFeedItem>& items,
                             std::string_view feedAddress = {}, std::string_view failure = {});

// The blog search for a subject's title: the title's GB2312 bytes, percent-escaped only
// where a query value needs it.
std::string BlogCommentUrl(std::string_view title);

}  // namespace lumarine
