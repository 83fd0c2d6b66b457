// The whole installation against a machine where one platform call fails:
// a counting run finds every call the run makes, then each of them (or a
// spread of them) fails in turn. Every run must end, restore the policy it
// relaxed, leave no password behind and say in the log that something failed.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <future>
#include <iterator>
#include <numeric>
#include <set>
#include <thread>
#include <tuple>

#include "accounts/user_environment.h"
#include "run/account_worker.h"
#include "run/result_file.h"
#include "run/run_environment.h"
#include "support/json_reader.h"
#include "support/scripted_prompter.h"
#include "unit/accounts/account_test_machine.h"
#include "unit/run/run_test_machine.h"

namespace tarn::run {
namespace {

using accounts::UserAccount;
using sim::CallKind;

constexpr char16_t kProfiles[] = u"C:\\Users";
constexpr char16_t kAnnaPassword[] = u"Pw-anna-1";
constexpr uint32_t kPolicyBefore = 1;
// Beyond this many failing runs, kinds with many calls are sampled.
constexpr uint64_t kMostRuns = 1200;

// Kinds whose failure the run is designed to take silently: only that the
// run survives is checked for them. Each only asks what is there; a failed
// question reads as "not there" and the default applies (the default shell
// folders, the program's own texts, no right to withdraw, a drive to check
// again, the local computer); a later step that fails for it is logged.
// Privileges are enabled around a hive load and disabled after it: a refused
// enabling fails the load, which is logged; a refused disabling changes
// nothing the run does.
const std::set<CallKind> kSilentKinds = {
    CallKind::kRegistryOpen, CallKind::kRegistryRead, CallKind::kRegistryEnum,
    CallKind::kFileRead,     CallKind::kFileInfo,     CallKind::kFileList,
    CallKind::kVolume,       CallKind::kAccountGet,   CallKind::kGroupQuery,
    CallKind::kRightsQuery,  CallKind::kSidLookup,    CallKind::kProfileFolder,
    CallKind::kSystemName,   CallKind::kServiceQuery, CallKind::kJoinInformation,
    CallKind::kAccountEnum,  CallKind::kPrivileges,
};

constexpr char16_t kResultPath[] = u"C:\\tarn\\result.json";

// What the run told its observer, handed on to the result file.
class RecordingObserver : public app::RunObserver {
 public:
  explicit RecordingObserver(AppContext& app) : file(app, kResultPath, u"C:\\tarn\\install.ini") {}
  bool AlreadyDone(app::StepKind, TextView) override { return false; }
  void StepFinished(const app::StepRecord& step) override {
    steps.push_back(step);
    file.StepFinished(step);
  }
  void RunFinished(const app::RunTotals& ended) override {
    totals = ended;
    ++finishedCalls;
    file.RunFinished(ended);
  }

  ResultFile file;

  std::vector<app::StepRecord> steps;
  app::RunTotals totals;
  int finishedCalls = 0;
};

// One installation of a representative configuration on a fresh machine.
class FaultRun {
 public:
  FaultRun() {
    (void)m.machine.files().MakeDirectories(u"C:\\tarn");
    auto& registry = m.machine.registry();
    for (const char16_t* key : {kWinlogonKey, kTcpipParametersKey, kCurrentVersionKey}) {
      (void)registry.MakeKey(platform::kLocalMachine, key);
    }
    (void)registry.Put(platform::kLocalMachine, kLsaKey, kLimitBlankPasswordUse,
                       platform::RegValue::FromDword(kPolicyBefore));
    PrepareProfiles();
    Accounts();
    auto& c = app->config;
    c.Computer = u"NEWPC";
    c.Owner = c.Org = u"Owner";
    c.Workgroup = u"HOME";
    c.User = u"anna";
    c.AutoLogon = app::AutoLogonMode::kOn;
    c.UserPwd = c.UserPwdConfirm = kAnnaPassword;
    app->runObserver = &observer;
    // Two programs under a heading, run as the primary account.
    for (const char16_t* name : {u"setup.exe", u"tool.exe"})
      m.machine.processes().AddProgram(name, {});
    for (const auto& [level, text, command] :
         {std::tuple(0u, u"Programs", u""), std::tuple(1u, u"Setup", u"setup.exe /q"),
          std::tuple(1u, u"Tool", u"tool.exe")}) {
      catalogue::SoftwareEntry* entry = catalogue.AllocEntry();
      entry->Level = level;
      entry->State = catalogue::kStateSelected;
      entry->Description = tarn::Text(text);
      if (*command != u'\0') entry->Command = tarn::Text(command);
    }
  }

