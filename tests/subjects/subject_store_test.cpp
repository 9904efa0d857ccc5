#include "subjects/subject_store.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <regex>

#include "platform/process_values.h"
#include "platform/settings.h"
#include "platform/text_codec.h"
#include "platform/xml_safe_text.h"
#include "subjects/subject_tree_model.h"
#include "subjects/subject_url_template.h"
#include "subjects/xml_attribute.h"
#include "support/subject_titles.h"
#include "support/temp_dir.h"

namespace lumarine {
namespace {

using test::ReadFileBytes;
using test::SubjectTitles;
using test::TempDir;

class SubjectStoreTest : public testing::Test {
 protected:
  void SetUp() override {
    SetSubjectSearchTemplate("http://search.test/news?q=%s&output=rss");
    ASSERT_TRUE(store_.Load(path_));
  }
  void TearDown() override { SetSubjectSearchTemplate(std::string(Settings::kGoogleNewsTemplate)); }

  static std::unique_ptr<SubjectItem> Keyword(const std::string& title) {
    auto item = std::make_unique<SubjectItem>(title);
    item->url = SubjectUrlTemplate::KeywordUrl(title);
    return item;
  }
  static std::unique_ptr<SubjectItem> Feed(const std::string& title, const std::string& url) {
    auto item = std::make_unique<SubjectItem>(title);
    item->kind = kSubjectFeed;
    item->url = url;
    return item;
  }

  // The tree as a fresh start would show it: "title" per item, nested in brackets.
  std::string Reloaded() const {
    SubjectStore store;
    if (!store.Load(path_)) return "<load failed>";
    SubjectTreeModel tree;
    if (!store.FillTree(tree)) return "<fill failed>";
    return SubjectTitles(tree.Root()->FirstChild());
  }

  std::string File() const { return ReadFileBytes(path_); }

  // Replaces the subject file with hand-written items and loads it into store_.
  bool LoadHandWritten(const std::string& subjects) {
    dir_.Write("subject.xml", "<?xml version=\"1.0\" encoding=\"gb2312\"?>\r\n" + subjects);
    return store_.Load(path_);
  }

