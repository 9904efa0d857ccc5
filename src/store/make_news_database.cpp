// Build tool: make_news_database SCHEMA.sql TARGET.mdb
// Creates TARGET from the schema when it does not exist; an existing file keeps its rows and
// only has its indexes brought in line with the schema.
#include <cstdio>
#include <fstream>
#include <sstream>

#include "store/news_database_file.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s SCHEMA.sql TARGET.mdb\n", argv[0]);
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "%s: cannot read %s\n", argv[0], argv[1]);
    return 1;
  }
  std::stringstream schema;
  schema << in.rdbuf();
  std::string error;
  switch (lumarine::CreateNewsDatabase(argv[2], schema.str(), error)) {
    case lumarine::CreateDatabaseResult::kCreated:
      std::printf("created %s\n", argv[2]);
      return 0;
    case lumarine::CreateDatabaseResult::kAlreadyExists:
      if (lumarine::UpdateNewsDatabaseIndexes(argv[2], schema.str(), error)) return 0;
      std::fprintf(stderr, "%s: %s: %s\n", argv[0], argv[2], error.c_str());
      return 1;
    case lumarine::CreateDatabaseResult::kFailed:
      std::fprintf(stderr, "%s: %s\n", argv[0], error.c_str());
      return 1;
  }
  return 1;
}