  // Runs the installation; a run that does not end within a minute ends the
  // suite (its worker still runs, so nothing after it would be safe).
  void Run() {
    HeadlessRunner runner(
        RunContext{*app, store.list, catalogue.FirstEntry(), status, worker, variables});
    auto ended = std::make_shared<std::promise<void>>();
    std::future<void> done = ended->get_future();
    std::thread([&runner, ended] {
      runner.Run();
      ended->set_value();
    }).detach();
    if (done.wait_for(std::chrono::seconds(60)) != std::future_status::ready) {
      std::fprintf(stderr, "the run did not end\n");
      std::abort();
    }
    rows = runner.rows();
  }

  bool PolicyRestored() {
    const auto value =
        m.machine.registry().Get(platform::kLocalMachine, kLsaKey, kLimitBlankPasswordUse);
    return value && value->AsDword() == kPolicyBefore;
  }

  bool PasswordsWiped() const {
    const auto& c = app->config;
    return c.UserPwd.empty() && c.UserPwdConfirm.empty() && c.AdminPwd.empty() &&
           std::ranges::all_of(store.list, [](const UserAccount& r) { return r.Password.empty(); });
  }

  bool FinishedSet() const {
    const auto signals = status.signals();
    return signals && signals->finished && signals->finished->Wait(0);
  }

  bool WarnedOrFailed() const {
    return std::ranges::any_of(rows,
                               [](const StatusRow& r) { return r.level <= app::kLogWarning; });
  }

  accounts::testing::AccountMachine m;
  std::unique_ptr<AppContext> app = std::make_unique<AppContext>(m.platform());
  accounts::AccountStore store;
  catalogue::SoftwareCatalogue catalogue;
  RecordingStatus status;
  tarn::testing::ScriptedPrompter prompter;
  SystemAccountWorker worker{*app, prompter};
  RunEnvironment variables{VariableContext{m.services(), &app->config, &store.defaults, &app->log}};
  std::vector<StatusRow> rows;
  RecordingObserver observer{*app};

 private:
  // The Default User profile with its hive, a second drive, two accounts
  // that logged on before.
  void PrepareProfiles() {
    auto& registry = m.machine.registry();
    const tarn::Text list = accounts::testing::AccountMachine::kProfileListKeyText;
    (void)registry.Put(platform::kLocalMachine, list, u"DefaultUserProfile",
                       platform::RegValue::FromText(u"Default User"));
    (void)registry.Put(platform::kLocalMachine, list, u"AllUsersProfile",
                       platform::RegValue::FromText(u"All Users"));
    (void)m.machine.environment().Set(u"SystemDrive", u"C:");
    (void)m.machine.environment().Set(u"SystemRoot", u"C:\\WINDOWS");
    const tarn::Text defaultUser = tarn::Text(kProfiles) + u"\\Default User";
    (void)m.machine.files().PutTextFile(defaultUser + u"\\My Documents\\readme.txt", "hi");
    m.WriteHive(
        defaultUser + u"\\NTUSER.DAT",
        {{tarn::Text(accounts::kUserShellFoldersKey), u"Desktop",
          platform::RegValue::FromText(u"%USERPROFILE%\\Desktop", platform::kRegExpandSz)}});
    m.machine.files().AddVolume(u"D:");
    for (const char16_t* name : {u"ben", u"carl"}) {
      platform::UserInfo info;
      info.name = name;
      const uint32_t rid = m.machine.accounts().PutUser(info, u"old-password");
      const auto sid = m.machine.accounts().UserSid(rid);
      (void)m.machine.accounts().AddLocalGroupMember(u"", u"Users", sid);
      const tarn::Text folder = tarn::Text(kProfiles) + u"\\" + name;
      (void)m.machine.files().MakeDirectories(folder);
      m.AddProfileListEntry(sid.ToText(), folder, u"", std::nullopt);
    }
  }

  UserAccount& Record(TextView name, TextView oldName, TextView password) {
    UserAccount& record = store.list.AddBlank();
    record.Name = name;
    record.OldName = oldName;
    record.Password = password;
    record.Domain = u"TARN-PC";
    record.Status = accounts::kDefaultStatus;
    record.Group = accounts::kGroupUnchanged;
    return record;
  }

