// The primary account through a whole run on the simulated Windows machine:
// the commands it starts see its own environment, and an account that is to
// end as a standard user is lowered by the run itself, not at a logon that
// Windows would not let do it.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "accounts/account_security.h"
#include "accounts/user_environment.h"
#include "base/paths.h"
#include "catalogue/software_catalogue.h"
#include "platform/environment_block.h"
#include "platform/user_profiles.h"
#include "run/account_worker.h"
#include "run/installation_variables.h"
#include "run/result_file.h"
#include "run/resume_journal.h"
#include "run/run_environment.h"
#include "support/headless_runner.h"
#include "support/json_reader.h"
#include "support/scripted_prompter.h"
#include "unit/accounts/account_test_machine.h"

namespace tarn::run {
namespace {

using accounts::UserAccount;

constexpr char16_t kConfig[] = u"C:\\tarn\\install.ini";
constexpr char16_t kResult[] = u"C:\\tarn\\result.json";
constexpr char16_t kJournal[] = u"C:\\tarn\\install.ini.journal";
constexpr char16_t kPassword[] = u"Pw-anna-1";

// The administrator's own variables, which the program inherits.
bool InheritAdministratorsVariables(platform::Environment& environment) {
  bool set = true;
  for (const auto& [name, value] :
       {std::pair(u"SystemDrive", u"C:"), std::pair(u"SystemRoot", u"C:\\Windows"),
        std::pair(u"TEMP", u"C:\\Users\\Administrator\\AppData\\Local\\Temp"),
        std::pair(u"APPDATA", u"C:\\Users\\Administrator\\AppData\\Roaming")}) {
    set = environment.Set(name, value) == kErrorSuccess && set;
  }
  return set;
}

// A fresh machine whose Default profile gives new accounts their TEMP; the
// program inherits the administrator's own variables; anna is a new primary
// account that is to end as a standard user.
struct PrimaryRun {
  PrimaryRun() {
    (void)m.machine.files().MakeDirectories(u"C:\\tarn");
    PrepareDefaultProfile();
    EXPECT_TRUE(m.machine.files().PutTextFile(kConfig, "[environment]\nTOOLS=C:\\tools\n"));
    LoadEnvironmentSection(VariableContext{m.services(), &app->config, &store.defaults, &app->log},
                           kConfig);
    AddAnna();
    // What the program would do if a logon started it: lower the account.
    sim::SimProgram tarn;
    tarn.requiresElevation = true;
    tarn.onStart = [this](const sim::LaunchRecord&) {
      (void)accounts::DowngradeAccount(m.services(), u"anna");
    };
    m.machine.processes().AddProgram(u"tarn.exe", tarn);
    sim::SimProgram probe;
    probe.onStart = [this](const sim::LaunchRecord& launch) {
      seen = launch.environment.value_or(Text());
      adminWhileCommandRan = InGroup(sim::kRidAdministrators);
    };
    m.machine.processes().AddProgram(u"probe.exe", probe);
    catalogue::SoftwareEntry* entry = catalogue.AllocEntry();
    entry->State = catalogue::kStateSelected;
    entry->Description = u"Probe";
    entry->Command = Text(u"probe.exe");
    entry->Key = u"Tools.0";
  }

  void PrepareDefaultProfile() {
    ASSERT_EQ(m.machine.services().EnablePrivileges({u"SeBackupPrivilege", u"SeRestorePrivilege"}),
              kErrorSuccess);
    const Text folder = *m.machine.userProfiles().DefaultUserProfileDirectory();
    ASSERT_TRUE(m.machine.files().MakeDirectories(folder));
    (void)m.machine.registry().Put(
        platform::kLocalMachine, accounts::testing::AccountMachine::kProfileListKeyText,
        u"DefaultUserProfile", platform::RegValue::FromText(PathFindFileName(folder)));
    m.WriteHive(folder + u"\\NTUSER.DAT",
                {{u"Environment", u"TEMP",
                  platform::RegValue::FromText(u"%USERPROFILE%\\AppData\\Local\\Temp",
                                               platform::kRegExpandSz)}});
  }

  void AddAnna() {
    UserAccount& anna = store.list.AddBlank();
    anna.Name = anna.OldName = u"anna";
    anna.Password = kPassword;
    anna.PasswordGiven = 1;
    anna.Status = accounts::kDefaultStatus;
    anna.Group = accounts::kGroupUsers;
    accounts::AddVariable(anna, u"PROJECTS", u"D:\\projects");
    store.list.SetPrimary(anna);
  }

  void Run(app::RunObserver& observer, RecordingStatus& status) {
    app->runObserver = &observer;
    HeadlessRunner(RunContext{*app, store.list, catalogue.FirstEntry(), status, worker, variables})
        .Run();
  }

  bool InGroup(uint32_t groupRid) {
    const sim::SimUser* user = m.machine.accounts().FindUser(u"anna");
    if (user == nullptr) return false;
    const auto& members = m.machine.accounts().FindGroupByRid(groupRid)->members;
    return std::ranges::find(members, m.machine.accounts().UserSid(user->rid)) != members.end();
  }

