// The simulated process table finds a registered program by the path or the
// bare file name of the command line's first argument and runs it once.
#include <gtest/gtest.h>

#include "platform/sim/machine.h"

namespace tarn::sim {
namespace {

Result<std::unique_ptr<platform::Process>> StartCommand(SimProcesses& processes,
                                                        TextView commandLine) {
  platform::StartRequest request;
  request.commandLine = commandLine;
  return processes.Start(request);
}

TEST(SimProcessesTest, ProgramIsFoundByItsFileNameBehindEitherSeparator) {
  Machine machine;
  SimProcesses& processes = machine.processes();
  int runs = 0;
  SimProgram setup;
  setup.exitCode = 3010;
  setup.onStart = [&runs](const LaunchRecord&) { ++runs; };
  processes.AddProgram(u"setup.exe", setup);
  const TextView lines[] = {u"setup /q", u"C:\\kit\\SETUP.EXE /q", u"C:/kit/setup.exe",
                            u"\"D:\\a b/Setup\" /s", u"E:setup.exe"};
  for (const TextView line : lines) {
    auto process = StartCommand(processes, line);
    ASSERT_TRUE(process) << "error " << process.error();
    ASSERT_TRUE((*process)->Wait(1000));
    EXPECT_EQ((*process)->ExitCode().value_or(0), 3010u);
  }
  EXPECT_EQ(runs, static_cast<int>(std::size(lines)));
  EXPECT_EQ(processes.launches().size(), std::size(lines));
}

TEST(SimProcessesTest, AnUnknownProgramIsRefusedAndNotRecorded) {
  Machine machine;
  SimProcesses& processes = machine.processes();
  processes.AddProgram(u"C:\\kit\\setup.exe", SimProgram{});
  for (const TextView line : {u"C:\\other\\tool.exe", u"setupx.exe", u"\"\""}) {
    auto process = StartCommand(processes, line);
    EXPECT_FALSE(process);
    EXPECT_EQ(process.error(), kErrorFileNotFound);
  }
  EXPECT_TRUE(processes.launches().empty());
}

}  // namespace
}  // namespace tarn::sim