  // A new primary account with a password, a moved folder and a private
  // variable; ben changed and renamed to bert; carl deleted.
  void Accounts() {
    UserAccount& anna = Record(u"anna", u"anna", kAnnaPassword);
    anna.Group = accounts::kGroupUsers;
    anna.PasswordGiven = 1;
    anna.ShellFolders[accounts::kFolderPersonal] = u"D:\\Data\\anna\\Docs";
    accounts::AddVariable(anna, u"PROJECTS", u"D:\\Data\\anna\\projects");
    store.list.SetPrimary(anna);
    UserAccount& bert = Record(u"bert", u"ben", u"Pw-bert-2");
    bert.Exists = 1;
    bert.PasswordGiven = 1;
    bert.Comment = u"renamed";
    Record(u"carl", u"carl", accounts::kKeepPassword).Deleted = 1;
  }
};

// The result file's text (whether or not the failing call let it reach the
// disk) holds the recorded steps in order, the exit code they make, and no
// password.
void CheckResultFileSaysTheSame(FaultRun& run) {
  RecordingObserver& seen = run.observer;
  const uint32_t exitCode = ResultExitCode(seen.totals);
  seen.file.Close(seen.totals, exitCode);
  const std::string text = seen.file.Json();
  const auto json = tarn::testing::JsonReader::Parse(text);
  ASSERT_TRUE(json) << text;
  EXPECT_EQ((*json)["exitCode"].number, exitCode);
  EXPECT_EQ(exitCode == kExitFailed, seen.totals.failed > 0 || seen.totals.endedByError);
  const auto& written = (*json)["steps"].items;
  ASSERT_EQ(written.size(), seen.steps.size()) << text;
  for (size_t i = 0; i < written.size(); ++i) {
    EXPECT_EQ(written[i]["key"].text, seen.steps[i].key);
    EXPECT_EQ(written[i]["outcome"].text, app::OutcomeName(seen.steps[i].outcome));
  }
  for (const char* secret : {"Pw-anna-1", "Pw-bert-2", "old-password"}) {
    EXPECT_EQ(text.find(secret), std::string::npos) << secret << " in the result file";
  }
}

bool Failed(const app::StepRecord& step) {
  return step.outcome == app::Outcome::kError || step.outcome == app::Outcome::kAborted;
}

// The run's own account of itself, which the result file and the exit code
// are made of, against what the log says happened: every account once, an
// account the log names in an error line never a success in all its steps (its
// own and its downgrade), the failures counted as they are recorded, and the
// end told exactly once.
void CheckRunOutcomeTellsTheTruth(FaultRun& run) {
  const RecordingObserver& seen = run.observer;
  EXPECT_EQ(seen.finishedCalls, 1);
  EXPECT_EQ(seen.totals.failed, static_cast<uint32_t>(std::ranges::count_if(seen.steps, Failed)));
  for (const char16_t* name : {u"anna", u"ben", u"carl"}) {
    const auto count = std::ranges::count_if(seen.steps, [name](const app::StepRecord& s) {
      return s.kind == app::StepKind::kAccount && s.key == name;
    });
    EXPECT_EQ(count, 1) << ToUtf8(name) << " is not reported once";
  }
  for (const app::StepRecord& step : seen.steps) {
    if (step.kind != app::StepKind::kAccount) continue;
    const tarn::Text quoted = u"'" + step.name + u"'";
    const bool named = std::ranges::any_of(run.rows, [&quoted](const StatusRow& row) {
      return row.level == app::kLogError && row.message.find(quoted) != tarn::Text::npos;
    });
    // The error may be the account's own or that of its downgrade after the
    // commands; one of its steps must say so.
    const bool recorded = std::ranges::any_of(seen.steps, [&step](const app::StepRecord& s) {
      return s.name == step.name && s.outcome != app::Outcome::kSuccess &&
             (s.kind == app::StepKind::kAccount || s.kind == app::StepKind::kDowngrade);
    });
    if (named) {
      EXPECT_TRUE(recorded) << ToUtf8(step.name)
                            << " failed in the log but succeeded in the record";
    }
  }
  CheckResultFileSaysTheSame(run);
}

struct Failing {
  CallKind kind;
  uint64_t n;
  WinError error;
};

// Runs once with `f` failing and checks what every run must guarantee.
void ExpectSurvives(const Failing& f) {
  SCOPED_TRACE(std::string(sim::CallKindName(f.kind)) + " #" + std::to_string(f.n) + " error " +
               std::to_string(f.error));
  FaultRun run;
  run.m.machine.faults().FailNth(f.kind, f.n, f.error);
  run.m.machine.faults().Arm();
  run.Run();
  run.m.machine.faults().Disarm();
  const bool injected = run.m.machine.faults().Injected() > 0;
  EXPECT_TRUE(run.PolicyRestored());
  EXPECT_TRUE(run.PasswordsWiped());
  // Without its events the run has no finished event to set.
  EXPECT_TRUE(run.FinishedSet() || (f.kind == CallKind::kEventCreate && injected));
  // However it went, the renamed account is one account.
  const auto& users = run.m.machine.accounts();
  EXPECT_FALSE(users.FindUser(u"ben") && users.FindUser(u"bert"));
  if (injected && !kSilentKinds.contains(f.kind)) {
    EXPECT_TRUE(run.WarnedOrFailed()) << ::testing::PrintToString(testing::RowTexts(run.rows));
  }
  CheckRunOutcomeTellsTheTruth(run);
}

// Every call of kinds with few calls; an even spread of the others.
std::vector<Failing> Plan(const std::array<uint64_t, sim::kCallKindCount>& counts, WinError error,
                          uint64_t most) {
  const uint64_t total = std::accumulate(counts.begin(), counts.end(), uint64_t{0});
  const uint64_t perKind = total <= most ? UINT64_MAX : most / sim::kCallKindCount;
  std::vector<Failing> plan;
  for (size_t k = 0; k < sim::kCallKindCount; ++k) {
    const uint64_t count = counts[k];
    const uint64_t step = count <= perKind ? 1 : (count + perKind - 1) / perKind;
    for (uint64_t n = 1; n <= count; n += step) {
      plan.push_back({static_cast<CallKind>(k), n, error});
    }
  }
  return plan;
}

// The failing calls are tried in parts of their own, so that the test runner
// spreads them over the cores; each part first counts the calls of a clean run.
constexpr size_t kParts = 4;

class FaultInjectionTest : public ::testing::TestWithParam<size_t> {};

TEST_P(FaultInjectionTest, TheInstallationSurvivesEveryFailingCall) {
  FaultRun counting;
  counting.m.machine.faults().Arm();
  counting.Run();
  counting.m.machine.faults().Disarm();
  ASSERT_FALSE(counting.WarnedOrFailed())
      << ::testing::PrintToString(testing::RowTexts(counting.rows));
  ASSERT_TRUE(counting.PolicyRestored() && counting.PasswordsWiped() && counting.FinishedSet());
  const auto& users = counting.m.machine.accounts();
  ASSERT_TRUE(users.FindUser(u"anna") && users.FindUser(u"bert") && !users.FindUser(u"carl"));
  ASSERT_EQ(counting.m.machine.processes().launches().size(), 2u);
  std::array<uint64_t, sim::kCallKindCount> counts{};
  for (size_t k = 0; k < sim::kCallKindCount; ++k) {
    counts[k] = counting.m.machine.faults().Count(static_cast<CallKind>(k));
    if (GetParam() == 0)
      std::printf("%s: %llu\n", std::string(sim::CallKindName(static_cast<CallKind>(k))).c_str(),
                  static_cast<unsigned long long>(counts[k]));
  }
  std::vector<Failing> plan = Plan(counts, kErrorAccessDenied, kMostRuns);
  std::ranges::copy(Plan(counts, kErrorNotEnoughMemory, kMostRuns / 8), std::back_inserter(plan));
  size_t tried = 0;
  for (size_t i = GetParam(); i < plan.size(); i += kParts, ++tried) {
    ExpectSurvives(plan[i]);
    if (::testing::Test::HasFailure()) break;
  }
  std::printf("fault injection, part %zu: %zu of %zu failing calls tried, %s\n", GetParam(), tried,
              plan.size(), ::testing::Test::HasFailure() ? "some did not survive" : "all survived");
}

INSTANTIATE_TEST_SUITE_P(Parts, FaultInjectionTest, ::testing::Range<size_t>(0, kParts));

}  // namespace
}  // namespace tarn::run
