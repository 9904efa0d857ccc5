#include "htmlview/engine_switches.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace lumarine {
namespace {

TEST(EngineSwitches, AskForSoftwareDrawingOnlyWithoutAGpuAndNoZygotesOnlyWithoutTheSandbox) {
  const auto has = [](const std::vector<std::string>& switches, const std::string& flag) {
    return std::find(switches.begin(), switches.end(), flag) != switches.end();
  };
  const std::vector<std::string> sandboxedWithGpu = DefaultEngineSwitches({false, true});
  EXPECT_TRUE(has(sandboxedWithGpu, "--renderer-process-limit=1"));
  EXPECT_FALSE(has(sandboxedWithGpu, "--disable-gpu"));
  // The engine refuses to start without zygotes while it is sandboxed.
  EXPECT_FALSE(has(sandboxedWithGpu, "--no-zygote"));
  const std::vector<std::string> rootWithoutGpu = DefaultEngineSwitches({true, false});
  EXPECT_TRUE(has(rootWithoutGpu, "--disable-gpu"));
  EXPECT_TRUE(has(rootWithoutGpu, "--no-zygote"));
}

TEST(EngineSwitches, LeaveEverySwitchTheUserNamesToTheUser) {
  const std::vector<std::string> ours = {"--renderer-process-limit=1", "--disable-gpu"};
  EXPECT_EQ(MergeEngineSwitches("", ours), "--renderer-process-limit=1 --disable-gpu");
  // A value of the user's wins, whatever it is; the user's other flags stay as given.
  EXPECT_EQ(MergeEngineSwitches("  --renderer-process-limit=4\t--enable-logging ", ours),
            "--disable-gpu --renderer-process-limit=4 --enable-logging");
  EXPECT_EQ(MergeEngineSwitches("--disable-gpu=0", ours),
            "--renderer-process-limit=1 --disable-gpu=0");
  // A longer switch that starts with the same letters is another switch.
  EXPECT_EQ(MergeEngineSwitches("--disable-gpu-compositing", ours),
            "--renderer-process-limit=1 --disable-gpu --disable-gpu-compositing");
}

}  // namespace
}  // namespace lumarine
