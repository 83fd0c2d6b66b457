// The program's "/plan=" option: recognised ignoring case, its value
// expanded, and it does not end the option pass.
#include <gtest/gtest.h>

#include "platform/sim/sim_environment.h"
#include "startup/command_line.h"

namespace tarn::startup {
namespace {

TEST(CataloguePlanOption, ValueIsExpandedAndLaterOptionsStillApply) {
  sim::SimEnvironment environment;
  ASSERT_EQ(environment.Set(u"TEMP", TextView(u"C:\\Temp")), 0u);
  app::InstallConfig config;
  const std::vector<TextView> arguments = {u"/PLAN=\"%TEMP%\\plan.txt\"", u"/ini=other.ini"};
  const CommandLineOutcome outcome = ApplyOptions(arguments, config, environment);
  EXPECT_EQ(ToUtf8(outcome.planFile), "C:\\Temp\\plan.txt");
  EXPECT_EQ(outcome.action, CommandLineOutcome::Action::kContinue);
  EXPECT_NE(ToUtf8(TextView(config.IniPath)).find("other.ini"), std::string::npos);
}

TEST(CataloguePlanOption, AbsentMeansNoPlan) {
  sim::SimEnvironment environment;
  app::InstallConfig config;
  const std::vector<TextView> arguments = {u"/plan", u"/planned=x"};
  EXPECT_TRUE(ApplyOptions(arguments, config, environment).planFile.empty());
}

}  // namespace
}  // namespace tarn::startup
