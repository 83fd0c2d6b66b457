// The account worker inside a whole installation run on the win32 backend.
// Wine fakes the account database, local groups and account rights, so the
// network management and LSA calls go to stand-ins that keep a small account
// database of their own; look-ups of the stand-in's account are answered the
// same way. Everything else is Wine's: files and folders, the registry, the
// profile list, the account's hive (a hive file Wine saved itself, since it
// rejects binary NTUSER.DAT files) and the process environment.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "accounts/account_profiles.h"
#include "accounts/shell_folder_table.h"
#include "app/app_context.h"
#include "contract/backend.h"
#include "contract/win32/net_stand_ins.h"
#include "platform/file_system.h"
#include "platform/registry.h"
#include "platform/services.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_security.h"
#include "platform/win32/win32_text.h"
#include "run/account_worker.h"
#include "support/headless_runner.h"
#include "support/idle_run_parts.h"
#include "support/scripted_prompter.h"

namespace tarn::win32 {
namespace {

constexpr char16_t kUser[] = u"tarnrun";
constexpr char16_t kPassword[] = u"Pw-run-7";
constexpr char16_t kUserSid[] = u"S-1-5-21-7-8-9-1001";

using testing::netStandIn;

int policy = 0;
wchar_t denyRight[] = L"SeDenyInteractiveLogonRight";
LSA_UNICODE_STRING heldRights[] = {
    {sizeof(denyRight) - sizeof(wchar_t), sizeof(denyRight), denyRight}};

NTSTATUS NTAPI OpenPolicy(PLSA_UNICODE_STRING, PLSA_OBJECT_ATTRIBUTES, ACCESS_MASK,
                          PLSA_HANDLE handle) {
  *handle = &policy;
  return 0;
}
NTSTATUS NTAPI ClosePolicy(LSA_HANDLE) {
  return 0;
}
NTSTATUS NTAPI FreeMemory(PVOID) {
  return 0;
}

// The account holds the deny-logon right itself.
NTSTATUS NTAPI EnumerateRights(LSA_HANDLE, PSID, PLSA_UNICODE_STRING* rights, PULONG count) {
  *rights = heldRights;
  *count = 1;
  return 0;
}

NTSTATUS NTAPI RemoveRights(LSA_HANDLE, PSID, BOOLEAN all, PLSA_UNICODE_STRING rights,
                            ULONG count) {
  netStandIn.calls.push_back(
      "rights removed " + std::to_string(all) + " " + std::to_string(count) + " " +
      ToUtf8(FromWide(rights[0].Buffer, rights[0].Length / sizeof(wchar_t))));
  return 0;
}

NTSTATUS NTAPI AddRights(LSA_HANDLE, PSID, PLSA_UNICODE_STRING, ULONG) {
  return 0;
}

// Answers look-ups of the stand-in's accounts itself; the built-in groups
// and everything else go to Wine, the rights to the stand-ins above.
class StandInSecurity : public Win32Security {
 public:
  StandInSecurity() {
    LsaRightsCalls calls;
    calls.openPolicy = &OpenPolicy;
    calls.close = &ClosePolicy;
    calls.enumerateRights = &EnumerateRights;
    calls.freeMemory = &FreeMemory;
    calls.addRights = &AddRights;
    calls.removeRights = &RemoveRights;
    ReplaceRightsCalls(calls);
  }
  Result<platform::AccountLookup> LookupName(TextView system, TextView name) override {
    if (!netStandIn.users.contains(Wide(name))) return Win32Security::LookupName(system, name);
    return platform::AccountLookup{*platform::Sid::FromText(kUserSid), Text(name), u"TARNPC",
                                   platform::kSidTypeUser};
  }
  Result<platform::AccountLookup> LookupSid(TextView system, const platform::Sid& sid) override {
    if (sid.ToText() != kUserSid) return Win32Security::LookupSid(system, sid);
    return platform::AccountLookup{sid, kUser, u"TARNPC", platform::kSidTypeUser};
  }
};

// Wine's registry, except that a user hive's values are read just before
// it is unloaded: Wine does not write a loaded hive back to its file.
class HiveWatchingRegistry : public Win32Registry {
 public:
  std::map<Text, Text> seen;  // "key\name" -> text, for the keys watched

