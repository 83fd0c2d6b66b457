// The plan tool's reading of a configuration: what it shows must be what a
// run on the described machine reads and starts.
#include "startup/configuration_plan.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "catalogue/catalogue_loader.h"
#include "unit/run/run_test_machine.h"

namespace tarn::startup {
namespace {

constexpr char16_t kIni[] = u"C:\\setup\\install.ini";

std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> fields;
  std::istringstream in(line);
  for (std::string field; std::getline(in, field, '\t');) fields.push_back(field);
  return fields;
}

// The launch column of every command line of the text form.
std::vector<std::string> LaunchColumn(const std::string& plan) {
  std::vector<std::string> launched;
  std::istringstream in(plan);
  bool inCommands = false;
  for (std::string line; std::getline(in, line);) {
    if (line.rfind("commands ", 0) == 0 || line.rfind("accounts ", 0) == 0) {
      inCommands = line[0] == 'c';
      continue;
    }
    if (inCommands) launched.push_back(Fields(line).at(1));
  }
  return launched;
}

TEST(ConfigurationPlan, CommandsShowWhatTheRunStartsWithTheEnvironmentSectionAndQuotes) {
  run::testing::RunTestMachine m;
  ASSERT_TRUE(m.machine.files().PutTextFile(kIni, R"ini([environment]
SCRIPTS=%INIDIR%\scripts
MARK=%INIDIR%\marks.txt
[Marks]
command.0=%SCRIPTS%\mark.cmd echo A0>>"%MARK%"
selected.0=1
command.1=%SCRIPTS%\mark.cmd "two words" "x&y"
selected.1=1
)ini"));
  m.AddProgram(u"C:\\setup\\scripts\\mark.cmd");

  const std::vector<std::string> planned =
      LaunchColumn(PlanConfiguration(m.machine.platform(), {kIni}));

  EXPECT_EQ(planned, (std::vector<std::string>{
                         R"("C:\setup\scripts\mark.cmd" echo A0>>"C:\setup\marks.txt" )",
                         R"("C:\setup\scripts\mark.cmd" "two words" "x&y" )",
                     }));
  // The run, after the same start, starts exactly those lines.
  catalogue::LoadCatalogueFile(m.machine.platform(), kIni, {}, m.catalogue);
  (void)m.Run();
  EXPECT_EQ(m.Started(), planned);
}

TEST(ConfigurationPlan, PasswordsOfTheSettingsNeverReachThePlan) {
  sim::Machine machine;
  ASSERT_TRUE(
      machine.files().PutTextFile(kIni,
                                  "[settings]\r\nAdminPwd=Adm1nSecret\r\n[Tool]\r\n"
                                  "command.0=tool.exe /pw:Adm1nSecret\r\nselected.0=1\r\n"));
  for (const bool json : {false, true}) {
    const std::string plan = PlanConfiguration(machine.platform(), {kIni, false, json});
    EXPECT_EQ(plan.find("Adm1nSecret"), std::string::npos) << plan;
    EXPECT_NE(plan.find("/pw:********"), std::string::npos) << plan;
  }
}

}  // namespace
}  // namespace tarn::startup
