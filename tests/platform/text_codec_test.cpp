#include "platform/text_codec.h"

#include <gtest/gtest.h>

namespace lumarine {
namespace {

TEST(TextCodecTest, RoundTripsChineseAndCharactersOutsideGb2312) {
  for (const std::string text : {"新闻 news", "€ 😀 ü", "", "plain"}) {
    EXPECT_EQ(Gb18030ToUtf8(Utf8ToGb18030(text)), text);
  }
  EXPECT_EQ(Utf8ToGb18030("中文"), "\xD6\xD0\xCE\xC4");
}

TEST(TextCodecTest, InvalidBytesBecomeReplacementCharacters) {
  EXPECT_EQ(Gb18030ToUtf8("a\xFF"
                          "b"),
            "a\xEF\xBF\xBD"
            "b");
  EXPECT_EQ(Gb18030ToUtf8("a\xD6"), "a\xEF\xBF\xBD");  // cut at the end
}

TEST(TextCodecTest, SanitisingReplacesOnlyInvalidUtf8) {
  EXPECT_EQ(SanitiseUtf8("ok 中文"), "ok 中文");
  EXPECT_EQ(SanitiseUtf8("a\xB9\xFA"
                         "b"),
            "a\xEF\xBF\xBD\xEF\xBF\xBD"
            "b");
}

TEST(TextCodecTest, LengthCountsGbBytes) {
  EXPECT_EQ(Gb18030Length("ab中"), 4u);
  EXPECT_EQ(Gb18030Length("😀"), 4u);
}

TEST(TextCodecTest, TruncationNeverSplitsACharacter) {
  EXPECT_EQ(TruncateToGbBytes("ab中文", 5), "ab中");
  EXPECT_EQ(TruncateToGbBytes("ab中文", 3), "ab");
  EXPECT_EQ(TruncateToGbBytes("😀x", 3), "");
  EXPECT_EQ(TruncateToGbBytes("😀x", 5), "😀x");
  EXPECT_EQ(TruncateToGbBytes("abc", 10), "abc");
}

TEST(TextCodecTest, CaseInsensitiveComparisonTreatsMultibyteCharactersAsUnits) {
  EXPECT_TRUE(EqualsNoCase("News中", "nEWS中"));
  EXPECT_FALSE(EqualsNoCase("中", "文"));
  // Two different characters whose trail bytes look like "A" and "a".
  EXPECT_FALSE(EqualsNoCaseGb("\xB0\x41", "\xB0\x61"));
  EXPECT_TRUE(EqualsNoCaseGb("AB\xD6\xD0", "ab\xD6\xD0"));
}

}  // namespace
}  // namespace lumarine
