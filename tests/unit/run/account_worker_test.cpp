#include "run/account_worker.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>

#include "accounts/account_profiles.h"
#include "accounts/profile_setup.h"
#include "accounts/shell_folder_table.h"
#include "accounts/user_environment.h"
#include "catalogue/software_catalogue.h"
#include "platform/sim/sim_accounts.h"
#include "run/installation_run.h"
#include "run/result_file.h"
#include "run/resume_journal.h"
#include "run/run_environment.h"
#include "support/headless_runner.h"
#include "support/scripted_prompter.h"
#include "unit/accounts/account_test_machine.h"
#include "unit/run/account_worker_run.h"

namespace tarn::run {
namespace {

using accounts::UserAccount;
using accounts::testing::AccountMachine;

constexpr char16_t kProfiles[] = u"C:\\Users";

using testing::kLogPath;
using testing::WorkerRun;

void PrepareProfileSource(WorkerRun& r);

struct AccountCase {
  const char* what;
  std::function<void(WorkerRun&)> prepare;
  std::function<void(WorkerRun&)> check;
};

TEST(AccountWorkerTest, BringsEachAccountIntoTheStateItsRecordDescribes) {
  const AccountCase cases[] = {
      {"a new account joins its group and gets a profile and home",
       [](WorkerRun& r) {
         UserAccount& anna = r.Add(u"anna", u"Pw-anna-1");
         anna.Group = accounts::kGroupAdministrators;
         anna.FullName = u"Anna A";
       },
       [](WorkerRun& r) {
         const sim::SimUser* anna = r.accounts().FindUser(u"anna");
         ASSERT_NE(anna, nullptr);
         EXPECT_EQ(anna->password, u"Pw-anna-1");
         EXPECT_EQ(anna->info.fullName, u"Anna A");
         EXPECT_EQ(anna->info.flags, 0x10221u);
         EXPECT_TRUE(r.InGroup(sim::kRidAdministrators, u"anna"));
         const UserAccount& record = *r.list.AccountAt(0);
         EXPECT_EQ(record.Profile.str(), Text(kProfiles) + u"\\anna");
         EXPECT_TRUE(r.FolderExists(record.Profile.view()));
         EXPECT_EQ(anna->info.homeDir, record.Profile.str());
         EXPECT_TRUE(r.Logged(u"Info(0): ") && r.Logged(u"Add/Modify user 'anna'"));
       }},
      {"a record naming another machine is still made on this one, never sent there",
       [](WorkerRun& r) {
         UserAccount& cara = r.Add(u"cara", u"Pw-cara-1");
         cara.Domain = u"\\\\FILESERVER";
         cara.Group = accounts::kGroupAdministrators;
       },
       [](WorkerRun& r) {
         const sim::SimUser* cara = r.accounts().FindUser(u"cara");
         ASSERT_NE(cara, nullptr);
         EXPECT_EQ(cara->password, u"Pw-cara-1");
         EXPECT_TRUE(r.InGroup(sim::kRidAdministrators, u"cara"));
         EXPECT_FALSE(r.Logged(u"Error"));
       }},
      {"an existing account is changed and keeps its memberships and password",
       [](WorkerRun& r) {
         r.Existing(u"ben");
         UserAccount& ben = r.Add(u"ben");
         ben.Exists = 1;
         ben.Comment = u"new comment";
       },
       [](WorkerRun& r) {
         const sim::SimUser* ben = r.accounts().FindUser(u"ben");
         ASSERT_NE(ben, nullptr);
         EXPECT_EQ(ben->info.comment, u"new comment");
         EXPECT_EQ(ben->password, u"old-password");
         EXPECT_TRUE(r.InGroup(sim::kRidUsers, u"ben"));
         EXPECT_FALSE(r.InGroup(sim::kRidAdministrators, u"ben"));
         EXPECT_EQ(r.list.AccountAt(0)->PasswordGiven, 0);
       }},
      {"a roaming profile is made, given to the account and recorded with its preference",
       [](WorkerRun& r) {
         (void)r.m.machine.files().MakeDirectories(u"C:\\Roaming");
         UserAccount& rita = r.Add(u"rita", u"Pw-rita-3");
         rita.RoamingProfile = u"C:\\Roaming\\rita";
         rita.HasRoamingProfile = 1;
       },
       [](WorkerRun& r) {
         const sim::SimUser* rita = r.accounts().FindUser(u"rita");
         ASSERT_NE(rita, nullptr);
         // Kept with the system's variable, so it follows a changed system drive.
         EXPECT_EQ(rita->info.profile, u"%SystemDrive%\\Roaming\\rita");
         EXPECT_TRUE(r.FolderExists(u"C:\\Roaming\\rita"));
         const platform::Sid sid = r.accounts().UserSid(rita->rid);
         const auto owner = r.m.machine.files().GetOwner(u"C:\\Roaming\\rita");
         ASSERT_TRUE(owner.ok());
         EXPECT_EQ(owner->ToText(), sid.ToText());
         const auto preference = r.m.machine.registry().Get(
             platform::kLocalMachine,
             Text(u"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList\\") + sid.ToText(),
             u"UserPreference");
         ASSERT_TRUE(preference.has_value());
         EXPECT_EQ(preference->AsDword(), 1u);
       }},
      {"the built-in Administrator is renamed and changed under its new name",
       [](WorkerRun& r) {
         UserAccount& boss = r.Add(u"Boss", u"Pw-boss-2");
         boss.OldName = u"Administrator";
         boss.Exists = 1;
         boss.Group = accounts::kGroupAdministrators;
       },
       [](WorkerRun& r) {
         EXPECT_EQ(r.accounts().FindUser(u"Administrator"), nullptr);
         const sim::SimUser* boss = r.accounts().FindUser(u"Boss");
         ASSERT_NE(boss, nullptr);
         EXPECT_EQ(boss->rid, platform::kRidAdministrator);
         EXPECT_EQ(boss->password, u"Pw-boss-2");
         EXPECT_TRUE(r.Logged(u"Rename user from 'Administrator' to 'Boss'"));
       }},
      {"a deleted account goes with its profile",
       [](WorkerRun& r) {
         r.Existing(u"carl");
         r.Add(u"carl").Deleted = 1;
       },
       [](WorkerRun& r) {
         EXPECT_EQ(r.accounts().FindUser(u"carl"), nullptr);
         EXPECT_FALSE(r.FolderExists(u"C:\\Users\\carl"));
       }},
      {"an account that can't be deleted keeps its profile",
       [](WorkerRun& r) {
         const Text folder = Text(kProfiles) + u"\\Guest";
         (void)r.m.machine.files().MakeDirectories(folder);
         r.m.AddProfileListEntry(r.accounts().UserSid(sim::kRidGuest).ToText(), folder, u"",
                                 std::nullopt);
         r.Add(u"Guest").Deleted = 1;
       },
       [](WorkerRun& r) {
         EXPECT_NE(r.accounts().FindUser(u"Guest"), nullptr);
         EXPECT_TRUE(r.FolderExists(u"C:\\Users\\Guest"));
         EXPECT_TRUE(r.Logged(u"Error(1371): "));
       }},
      {"a rename onto another account's name skips the record",
       [](WorkerRun& r) {
         r.Existing(u"eve");
         r.Existing(u"frank");
         UserAccount& record = r.Add(u"frank", u"Pw-frank-3");
         record.OldName = u"eve";
         record.Exists = 1;
         record.Comment = u"taken over";
       },
       [](WorkerRun& r) {
         EXPECT_NE(r.accounts().FindUser(u"eve"), nullptr);
         EXPECT_EQ(r.accounts().FindUser(u"frank")->info.comment, u"old comment");
         EXPECT_EQ(r.accounts().FindUser(u"frank")->password, u"old-password");
         EXPECT_TRUE(r.Logged(u"Error(2224): "));
       }},
      {"a refused password stays the step's failure while the other changes are made",
       [](WorkerRun& r) {
         r.accounts().SetMinimumPasswordLength(8);
         r.Existing(u"gina");
         UserAccount& gina = r.Add(u"gina", u"short");
         gina.Exists = 1;
         gina.Comment = u"still set";
       },
       [](WorkerRun& r) {
         EXPECT_EQ(r.accounts().FindUser(u"gina")->info.comment, u"still set");
         EXPECT_EQ(r.accounts().FindUser(u"gina")->password, u"old-password");
         EXPECT_TRUE(r.Logged(u"Info(2245): "));
         EXPECT_TRUE(r.Logged(u"Add/Modify user 'gina'"));
       }},
      {"a new account whose password is refused is skipped and the next one made",
       [](WorkerRun& r) {
         r.accounts().SetMinimumPasswordLength(8);
         r.Add(u"next", u"Pw-next-long");
         r.Add(u"hugo", u"short");
       },
       [](WorkerRun& r) {
         EXPECT_EQ(r.accounts().FindUser(u"hugo"), nullptr);
         EXPECT_FALSE(r.FolderExists(u"C:\\Users\\hugo"));
         EXPECT_TRUE(r.Logged(u"Error(2245): "));
         EXPECT_NE(r.accounts().FindUser(u"next"), nullptr);
       }},
      {"a cancelled drive question removes a new account but never an existing one",
       [](WorkerRun& r) {
         r.Existing(u"jack");
         UserAccount& jack = r.Add(u"jack");
         jack.Exists = 1;
         jack.Profile = u"Q:\\jack";
         r.Add(u"ivy", u"Pw-ivy-4").Profile = u"Q:\\ivy";
       },
       [](WorkerRun& r) {
         EXPECT_FALSE(r.prompter.questions.empty());
         EXPECT_EQ(r.accounts().FindUser(u"ivy"), nullptr);
         EXPECT_NE(r.accounts().FindUser(u"jack"), nullptr);
       }},
      {"new accounts join their group by membership alone, without a warning, and one is "
       "hidden where no account was before",
       [](WorkerRun& r) {
         PrepareProfileSource(r);
         r.Add(u"ada", u"Pw-ada-5").Group = accounts::kGroupAdministrators;
         UserAccount& uwe = r.Add(u"uwe", u"Pw-uwe-6");
         uwe.Group = accounts::kGroupUsers;
         uwe.ShowOnWelcome = 0;
       },
       [](WorkerRun& r) {
         EXPECT_TRUE(r.InGroup(sim::kRidAdministrators, u"ada"));
         EXPECT_FALSE(r.InGroup(sim::kRidUsers, u"ada"));
         EXPECT_TRUE(r.InGroup(sim::kRidUsers, u"uwe"));
         EXPECT_FALSE(r.InGroup(sim::kRidAdministrators, u"uwe"));
         const auto hidden = r.m.machine.registry().Get(platform::kLocalMachine,
                                                        accounts::kWelcomeScreenKey, u"uwe");
         EXPECT_EQ(hidden ? hidden->AsDword() : std::nullopt, std::optional<uint32_t>(0));
         EXPECT_FALSE(r.Logged(u"Warning(")) << ToUtf8(r.log);
         EXPECT_EQ(r.OutcomeOf(u"ada") + " " + r.OutcomeOf(u"uwe"), "success success");
       }},
      {"a record for a new account that finds one there says so",
       [](WorkerRun& r) {
         r.Existing(u"ben");
         r.Add(u"ben", u"Pw-ben-8").Comment = u"taken over";
       },
       [](WorkerRun& r) {
         EXPECT_EQ(r.accounts().FindUser(u"ben")->info.comment, u"taken over");
         EXPECT_TRUE(r.Logged(u"Warning(2224): "));
         EXPECT_TRUE(r.Logged(u"User 'ben' already exists; the existing account is changed"));
         EXPECT_EQ(r.OutcomeOf(u"ben"), "warning");
       }},
  };
  for (const AccountCase& c : cases) {
    SCOPED_TRACE(c.what);
    WorkerRun run;
    c.prepare(run);
    run.Run();
    c.check(run);
  }
}

// An account that is already there, with a profile of its own and details
// the records below leave empty.
uint32_t ExistingWithDetails(WorkerRun& r) {
  platform::UserInfo info;
  info.name = u"ben";
  info.fullName = u"Ben Baker";
  info.comment = u"old comment";
  info.scriptPath = u"logon.cmd";
  info.flags = 0x10241;
  const uint32_t rid = r.accounts().PutUser(info, u"old-password");
  const Text sid = r.accounts().UserSid(rid).ToText();
  r.m.AddProfileListEntry(sid, u"C:\\Users\\ben", u"", std::nullopt);
  r.m.WriteHive(u"C:\\Users\\ben\\NTUSER.DAT",
                {{u"Environment", u"KEEP", platform::RegValue::FromText(u"1")}});
  return rid;
}

TEST(AccountWorkerTest, AnExistingAccountKeepsItsProfileAndWhatTheRecordLeavesEmpty) {
  struct Case {
    const char* what;
    std::function<void(UserAccount&)> record;
    const char16_t* comment;
    uint32_t flags;
    const char16_t* password;
  };
  const Case cases[] = {
      {"the settings page's account, never looked up",
       [](UserAccount& ben) {
         ben.OldName = u"";
         ben.Primary = 1;
         ben.SettingsAccount = 1;
         ben.Password = u"Pw-ben-9";
       },
       u"old comment", 0x10241, u"Pw-ben-9"},
      {"an account added on the pages and kept as typed",
       [](UserAccount& ben) {
         ben.Exists = 1;
         ben.DetailsLoaded = 1;
         ben.Comment = u"typed comment";
         ben.Status = 0x10200;
       },
       u"typed comment", 0x10201, u"old-password"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    WorkerRun r;
    ASSERT_TRUE(r.m.machine.files().MakeDirectories(u"C:\\Users\\ben"));
    const uint32_t rid = ExistingWithDetails(r);
    UserAccount& ben = r.Add(u"ben");
    c.record(ben);

    r.Run();

    const sim::SimUser* user = r.accounts().FindUser(u"ben");
    ASSERT_NE(user, nullptr);
    const auto imagePath =
        r.m.machine.registry().Get(platform::kLocalMachine,
                                   Text(accounts::testing::AccountMachine::kProfileListKeyText) +
                                       u"\\" + r.accounts().UserSid(rid).ToText(),
                                   u"ProfileImagePath");
    ASSERT_TRUE(imagePath.has_value());
    EXPECT_EQ(ToUtf8(imagePath->AsText()), "C:\\Users\\ben");
    EXPECT_EQ(ToUtf8(ben.Profile.view()), "C:\\Users\\ben");
    EXPECT_EQ(ToUtf8(user->info.fullName), "Ben Baker");
    EXPECT_EQ(ToUtf8(user->info.scriptPath), "logon.cmd");
    EXPECT_EQ(ToUtf8(user->info.comment), ToUtf8(c.comment));
    EXPECT_EQ(user->info.flags, c.flags);
    EXPECT_EQ(ToUtf8(user->password), ToUtf8(c.password));
  }
}

// The Default profile of a fresh system with a document and a hive of its
// own, a second fixed drive and the program's path: what a new account's
// profile is copied from and where its folders may be moved to.
void PrepareProfileSource(WorkerRun& r) {
  const Text defaultUser = Text(kProfiles) + u"\\Default";
  ASSERT_TRUE(r.m.machine.files().PutTextFile(defaultUser + u"\\Documents\\readme.txt", "hi"));
  r.m.WriteHive(defaultUser + u"\\NTUSER.DAT",
                {{Text(accounts::kUserShellFoldersKey), u"Desktop",
                  platform::RegValue::FromText(u"%USERPROFILE%\\Desktop", platform::kRegExpandSz)},
                 {u"Environment", u"TEMP",
                  platform::RegValue::FromText(u"%USERPROFILE%\\Temp", platform::kRegExpandSz)}});
  r.m.machine.files().AddVolume(u"D:");
  r.m.machine.system().SetModuleFileName(u"C:\\Program Files\\tarn\\tarn.exe");
}

std::string Describe(const std::vector<platform::AccessEntry>& entries) {
  std::string text;
  for (const auto& entry : entries) {
    text += ToUtf8(entry.sid.ToText()) + "/" + std::to_string(entry.flags) + "/" +
            std::to_string(entry.mask) + " ";
  }
  return text;
}

TEST(AccountWorkerTest, NeitherItsOwnAccountNorTheLastAdministratorIsDeletedOrDemoted) {
  struct Case {
    const char* what;
    const char16_t* runsAs;
    bool builtinEnabled;
    int32_t deleted;
    const char16_t* refusal;  // none: the record is applied
  };
  const Case cases[] = {
      {"own, deleted", u"eve", true, 1,
       u"'eve' is the account this program runs under; it is not deleted"},
      {"own, demoted", u"eve", true, 0,
       u"'eve' is the account this program runs under; it is not made a standard user and is left "
       u"as it is"},
      {"last, deleted", u"Administrator", false, 1,
       u"'eve' is the last enabled administrator; it is not deleted"},
      {"last, demoted", u"Administrator", false, 0,
       u"'eve' is the last enabled administrator; it is not made a standard user and is left as "
       u"it is"},
      {"another remains", u"Administrator", true, 0, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    WorkerRun r;
    PrepareProfileSource(r);
    r.m.machine.system().SetUserName(c.runsAs);
    if (!c.builtinEnabled) r.DisableBuiltinAdministrator();
    r.Administrator(u"eve");
    UserAccount& eve = r.Add(u"eve");
    eve.Exists = 1;
    eve.Deleted = c.deleted;
    eve.Group = accounts::kGroupUsers;
    eve.Comment = u"changed";
    r.Run();
    const bool refused = c.refusal != nullptr;
    ASSERT_NE(r.accounts().FindUser(u"eve"), nullptr);
    EXPECT_EQ(r.InGroup(sim::kRidAdministrators, u"eve"), refused);
    EXPECT_EQ(r.accounts().FindUser(u"eve")->info.comment, refused ? u"old comment" : u"changed");
    EXPECT_EQ(r.OutcomeOf(u"eve"), refused ? "error" : "success");
    EXPECT_TRUE(!refused || r.Logged(c.refusal)) << ToUtf8(r.log);
  }
}

TEST(AccountWorkerTest, ANewAccountsHiveReceivesItsFoldersAndVariablesButNoLogonCommand) {
  WorkerRun r(/*olderDefaults=*/false);
  PrepareProfileSource(r);
  UserAccount& anna = r.Add(u"anna", u"Pw-anna-5");
  anna.Primary = 1;
  anna.Group = accounts::kGroupUsers;
  anna.ShellFolders[accounts::kFolderPersonal] = u"D:\\Data\\anna\\Docs";
  accounts::AddVariable(anna, u"PROJECTS", u"D:\\Data\\anna\\projects");
  accounts::AddVariable(anna, u"EDITOR", u"notepad");
  UserAccount& bert = r.Add(u"bert", u"Pw-bert-6");
  bert.Group = accounts::kGroupAdministrators;
  r.list.SetPrimary(anna);

  r.Run();

  // Administrator for the commands of the run, which lowers it at its end.
  EXPECT_TRUE(r.InGroup(sim::kRidAdministrators, u"anna"));
  const sim::SimUser* user = r.accounts().FindUser(u"anna");
  ASSERT_NE(user, nullptr);
  const platform::Sid sid = r.accounts().UserSid(user->rid);
  const sim::SimUser* bertUser = r.accounts().FindUser(u"bert");
  ASSERT_NE(bertUser, nullptr);
  const platform::Sid bertSid = r.accounts().UserSid(bertUser->rid);
  const Text profile = Text(kProfiles) + u"\\anna";
  EXPECT_EQ(ToUtf8(anna.Profile.view()), ToUtf8(profile));
  EXPECT_TRUE(r.m.machine.files().Exists(profile + u"\\ntuser.dat"));
  EXPECT_FALSE(r.Logged(u"can't be loaded")) << ToUtf8(r.log);

  const Text moved = u"D:\\Data\\anna\\Docs";
  EXPECT_TRUE(r.m.machine.files().Exists(moved + u"\\readme.txt"))
      << "the Default User's documents follow the folder";
  const auto access = r.m.machine.files().GetAccessList(moved);
  ASSERT_TRUE(access.ok());
  EXPECT_EQ(Describe(*access), Describe(accounts::ProfileAccessList(sid)));
  EXPECT_EQ(r.m.machine.files().GetOwner(moved).value_or({}).ToText(), sid.ToText())
      << "a folder made for the account is the account's";

  // What the account meets at its first logon is what its hive file holds.
  auto& registry = r.m.machine.registry();
  // The run gave the hives back, so what is read below comes from the files.
  for (const platform::Sid* loaded : {&sid, &bertSid}) {
    EXPECT_FALSE(registry.OpenKey(platform::kUsers, loaded->ToText(), platform::kKeyRead).ok());
  }
  const auto services = r.m.services();
  const auto hive = accounts::LoadUserHive(services, sid, profile);
  ASSERT_TRUE(hive.has_value());
  const Text root = sid.ToText() + u"\\";
  auto value = [&](TextView key, TextView name) {
    const auto read = registry.Get(platform::kUsers, root + Text(key), name);
    return read ? ToUtf8(read->AsText()) : std::string("(missing)");
  };
  EXPECT_EQ(value(accounts::kUserShellFoldersKey, u"Personal"), "D:\\Data\\%USERNAME%\\Docs");
  EXPECT_EQ(value(accounts::kUserShellFoldersKey, u"Desktop"), "%USERPROFILE%\\Desktop");
  EXPECT_EQ(value(u"Environment", u"PROJECTS"), "D:\\Data\\%USERNAME%\\projects");
  EXPECT_EQ(value(u"Environment", u"EDITOR"), "notepad");
  EXPECT_EQ(value(u"Environment", u"TEMP"), "%USERPROFILE%\\Temp");
  // Windows would not start the program from a logon, and the user could remove it.
  const Text runOnce = u"Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
  EXPECT_EQ(value(runOnce, u"DowngradeTarnDefaultUser"), "(missing)");
  EXPECT_EQ(accounts::UnloadUserHive(services, sid, *hive), kErrorSuccess);

  // Nor for an administrator of the same run.
  const auto bertHive = accounts::LoadUserHive(services, bertSid, bert.Profile.view());
  ASSERT_TRUE(bertHive.has_value());
  EXPECT_FALSE(registry.Get(platform::kUsers, bertSid.ToText() + u"\\" + runOnce,
                            u"DowngradeTarnDefaultUser"));
  EXPECT_EQ(accounts::UnloadUserHive(services, bertSid, *bertHive), kErrorSuccess);
}

TEST(AccountWorkerTest, AnAccountThatLoggedOnBeforeTakesItsFolderAlongAndLosesDroppedVariables) {
  WorkerRun r;
  PrepareProfileSource(r);
  r.Existing(u"ben");
  const Text profile = Text(kProfiles) + u"\\ben";
  ASSERT_TRUE(r.m.machine.files().PutTextFile(profile + u"\\My Documents\\letter.txt", "hi"));
  r.m.WriteHive(
      profile + u"\\NTUSER.DAT",
      {{Text(accounts::kUserShellFoldersKey), u"Personal",
        platform::RegValue::FromText(u"%USERPROFILE%\\My Documents", platform::kRegExpandSz)},
       {u"Environment", u"OLD", platform::RegValue::FromText(u"x")},
       {u"Environment", u"KEEP", platform::RegValue::FromText(u"1")}});
  UserAccount& ben = r.Add(u"ben");
  ben.Exists = 1;
  ben.Profile = profile;
  ben.ShellFolders[accounts::kFolderPersonal] = u"D:\\ben\\Docs";
  // The list as the account sheet read it from the hive, OLD then removed.
  ben.EnvironmentLoaded = 1;
  accounts::AddVariable(ben, u"KEEP", u"1");
  accounts::AddVariable(ben, u"NEW", u"2");

  r.Run();

  EXPECT_TRUE(r.m.machine.files().Exists(u"D:\\ben\\Docs\\letter.txt"));
  const sim::SimUser* user = r.accounts().FindUser(u"ben");
  ASSERT_NE(user, nullptr);
  EXPECT_FALSE(r.InGroup(sim::kRidAdministrators, u"ben"));
  const platform::Sid sid = r.accounts().UserSid(user->rid);
  auto& registry = r.m.machine.registry();
  EXPECT_FALSE(registry.OpenKey(platform::kUsers, sid.ToText(), platform::kKeyRead).ok());
  const auto services = r.m.services();
  const auto hive = accounts::LoadUserHive(services, sid, profile);
  ASSERT_TRUE(hive.has_value());
  const Text root = sid.ToText() + u"\\";
  auto value = [&](TextView key, TextView name) {
    const auto read = registry.Get(platform::kUsers, root + Text(key), name);
    return read ? ToUtf8(read->AsText()) : std::string("(missing)");
  };
  EXPECT_EQ(value(accounts::kUserShellFoldersKey, u"Personal"), "D:\\%USERNAME%\\Docs");
  EXPECT_EQ(value(u"Environment", u"OLD"), "(missing)");
  EXPECT_EQ(value(u"Environment", u"KEEP"), "1");
  EXPECT_EQ(value(u"Environment", u"NEW"), "2");
  EXPECT_EQ(
      value(u"Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce", u"DowngradeTarnDefaultUser"),
      "(missing)");
  EXPECT_EQ(accounts::UnloadUserHive(services, sid, *hive), kErrorSuccess);
}

TEST(AccountWorkerTest, NoLogLineHoldsAPassword) {
  WorkerRun run;
  run.accounts().SetMinimumPasswordLength(8);
  run.Existing(u"ben");
  const char16_t* passwords[] = {u"Pw-anna-19", u"Pw-ben-28", u"tiny", u"Pw-boss-37"};
  run.Add(u"anna", passwords[0]).Group = accounts::kGroupUsers;
  run.Add(u"ben", passwords[1]).Exists = 1;
  run.Add(u"cleo", passwords[2]);
  UserAccount& boss = run.Add(u"Boss", passwords[3]);
  boss.OldName = u"Administrator";
  boss.Exists = 1;
  run.Run();
  ASSERT_FALSE(run.messages.empty());
  EXPECT_TRUE(run.Logged(u"Set a new password for 'anna'"));
  for (const char16_t* password : passwords) {
    SCOPED_TRACE(ToUtf8(password));
    EXPECT_EQ(run.log.find(password), Text::npos);
    for (const Text& message : run.messages) EXPECT_EQ(message.find(password), Text::npos);
  }
}

TEST(AccountWorkerTest, EachRecordIsReportedAndNoRecordHoldsAPassword) {
  WorkerRun run;
  PrepareProfileSource(run);
  run.accounts().SetMinimumPasswordLength(8);
  run.Existing(u"ben");
  run.Existing(u"carl");
  run.Existing(u"dora");
  const char16_t* passwords[] = {u"Pw-anna-19", u"Pw-ben-28", u"tiny", u"Pw-boss-37",
                                 u"Pw-dora-46"};
  run.Add(u"anna", passwords[0]).Group = accounts::kGroupUsers;
  run.Add(u"ben", passwords[1]).Exists = 1;
  run.Add(u"cleo", passwords[2]);
  UserAccount& boss = run.Add(u"Boss", passwords[3]);
  boss.OldName = u"Administrator";
  boss.Exists = 1;
  run.Add(u"carl").Deleted = 1;
  run.Add(u"dora", passwords[4]).Exists = 1;
  run.progress.done = {u"dora"};
  run.Run();

  std::vector<std::string> steps;
  for (const app::StepRecord& step : run.progress.steps) {
    steps.push_back(ToUtf8(step.key) + " " + ToUtf8(step.name) + " " + ToUtf8(step.action) + " " +
                    ToUtf8(app::OutcomeName(step.outcome)));
  }
  // The list keeps the last record added first; dora, done before, is left alone.
  EXPECT_THAT(
      steps, ::testing::ElementsAre("carl carl delete success", "Administrator Boss rename success",
                                    "cleo cleo create error", "ben ben change success",
                                    "anna anna create success"));

  // What the run keeps for a launcher, written from these records.
  constexpr char16_t kResult[] = u"C:\\tarn\\result.json";
  constexpr char16_t kJournal[] = u"C:\\tarn\\accounts.log.journal";
  ResultFile result(*run.app, kResult, kLogPath);
  ResumeJournal journal(*run.app, kJournal, kLogPath);
  for (const app::StepRecord& step : run.progress.steps) {
    result.StepFinished(step);
    journal.StepFinished(step);
  }
  result.Close(run.app->runTotals, 0);
  for (const char16_t* file : {kResult, kJournal}) {
    const auto bytes = run.m.machine.files().ReadAll(file);
    ASSERT_TRUE(bytes.ok());
    const std::string text(bytes->begin(), bytes->end());
    EXPECT_NE(text.find("Administrator"), std::string::npos) << text;
    for (const char16_t* password : passwords) {
      EXPECT_EQ(text.find(ToUtf8(password)), std::string::npos)
          << ToUtf8(password) << " in " << text;
    }
  }
}

TEST(AccountWorkerTest, APasswordReachesOnlyTheCommandsStartedAsItsAccount) {
  WorkerRun r;
  // The list is walked from its last record: ben, without a password, is set
  // after anna, whose password is given.
  r.Add(u"ben");
  UserAccount& anna = r.Add(u"anna", u"Pw-anna-9");
  anna.PasswordGiven = 1;
  r.list.SetPrimary(anna);
  std::optional<Text> during;
  sim::SimProgram setup;
  setup.onStart = [&r, &during](const sim::LaunchRecord&) {
    during = r.m.machine.environment().Get(u"USERPASSWORD");
  };
  r.m.machine.processes().AddProgram(u"setup.exe", setup);
  catalogue::SoftwareCatalogue catalogue;
  catalogue::SoftwareEntry* entry = catalogue.AllocEntry();
  entry->State = catalogue::kStateSelected;
  entry->Description = u"Setup";
  entry->Command = Text(u"setup.exe /pw=%USERPASSWORD%");
  RecordingStatus status;
  SystemAccountWorker worker(*r.app, r.prompter);
  RunEnvironment variables(VariableContext{r.m.services(), &r.app->config, nullptr, &r.app->log});
  HeadlessRunner(RunContext{*r.app, r.list, catalogue.FirstEntry(), status, worker, variables})
      .Run();

  const auto launches = r.m.machine.processes().launches();
  ASSERT_EQ(launches.size(), 1u);
  EXPECT_EQ(launches[0].accountName, std::optional<Text>(u"anna"));
  ASSERT_TRUE(launches[0].environment.has_value());
  EXPECT_NE(launches[0].environment->find(u"USERPASSWORD=Pw-anna-9"), Text::npos);
  EXPECT_EQ(ToUtf8(launches[0].commandLine), "\"setup.exe\" /pw=Pw-anna-9 ");
  EXPECT_EQ(during, std::nullopt) << "the program's own environment held it during the run";
  EXPECT_EQ(r.m.machine.environment().Get(u"USERPASSWORD"), std::nullopt)
      << "the program's own environment held it after the run";
}

}  // namespace
}  // namespace tarn::run
