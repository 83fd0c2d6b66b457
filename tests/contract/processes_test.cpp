// Processes and events behave alike on the simulated machine and the real
// system: exit codes, start failures, waiting with an abort event or a time
// limit, termination and the two kinds of events.
#include "platform/processes.h"

#include <gtest/gtest.h>

#include <chrono>

#include "contract/backend.h"
#include "platform/accounts.h"
#include "platform/environment_block.h"
#include "platform/system_info.h"

namespace tarn::contract {
namespace {

class ProcessesContract : public ::testing::Test {
 protected:
  void SetUp() override {
    backend_ = MakeContractBackend();
    processes_ = backend_->platform().processes;
    ASSERT_NE(processes_, nullptr) << backend_->Name() << " has no process service";
  }

  Result<std::unique_ptr<platform::Process>> Start(TextView commandLine, TextView folder = u"") {
    platform::StartRequest request;
    request.commandLine = commandLine;
    request.workingFolder = folder;
    return processes_->Start(request);
  }

  std::unique_ptr<ContractBackend> backend_;
  platform::Processes* processes_ = nullptr;
};

TEST_F(ProcessesContract, ExitCodesArriveWhole) {
  for (const uint32_t code : {0u, 1u, 3010u, 3011u, 1603u}) {
    auto process = Start(u"cmd.exe /c exit " + DecimalText(code));
    ASSERT_TRUE(process) << backend_->Name() << " error " << process.error();
    ASSERT_TRUE((*process)->Wait(30000));
    EXPECT_EQ((*process)->ExitCode().value_or(0xFFFFFFFF), code) << backend_->Name();
  }
}

TEST_F(ProcessesContract, AMissingProgramFailsWithFileNotFound) {
  auto process = Start(backend_->ScratchFolder() + u"\\program-7f3a.exe /q");
  ASSERT_FALSE(process);
  EXPECT_EQ(process.error(), kErrorFileNotFound) << backend_->Name();
}

// The program file named apart from the command line is the one that runs,
// whatever the command line's first word says; a missing one is not looked
// for elsewhere.
TEST_F(ProcessesContract, TheApplicationNameChoosesTheProgram) {
  const Text system = backend_->platform().system->SystemFolder();
  const Text cmd = system + u"\\cmd.exe";
  platform::StartRequest request;
  request.commandLine = u"ping.exe /c exit 7";
  request.applicationName = cmd;
  auto process = processes_->Start(request);
  ASSERT_TRUE(process) << backend_->Name() << " error " << process.error();
  ASSERT_TRUE((*process)->Wait(30000));
  EXPECT_EQ((*process)->ExitCode().value_or(0xFFFFFFFF), 7u) << backend_->Name();

  const Text missing = backend_->ScratchFolder() + u"\\cmd.exe";
  request.commandLine = u"cmd.exe /c exit 0";
  request.applicationName = missing;
  EXPECT_EQ(processes_->Start(request).error(), kErrorFileNotFound) << backend_->Name();
}

TEST_F(ProcessesContract, AMissingWorkingFolderFailsTheStart) {
  const Text folder = backend_->ScratchFolder() + u"\\missing";
  auto process = Start(u"cmd.exe /c exit 0", folder);
  ASSERT_FALSE(process);
  EXPECT_EQ(process.error(), kErrorDirectory) << backend_->Name();
}

TEST_F(ProcessesContract, AbortEndsTheWaitAndTerminateSetsTheCode) {
  auto abort = processes_->MakeEvent(false, false);
  ASSERT_NE(abort, nullptr);
  auto process = Start(u"cmd.exe /c ping -n 60 127.0.0.1");
  ASSERT_TRUE(process) << process.error();
  EXPECT_EQ((*process)->ExitCode().value_or(0), 259u) << "still active";
  abort->Set();
  const auto started = std::chrono::steady_clock::now();
  const auto wait = (*process)->WaitOrAbort(*abort);
  ASSERT_TRUE(wait) << wait.error();
  EXPECT_EQ(*wait, platform::ProcessWait::kAborted);
  EXPECT_EQ((*process)->Terminate(1067), kErrorSuccess);
  ASSERT_TRUE((*process)->Wait(10000));
  EXPECT_EQ((*process)->ExitCode().value_or(0), 1067u);
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(20));
  // The automatic-reset event was consumed by the wait.
  EXPECT_FALSE(abort->Wait(0));
}

TEST_F(ProcessesContract, ATimeLimitEndsTheWaitAndLeavesTheProcessRunning) {
  auto abort = processes_->MakeEvent(false, false);
  auto process = Start(u"cmd.exe /c ping -n 60 127.0.0.1");
  ASSERT_TRUE(process) << process.error();
  const auto started = std::chrono::steady_clock::now();
  const auto wait = (*process)->WaitOrAbort(*abort, 300);
  const auto waited = std::chrono::steady_clock::now() - started;
  ASSERT_TRUE(wait) << wait.error();
  EXPECT_EQ(*wait, platform::ProcessWait::kTimedOut) << backend_->Name();
  EXPECT_GE(waited, std::chrono::milliseconds(250));
  EXPECT_LT(waited, std::chrono::seconds(20));
  EXPECT_EQ((*process)->ExitCode().value_or(0), 259u) << "still active";
  EXPECT_EQ((*process)->Terminate(1067), kErrorSuccess);
  ASSERT_TRUE((*process)->Wait(10000));
}

TEST_F(ProcessesContract, WaitOrAbortReturnsWhenTheProcessEnds) {
  auto abort = processes_->MakeEvent(false, false);
  auto process = Start(u"cmd.exe /c exit 7");
  ASSERT_TRUE(process);
  const auto wait = (*process)->WaitOrAbort(*abort);
  ASSERT_TRUE(wait) << wait.error();
  EXPECT_EQ(*wait, platform::ProcessWait::kExited);
  EXPECT_EQ((*process)->ExitCode().value_or(0), 7u);
}

// The case makes an account of its own and removes it again.
TEST_F(ProcessesContract, AnAccountsLogonEnvironmentIsItsOwn) {
  if (backend_->UnderWine()) {
    GTEST_SKIP() << "LogonUserW is faked and NetUserAdd keeps an in-process database under Wine";
  }
  platform::Accounts& accounts = *backend_->platform().accounts;
  constexpr TextView kName = u"tarnlogon7";
  constexpr TextView kPassword = u"Tarn-Logon-7x!";
  platform::UserInfo info;
  info.name = Text(kName);
  info.privilege = platform::kUserPrivUser;
  info.flags = 0x201;
  const WinError made = accounts.CreateUser(u"", info, kPassword);
  ASSERT_TRUE(made == kErrorSuccess || made == kNerrUserExists) << made;
  ASSERT_EQ(accounts.SetUserText(u"", kName, platform::kUserLevelPassword, kPassword),
            kErrorSuccess);

  auto block = processes_->LogonEnvironment({kName, u"", kPassword});
  ASSERT_TRUE(block) << backend_->Name() << " error " << block.error();
  std::optional<Text> user;
  std::optional<Text> profile;
  for (const auto& entry : platform::ParseEnvironmentBlock(*block).value_or(
           std::vector<platform::EnvironmentEntry>{})) {
    if (EqualsIgnoreCase(entry.name, u"USERNAME")) user = entry.value;
    if (EqualsIgnoreCase(entry.name, u"USERPROFILE")) profile = entry.value;
  }
  EXPECT_EQ(user, std::optional<Text>(Text(kName))) << backend_->Name();
  ASSERT_TRUE(profile.has_value()) << backend_->Name();
  EXPECT_NE(FindIgnoreCase(*profile, kName), TextView::npos) << ToUtf8(*profile);
  EXPECT_EQ(processes_->LogonEnvironment({kName, u"", u"not-the-password"}).error(),
            platform::kErrorLogonFailure)
      << backend_->Name();
  (void)accounts.DeleteUser(u"", kName);
}

TEST_F(ProcessesContract, EventsResetAsCreated) {
  auto manual = processes_->MakeEvent(true, true);
  auto automatic = processes_->MakeEvent(false, true);
  ASSERT_TRUE(manual && automatic);
  EXPECT_TRUE(manual->Wait(0));
  EXPECT_TRUE(manual->Wait(0)) << "a manual-reset event stays set";
  manual->Reset();
  EXPECT_FALSE(manual->Wait(10));
  EXPECT_TRUE(automatic->Wait(0));
  EXPECT_FALSE(automatic->Wait(0)) << "an automatic-reset event resets on a wait";
  automatic->Set();
  EXPECT_TRUE(automatic->Wait(platform::kWaitForever));
}

TEST_F(ProcessesContract, AMachineLockHasOneHolderUntilItIsLetGo) {
  const Text name = u"Global\\TARN-contract-7c41";
  auto first = processes_->TakeMachineLock(name);
  ASSERT_TRUE(first) << backend_->Name() << " error " << first.error();
  auto second = processes_->TakeMachineLock(name);
  ASSERT_FALSE(second) << backend_->Name() << ": two holders of one lock";
  EXPECT_EQ(second.error(), kErrorAlreadyExists) << backend_->Name();
  EXPECT_TRUE(processes_->TakeMachineLock(u"Global\\TARN-contract-7c42"))
      << backend_->Name() << ": another name is another lock";
  first->reset();
  EXPECT_TRUE(processes_->TakeMachineLock(name)) << backend_->Name() << ": the lock was let go";
}

}  // namespace
}  // namespace tarn::contract
