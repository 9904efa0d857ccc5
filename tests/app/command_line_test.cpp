#include "app/command_line.h"

#include <gtest/gtest.h>

namespace lumarine {
namespace {

using Action = CommandLine::Action;

TEST(CommandLineTest, ReadsTheOptionsAUserExpects) {
  const std::string usage = "Usage: lumarine";
  const struct {
    std::vector<std::string> arguments;
    Action action;
    int status;
    std::string output;  // exact, or the start of the help text
  } cases[] = {
      {{}, Action::kRunBar, 0, ""},
      {{"--demo"}, Action::kRunDemo, 0, ""},
      {{"-h"}, Action::kPrintHelp, 0, usage},
      {{"--bogus", "--help"}, Action::kPrintHelp, 0, usage},
      {{"--version"}, Action::kPrintVersion, 0, "lumarine " LUMARINE_VERSION "\n"},
      {{"--demo", "--bogus"},
       Action::kRefuse,
       2,
       "lumarine: unknown option '--bogus' (see lumarine --help)\n"},
      {{"feeds.txt"},
       Action::kRefuse,
       2,
       "lumarine: unexpected argument 'feeds.txt' (see lumarine --help)\n"},
  };
  for (const auto& c : cases) {
    const CommandLine line = CommandLine::Parse(c.arguments);
    const std::string label = c.arguments.empty() ? "(none)" : c.arguments.front();
    EXPECT_EQ(line.Chosen(), c.action) << label;
    EXPECT_EQ(line.ExitStatus(), c.status) << label;
    EXPECT_EQ(line.Output().substr(0, c.output == usage ? usage.size() : std::string::npos),
              c.output)
        << label;
  }
}

}  // namespace
}  // namespace lumarine
