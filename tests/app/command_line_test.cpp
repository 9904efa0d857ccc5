#include "app/command_line.h"

#include <gtest/gtest.h>

namespace lumarine {
namespace {

using Action = CommandLine::Action;

struct LineCase {
  std::vector<std::string> arguments;
  Action action;
  int status;
  const char* output;  // the exact text, or nullptr for "starts with the usage line"
};

TEST(CommandLineTest, ReadsTheOptionsAUserExpects) {
  const LineCase cases[] = {
      {{}, Action::kRunBar, 0, ""},
      {{"--demo"}, Action::kRunDemo, 0, ""},
      {{"--help"}, Action::kPrintHelp, 0, nullptr},
      {{"-h"}, Action::kPrintHelp, 0, nullptr},
      {{"--bogus", "--help"}, Action::kPrintHelp, 0, nullptr},
      {{"--version"}, Action::kPrintVersion, 0, "lumarine " LUMARINE_VERSION "\n"},
      {{"--demo", "--bogus"},
       Action::kRefuse,
       2,
       "lumarine: unknown option '--bogus' (see lumarine --help)\n"},
      {{"-x"}, Action::kRefuse, 2, "lumarine: unknown option '-x' (see lumarine --help)\n"},
      {{"feeds.txt"},
       Action::kRefuse,
       2,
       "lumarine: unexpected argument 'feeds.txt' (see lumarine --help)\n"},
  };
  for (const LineCase& c : cases) {
    const CommandLine line = CommandLine::Parse(c.arguments);
    const std::string label = c.arguments.empty() ? "(none)" : c.arguments.front();
    EXPECT_EQ(line.Chosen(), c.action) << label;
    EXPECT_EQ(line.ExitStatus(), c.status) << label;
    if (c.output != nullptr)
      EXPECT_EQ(line.Output(), c.output) << label;
    else
      EXPECT_TRUE(line.Output().starts_with("Usage: lumarine")) << label;
  }
}

}  // namespace
}  // namespace lumarine
