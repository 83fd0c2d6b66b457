// Restarting Windows in the middle of a run and going on after it, from the
// program's start to its end, twice, on one simulated machine.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/sim/sim_pending_restart.h"
#include "run/restart_rules.h"
#include "run/run_restarts.h"
#include "startup/startup.h"
#include "support/json_reader.h"
#include "support/no_account_steps.h"
#include "unit/run/run_test_machine.h"

namespace tarn::run {
namespace {

using tarn::testing::JsonReader;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

constexpr char16_t kIni[] = u"C:\\tarn\\install.ini";
constexpr char16_t kResult[] = u"C:\\out\\result.json";

// The program's start-up with a wizard that runs the installation at once
// and ends with Finish; the accounts are the test's own.
class RunningHost : public tarn::testing::NoAccountSteps, public startup::NoWizardHost {
 public:
  explicit RunningHost(testing::RunTestMachine& m) : m_(m) {}
  startup::WizardOutcome RunWizard(AppContext&) override {
    (void)m_.Run();
    return startup::WizardOutcome::kFinished;
  }

 private:
  testing::RunTestMachine& m_;
};

struct RestartMachine : testing::RunTestMachine {
  RestartMachine() {
    machine.system().SetModuleFileName(u"C:\\tarn\\tarn.exe");
    Add(0, true, u"T").Key = u"T";
  }
  void Settings(std::string lines) {
    ASSERT_TRUE(machine.files().PutTextFile(kIni, "[settings]\r\n" + lines));
  }
  catalogue::SoftwareEntry& Entry(int n, uint32_t exitCode) {
    const Text program = u"p" + DecimalText(n) + u".exe";
    AddProgram(program, exitCode);
    catalogue::SoftwareEntry& entry = Add(1, true, u"Step " + DecimalText(n), program);
    entry.Key = u"T." + DecimalText(n);
    return entry;
  }
  // One start of the program with `arguments`, in a fresh context.
  int Start(TextView arguments) {
    app = std::make_unique<AppContext>(machine.platform());
    RunningHost host(*this);
    return startup::RunStartup(*app, arguments, {host, host});
  }
  // The arguments the continue task starts the program with; empty when none.
  Text TaskArguments() {
    const auto& tasks = machine.services().tasks();
    const auto task = tasks.find(Text(kContinueTaskName));
    if (task == tasks.end()) return {};
    const Text& xml = task->second;
    const size_t from = xml.find(u"<Arguments>") + 11;
    Text arguments = xml.substr(from, xml.find(u"</Arguments>") - from);
    for (size_t at = arguments.find(u"&quot;"); at != Text::npos; at = arguments.find(u"&quot;")) {
      arguments.replace(at, 6, u"\"");
    }
    return arguments;
  }
  std::optional<tarn::testing::JsonValue> Json() {
    const auto bytes = machine.files().ReadAll(kResult);
    if (!bytes) return std::nullopt;
    return JsonReader::Parse(std::string(bytes->begin(), bytes->end()));
  }
  // The programs started, in order.
  std::vector<std::string> Programs() {
    std::vector<std::string> out;
    for (const std::string& line : Started()) out.push_back(line.substr(1, line.find('"', 1) - 1));
    return out;
  }
  std::vector<std::string> Steps() {
    std::vector<std::string> out;
    const auto json = Json();
    if (!json) return out;
    for (const auto& step : (*json)["steps"].items) {
      out.push_back(step["kind"].str() + " " + step["key"].str() + " " + step["outcome"].str());
    }
    return out;
  }
};

constexpr char16_t kLine[] =
    u"/ini=C:\\tarn\\install.ini /userpwd=secret /result=C:\\out\\result.json /exitcode=result "
    u"/skiprestart";

TEST(RestartContinueTest, ARestartAfterAnEntryIsAskedForAndTheNextStartGoesOnAfterIt) {
  RestartMachine m;
  m.Settings("");
  m.Entry(1, 0).RestartAfter = true;
  m.Entry(2, 0);

  EXPECT_EQ(m.Start(kLine), 1641);
  EXPECT_THAT(m.Programs(), ElementsAre("p1.exe"));
  ASSERT_EQ(m.machine.system().shutdownRequests().size(), 1u);
  const sim::ShutdownRequest& restart = m.machine.system().shutdownRequests()[0];
  EXPECT_TRUE(restart.reboot);
  EXPECT_EQ(restart.reason, kPlannedRestartReason);
  // The task starts the program again with its own arguments, never a password.
  const Text arguments = m.TaskArguments();
  EXPECT_EQ(ToUtf8(arguments),
            "/ini=C:\\tarn\\install.ini /result=C:\\out\\result.json /exitcode=result "
            "/skiprestart /continue=\"1,0,T.1\"");
  const Text& xml = m.machine.services().tasks().begin()->second;
  EXPECT_THAT(ToUtf8(xml), HasSubstr("<RunLevel>HighestAvailable</RunLevel>"));
  EXPECT_THAT(ToUtf8(xml), HasSubstr("<LogonType>InteractiveToken</LogonType>"));
  EXPECT_THAT(ToUtf8(xml), HasSubstr("<Command>C:\\tarn\\tarn.exe</Command>"));
  EXPECT_THAT(m.Steps(), ElementsAre("entry T.1 success", "restart T.1 success"));
  EXPECT_FALSE((*m.Json())["finished"].boolean);

  EXPECT_EQ(m.Start(arguments), 0);
  EXPECT_THAT(m.Programs(), ElementsAre("p1.exe", "p2.exe"));
  EXPECT_EQ(m.machine.system().shutdownRequests().size(), 1u) << "no restart at the end";
  EXPECT_TRUE(m.machine.services().tasks().empty()) << "the task is removed at the end";
  EXPECT_THAT(m.Steps(), ElementsAre("entry T.1 skipped", "entry T.2 success"));
  EXPECT_EQ((*m.Json())["restarts"].number, 1);
  EXPECT_TRUE((*m.Json())["finished"].boolean);
}

TEST(RestartContinueTest, AsSystemTheRunGoesOnAtStartUpBeforeAnyLogon) {
  RestartMachine m;
  m.machine.system().SetUserName(u"SYSTEM");
  m.Settings("");
  m.Entry(1, 0).RestartAfter = true;
  m.Entry(2, 0);

  EXPECT_EQ(m.Start(kLine), 1641);
  ASSERT_EQ(m.machine.services().tasks().size(), 1u);
  const std::string xml = ToUtf8(m.machine.services().tasks().begin()->second);
  EXPECT_THAT(xml, HasSubstr("<BootTrigger>"));
  EXPECT_THAT(xml, HasSubstr("<UserId>S-1-5-18</UserId>"));
}

TEST(RestartContinueTest, AutomaticLogonToBeRemovedStaysUntilTheRunEnds) {
  RestartMachine m;
  m.Settings("AutoLogon=0\r\n");
  (void)m.machine.registry().Put(platform::kLocalMachine, kWinlogonKey, u"AutoAdminLogon",
                                 platform::RegValue::FromText(u"1"));
  m.Entry(1, 0).RestartAfter = true;
  m.Entry(2, 0);

  EXPECT_EQ(m.Start(kLine), 1641);
  EXPECT_TRUE(m.Machine(kWinlogonKey, u"AutoAdminLogon")) << "the next start needs the logon";
  EXPECT_EQ(m.Start(m.TaskArguments()), 0);
  EXPECT_FALSE(m.Machine(kWinlogonKey, u"AutoAdminLogon"));
}

TEST(RestartContinueTest, MaxRestartsStopsARestartLoopWithAnError) {
  RestartMachine m;
  m.Settings("RestartOnRequest=1\r\nMaxRestarts=2\r\n");
  m.Entry(1, 0);
  m.Entry(2, 3010);
  m.Entry(3, 0);

  // The third restart of the run: the entry needs it, the guard refuses it.
  EXPECT_EQ(m.Start(Text(kLine) + u" /continue=\"2,0,T.1\""), 1603);
  EXPECT_THAT(m.Programs(), ElementsAre("p2.exe", "p3.exe"));
  EXPECT_TRUE(m.machine.system().shutdownRequests().empty());
  EXPECT_TRUE(m.machine.services().tasks().empty());
  EXPECT_THAT(m.Steps(), ElementsAre("entry T.1 skipped", "entry T.2 success-restart",
                                     "restart T.2 error", "entry T.3 success"));
  EXPECT_EQ((*m.Json())["restarts"].number, 2);
}

TEST(RestartContinueTest, AFailureBeforeTheRestartStaysTheRunsFailure) {
  RestartMachine m;
  m.Settings("RestartOnRequest=1\r\n");
  m.Entry(1, 1);
  m.Entry(2, 3010);
  m.Entry(3, 0);

  EXPECT_EQ(m.Start(kLine), 1641);
  EXPECT_TRUE(ToUtf8(m.TaskArguments()).ends_with(" /continue=\"1,1,T.2\""));
  EXPECT_EQ(m.Start(m.TaskArguments()), 1603);
  EXPECT_THAT(m.Programs(), ElementsAre("p1.exe", "p2.exe", "p3.exe"));
}

TEST(RestartContinueTest, APendingRestartComesFirst) {
  struct Row {
    sim::PendingRestart pending;
    const char* setting;
    bool restarts;
  };
  const Row rows[] = {
      {sim::PendingRestart::kComponentServicing, "RestartIfPending=1", true},
      {sim::PendingRestart::kWindowsUpdate, "RestartIfPending=1", true},
      {sim::PendingRestart::kComputerRename, "RestartIfPending=1", true},
      {sim::PendingRestart::kFileRename, "RestartIfPending=1", false},
      {sim::PendingRestart::kFileRename, "RestartIfPending=2", true},
      {sim::PendingRestart::kWindowsUpdate, "RestartIfPending=0", false},
  };
  for (const Row& row : rows) {
    RestartMachine m;
    m.Settings(std::string(row.setting) + "\r\n");
    m.Entry(1, 0);
    sim::MarkRestartPending(m.machine.registry(), row.pending);
    const int code = m.Start(kLine);
    SCOPED_TRACE(row.setting);
    EXPECT_EQ(code, row.restarts ? 1641 : 0);
    EXPECT_EQ(m.Programs().size(), row.restarts ? 0u : 1u);
    EXPECT_EQ(m.machine.system().shutdownRequests().size(), row.restarts ? 1u : 0u);
    if (row.restarts) {
      EXPECT_THAT(ToUtf8(m.TaskArguments()), HasSubstr("/continue=\"1,0,\""));
    }
  }
}

}  // namespace
}  // namespace tarn::run
