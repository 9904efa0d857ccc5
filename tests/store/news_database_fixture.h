#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "store/news_database.h"
#include "store/news_database_file.h"
#include "support/message_box_recorder.h"
#include "support/temp_dir.h"

namespace lumarine::test {

// A temporary program directory holding a fresh news.mdb made from the shipped schema, and a
// recorder for the messages the store shows.
class NewsDatabaseTest : public testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_EQ(CreateNewsDatabase(NewsDatabasePath(), ReadFileBytes(LUMARINE_NEWS_SCHEMA), error),
              CreateDatabaseResult::kCreated)
        << error;
  }

  // Every row of `sql` as its field texts, read by ordinal.
  static std::vector<std::vector<std::string>> Rows(const std::string& sql) {
    NewsConnection connection;
    EXPECT_EQ(connection.Open(NewsDatabasePath()), NewsConnection::OpenResult::kOpened);
    std::vector<std::vector<std::string>> rows;
    auto recordset = connection.Query(sql);
    EXPECT_TRUE(recordset) << FormatComError(connection.LastError());
    DatabaseError error;
    while (recordset && !recordset->AtEnd()) {
      std::vector<std::string> row;
      for (int i = 0; i < recordset->FieldCount(); ++i) row.push_back(GetFieldText(*recordset, i));
      rows.push_back(std::move(row));
      EXPECT_TRUE(recordset->MoveNext(error));
    }
    return rows;
  }

  static void Run(const std::string& sql) {
    NewsConnection connection;
    ASSERT_EQ(connection.Open(NewsDatabasePath()), NewsConnection::OpenResult::kOpened);
    ASSERT_TRUE(connection.Execute(sql)) << FormatComError(connection.LastError());
  }

  ScopedProgramDirectory program_;
  MessageBoxRecorder messages_;
};

}  // namespace lumarine::test
