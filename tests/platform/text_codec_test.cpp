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

TEST(TextCodecTest, SanitisingRefusesOverlongsSurrogatesAndValuesPastUnicode) {
  for (const char* bad : {"\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80",
                          "\xF8\x88\x80\x80\x80", "\xE4\xB8"}) {
    EXPECT_FALSE(IsValidUtf8(bad)) << bad;
    EXPECT_TRUE(IsValidUtf8(SanitiseUtf8(bad))) << bad;
  }
  EXPECT_TRUE(IsValidUtf8("plain ascii text, long enough for the fast path 中文 😀"));
  EXPECT_EQ(SanitiseUtf8("abcdefgh\xE4\xB8"), "abcdefgh\xEF\xBF\xBD\xEF\xBF\xBD");
}

TEST(TextCodecTest, DecodingReplacesWhatCannotBeReadInsteadOfFailing) {
  const struct {
    std::string bytes;
    const char* charset;
    std::string utf8;
  } cases[] = {
      // Servers that say gb2312 or gbk mean code page 936: 0x80 is the euro sign.
      {"\xBC\xDB\x80"
       "5",
       "gb2312", "价€5"},
      {"\x80", " GBK ", "€"},
      {"\x80", "GB18030", "€"},
      {"\xE5\x8F\xFF"
       "a",
       "gbk", "鍙\uFFFDa"},
      {"a\xB9"
       "b",
       "utf-8", "a\uFFFDb"},
      {"a\xB9"
       "b",
       "", "a\uFFFDb"},
      {"caf\xE9", "ISO-8859-1", "café"},
      {std::string("a\0\x00\xD8"
                   "b\0",
                   6),
       "UTF-16LE", "a\uFFFDb"},  // a lone surrogate
      {"odd\xB9", "no-such-charset", "odd\uFFFD"},
      {"odd\xB9", "../../etc/x", "odd\uFFFD"},
  };
  for (const auto& c : cases) EXPECT_EQ(DecodeToUtf8(c.bytes, c.charset), c.utf8) << c.charset;
  EXPECT_TRUE(IsGbCharset("CP936"));
  EXPECT_FALSE(IsGbCharset("big5"));
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
