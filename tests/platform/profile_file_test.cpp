#include "platform/profile_file.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <thread>
#include <vector>

#include "platform/text_codec.h"
#include "support/temp_dir.h"

namespace lumarine {
namespace {

using test::TempDir;

struct ReadCase {
  const char* name;
  std::string file;
  const char* section;
  const char* key;
  int expectedInt;           // with default -7
  std::string expectedText;  // with default "dflt", capacity 64

  friend void PrintTo(const ReadCase& c, std::ostream* os) { *os << c.name; }
};

class ProfileFileReadTest : public testing::TestWithParam<ReadCase> {};

TEST_P(ProfileFileReadTest, ReadsAsTheWindowsRulesSay) {
  const ReadCase& c = GetParam();
  TempDir dir;
  dir.Write("a.ini", c.file);
  ProfileFile file(dir.File("a.ini"));
  EXPECT_EQ(file.GetInt(c.section, c.key, -7), c.expectedInt);
  EXPECT_EQ(file.GetString(c.section, c.key, "dflt", 64), c.expectedText);
  // One reading of the file answers by the same rules.
  const ProfileFile::Snapshot snapshot = file.Read();
  EXPECT_EQ(snapshot.GetInt(c.section, c.key, -7), c.expectedInt);
  EXPECT_EQ(snapshot.GetString(c.section, c.key, "dflt", 64), c.expectedText);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, ProfileFileReadTest,
    testing::Values(
        ReadCase{"plain", "[main]\r\nleft=0\r\n", "main", "left", 0, "0"},
        ReadCase{"lf_only", "[main]\nleft=2\n", "main", "left", 2, "2"},
        ReadCase{"no_final_newline", "[main]\nleft=5", "main", "left", 5, "5"},
        ReadCase{"case_insensitive_names", "[MaIn]\r\nLEFT=3\r\n", "main", "left", 3, "3"},
        ReadCase{"blanks_trimmed", "  [ main ]  \r\n  left  =  12 x \r\n", "main", "left", 12,
                 "12 x"},
        ReadCase{"leading_digits", "[m]\nk=42abc\n", "m", "k", 42, "42abc"},
        ReadCase{"no_digits_reads_zero", "[m]\nk=abc\n", "m", "k", 0, "abc"},
        ReadCase{"empty_value", "[m]\nk=\n", "m", "k", 0, ""},
        ReadCase{"negative", "[m]\nk=-15\n", "m", "k", -15, "-15"},
        ReadCase{"plus_sign", "[m]\nk=+8\n", "m", "k", 8, "+8"},
        ReadCase{"missing_key", "[m]\nother=1\n", "m", "k", -7, "dflt"},
        ReadCase{"missing_section", "[x]\nk=1\n", "m", "k", -7, "dflt"},
        ReadCase{"key_of_next_section_not_seen", "[m]\n[n]\nk=1\n", "m", "k", -7, "dflt"},
        ReadCase{"first_duplicate_key_wins", "[m]\nk=1\nk=2\n", "m", "k", 1, "1"},
        ReadCase{"first_duplicate_section_wins", "[m]\nk=1\n[m]\nk=2\nj=3\n", "m", "j", -7, "dflt"},
        ReadCase{"line_without_equals_ignored", "[m]\nk\nk=4\n", "m", "k", 4, "4"},
        ReadCase{"value_keeps_later_equals", "[m]\nk=a=b\n", "m", "k", 0, "a=b"},
        ReadCase{"utf8_bom", "\xEF\xBB\xBF[m]\nk=9\n", "m", "k", 9, "9"},
        ReadCase{"utf8_bom_text_is_utf8", "\xEF\xBB\xBF[m]\nk=\xE4\xB8\xAD\n", "m", "k", 0,
                 "\xE4\xB8\xAD"},
        ReadCase{"gb_text_decoded", "[\xD6\xD0]\nk=\xCE\xC4\n", "\xE4\xB8\xAD", "k", 0,
                 "\xE6\x96\x87"},
        // The trail byte of this character is "]": the section name must not end there.
        ReadCase{"bracket_trail_byte_in_section", "[\xCE\x5D]\nk=1\n", "\xE8\x9D\x85", "k", 1, "1"},
        ReadCase{"bracket_inside_section_name", "[a]b]\nk=1\n", "a]b", "k", 1, "1"},
        ReadCase{"invalid_gb_bytes_replaced",
                 "[m]\nk=a\xFF"
                 "b\n",
                 "m", "k", 0,
                 "a\xEF\xBF\xBD"
                 "b"},
        ReadCase{"overflowing_integer_clamped", "[m]\nk=99999999999\n", "m", "k", 2147483647,
                 "99999999999"}),
    [](const testing::TestParamInfo<ReadCase>& info) { return info.param.name; });

TEST(ProfileFileTest, MissingFileReadsDefaults) {
  ProfileFile file("/nonexistent/dir/a.ini");
  EXPECT_EQ(file.GetInt("main", "left", 1), 1);
  EXPECT_EQ(file.GetString("main", "x", "abc", 10), "abc");
}

TEST(ProfileFileTest, StringReadKeepsCapacityMinusOneBytesWithoutSplittingACharacter) {
  TempDir dir;
  // "ab" then two Chinese characters: 2 + 2 + 2 bytes in GB18030.
  dir.Write("a.ini", "[m]\nk=ab\xD6\xD0\xCE\xC4\n");
  ProfileFile file(dir.File("a.ini"));
  EXPECT_EQ(file.GetString("m", "k", "", 7), "ab\xE4\xB8\xAD\xE6\x96\x87");
  EXPECT_EQ(file.GetString("m", "k", "", 6), "ab\xE4\xB8\xAD");
  EXPECT_EQ(file.GetString("m", "k", "", 5), "ab\xE4\xB8\xAD");
  EXPECT_EQ(file.GetString("m", "k", "", 4), "ab");  // 3 bytes allowed: never half a character
  EXPECT_EQ(file.GetString("m", "k", "", 1), "");
  // The default obeys the same bound.
  EXPECT_EQ(file.GetString("m", "none", "abcdef", 4), "abc");
}

TEST(ProfileFileTest, VeryLongValuesAreCutToTheCapacity) {
  TempDir dir;
  dir.Write("a.ini", "[setting]\nsubfeed=" + std::string(5000, 'x') + "\n");
  ProfileFile file(dir.File("a.ini"));
  EXPECT_EQ(file.GetString("setting", "subfeed", "", 500).size(), 499u);
}

TEST(ProfileFileTest, WriteCreatesFileSectionAndKeyAsGb18030WithCrlf) {
  TempDir dir;
  ProfileFile file(dir.File("new.ini"));
  ASSERT_TRUE(file.WriteString("频道", "name", "中文"));
  EXPECT_EQ(dir.Read("new.ini"), "[\xC6\xB5\xB5\xC0]\r\nname=\xD6\xD0\xCE\xC4\r\n");
  EXPECT_EQ(file.GetString("频道", "name", "", 100), "中文");
}

TEST(ProfileFileTest, WriteReplacesTheFirstValueAndKeepsEverythingElse) {
  TempDir dir;
  const std::string before =
      "; comment\n[main]\nLeft = 1\nleft=7\nbad\xFF line\n\n[other]\nx=1\n[main]\nleft=9\n";
  dir.Write("a.ini", before);
  ProfileFile file(dir.File("a.ini"));
  ASSERT_TRUE(file.WriteString("MAIN", "left", "0"));
  EXPECT_EQ(dir.Read("a.ini"),
            "; comment\n[main]\nLeft=0\nleft=7\nbad\xFF line\n\n[other]\nx=1\n[main]\nleft=9\n");
}

TEST(ProfileFileTest, WriteAddsAMissingKeyAfterTheSectionsLastEntry) {
  TempDir dir;
  dir.Write("a.ini", "[a]\r\nx=1\r\n\r\n[b]\r\ny=2");
  ProfileFile file(dir.File("a.ini"));
  ASSERT_TRUE(file.WriteString("a", "z", "3"));
  ASSERT_TRUE(file.WriteString("c", "w", "4"));
  EXPECT_EQ(dir.Read("a.ini"), "[a]\r\nx=1\r\nz=3\r\n\r\n[b]\r\ny=2\r\n[c]\r\nw=4\r\n");
}

TEST(ProfileFileTest, Utf8FileStaysUtf8WithItsMark) {
  TempDir dir;
  dir.Write("a.ini", "\xEF\xBB\xBF[m]\nk=1\n");
  ProfileFile file(dir.File("a.ini"));
  ASSERT_TRUE(file.WriteString("m", "name", "中"));
  EXPECT_EQ(dir.Read("a.ini"), "\xEF\xBB\xBF[m]\nk=1\nname=\xE4\xB8\xAD\n");
}

TEST(ProfileFileTest, ValuesWithLineBreaksStayOnOneLine) {
  TempDir dir;
  ProfileFile file(dir.File("a.ini"));
  ASSERT_TRUE(file.WriteString("m", "k", "a\r\n[evil]\nx=1"));
  EXPECT_EQ(file.GetString("m", "k", "", 100), "a  [evil] x=1");
  EXPECT_EQ(file.GetString("evil", "x", "none", 100), "none");
}

// Found by fuzzing: a channel name cut after a tab was written as a section that no read
// found, and every write added another copy.
TEST(ProfileFileTest, NamesWithEdgeBlanksFindWhatTheyWrote) {
  TempDir dir;
  ProfileFile file(dir.File("a.ini"));
  ASSERT_TRUE(file.WriteString("news\t", " substate", "1"));
  ASSERT_TRUE(file.WriteString("news\t", " substate", "0"));
  EXPECT_EQ(file.GetString("news\t", "substate ", "", 10), "0");
  EXPECT_EQ(dir.Read("a.ini"), "[news]\r\nsubstate=0\r\n");
}

// A channel name holding "]" added a new section at every subscription.
TEST(ProfileFileTest, ASectionNameHoldingABracketFindsTheHeaderItWrote) {
  TempDir dir;
  ProfileFile file(dir.File("a.ini"));
  ASSERT_TRUE(file.WriteString("[x] y]", "substate", "1"));
  ASSERT_TRUE(file.WriteString("[x] y]", "substate", "0"));
  EXPECT_EQ(file.GetInt("[x] y]", "substate", 7), 0);
  EXPECT_EQ(dir.Read("a.ini"), "[[x] y]]\r\nsubstate=0\r\n");
}

TEST(ProfileFileTest, CountsAreCappedAndASnapshotKeepsWhatItRead) {
  TempDir dir;
  dir.Write("a.ini", "[m]\nbig=2147483647\nsmall=12\nneg=-3\n");
  ProfileFile file(dir.File("a.ini"));
  const ProfileFile::Snapshot snapshot = file.Read();
  EXPECT_EQ(snapshot.GetCount("m", "big"), ProfileFile::kMaxCount);
  EXPECT_EQ(snapshot.GetCount("m", "small"), 12);
  EXPECT_EQ(snapshot.GetCount("m", "neg"), 0);
  EXPECT_EQ(snapshot.GetCount("m", "missing"), 0);
  ASSERT_TRUE(file.WriteString("m", "small", "13"));
  EXPECT_EQ(snapshot.GetCount("m", "small"), 12);
  EXPECT_EQ(file.Read().GetCount("m", "small"), 13);
}

TEST(ProfileFileTest, WriteIntoAMissingDirectoryFailsQuietly) {
  ProfileFile file("/nonexistent/dir/a.ini");
  EXPECT_FALSE(file.WriteString("m", "k", "1"));
}

TEST(ProfileFileTest, ConcurrentWritersLoseNoKey) {
  TempDir dir;
  ProfileFile file(dir.File("a.ini"));
  {
    std::vector<std::jthread> writers;
    for (int t = 0; t < 4; ++t)
      writers.emplace_back([&file, t] {
        for (int i = 0; i < 25; ++i)
          file.WriteString("s", "k" + std::to_string(t) + "_" + std::to_string(i), "v");
      });
  }
  for (int t = 0; t < 4; ++t)
    for (int i = 0; i < 25; ++i)
      EXPECT_EQ(file.GetString("s", "k" + std::to_string(t) + "_" + std::to_string(i), "", 10),
                "v");
}

// A file that exists but cannot be read must not read as empty: the next write would put
// its one key in place of everything the file held.
TEST(ProfileFileTest, AFileThatCannotBeReadGivesDefaultsAndTakesNoWrite) {
  TempDir dir;
  ASSERT_EQ(mkdir(dir.File("a.ini").c_str(), 0755), 0);  // there, but not a readable file
  ProfileFile file(dir.File("a.ini"));
  EXPECT_EQ(file.GetInt("m", "k", 4), 4);
  EXPECT_TRUE(file.Read().ReadFailed());
  EXPECT_FALSE(file.WriteString("m", "k", "1"));
  bool asked = false;
  EXPECT_FALSE(file.Update([&](const ProfileFile::Snapshot&) {
    asked = true;
    return std::vector<ProfileFile::Entry>{{"m", "k", "1"}};
  }));
  EXPECT_FALSE(asked);
  EXPECT_FALSE(ProfileFile(dir.File("missing.ini")).Read().ReadFailed());
}

TEST(ProfileFileTest, UpdateWritesWhatItReadPlusItsEntriesInOneReplacement) {
  TempDir dir;
  dir.Write("a.ini", "[s]\r\ncnt=1\r\nitem1=a\r\n");
  ProfileFile file(dir.File("a.ini"));
  ASSERT_TRUE(file.Update([](const ProfileFile::Snapshot& now) {
    const int count = now.GetCount("s", "cnt");
    return std::vector<ProfileFile::Entry>{{"s", "cnt", std::to_string(count + 1)},
                                           {"s", "item" + std::to_string(count + 1), "b"}};
  }));
  EXPECT_EQ(dir.Read("a.ini"), "[s]\r\ncnt=2\r\nitem1=a\r\nitem2=b\r\n");
  EXPECT_TRUE(
      file.Update([](const ProfileFile::Snapshot&) { return std::vector<ProfileFile::Entry>{}; }));
}

}  // namespace
}  // namespace lumarine
