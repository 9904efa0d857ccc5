#include "subjects/opml_import.h"

#include <gtest/gtest.h>

#include "subjects/subject_store.h"
#include "subjects/subject_tree_model.h"
#include "support/reloaded_subjects.h"
#include "support/temp_dir.h"

namespace lumarine {
namespace {

using test::ReadFileBytes;
using test::TempDir;

class OpmlImportTest : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(store_.Load(subjects_)); }

  OpmlImportResult Import(const std::string& opml) {
    dir_.Write("feeds.opml", opml);
    return ImportOpml(dir_.File("feeds.opml"), store_);
  }

  // The tree a fresh start shows: titles, feeds as title=url, groups with their contents.
  std::string Reloaded() const {
    return test::DescribeReloaded(subjects_,
                                  [](const SubjectItem* item) { return Describe(item); });
  }
  static std::string Describe(const SubjectItem* item) {
    std::string text;
    for (; item; item = item->NextSibling()) {
      if (!text.empty()) text += " ";
      text += item->title;
      if (item->kind == kSubjectFeed) text += "=" + item->url;
      if (item->IsGroup()) text += "[" + Describe(item->FirstChild()) + "]";
    }
    return text;
  }

  TempDir dir_;
  std::string subjects_ = dir_.File("subject.xml");
  SubjectStore store_;
};

TEST_F(OpmlImportTest, FeedsBecomeFeedSubjectsAndFoldersBecomeGroups) {
  const auto result = Import(R"(<?xml version="1.0" encoding="UTF-8"?>
<opml version="2.0"><head><title>mine</title></head><body>
  <outline text="Top" type="rss" xmlUrl="http://a.test/top.xml"/>
  <outline text="体育">
    <outline text="Tennis &amp; more" title="网球" xmlUrl="http://a.test/t?x=1&amp;y=2"/>
    <outline text="Ball"><outline text="Foot" xmlUrl="http://a.test/foot"/></outline>
  </outline>
  <outline text="Just a note"/>
  <outline xmlUrl="http://a.test/untitled"/>
</body></opml>)");
  ASSERT_TRUE(result.ok) << result.error;
  EXPECT_EQ(result.subjectsAdded, 4);
  EXPECT_EQ(result.groupsAdded, 2);
  EXPECT_EQ(Reloaded(),
            "体育[Ball[Foot=http://a.test/foot] 网球=http://a.test/t?x=1&y=2] "
            "Top=http://a.test/top.xml http://a.test/untitled=http://a.test/untitled");
}

TEST_F(OpmlImportTest, AmpersandsAreKeptAsWritten) {
  const auto result = Import(R"(<opml><body><outline text="R&amp;D">
  <outline text="A&amp;B" xmlUrl="http://a.test/f?x=1&amp;y=2"/></outline></body></opml>)");
  ASSERT_TRUE(result.ok) << result.error;
  EXPECT_EQ(Reloaded(), "R&D[A&B=http://a.test/f?x=1&y=2]");
}

TEST_F(OpmlImportTest, KnownAddressesAreSkippedAndTakenTitlesNumbered) {
  SubjectItem existing("Top");
  existing.kind = kSubjectFeed;
  existing.url = "http://a.test/top.xml";
  ASSERT_TRUE(store_.AddSubject("", existing, ""));
  ASSERT_TRUE(store_.AddGroup("", "G"));
  const auto result = Import(R"(<opml><body>
  <outline text="Again" xmlUrl="http://a.test/top.xml"/>
  <outline text="Top" xmlUrl="http://a.test/other.xml"/>
  <outline text="G"><outline text="In" xmlUrl="http://a.test/in"/>
                    <outline text="Twice" xmlUrl="http://a.test/in"/></outline>
</body></opml>)");
  ASSERT_TRUE(result.ok);
  EXPECT_EQ(result.subjectsAdded, 2);
  EXPECT_EQ(result.groupsAdded, 0);  // the existing group is filled
  EXPECT_EQ(result.duplicatesSkipped, 2);
  EXPECT_EQ(Reloaded(),
            "G[In=http://a.test/in] Top=http://a.test/top.xml Top (2)=http://a.test/other.xml");
  // A second import of the same file adds nothing.
  const auto again = Import(ReadFileBytes(dir_.File("feeds.opml")));
  EXPECT_EQ(again.subjectsAdded, 0);
}

TEST_F(OpmlImportTest, AFolderNamedLikeASubjectGetsANumberedGroup) {
  SubjectItem subject("News");
  ASSERT_TRUE(store_.AddSubject("", subject, ""));
  const auto result =
      Import(R"(<opml><body><outline text="News"><outline text="F" xmlUrl="http://f.test"/>
</outline></body></opml>)");
  ASSERT_TRUE(result.ok);
  EXPECT_EQ(Reloaded(), "News (2)[F=http://f.test] News");
}

TEST_F(OpmlImportTest, MalformedOrForeignFilesChangeNothing) {
  ASSERT_TRUE(store_.AddGroup("", "Keep"));
  const std::string before = ReadFileBytes(subjects_);
  for (const char* bad : {"<opml><body><outline text=\"x\" xmlUrl=\"http://x\"></body>",
                          "<rss><channel><item/></channel></rss>", "<opml><head/></opml>", ""}) {
    const auto result = Import(bad);
    EXPECT_FALSE(result.ok) << bad;
    EXPECT_FALSE(result.error.empty()) << bad;
    EXPECT_EQ(result.subjectsAdded, 0);
  }
  EXPECT_FALSE(ImportOpml(dir_.File("missing.opml"), store_).ok);
  EXPECT_EQ(ReadFileBytes(subjects_), before);
}

TEST_F(OpmlImportTest, ExternalEntitiesAreNotRead) {
  dir_.Write("secret.txt", "SECRET");
  const auto result = Import("<?xml version=\"1.0\"?><!DOCTYPE opml [<!ENTITY x SYSTEM \"" +
                             dir_.File("secret.txt") +
                             "\">]><opml><body><outline text=\"&x;\" "
                             "xmlUrl=\"http://e.test\"/></body></opml>");
  if (result.ok) {
    EXPECT_EQ(ReadFileBytes(subjects_).find("SECRET"), std::string::npos);
  }
}

}  // namespace
}  // namespace lumarine