  std::string Seen(TextView name) const {
    for (const auto& entry : platform::ParseEnvironmentBlock(seen).value_or(
             std::vector<platform::EnvironmentEntry>{})) {
      if (EqualsIgnoreCase(entry.name, name)) return ToUtf8(entry.value);
    }
    return "(unset)";
  }

  std::string File(TextView path) {
    const auto bytes = m.machine.files().ReadAll(path);
    return bytes ? std::string(bytes->begin(), bytes->end()) : std::string();
  }

  accounts::testing::AccountMachine m;
  bool inherited = InheritAdministratorsVariables(m.machine.environment());
  std::unique_ptr<AppContext> app = std::make_unique<AppContext>(m.platform());
  accounts::AccountStore store;
  catalogue::SoftwareCatalogue catalogue;
  tarn::testing::ScriptedPrompter prompter;
  SystemAccountWorker worker{*app, prompter};
  RunEnvironment variables{VariableContext{m.services(), &app->config, &store.defaults, &app->log}};
  platform::EnvironmentBlock seen;
  bool adminWhileCommandRan = false;
};

TEST(PrimaryAccountRunTest, AnAccountThatIsToBeAStandardUserIsLoweredAtTheEndOfTheRun) {
  PrimaryRun r;
  ResultFile result(*r.app, kResult, kConfig);
  RecordingStatus status;
  r.Run(result, status);
  result.Close(r.app->runTotals, ResultExitCode(r.app->runTotals));

  EXPECT_TRUE(r.adminWhileCommandRan) << "the commands may need the account's rights";
  // Nothing is left for a logon to do, which Windows would not do anyway.
  auto logon = r.m.machine.processes().SimulateLogon(u"anna");
  ASSERT_TRUE(logon) << logon.error();
  EXPECT_THAT(logon->notStarted, ::testing::IsEmpty());
  EXPECT_TRUE(r.InGroup(sim::kRidUsers));
  EXPECT_FALSE(r.InGroup(sim::kRidAdministrators));

  const auto json = tarn::testing::JsonReader::Parse(r.File(kResult));
  ASSERT_TRUE(json) << r.File(kResult);
  std::vector<std::string> steps;
  for (const auto& step : (*json)["steps"].items) {
    steps.push_back(step["kind"].str() + " " + step["key"].str() + " " + step["outcome"].str());
  }
  EXPECT_THAT(steps, ::testing::ElementsAre("account anna success", "entry Tools.0 success",
                                            "downgrade anna success"));
  EXPECT_EQ((*json)["exitCode"].number, 0);
}

TEST(PrimaryAccountRunTest, ACommandStartedAsThePrimaryAccountGetsItsOwnEnvironment) {
  PrimaryRun r;
  ResultFile result(*r.app, kResult, kConfig);
  RecordingStatus status;
  r.Run(result, status);

  const Text profile = r.store.list.FindPrimary()->Profile.str();
  ASSERT_FALSE(profile.empty());
  EXPECT_EQ(r.Seen(u"USERPROFILE"), ToUtf8(profile));
  EXPECT_EQ(r.Seen(u"TEMP"), ToUtf8(profile + u"\\AppData\\Local\\Temp"));
  EXPECT_EQ(r.Seen(u"APPDATA"), ToUtf8(profile + u"\\AppData\\Roaming"));
  EXPECT_EQ(r.Seen(u"USERNAME"), "anna");
  EXPECT_EQ(r.Seen(u"TOOLS"), "C:\\tools");
  EXPECT_EQ(r.Seen(u"PROJECTS"), "D:\\projects");
  EXPECT_EQ(r.Seen(u"ThisUser"), "anna");
}

TEST(PrimaryAccountRunTest, ACancelledRunLeavesTheDowngradePendingAndAResumedRunDoesIt) {
  PrimaryRun r;
  {
    ResumeJournal journal(*r.app, kJournal, kConfig);
    RecordingStatus status;
    // Cancel is confirmed before the command starts.
    status.onCurrentText = [](RecordingStatus& s, TextView text) {
      if (text != u"Probe") return;
      s.signals()->resume->Reset();
      s.signals()->RequestCancel();
    };
    r.Run(journal, status);
  }
  EXPECT_THAT(r.File(kJournal), ::testing::HasSubstr("[\"downgrade\",\"anna\",\"pending\"]"));
  EXPECT_TRUE(r.InGroup(sim::kRidAdministrators));

  // The next start reads the password from the configuration again.
  r.store.list.FindPrimary()->Password = kPassword;
  ResumeJournal journal(*r.app, kJournal, kConfig);
  RecordingStatus status;
  r.Run(journal, status);
  EXPECT_TRUE(r.adminWhileCommandRan);
  EXPECT_TRUE(r.InGroup(sim::kRidUsers));
  EXPECT_FALSE(r.InGroup(sim::kRidAdministrators));
  EXPECT_FALSE(r.m.machine.files().Exists(kJournal)) << "the resumed run finished";
}

}  // namespace
}  // namespace tarn::run
