#include "base/news_notice.h"

#include <gtest/gtest.h>

namespace lumarine {
namespace {

TEST(NewsNoticeTest, BodyCountsAndListsAtMostThreeTitlesOnePerLine) {
  EXPECT_EQ(NewsNotice::Body(5, {"a", "b", "c", "d"}, true), "5 条新闻\na\nb\nc");
  // A title that is nothing but blanks takes no line, and the next one moves up.
  EXPECT_EQ(NewsNotice::Body(3, {" \n", "x", "y", "z"}, true), "3 条新闻\nx\ny\nz");
  EXPECT_EQ(NewsNotice::Body(2, {}, true), "2 条新闻");
}

TEST(NewsNoticeTest, HostileTitlesStayPlainTextOnOneLine) {
  // Titles are HTML: a notice shows their text, once decoded, and escapes it for markup.
  const std::string hostile = "<b>A&amp;B</b>\n<img src=x onerror=y>\r\t&lt;end&gt;";
  EXPECT_EQ(NewsNotice::Body(1, {hostile}, true), "1 条新闻\nA&amp;B &lt;end&gt;");
  // Without markup (the tray balloon) the text is shown as it is, still on one line.
  EXPECT_EQ(NewsNotice::Body(1, {hostile}, false), "1 条新闻\nA&B <end>");
}

TEST(NewsNoticeTest, LongTitlesAreCutBetweenCharacters) {
  EXPECT_EQ(NewsNotice::OneLine("中文标题长", 4), "中文标题…");
  EXPECT_EQ(NewsNotice::OneLine("ab   cd", 5), "ab cd");
  EXPECT_EQ(NewsNotice::Body(1, {std::string(500, 'x')}, true),
            "1 条新闻\n" + std::string(NewsNotice::kTitleCharacters, 'x') + "…");
}

TEST(NewsNoticeTest, BadgeAndTipFollowTheUnreadCount) {
  for (const auto& [unread, badge] :
       {std::pair{0, ""}, {-1, ""}, {1, "1"}, {99, "99"}, {100, "99+"}, {12345, "99+"}})
    EXPECT_EQ(NewsNotice::BadgeText(unread), badge) << unread;
  EXPECT_EQ(NewsNotice::TrayTip(0), "Lumarine Is Running");
  EXPECT_EQ(NewsNotice::TrayTip(120), "Lumarine Is Running\n120 条未读");
}

}  // namespace
}  // namespace lumarine
