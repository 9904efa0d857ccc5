#include "store/news_database.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "news_database_fixture.h"
#include "store/news_database_file.h"

namespace lumarine {
namespace {

using test::NewsDatabaseTest;
using test::ReadFileBytes;

TEST(QuoteSqlTextTest, DoublesSingleQuotesAndNothingElse) {
  const std::pair<std::string, std::string> cases[] = {
      {"", ""},
      {"plain", "plain"},
      {"'", "''"},
      {"it's", "it''s"},
      {"''", "''''"},
      {"\"double\" \\ ; -- %s\n", "\"double\" \\ ; -- %s\n"},
      {"中'文", "中''文"},
  };
  for (const auto& [value, quoted] : cases) EXPECT_EQ(QuoteSqlText(value), quoted) << value;
}

struct ErrorCase {
  DatabaseError error;
  std::string text;
};

TEST(FormatComErrorTest, WritesFourLabelledLines) {
  const ErrorCase cases[] = {
      {{14, "unable to open database file", "SQLite", "no such file"},
       "Code = 0000000e\nCode meaning = unable to open database file\nSource = SQLite\n"
       "Description = no such file"},
      // Only one line break at the very end of the meaning goes; inner ones stay.
      {{0x80004005L, "first\nsecond\r\n", "src", "a\nb\n"},
       "Code = 80004005\nCode meaning = first\nsecond\nSource = src\nDescription = a\nb\n"},
      {{1, "meaning\n", "", ""},
       "Code = 00000001\nCode meaning = meaning\nSource = \nDescription = "},
      {{0x80040205L, "", "s", "d"},
       "Code = 80040205\nCode meaning = IDispatch error #5\nSource = s\nDescription = d"},
      {{0x80040200L, "", "s", "d"},
       "Code = 80040200\nCode meaning = Unknown error 0x80040200\nSource = s\nDescription = d"},
      {{0x2a, "", "s", "d"},
       "Code = 0000002a\nCode meaning = Unknown error 0x2A\nSource = s\nDescription = d"},
  };
  for (const ErrorCase& c : cases) EXPECT_EQ(FormatComError(c.error), c.text);
}

TEST_F(NewsDatabaseTest, FieldsReadByOrdinalWithNullAsEmptyAndFlagAsDigit) {
  Run("insert into FeedItem (link, title, readstatus) values ('l1', null, 1)");
  Run("insert into FeedItem (link, title, readstatus) values ('l2', 't', '0')");
  const auto rows = Rows("select * from FeedItem order by link");
  ASSERT_EQ(rows.size(), 2u);
  ASSERT_EQ(rows[0].size(), 10u);
  EXPECT_EQ(rows[0][0], "");  // FeedLink never written: NULL
  EXPECT_EQ(rows[0][1], "");  // explicit NULL title
  EXPECT_EQ(rows[0][2], "l1");
  EXPECT_EQ(rows[0][8], "1");
  EXPECT_EQ(rows[1][1], "t");
  EXPECT_EQ(rows[1][8], "0");  // the quoted '0' an insert writes is stored as a number
  EXPECT_EQ(Rows("select * from FeedItem where readstatus=0").size(), 1u);
}

TEST_F(NewsDatabaseTest, ShippedSchemaKeepsColumnOrderAndWriteAheadLog) {
  std::vector<std::string> columns;
  for (const auto& row : Rows("pragma table_info(FeedItem)")) columns.push_back(row[1]);
  EXPECT_EQ(columns,
            (std::vector<std::string>{"FeedLink", "title", "link", "description", "pubdate",
                                      "author", "category", "subject", "readstatus", "class"}));
  EXPECT_EQ(Rows("pragma table_info(FeedSource)").size(), 16u);
  EXPECT_EQ(Rows("pragma table_info(SubjectNews)").size(), 4u);
  EXPECT_EQ(Rows("pragma journal_mode")[0][0], "wal");
}

TEST_F(NewsDatabaseTest, ExecuteStatementReportsFailureInTextOnly) {
  auto connection = OpenNewsDatabase("unused");
  ASSERT_TRUE(connection);
  std::string error;
  EXPECT_TRUE(ExecuteStatement(*connection, "delete from FeedItem", error));
  EXPECT_EQ(error, "");
  EXPECT_FALSE(ExecuteStatement(*connection, "delete from NoSuchTable", error));
  EXPECT_EQ(error,
            "Code = 00000001\nCode meaning = SQL logic error\nSource = SQLite\n"
            "Description = no such table: NoSuchTable");
  EXPECT_TRUE(messages_.Calls().empty());
}

TEST_F(NewsDatabaseTest, ExecuteStatementRunsOneStatementOnly) {
  auto connection = OpenNewsDatabase("unused");
  ASSERT_TRUE(connection);
  std::string error;
  EXPECT_FALSE(ExecuteStatement(
      *connection, "insert into FeedItem (link) values ('a'); delete from FeedItem", error));
  EXPECT_NE(error.find("Description = more than one statement"), std::string::npos) << error;
  EXPECT_TRUE(Rows("select * from FeedItem").empty());
}

TEST(OpenNewsDatabaseTest, MissingOrForeignFileIsAnOpenFailure) {
  const std::pair<const char*, std::string> cases[] = {
      {nullptr,
       "Can not open connection:\nCode = 0000000e\nCode meaning = unable to open database "
       "file\nSource = SQLite\nDescription = unable to open database file"},
      {"this is not a database, just some text that is long enough to have a header........"
       "...............",
       "Can not open connection:\nCode = 0000001a\nCode meaning = file is not a database\n"
       "Source = SQLite\nDescription = file is not a database"},
  };
  for (const auto& [content, message] : cases) {
    test::ScopedProgramDirectory program;
    test::MessageBoxRecorder messages;
    if (content) std::ofstream(program.Path() + "/news.mdb") << content;
    EXPECT_FALSE(OpenNewsDatabase("not this one"));
    ASSERT_EQ(messages.Calls().size(), 1u);
    EXPECT_EQ(messages.Calls()[0].text, message);
    EXPECT_EQ(messages.Calls()[0].buttons, kMbOk);
  }
}

TEST(CreateNewsDatabaseTest, NeverReplacesAnExistingFile) {
  test::TempDir dir;
  dir.Write("news.mdb", "the user's own file");
  std::string error;
  EXPECT_EQ(CreateNewsDatabase(dir.File("news.mdb"), "create table t (a)", error),
            CreateDatabaseResult::kAlreadyExists);
  EXPECT_EQ(dir.Read("news.mdb"), "the user's own file");
}

TEST_F(NewsDatabaseTest, AFileFromAnOlderBuildTakesTheCurrentKeysWithItsRows) {
  Run("drop index FeedItemNoLink");
  Run("drop index FeedItemLink");
  Run("create unique index FeedItemLink on FeedItem (link)");  // one link-less item per run
  Run("insert into FeedItem (link, title, class) values ('', 'kept', 'c')");
  std::string error;
  ASSERT_TRUE(
      UpdateNewsDatabaseIndexes(NewsDatabasePath(), ReadFileBytes(LUMARINE_NEWS_SCHEMA), error))
      << error;
  Run("insert into FeedItem (link, title, class) values ('', 'second', 'c')");
  EXPECT_EQ(Rows("select title from FeedItem order by title"),
            (std::vector<std::vector<std::string>>{{"kept"}, {"second"}}));
  EXPECT_TRUE(
      UpdateNewsDatabaseIndexes(NewsDatabasePath(), ReadFileBytes(LUMARINE_NEWS_SCHEMA), error))
      << "nothing to do the second time";
}

TEST(CreateNewsDatabaseTest, BadSchemaLeavesNoFile) {
  test::TempDir dir;
  std::string error;
  EXPECT_EQ(CreateNewsDatabase(dir.File("news.mdb"), "create tabel t (a)", error),
            CreateDatabaseResult::kFailed);
  EXPECT_NE(error.find("syntax error"), std::string::npos) << error;
  EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));
}

}  // namespace
}  // namespace lumarine
