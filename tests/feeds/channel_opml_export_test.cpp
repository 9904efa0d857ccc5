#include "feeds/channel_opml_export.h"

#include <gtest/gtest.h>

#include "platform/text_codec.h"
#include "platform/xml_document.h"
#include "subjects/opml_import.h"
#include "subjects/subject_store.h"
#include "subjects/subject_tree_model.h"
#include "subjects/xml_attribute.h"
#include "support/subject_titles.h"
#include "support/temp_dir.h"

namespace lumarine {
namespace {

TEST(ChannelOpmlExportTest, SubscribedChannelsHoldTheirEnabledFeedsOnce) {
  test::ScopedProgramDirectory program;
  program.WriteProfile("qixchannel.ini",
                       Utf8ToGb18030("[科技]\r\nfeedcnt=2\r\nfeed1=http://c.test/1\r\n"
                                     "feed2=http://c.test/off\r\nfeedstate2=1\r\n"
                                     "[Quiet]\r\nfeedcnt=1\r\nfeed1=http://q.test\r\n"));
  program.WriteProfile(
      "userchannel.ini",
      Utf8ToGb18030("[userchannel]\r\nchannelcnt=4\r\nchannel1=科技\r\nchannel2=Quiet\r\n"
                    "channel3=a\"<b>&c\r\nchannel4=科技\r\n[科技]\r\nsubstate=1\r\n"
                    "feedcnt=1\r\nfeed1=http://u.test/?a=1&b=2\r\n[Quiet]\r\n"
                    "substate=0\r\n[a\"<b>&c]\r\nsubstate=1\r\n"));
  test::TempDir dir;
  const OpmlExportResult result = ExportChannelsOpml(dir.File("channels.opml"));
  ASSERT_TRUE(result.ok) << result.error;
  EXPECT_EQ(result.outlines, 4);

  const auto document = XmlDocument::Parse(test::ReadFileBytes(dir.File("channels.opml")));
  ASSERT_TRUE(document);
  const std::vector<XmlNode> channels = document->SelectAll("/opml/body/outline");
  ASSERT_EQ(channels.size(), 2u);
  EXPECT_EQ(XmlGetAttribute(channels[0], "text"), "科技");
  EXPECT_EQ(XmlGetAttribute(channels[1], "text"), "a\"<b>&c");
  std::vector<std::string> feeds;
  for (const XmlNode& feed : channels[0].SelectAll("./outline[@type='rss']"))
    feeds.push_back(XmlGetAttribute(feed, "xmlUrl"));
  EXPECT_EQ(feeds, std::vector<std::string>({"http://u.test/?a=1&b=2", "http://c.test/1"}));

  // The subject import takes the channels in as groups of feed subjects.
  SubjectStore store;
  ASSERT_TRUE(store.Load(dir.File("subject.xml")));
  ASSERT_TRUE(ImportOpml(dir.File("channels.opml"), store).ok);
  SubjectTreeModel tree;
  store.FillTree(tree);
  EXPECT_EQ(test::SubjectTitles(tree.Root()->FirstChild()),
            "科技[http://u.test/?a=1&b=2 http://c.test/1]");

  EXPECT_FALSE(ExportChannelsOpml(dir.File("missing/channels.opml")).ok);
}

}  // namespace
}  // namespace lumarine
