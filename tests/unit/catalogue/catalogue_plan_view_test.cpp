#include "catalogue/plan_view.h"

#include <gtest/gtest.h>

#include <sstream>

#include "app/startup_variables.h"
#include "catalogue/plan_file.h"
#include "platform/sim/machine.h"
#include "platform/sim/sim_environment.h"
#include "run/planned_command_lines.h"
#include "run/resolve_command.h"
#include "unit/catalogue/catalogue_test_util.h"

namespace tarn::catalogue {
namespace {

using testing::LoadText;

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::vector<std::string> CommandsOf(const SoftwareCatalogue& catalogue) {
  std::vector<std::string> commands;
  for (const SoftwareEntry* e : SelectedCommands(catalogue)) {
    commands.push_back(ToUtf8(e->Command.value_or(u"?")));
  }
  return commands;
}

TEST(CataloguePlan, WalkPassesOverUnselectedSubtreesAndThroughHeadings) {
  const SoftwareCatalogue catalogue = LoadText(R"ini([First]
command.0=*
selected.0=1
command.0.0=under-heading
selected.0.0=1
command.1=unselected-parent
command.1.0=selected-below-unselected
selected.1.0=1
command.2=selected-parent
selected.2=1
command.2.0=selected-child
selected.2.0=1
[Second]
selected=0
command.0=in-unselected-section
selected.0=1
[Third]
command.0=last
selected.0=1
)ini");
  EXPECT_EQ(CommandsOf(catalogue), (std::vector<std::string>{"under-heading", "selected-parent",
                                                             "selected-child", "last"}));
}

TEST(CataloguePlan, TextFormShowsEveryEntryThenTheCommandsExpanded) {
  const SoftwareCatalogue catalogue = LoadText(R"ini([Apps]
help=apps.rtf
command.0=%SRC%\setup.exe	/q
description.0=Setup
selected.0=1,inherit
workdir.0=%SRC%
helptext.0=Installs it
command.0.0=*
description.0.0=Nothing to run
command.1=*
description.1=Choose one
group.1=1
locked.1=1
command.1.0=b.exe
description.1.0=B
test.1.0.0=false
test.eval.1.0=0
hidden.1.0=if.false
flags.1.0=bold,italic:if.true
)ini");
  sim::SimEnvironment environment;
  ASSERT_EQ(environment.Set(u"SRC", TextView(u"D:\\src")), 0u);
  const auto lines = Lines(PlanText(catalogue, environment));
  const std::vector<std::string> expected = {
      "catalogue 5 entries",
      "0 partly selected, heading\tApps\t\t\tapps.rtf\t",
      "1 selected, children selected\tSetup\t%SRC%\\setup.exe?/q\t%SRC%\t\tInstalls it",
      "2 selected, heading, children selected\tNothing to run\t\t\t\t",
      "1 unselected, heading, locked, radio group\tChoose one\t\t\t\t",
      "2 unselected, hidden, bold, condition false\tB\tb.exe\t\t\t",
      "commands 1",
      "%SRC%\\setup.exe?/q\tD:\\src\\setup.exe?/q\t%SRC%\tD:\\src",
  };
  EXPECT_EQ(lines, expected) << PlanText(catalogue, environment);
}

TEST(CataloguePlan, CommandsAndFoldersReadAsTheLaunchMakesThem) {
  const SoftwareCatalogue catalogue = LoadText(R"ini([Apps]
command.0=%LONG%
selected.0=1
workdir.0=%SUB%\..\bin
command.1=b.exe
selected.1=1
workdir.1=E:\x\.\y
)ini");
  sim::SimEnvironment environment;
  const Text longValue(600, u'a');
  ASSERT_EQ(environment.Set(u"LONG", TextView(longValue)), 0u);
  ASSERT_EQ(environment.Set(u"SUB", TextView(u"tools")), 0u);
  const std::vector<PlannedCommand> plan = PlanCommands(catalogue, environment, u"C:\\tarn");
  ASSERT_EQ(plan.size(), 2u);
  EXPECT_EQ(plan[0].expandedCommand.size(), longValue.size()) << "a long command is not cut";
  EXPECT_EQ(ToUtf8(plan[0].expandedWorkDir), "C:\\tarn\\bin");
  EXPECT_EQ(plan[0].expandedWorkDir,
            app::WorkingFolderFor(environment, u"C:\\tarn", plan[0].entry->WorkDir));
  EXPECT_EQ(ToUtf8(plan[1].expandedWorkDir), "E:\\x\\y");
}

TEST(CataloguePlan, PasswordsTheRunKnowsAreMaskedEverywhereInThePlan) {
  sim::Machine machine;
  const SoftwareCatalogue catalogue =
      LoadText("[Tool]\ncommand.0=tool.exe /user:ann /pw:S3cret /again:S3cret\nselected.0=1\n");
  const std::string json = PlanJson(catalogue, machine.environment(), {},
                                    run::LaunchCommandLines(machine.platform(), {u"S3cret", u""}));
  EXPECT_NE(json.find(R"("commandLine":"\"tool.exe\" /user:ann /pw:******** /again:******** ")"),
            std::string::npos)
      << json;

  // The whole file: the command as written and expanded too, and a password
  // whose JSON form differs from its text.
  ASSERT_TRUE(machine.files().PutTextFile(
      u"C:\\p\\install.ini", "[Tool]\ncommand.0=tool.exe /pw:S3cret /q:a\"b\nselected.0=1\n"));
  ASSERT_EQ(WritePlanFile(machine.platform(), u"C:\\p\\install.ini", {}, u"C:\\p\\plan.txt",
                          run::LaunchCommandLines(machine.platform(), {u"S3cret", u"a\"b"}),
                          {u"S3cret", u"a\"b"}),
            kErrorSuccess);
  const auto bytes = machine.files().ReadAll(u"C:\\p\\plan.txt");
  ASSERT_TRUE(bytes.ok());
  const std::string plan(bytes->begin(), bytes->end());
  EXPECT_EQ(plan.find("S3cret"), std::string::npos) << plan;
  EXPECT_EQ(plan.find("a\\\"b"), std::string::npos) << plan;
  EXPECT_NE(plan.find("/pw:********"), std::string::npos) << plan;
}

TEST(CataloguePlan, DocumentsShowAsTheCommandLineTheLaunchStarts) {
  sim::Machine machine;
  ASSERT_TRUE(machine.registry().Put(platform::kClassesRoot, u".txt", u"",
                                     platform::RegValue::FromText(u"txtfile")));
  ASSERT_TRUE(machine.registry().Put(platform::kClassesRoot, u"txtfile\\Shell\\Open\\Command", u"",
                                     platform::RegValue::FromText(u"notepad.exe %1")));
  ASSERT_EQ(machine.environment().Set(u"DOCS", TextView(u"D:\\docs")), 0u);
  const SoftwareCatalogue catalogue =
      LoadText("[Read]\ncommand.0=%DOCS%\\readme.txt\nselected.0=1\n");
  const platform::Platform platform = machine.platform();
  const std::string text =
      PlanText(catalogue, machine.environment(), {}, run::LaunchCommandLines(platform));
  Text launched;
  (void)run::ResolveCommandLine(machine.registry(), &machine.environment(), u"D:\\docs\\readme.txt",
                                launched);
  ASSERT_EQ(ToUtf8(launched).rfind("notepad.exe ", 0), 0u) << ToUtf8(launched);
  EXPECT_EQ(Lines(text).back(), "%DOCS%\\readme.txt\t" + ToUtf8(launched) + "\t\t") << text;
  const std::string json =
      PlanJson(catalogue, machine.environment(), {}, run::LaunchCommandLines(platform));
  EXPECT_NE(json.find(R"("expanded":"D:\\docs\\readme.txt","commandLine":"notepad.exe )"),
            std::string::npos)
      << json;
}

TEST(CataloguePlan, JsonTellsEachEntrysRowAndStates) {
  const SoftwareCatalogue catalogue = LoadText(R"ini([Apps]
collapsed=1
command.0=a.exe
selected.0=1
command.1=b.exe
)ini");
  sim::SimEnvironment environment;
  const std::string json = PlanJson(catalogue, environment);
  const auto entry = [&](size_t index) {
    size_t at = json.find("{\"level\"");
    for (size_t i = 0; i < index && at != std::string::npos; ++i)
      at = json.find("{\"level\"", at + 1);
    return json.substr(at, json.find('}', at) - at);
  };
  EXPECT_NE(entry(0).find(R"("hasRow":true)"), std::string::npos) << json;
  EXPECT_NE(entry(1).find(R"("hasRow":false)"), std::string::npos) << "below a collapsed section";
  const SoftwareEntry& a = *catalogue.FirstEntry()->Next;
  EXPECT_NE(entry(1).find("\"snapshotState\":" + std::to_string(a.SnapshotState) +
                          ",\"initialState\":" + std::to_string(a.InitialState) +
                          ",\"rememberedState\":" + std::to_string(a.RememberedState)),
            std::string::npos)
      << json;
  EXPECT_NE(entry(2).find(R"("snapshotState":0,"initialState":0,"rememberedState":0)"),
            std::string::npos)
      << json;
}

TEST(CataloguePlan, JsonEscapesAndRefersToEntriesByIndex) {
  const SoftwareCatalogue catalogue =
      LoadText("[S]\ncommand.0=say \"hi\" \\o/\nselected.0=1\ndescription.0=Q\n");
  sim::SimEnvironment environment;
  const std::string json = PlanJson(catalogue, environment);
  EXPECT_NE(json.find(R"("command":"say \"hi\" \\o/")"), std::string::npos) << json;
  EXPECT_NE(json.find(R"("commands":[{"entry":1,)"), std::string::npos) << json;
  EXPECT_NE(json.find(R"("level":0,"flags":16384,"state":4,"description":"S","command":null)"),
            std::string::npos)
      << json;
}

TEST(CataloguePlan, PlanFileHoldsTheTextFormOfTheLoadedFile) {
  sim::Machine machine;
  machine.system().SetModuleFileName(u"C:\\tarn\\tarn.exe");
  ASSERT_TRUE(machine.files().PutTextFile(u"C:\\setup\\install.ini",
                                          "[Apps]\ncommand.0=%INIDIR%\\a.exe\nselected.0=1\n"
                                          "workdir.0=tools\n"));
  ASSERT_EQ(machine.platform().environment->Set(u"INIDIR", TextView(u"C:\\setup")), 0u);
  ASSERT_EQ(WritePlanFile(machine.platform(), u"C:\\setup\\install.ini", {}, u"C:\\plan.txt"), 0u);
  auto bytes = machine.platform().files->ReadAll(u"C:\\plan.txt");
  ASSERT_TRUE(bytes.ok());
  EXPECT_EQ(std::string(bytes->begin(), bytes->end()),
            "catalogue 2 entries\n"
            "0 selected, heading\tApps\t\t\t\t\n"
            "1 selected\t<missing description>\t%INIDIR%\\a.exe\ttools\t\t\n"
            "commands 1\n"
            "%INIDIR%\\a.exe\tC:\\setup\\a.exe\ttools\tC:\\tarn\\tools\n");
}

}  // namespace
}  // namespace tarn::catalogue