  WinError UnloadHive(platform::RegKey root, TextView subKey) override {
    for (const char16_t* key : {u"Environment", accounts::kUserShellFoldersKey}) {
      platform::ScopedKey open =
          platform::ScopedKey::Open(*this, root, Text(subKey) + u"\\" + key, platform::kKeyRead);
      for (uint32_t i = 0; open; ++i) {
        auto value = EnumValue(open.get(), i);
        if (!value) break;
        seen[Text(key) + u"\\" + value->first] = value->second.AsText();
      }
    }
    return Win32Registry::UnloadHive(root, subKey);
  }
};

using run::NoVariables;

// A hive file Wine accepts: a key of the test saved by Wine itself.
Text SaveEmptyHive(platform::Platform services, TextView folder) {
  platform::Registry& registry = *services.registry;
  EXPECT_EQ(services.services->EnablePrivileges({u"SeBackupPrivilege", u"SeRestorePrivilege"}),
            kErrorSuccess);
  const Text path = u"Software\\TarnAccountRunHive";
  {
    platform::ScopedKey key = platform::ScopedKey::Create(registry, platform::kCurrentUser, path,
                                                          platform::kKeyAllAccess);
    EXPECT_TRUE(key);
    EXPECT_EQ(registry.SaveKey(key.get(), Text(folder) + u"\\ntuser.dat"), kErrorSuccess);
  }
  (void)registry.DeleteTree(platform::kCurrentUser, path);
  return Text(folder) + u"\\ntuser.dat";
}

// True when calls beginning with each of `wanted` come in that order.
bool InOrder(const std::vector<std::string>& calls, const std::vector<std::string>& wanted) {
  size_t at = 0;
  for (const std::string& call : calls) {
    if (at < wanted.size() && call.starts_with(wanted[at])) ++at;
  }
  return at == wanted.size();
}

TEST(AccountRunWin32, ANewAccountIsCreatedWithItsFoldersAndVariables) {
  const auto backend = contract::MakeContractBackend();
  platform::Platform services = backend->platform();
  Win32Accounts accounts;
  accounts.ReplaceGroupCalls(testing::StandInNetCalls(kPassword));
  StandInSecurity security;
  HiveWatchingRegistry registry;
  services.accounts = &accounts;
  services.security = &security;
  services.registry = &registry;

  const Text scratch = backend->ScratchFolder();
  const Text profile = scratch + u"\\profile";
  ASSERT_EQ(services.files->CreateDirectory(profile), kErrorSuccess);
  (void)SaveEmptyHive(services, profile);

  accounts::AccountStore store;
  accounts::UserAccount& record = store.list.AddBlank();
  record.Name = kUser;
  record.OldName = kUser;
  record.Password = kPassword;
  record.Status = accounts::kDefaultStatus;
  record.Group = accounts::kGroupAdministrators;
  record.Profile = profile;
  record.ShowOnWelcome = 1;
  record.ShellFolders[*FindShellFolder(u"Personal")] = scratch + u"\\docs\\%ThisUser%";
  record.Environment.push_back({});
  record.Environment.back().name = u"TARNTEAM";
  record.Environment.back().value = u"blue";

  AppContext app(services);
  app.config.Verbose = 1;
  app.log.Open(scratch + u"\\run.log");
  tarn::testing::ScriptedPrompter prompter;
  run::SystemAccountWorker worker(app, prompter);
  NoVariables variables;
  run::RecordingStatus status;
  run::RunContext context{app, store.list, nullptr, status, worker, variables};
  run::HeadlessRunner runner(context);
  runner.Run();
  app.log.Close();

  Text all;
  for (const run::StatusRow& row : runner.rows()) all += row.message + u"\n";
  const auto file = services.files->ReadAll(scratch + u"\\run.log");
  ASSERT_TRUE(file.ok());
  for (size_t i = 0; i + 1 < file->size(); i += 2) {
    all.push_back(static_cast<char16_t>((*file)[i] | ((*file)[i + 1] << 8)));
  }
  for (const char16_t* step :
       {u"Creating user: 'tarnrun'", u"Set a new password for 'tarnrun'",
        u"Add/Modify user 'tarnrun'", u"SID of 'tarnrun' is S-1-5-21-7-8-9-1001", u"Homepath is \"",
        u"Shell Folder 3 is '"}) {
    EXPECT_NE(all.find(step), Text::npos) << ToUtf8(step) << "\n" << ToUtf8(all);
  }
  EXPECT_EQ(all.find(kPassword), Text::npos) << "a password reached the log";

  // The welcome-screen step withdraws the right before the groups change;
  // the group changes by membership alone, joining before leaving.
  EXPECT_TRUE(InOrder(netStandIn.calls,
                      {"add (null) tarnrun (given) priv=1 flags=66081",
                       "rights removed 0 1 SeDenyInteractiveLogonRight",
                       "member Administrators 0 1", "member Users 0 1", "set tarnrun 1006"}))
      << ::testing::PrintToString(netStandIn.calls);
  EXPECT_EQ(std::ranges::count(netStandIn.calls, std::string("set tarnrun 1005 2")), 0)
      << "a privilege level the membership does not give yet is refused by Windows";

  // What Wine holds afterwards: the moved folder, the profile-list entry
  // and the values the run wrote into the loaded hive.
  const Text docs = scratch + u"\\docs\\tarnrun";
  EXPECT_TRUE(services.files->IsDirectory(docs));
  const Text entry = Text(accounts::kProfileListKey) + u"\\" + kUserSid;
  {
    platform::ScopedKey key =
        platform::ScopedKey::Open(registry, platform::kLocalMachine, entry, platform::kKeyRead);
    ASSERT_TRUE(key);
    EXPECT_EQ(ToUtf8(registry.QueryValue(key.get(), u"ProfileImagePath").value_or({}).AsText()),
              ToUtf8(profile));
  }
  (void)registry.DeleteTree(platform::kLocalMachine, entry);
  EXPECT_EQ(ToUtf8(registry.seen[u"Environment\\TARNTEAM"]), "blue");
  // Stored in the hive's form: the account's name as %USERNAME%.
  const Text personal = registry.seen[Text(accounts::kUserShellFoldersKey) + u"\\Personal"];
  EXPECT_TRUE(personal.ends_with(u"\\docs\\%USERNAME%")) << ToUtf8(personal);
}

}  // namespace
}  // namespace tarn::win32