  TempDir dir_;
  std::string path_ = dir_.File("subject.xml");
  SubjectStore store_;
};

TEST_F(SubjectStoreTest, StartingWithoutAFileCreatesTheOneLineEmptyFile) {
  EXPECT_TRUE(std::regex_match(
      File(),
      std::regex(R"(<\?xml version="1.0" encoding="gb2312"\?><SUBJECTS SAVETIME="\d+" />)")));
  EXPECT_EQ(Reloaded(), "");
}

TEST_F(SubjectStoreTest, AmpersandIsStoredShownAndSearchedAsTyped) {
  ASSERT_TRUE(store_.AddSubject("", *Keyword("R&D"), ""));
  ASSERT_TRUE(store_.AddSubject("", *Feed("F", "http://x.test/rss?a=1&b=2"), ""));
  const std::string file = File();
  EXPECT_NE(file.find(R"(TITLE="R&amp;D" FEED="R&amp;D" TYPE="1")"), std::string::npos) << file;
  EXPECT_NE(file.find(R"(FEED="http://x.test/rss?a=1&amp;b=2" TYPE="2")"), std::string::npos);

  SubjectStore store;
  ASSERT_TRUE(store.Load(path_));
  SubjectTreeModel tree;
  ASSERT_TRUE(store.FillTree(tree));
  const SubjectItem* keyword = tree.Root()->FirstChild();
  const SubjectItem* feed = keyword->NextSibling();
  EXPECT_EQ(keyword->title, "R&D");
  EXPECT_EQ(keyword->url, "http://search.test/news?q=%52%26%44&output=rss");
  EXPECT_EQ(feed->url, "http://x.test/rss?a=1&b=2");
  EXPECT_TRUE(store.Remove("/R&D"));
}

// Files written before "&" was kept hold "$" for it: titles keep the "$", feed addresses
// read it as "&".
TEST_F(SubjectStoreTest, AFileWrittenWithDollarsStillLoads) {
  ASSERT_TRUE(LoadHandWritten(R"(<SUBJECTS SAVETIME="1">)"
                              R"(<ITEM FOLDER="0" TITLE="A$B" FEED="A$B" TYPE="1"/>)"
                              R"(<ITEM FOLDER="0" TITLE="F$G" FEED="http://x.test/rss?a=1$b=2")"
                              R"( TYPE="2"/></SUBJECTS>)"));
  SubjectStore& store = store_;
  SubjectTreeModel tree;
  ASSERT_TRUE(store.FillTree(tree));
  const SubjectItem* keyword = tree.Root()->FirstChild();
  const SubjectItem* feed = keyword->NextSibling();
  EXPECT_EQ(keyword->title, "A$B");
  EXPECT_EQ(keyword->url, "http://search.test/news?q=%41%24%42&output=rss");
  EXPECT_EQ(feed->title, "F$G");
  EXPECT_EQ(feed->url, "http://x.test/rss?a=1&b=2");
  // "A&B" is now a title of its own beside the old "A$B".
  EXPECT_TRUE(store.AddSubject("", *Keyword("A&B"), ""));
  EXPECT_TRUE(store.Remove("/A$B"));
}

TEST_F(SubjectStoreTest, ASubjectWithAmpersandStaysAddressableAndUnique) {
  ASSERT_TRUE(store_.AddSubject("", *Keyword("A&B"), ""));
  EXPECT_FALSE(store_.AddSubject("", *Keyword("A&B"), ""));
  ASSERT_TRUE(store_.AddGroup("", "G"));
  EXPECT_TRUE(store_.Move("/A&B", "/G", ""));
  EXPECT_TRUE(store_.UpdateSubject(*Keyword("A&B 2"), "/G/A&B"));
  EXPECT_TRUE(store_.Remove("/G/A&B 2"));
  EXPECT_EQ(Reloaded(), "G");
}

TEST_F(SubjectStoreTest, DuplicateTitlesAreRefusedUnderOneParentOnly) {
  ASSERT_TRUE(store_.AddGroup("", "Sport"));
  ASSERT_TRUE(store_.AddGroup("", "News"));
  ASSERT_TRUE(store_.AddSubject("/Sport", *Keyword("Tennis"), ""));
  const std::string before = File();
  EXPECT_FALSE(store_.AddSubject("/Sport", *Keyword("Tennis"), ""));
  EXPECT_FALSE(store_.AddGroup("", "Sport"));
  EXPECT_EQ(File(), before);
  EXPECT_TRUE(store_.AddSubject("/News", *Keyword("Tennis"), ""));
  EXPECT_TRUE(store_.AddSubject("", *Keyword("Tennis"), ""));
  EXPECT_EQ(Reloaded(), "Sport[Tennis] News[Tennis] Tennis");
}

TEST_F(SubjectStoreTest, AddingIntoAMissingParentOrASubjectFails) {
  ASSERT_TRUE(store_.AddSubject("", *Keyword("Tennis"), ""));
  EXPECT_FALSE(store_.AddSubject("/Nowhere", *Keyword("X"), ""));
  // Children of a subject would never be shown again.
  EXPECT_FALSE(store_.AddSubject("/Tennis", *Keyword("X"), ""));
  EXPECT_FALSE(store_.AddGroup("/Tennis", "G"));
}

TEST_F(SubjectStoreTest, AfterTitlePlacesANewSubjectRightAfterThatChild) {
  for (const char* title : {"A", "B", "C"}) ASSERT_TRUE(store_.AddSubject("", *Keyword(title), ""));
  ASSERT_TRUE(store_.AddSubject("", *Keyword("AB"), "A"));
  ASSERT_TRUE(store_.AddSubject("", *Keyword("Z"), "C"));
  ASSERT_TRUE(store_.AddSubject("", *Keyword("Y"), "missing"));
  EXPECT_EQ(Reloaded(), "A AB B C Z Y");
}

TEST_F(SubjectStoreTest, RemovingAGroupRemovesItsSubtreeButTheRootStays) {
  ASSERT_TRUE(store_.AddGroup("", "Sport"));
  ASSERT_TRUE(store_.AddGroup("/Sport", "Ball"));
  ASSERT_TRUE(store_.AddSubject("/Sport/Ball", *Keyword("Tennis"), ""));
  ASSERT_TRUE(store_.AddSubject("", *Keyword("Other"), ""));
  EXPECT_FALSE(store_.Remove(""));
  EXPECT_FALSE(store_.Remove("/Missing"));
  EXPECT_TRUE(store_.Remove("/Sport"));
  EXPECT_EQ(File().find("Tennis"), std::string::npos);
  EXPECT_EQ(Reloaded(), "Other");
}

TEST_F(SubjectStoreTest, MoveToTheSameParentMakesTheItemTheLastChild) {
  for (const char* title : {"A", "B", "C"}) ASSERT_TRUE(store_.AddSubject("", *Keyword(title), ""));
  EXPECT_TRUE(store_.Move("/A", "", ""));
  EXPECT_EQ(Reloaded(), "B C A");
  EXPECT_TRUE(store_.Move("/A", "", "B"));
  EXPECT_EQ(Reloaded(), "B A C");
  EXPECT_TRUE(store_.Move("/A", "", "A"));  // after itself: stays where it is
  EXPECT_EQ(Reloaded(), "B A C");
  EXPECT_FALSE(store_.Move("/A", "", "missing"));
  EXPECT_FALSE(store_.Move("", "", ""));
}

TEST_F(SubjectStoreTest, MoveRefusesDuplicatesAndCycles) {
  ASSERT_TRUE(store_.AddGroup("", "G"));
  ASSERT_TRUE(store_.AddGroup("/G", "Inner"));
  ASSERT_TRUE(store_.AddSubject("/G", *Keyword("Tennis"), ""));
  ASSERT_TRUE(store_.AddSubject("", *Keyword("Tennis"), ""));
  const std::string before = File();
  EXPECT_FALSE(store_.Move("/Tennis", "/G", ""));
  EXPECT_FALSE(store_.Move("/G", "/G/Inner", ""));
  EXPECT_FALSE(store_.Move("/G", "/G", ""));
  EXPECT_FALSE(store_.Move("/G/Inner", "/Tennis", ""));
  EXPECT_EQ(File(), before);
  EXPECT_TRUE(store_.Move("/G/Tennis", "/G/Inner", ""));
  EXPECT_EQ(Reloaded(), "G[Inner[Tennis]] Tennis");
}

TEST_F(SubjectStoreTest, MoveBeforePutsTheItemInFrontOfItsNeighbourEvenAfterGroups) {
  // Subjects added before a group sit before it in the file but are shown after it.
  ASSERT_TRUE(store_.AddSubject("", *Keyword("A"), ""));
  ASSERT_TRUE(store_.AddGroup("", "G"));
  ASSERT_TRUE(store_.AddSubject("", *Keyword("B"), ""));
  ASSERT_TRUE(store_.AddSubject("/G", *Keyword("C"), ""));
  EXPECT_TRUE(store_.MoveBefore("/B", "/A"));
  EXPECT_EQ(Reloaded(), "G[C] B A");
  EXPECT_TRUE(store_.MoveBefore("/A", "/G/C"));
  EXPECT_EQ(Reloaded(), "G[A C] B");
  EXPECT_TRUE(store_.MoveBefore("/G/A", "/G/A"));  // before itself: stays
  EXPECT_EQ(Reloaded(), "G[A C] B");
  EXPECT_TRUE(store_.MoveBefore("/G/A", "/G/C"));  // already just before it: stays
  EXPECT_EQ(Reloaded(), "G[A C] B");
  const std::string before = File();
  EXPECT_FALSE(store_.MoveBefore("/B", "/missing"));
  EXPECT_FALSE(store_.MoveBefore("/B", ""));
  EXPECT_FALSE(store_.MoveBefore("/G", "/G/A"));
  EXPECT_EQ(File(), before);
}

TEST_F(SubjectStoreTest, RenamingAGroupKeepsItsContentsAndRefusesTakenNamesAndSubjects) {
  ASSERT_TRUE(store_.AddGroup("", "Sport"));
  ASSERT_TRUE(store_.AddGroup("", "News"));
  ASSERT_TRUE(store_.AddSubject("/Sport", *Keyword("Tennis"), ""));
  ASSERT_TRUE(store_.AddSubject("", *Keyword("Solo"), ""));
  const std::string before = File();
  EXPECT_FALSE(store_.RenameGroup("/Sport", "News"));
  EXPECT_FALSE(store_.RenameGroup("/Solo", "Other"));
  EXPECT_FALSE(store_.RenameGroup("/Missing", "Other"));
  EXPECT_FALSE(store_.RenameGroup("", "Other"));
  EXPECT_EQ(File(), before);
  EXPECT_TRUE(store_.RenameGroup("/Sport", "Sport"));  // its own name is no clash
  EXPECT_TRUE(store_.RenameGroup("/Sport", "运动"));
  EXPECT_EQ(Reloaded(), "运动[Tennis] News Solo");
  EXPECT_TRUE(store_.Remove("/运动/Tennis"));
}

TEST_F(SubjectStoreTest, EditingAKeywordSubjectRewritesTitleAndFeed) {
  ASSERT_TRUE(store_.AddSubject("", *Keyword("Old"), ""));
  ASSERT_TRUE(store_.AddSubject("", *Keyword("Taken"), ""));
  ASSERT_TRUE(store_.AddGroup("", "G"));
  EXPECT_TRUE(store_.UpdateSubject(*Keyword("New"), "/Old"));
  EXPECT_NE(File().find(R"(TITLE="New" FEED="New" TYPE="1")"), std::string::npos);
  EXPECT_FALSE(store_.UpdateSubject(*Keyword("Taken"), "/New"));
  EXPECT_TRUE(store_.UpdateSubject(*Keyword("New"), "/New"));  // its own title is no clash
  EXPECT_FALSE(store_.UpdateSubject(*Keyword("Group"), "/G"));
  EXPECT_FALSE(store_.UpdateSubject(*Keyword("X"), "/Missing"));
  EXPECT_EQ(Reloaded(), "G New Taken");
}

TEST_F(SubjectStoreTest, GroupsAreShownFirstAtEveryLevel) {
  ASSERT_TRUE(LoadHandWritten(
      "<SUBJECTS SAVETIME=\"1\">"
      "<ITEM FOLDER=\"0\" TITLE=\"s1\" FEED=\"k\" TYPE=\"1\"/>"
      "<ITEM FOLDER=\"1\" TITLE=\"g1\"><ITEM FOLDER=\"0\" TITLE=\"s2\" FEED=\"u\" TYPE=\"2\"/>"
      "<ITEM FOLDER=\"1\" TITLE=\"g2\"/></ITEM>"
      "<ITEM FOLDER=\"0\" TITLE=\"odd\" FEED=\"u\" TYPE=\"7\"/>"
      "<ITEM FOLDER=\"1\" TITLE=\"g3\"/></SUBJECTS>"));
  SubjectTreeModel tree;
  ASSERT_TRUE(store_.FillTree(tree));
  EXPECT_EQ(SubjectTitles(tree.Root()->FirstChild()), "g1[g2 s2] g3 s1 odd");
  const SubjectItem* odd = tree.Root()->LastChild();
  EXPECT_EQ(odd->kind, kSubjectKeyword);
  EXPECT_EQ(odd->url, "");
  EXPECT_EQ(tree.Root()->FirstChild()->kind, kSubjectGroup);
}

TEST_F(SubjectStoreTest, PathToXPathQuotesEveryTitle) {
  const struct {
    const char* path;
    const char* xpath;
  } cases[] = {
      {"", "."},
      {"/Sport/Tennis", R"(./ITEM[@TITLE="Sport"]/ITEM[@TITLE="Tennis"])"},
      {"/say \"hi\"", R"(./ITEM[@TITLE='say "hi"'])"},
      {"/it's \"x\"", R"(./ITEM[@TITLE=concat("it's ",'"',"x",'"',"")])"},
      {R"(/C:\\dir)", R"(./ITEM[@TITLE="C:\dir"])"},
      {R"(/TCP\/IP)", R"(./ITEM[@TITLE="TCP/IP"])"},
      {"/A&B", R"(./ITEM[@TITLE="A&B"])"},
  };
  for (const auto& c : cases) EXPECT_EQ(SubjectStore::PathToXPath(c.path), c.xpath) << c.path;
}

// Every title a user can type must survive edit, move and delete.
TEST_F(SubjectStoreTest, AwkwardTitlesCanBeEditedMovedAndDeleted) {
  for (const std::string title :
       {"say \"hi\"", "it's \"x\"", R"(C:\dir\)", "TCP/IP", "/", "A&B", "网球 <b>"}) {
    SCOPED_TRACE(title);
    SubjectTreeModel tree;
    SubjectItem* group = tree.AddChild(nullptr, title + " group");
    group->kind = kSubjectGroup;
    SubjectItem* subject = tree.AddChild(nullptr, title);
    ASSERT_TRUE(store_.AddGroup("", group->title));
    ASSERT_TRUE(store_.AddSubject("", *Keyword(title), ""));

    EXPECT_TRUE(store_.Move(tree.ItemPath(subject), tree.ItemPath(group), ""));
    SubjectItem* moved = tree.MoveForDrop(subject, group);
    ASSERT_NE(moved, nullptr);
    const std::string oldPath = tree.ItemPath(moved);
    moved->title = title + " new";
    EXPECT_TRUE(store_.UpdateSubject(*Keyword(moved->title), oldPath));
    EXPECT_TRUE(store_.Remove(tree.ItemPath(moved)));
    EXPECT_TRUE(store_.Remove(tree.ItemPath(group)));
    EXPECT_EQ(Reloaded(), "");
  }
}

// Found by fuzzing: an item whose TITLE attribute was edited away shows as an empty line.
TEST_F(SubjectStoreTest, HandEditedItemsWithoutATitleCanStillBeDeleted) {
  ASSERT_TRUE(LoadHandWritten(
      "<SUBJECTS SAVETIME=\"1\"><ITEM FOLDER=\"1\" TITLI=\"x\"><ITEM FOLDER=\"0\" TITLE=\"a\" "
      "FEED=\"a\" TYPE=\"1\"/></ITEM><ITEM FOLDER=\"0\" TITLE=\"b\" FEED=\"b\" TYPE=\"1\"/>"
      "</SUBJECTS>"));
  SubjectTreeModel tree;
  ASSERT_TRUE(store_.FillTree(tree));
  const SubjectItem* untitled = tree.Root()->FirstChild();
  ASSERT_EQ(untitled->title, "");
  EXPECT_TRUE(store_.Remove(tree.ItemPath(untitled->FirstChild())));
  EXPECT_TRUE(store_.Remove(tree.ItemPath(untitled)));
  EXPECT_EQ(Reloaded(), "b");
}

// Found by fuzzing: a prefixed TITLE or a DTD default is no title of the item, or it would
// show a name that no path finds again.
TEST_F(SubjectStoreTest, OnlyTheItemsOwnUnprefixedTitleNamesIt) {
  ASSERT_TRUE(LoadHandWritten(
      "<!DOCTYPE SUBJECTS [<!ATTLIST ITEM TITLE CDATA \"dflt\">]>"
      "<SUBJECTS SAVETIME=\"1\" xmlns:a=\"u\"><ITEM FOLDER=\"0\" a:TITLE=\"p\" FEED=\"p\" "
      "TYPE=\"1\"/><ITEM FOLDER=\"0\" FEED=\"d\" TYPE=\"1\"/></SUBJECTS>"));
  SubjectTreeModel tree;
  ASSERT_TRUE(store_.FillTree(tree));
  for (const SubjectItem* item = tree.Root()->FirstChild(); item; item = item->NextSibling())
    EXPECT_EQ(item->title, "");
  // Both are untitled: each path numbers its item, and the tree follows each removal.
  while (SubjectItem* first = tree.Root()->FirstChild()) {
    EXPECT_TRUE(store_.Remove(tree.ItemPath(first)));
    tree.DeleteItem(first);
  }
  EXPECT_EQ(Reloaded(), "");
}

// A group or subject shown from a hand-written FOLDER value must also act as one.
TEST_F(SubjectStoreTest, HandWrittenFolderFlagsActAsTheTreeShowsThem) {
  ASSERT_TRUE(LoadHandWritten(
      "<SUBJECTS SAVETIME=\"1\"><ITEM FOLDER=\" 1 \" TITLE=\"G\"/><ITEM FOLDER=\"0.0\" "
      "TITLE=\"s\" FEED=\"s\" TYPE=\"1\"/><ITEM FOLDER=\"x\" TITLE=\"hidden\"/></SUBJECTS>"));
  EXPECT_TRUE(store_.AddSubject("/G", *Keyword("inner"), ""));
  EXPECT_TRUE(store_.RenameGroup("/G", "H"));
  EXPECT_TRUE(store_.UpdateSubject(*Keyword("t"), "/s"));
  EXPECT_FALSE(store_.UpdateSubject(*Keyword("u"), "/hidden"));
  EXPECT_FALSE(store_.AddSubject("/hidden", *Keyword("v"), ""));
  EXPECT_EQ(Reloaded(), "H[inner] t");
}

TEST_F(SubjectStoreTest, FileIsGb2312AndOtherCharactersBecomeReferences) {
  ASSERT_TRUE(store_.AddSubject("", *Keyword("网球"), ""));
  ASSERT_TRUE(store_.AddSubject("", *Keyword("€ 😀"), ""));
  const std::string file = File();
  EXPECT_TRUE(file.starts_with("<?xml version=\"1.0\" encoding=\"gb2312\"?>")) << file;
  EXPECT_NE(file.find(Utf8ToGb18030("网球")), std::string::npos);
  EXPECT_EQ(file.find("😀"), std::string::npos);
  EXPECT_NE(file.find("&#"), std::string::npos);
  EXPECT_EQ(Reloaded(), "网球 € 😀");
}

TEST_F(SubjectStoreTest, SavesLeaveNoTemporaryFilesBehind) {
  for (int i = 0; i < 5; ++i) ASSERT_TRUE(store_.AddGroup("", "G" + std::to_string(i)));
  size_t files = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir_.Path()))
    ++files;
  EXPECT_EQ(files, 1u);
}

// Two bad starts in a row destroyed the first bad file: every one is kept, none replaced.
TEST_F(SubjectStoreTest, EveryUnreadableFileIsKeptUnderANameOfItsOwn) {
  const std::string first = "<SUBJECTS><ITEM TITLE=\"first";
  const std::string second = "<SUBJECTS><ITEM TITLE=\"second";
  dir_.Write("subject.xml", first);
  EXPECT_FALSE(SubjectStore().Load(path_));
  dir_.Write("subject.xml", second);
  EXPECT_FALSE(SubjectStore().Load(path_));
  EXPECT_EQ(ReadFileBytes(path_ + ".bad"), first);
  EXPECT_EQ(ReadFileBytes(path_ + ".bad.1"), second);
  EXPECT_TRUE(SubjectStore().Load(path_));

  // With every name taken the file stays where it is, and no empty file takes its place.
  for (int i = 2; i <= 1000; ++i) dir_.Write("subject.xml.bad." + std::to_string(i), "");
  dir_.Write("subject.xml", first);
  EXPECT_FALSE(SubjectStore().Load(path_));
  EXPECT_EQ(File(), first);
  EXPECT_EQ(ReadFileBytes(path_ + ".bad.1"), second);
}

// A hand-edited file may hold siblings of one title; the tree's choice is the one acted on.
TEST_F(SubjectStoreTest, SameTitledSiblingsAreEachAddressedAsTheTreeShowsThem) {
  ASSERT_TRUE(LoadHandWritten(
      "<SUBJECTS SAVETIME=\"1\"><ITEM FOLDER=\"1\" TITLE=\"X\"><ITEM FOLDER=\"0\" TITLE=\"in\" "
      "FEED=\"in\" TYPE=\"1\"/></ITEM><ITEM FOLDER=\"0\" TITLE=\"X\" FEED=\"u1\" TYPE=\"2\"/>"
      "<ITEM FOLDER=\"0\" TITLE=\"X\" FEED=\"u2\" TYPE=\"2\"/><ITEM FOLDER=\"1\" TITLE=\"G\"/>"
      "</SUBJECTS>"));
  SubjectTreeModel tree;
  ASSERT_TRUE(store_.FillTree(tree));
  SubjectItem* group = tree.Root()->FirstChild();
  SubjectItem* first = group->NextSibling()->NextSibling();
  SubjectItem* second = first->NextSibling();
  ASSERT_EQ(second->url, "u2");
  EXPECT_EQ(tree.ItemPath(group), "/X\\#1");
  EXPECT_EQ(tree.ItemPath(group->FirstChild()), "/X\\#1/in");
  EXPECT_EQ(tree.ItemPath(second), "/X\\#3");

  // A path that does not say which of them it means acts on none.
  const std::string before = File();
  EXPECT_FALSE(store_.Remove("/X"));
  EXPECT_FALSE(store_.Remove("/X\\#4"));
  EXPECT_EQ(File(), before);

  EXPECT_TRUE(store_.UpdateSubject(*Feed("Y", "u3"), tree.ItemPath(second)));
  second->title = "Y";
  EXPECT_TRUE(store_.Move(tree.ItemPath(first), "/G", ""));
  tree.MoveForDrop(first, group->NextSibling());
  EXPECT_TRUE(store_.Remove(tree.ItemPath(group->FirstChild())));
  EXPECT_EQ(Reloaded(), "X G[X] Y");
  EXPECT_NE(File().find("u3"), std::string::npos);
}

TEST_F(SubjectStoreTest, AnUnreadableFileIsKeptAsideAndReplaced) {
  for (const std::string& bytes :
       {std::string("<?xml version=\"1.0\"?><SUBJECTS><ITEM TITLE=\"cut"),
        std::string("<?xml version=\"1.0\"?><OTHER/>"), std::string("")}) {
    test::TempDir dir;
    dir.Write("subject.xml", bytes);
    SubjectStore store;
    EXPECT_FALSE(store.Load(dir.File("subject.xml")));
    EXPECT_EQ(ReadFileBytes(dir.File("subject.xml.bad")), bytes);
    EXPECT_TRUE(ReadFileBytes(dir.File("subject.xml")).find("<SUBJECTS SAVETIME=") !=
                std::string::npos);
    EXPECT_FALSE(store.AddGroup("", "G"));
    EXPECT_FALSE(store.Save());
  }
}

// A pasted control character saved raw made the next start lose every subject.
TEST_F(SubjectStoreTest, TextXmlCannotHoldIsRefusedAndTheFileStaysReadable) {
  ASSERT_TRUE(store_.AddGroup("", "G"));
  ASSERT_TRUE(store_.AddSubject("", *Keyword("S"), ""));
  const std::string before = File();
  for (const std::string bad : {"a\x01"
                                "b",
                                "a\x0B"
                                "b",
                                "a\xEF\xBF\xBE"
                                "b",
                                "a\xEF\xBF\xBF"
                                "b",
                                "a\xFF"
                                "b"}) {
    EXPECT_FALSE(store_.AddSubject("", *Keyword(bad), ""));
    EXPECT_FALSE(store_.AddSubject("", *Feed("F", "http://x.test/" + bad), ""));
    EXPECT_FALSE(store_.AddGroup("", bad));
    EXPECT_FALSE(store_.RenameGroup("/G", bad));
    EXPECT_FALSE(store_.UpdateSubject(*Keyword(bad), "/S"));
  }
  EXPECT_EQ(File(), before);
  EXPECT_TRUE(store_.AddSubject("", *Keyword("tab\tand line\nbreak"), ""));
  EXPECT_EQ(Reloaded(), "G S tab\tand line\nbreak");
}

TEST(XmlSafeTextTest, DropsWhatXmlForbidsAndKeepsEverythingElse) {
  const struct {
    const char* in;
    const char* out;
  } cases[] = {
      {"plain 网球 😀", "plain 网球 😀"},   {"a\x01\x08\x0B\x0C\x1F\x7Fz", "a\x7Fz"},
      {"keep\t\n\r", "keep\t\n\r"},       {"x\xEF\xBF\xBE\xEF\xBF\xBFy", "xy"},  // U+FFFE, U+FFFF
      {"x\xED\xA0\x80y", "xy"},                                                  // a surrogate
      {"x\xC0\xAFy\xE7\xBDz\x80", "xyz"},  // overlong, cut and stray bytes
      {"\xEF\xBF\xBD", "\xEF\xBF\xBD"},    // U+FFFD is allowed
  };
  for (const auto& c : cases) {
    EXPECT_EQ(XmlSafeText(c.in), c.out) << c.in;
    EXPECT_EQ(IsXmlSafeText(c.in), std::string(c.in) == c.out) << c.in;
  }
}

TEST(SubjectKeywordTest, EveryByteIsPercentEncoded) {
  EXPECT_EQ(SubjectStore::EncodeKeywordUtf8("abc"), "%61%62%63");
  EXPECT_EQ(SubjectStore::EncodeKeywordUtf8("网 1"), "%E7%BD%91%20%31");
  EXPECT_EQ(SubjectStore::EncodeKeywordUtf8(""), "");
}

TEST(SubjectKeywordTest, TemplateFormatReplacesOnlyTheKeyword) {
  EXPECT_EQ(SubjectUrlTemplate::Format("q=%s&x=%s", "K"), "q=K&x=%s");
  EXPECT_EQ(SubjectUrlTemplate::Format("100%% %d %n q=%s", "K"), "100% %d %n q=K");
  EXPECT_EQ(SubjectUrlTemplate::Format("no keyword", "K"), "no keyword");
}

// The frame's process-wide template is the only one: keyword addresses follow it at once.
TEST(SubjectKeywordTest, KeywordUrlsFollowTheOneProcessWideTemplate) {
  SetSubjectSearchTemplate("http://frame.test/?q=%s");
  EXPECT_EQ(SubjectUrlTemplate::KeywordUrl("a"), "http://frame.test/?q=%61");
  SetSubjectSearchTemplate("");
  EXPECT_EQ(SubjectSearchTemplate(), Settings::kGoogleNewsTemplate);
}

TEST(XmlAttributeTest, HelpersWorkOnAnyNode) {
  auto doc = XmlDocument::Parse("<R A=\"1\">text</R>");
  ASSERT_TRUE(doc);
  const XmlNode root = *doc->Root();
  EXPECT_EQ(XmlGetAttribute(root, "A"), "1");
  EXPECT_EQ(XmlGetAttribute(root, "B"), "");
  EXPECT_EQ(XmlGetAttribute(*doc->SelectSingle("/R/text()"), "A"), "");
  EXPECT_FALSE(XmlSetAttribute(root, "B", "x", false));
  EXPECT_TRUE(XmlSetAttribute(root, "B", "a&<\"b", true));
  EXPECT_EQ(XmlGetAttribute(root, "B"), "a&<\"b");
  EXPECT_TRUE(XmlSetIntAttribute(root, "A", -42, false));
  EXPECT_EQ(XmlGetAttribute(root, "A"), "-42");
  DetachedXmlElement element =
      XmlCreateElement(XmlNode(reinterpret_cast<_xmlNode*>(doc->Raw())), "ITEM", "urn:x");
  ASSERT_TRUE(element);
  EXPECT_EQ(XmlNode(element.get()).Name(), "ITEM");
}

// Only "no such file" is missing: a file that cannot be looked at (here a link that loops)
// was taken for missing and replaced by an empty one, losing every subject behind it.
TEST_F(SubjectStoreTest, AFileThatCannotBeLookedAtIsLeftAlone) {
  test::TempDir dir;
  const std::string path = dir.File("subject.xml");
  ASSERT_EQ(symlink("subject.xml", path.c_str()), 0);
  SubjectStore store;
  EXPECT_FALSE(store.Load(path));
  EXPECT_FALSE(store.AddGroup("", "G"));
  EXPECT_TRUE(std::filesystem::is_symlink(path));
  EXPECT_FALSE(std::filesystem::exists(path + ".bad"));
}

}  // namespace
}  // namespace lumarine
