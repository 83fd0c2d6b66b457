// A command whose program is named without a path, on the simulated machine:
// copies planted beside the program and in the current directory are never
// the ones started.
#include <gtest/gtest.h>

#include "run/launch_entry.h"
#include "unit/run/run_test_machine.h"

namespace tarn::run::testing {
namespace {

struct Launched {
  app::StepRecord record;
  std::vector<std::string> lines;
};

Launched Launch(RunTestMachine& m, TextView command) {
  catalogue::SoftwareEntry& entry = m.Add(0, true, u"P", command);
  const auto signals = MakeRunSignals(m.machine.processes());
  const ResultTexts texts = LoadResultTexts(*m.app);
  LaunchContext context{*m.app, m.status, *signals, nullptr, texts, u"C:\\tarn"};
  Launched launched;
  m.app->log.SetListener([&launched](Text message, int32_t level) {
    launched.lines.push_back(std::to_string(level) + ":" + ToUtf8(message));
  });
  (void)LaunchEntry(context, entry, launched.record);
  m.app->log.SetListener({});
  return launched;
}

// A planted program beside tarn.exe and in the current directory: started,
// it would end with 66.
void Plant(RunTestMachine& m, TextView name) {
  ASSERT_EQ(m.machine.files().SetCurrentDirectory(u"C:\\tarn"), kErrorSuccess);
  for (const TextView folder : {u"C:\\tarn", u"C:\\Users\\Public"}) {
    const Text path = Text(folder) + u"\\" + Text(name);
    ASSERT_TRUE(m.machine.files().PutFile(path, {}));
    sim::SimProgram planted;
    planted.exitCode = 66;
    m.machine.processes().AddProgram(path, planted);
  }
}

TEST(CommandProgramTest, ABareNameStartsTheSystemsCopyNotAPlantedOne) {
  RunTestMachine m;
  Plant(m, u"cmd.exe");
  const Launched launched = Launch(m, u"cmd /c exit 0");
  ASSERT_EQ(m.machine.processes().launches().size(), 1u);
  EXPECT_EQ(m.machine.processes().launches()[0].applicationName, u"C:\\Windows\\System32\\cmd.exe");
  EXPECT_EQ(m.machine.processes().launches()[0].commandLine, u"cmd /c exit 0");
  EXPECT_EQ(launched.record.outcome, app::Outcome::kSuccess);
}

TEST(CommandProgramTest, AProgramOnlyBesideTarnIsNotFound) {
  RunTestMachine m;
  Plant(m, u"setup.exe");
  const Launched launched = Launch(m, u"setup /q");
  EXPECT_TRUE(m.machine.processes().launches().empty());
  EXPECT_EQ(launched.record.outcome, app::Outcome::kError);
  ASSERT_FALSE(launched.lines.empty());
  EXPECT_EQ(launched.lines.back().substr(0, 2), "0:") << launched.lines.back();
  // Named with its folder, as %INIDIR%\setup.exe gives it, it starts as before.
  const Launched named = Launch(m, u"C:\\tarn\\setup.exe /q");
  ASSERT_EQ(m.machine.processes().launches().size(), 1u);
  EXPECT_EQ(m.machine.processes().launches()[0].applicationName, u"");
  EXPECT_EQ(named.record.exitCode, std::optional<uint32_t>(66));
}

}  // namespace
}  // namespace tarn::run::testing
