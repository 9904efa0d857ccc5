#include "subjects/opml_export.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/process_values.h"
#include "platform/settings.h"
#include "platform/xml_document.h"
#include "subjects/opml_import.h"
#include "subjects/subject_store.h"
#include "subjects/subject_tree_model.h"
#include "subjects/subject_url_template.h"
#include "subjects/xml_attribute.h"
#include "support/reloaded_subjects.h"
#include "support/temp_dir.h"

namespace lumarine {
namespace {

using test::ReadFileBytes;
using test::TempDir;

class OpmlExportTest : public testing::Test {
 protected:
  void SetUp() override {
    SetSubjectSearchTemplate("http://search.test/news?q=%s&output=rss");
    ASSERT_TRUE(store_.Load(dir_.File("subject.xml")));
  }
  void TearDown() override { SetSubjectSearchTemplate(std::string(Settings::kGoogleNewsTemplate)); }

  void AddKeyword(const std::string& parent, const std::string& keyword) {
    SubjectItem item(keyword);
    item.url = SubjectUrlTemplate::KeywordUrl(keyword);
    ASSERT_TRUE(store_.AddSubject(parent, item, ""));
  }
  void AddFeed(const std::string& parent, const std::string& title, const std::string& url) {
    SubjectItem item(title);
    item.kind = kSubjectFeed;
    item.url = url;
    ASSERT_TRUE(store_.AddSubject(parent, item, ""));
  }

  // Every item of the file at `path` as a fresh start shows it: kind, title, address.
  static std::string Describe(const std::string& path) {
    return test::DescribeReloaded(path, [](const SubjectItem* item) { return Describe(item); });
  }
  static std::string Describe(const SubjectItem* item) {
    std::string text;
    for (; item; item = item->NextSibling()) {
      text += "(" + std::to_string(item->kind) + " " + item->title + " " + item->url;
      text += Describe(item->FirstChild()) + ")";
    }
    return text;
  }

  TempDir dir_;
  SubjectStore store_;
};

TEST_F(OpmlExportTest, TheImportReadsTheExportBackToTheSameTree) {
  ASSERT_TRUE(store_.AddGroup("", "体育 \"q\" <b> & 'x'"));
  ASSERT_TRUE(store_.AddGroup("", "Empty"));
  const std::string sport = "/体育 \"q\" <b> & 'x'";
  ASSERT_TRUE(store_.AddGroup(sport, "Ball"));
  AddKeyword(sport, "网球");
  AddKeyword(sport + "/Ball", "Foot & ball");
  AddKeyword("", "网球");
  AddFeed("", "Feed ]]> <x/>", "http://a.test/rss?a=1&b=\"2\"");
  AddFeed(sport, "F2", "http://a.test/two");

  const OpmlExportResult result = ExportSubjectsOpml(store_, dir_.File("out.opml"));
  ASSERT_TRUE(result.ok) << result.error;
  EXPECT_EQ(result.outlines, 8);

  TempDir other;
  SubjectStore imported;
  ASSERT_TRUE(imported.Load(other.File("subject.xml")));
  const OpmlImportResult back = ImportOpml(dir_.File("out.opml"), imported);
  ASSERT_TRUE(back.ok) << back.error;
  EXPECT_EQ(Describe(other.File("subject.xml")), Describe(dir_.File("subject.xml")));

  // Imported again into the tree it came from, it adds nothing.
  const OpmlImportResult again = ImportOpml(dir_.File("out.opml"), store_);
  ASSERT_TRUE(again.ok);
  EXPECT_EQ(again.subjectsAdded + again.groupsAdded, 0);
}

TEST_F(OpmlExportTest, TheFileIsOpml2ThatOtherReadersTakeAsFeedsAndHostileTextStaysText) {
  AddKeyword("", "k\"/><outline text=\"injected");
  AddFeed("", "<script>", "http://a.test/?q=\"><b>");
  ASSERT_TRUE(ExportSubjectsOpml(store_, dir_.File("out.opml")).ok);
  const std::string bytes = ReadFileBytes(dir_.File("out.opml"));
  EXPECT_TRUE(bytes.starts_with("<?xml version=\"1.0\" encoding=\"UTF-8\"?>")) << bytes;

  const auto document = XmlDocument::Parse(bytes);
  ASSERT_TRUE(document);
  EXPECT_EQ(XmlGetAttribute(*document->Root(), "version"), "2.0");
  const std::vector<XmlNode> outlines = document->SelectAll("/opml/body/outline");
  ASSERT_EQ(outlines.size(), 2u);
  EXPECT_EQ(document->SelectAll("//outline").size(), 2u);
  EXPECT_EQ(XmlGetAttribute(outlines[0], "text"), "k\"/><outline text=\"injected");
  EXPECT_EQ(XmlGetAttribute(outlines[0], "type"), "rss");
  EXPECT_EQ(XmlGetAttribute(outlines[0], "xmlUrl"),
            SubjectUrlTemplate::KeywordUrl("k\"/><outline text=\"injected"));
  EXPECT_EQ(XmlGetAttribute(outlines[1], "title"), "<script>");
  EXPECT_EQ(XmlGetAttribute(outlines[1], "xmlUrl"), "http://a.test/?q=\"><b>");
}

TEST_F(OpmlExportTest, AFileThatCannotBeWrittenIsReportedAndNothingChanges) {
  AddKeyword("", "k");
  std::filesystem::create_directory(dir_.File("taken.opml"));
  for (const std::string& target : {dir_.File("missing/out.opml"), dir_.File("taken.opml")}) {
    const OpmlExportResult result = ExportSubjectsOpml(store_, target);
    EXPECT_FALSE(result.ok) << target;
    EXPECT_FALSE(result.error.empty());
  }
  EXPECT_TRUE(std::filesystem::is_directory(dir_.File("taken.opml")));
  EXPECT_TRUE(std::filesystem::is_empty(dir_.File("taken.opml")));
  size_t files = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir_.Path()))
    ++files;
  EXPECT_EQ(files, 2u);  // subject.xml and the directory: no temporary file is left behind

  // A link is followed: the file it names is replaced, the link stays a link.
  dir_.Write("real.opml", "old");
  std::filesystem::create_symlink(dir_.File("real.opml"), dir_.File("link.opml"));
  ASSERT_TRUE(ExportSubjectsOpml(store_, dir_.File("link.opml")).ok);
  EXPECT_TRUE(std::filesystem::is_symlink(dir_.File("link.opml")));
  EXPECT_NE(ReadFileBytes(dir_.File("real.opml")).find("<opml"), std::string::npos);
}

}  // namespace
}  // namespace lumarine
