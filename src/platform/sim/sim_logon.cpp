// Logons on the simulated machine: the environment an account gets from its
// own logon, and what Windows starts from the Run and RunOnce keys when a
// person logs on.
#include <algorithm>
#include <functional>
#include <map>

#include "platform/environment_block.h"
#include "platform/sim/sim_accounts.h"
#include "platform/sim/sim_environment.h"
#include "platform/sim/sim_file_system.h"
#include "platform/sim/sim_processes.h"
#include "platform/sim/sim_registry.h"
#include "platform/sim/sim_user_profiles.h"

namespace tarn::sim {
namespace {

using platform::RegKey;

constexpr char16_t kProfileListKey[] =
    u"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";
constexpr char16_t kRunKey[] = u"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char16_t kRunOnceKey[] = u"Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";

using Variables = std::map<Text, Text, NameLess>;

// A later definition replaces an earlier one, spelling of the name included.
void Put(Variables& variables, TextView name, TextView value) {
  variables.erase(Text(name));
  variables.emplace(Text(name), Text(value));
}

Text Expand(const Variables& variables, TextView text) {
  return ExpandVariables(text, [&variables](TextView name) -> std::optional<Text> {
    const auto found = variables.find(Text(name));
    if (found == variables.end()) return std::nullopt;
    return found->second;
  });
}

// Windows's own work at a logon (its profile service loading and unloading
// the hive): the fault plan counts the program's calls, not these, so the
// services' gates are closed while it lasts.
class WindowsOwnCalls {
 public:
  WindowsOwnCalls(SimRegistry& registry, SimUserProfiles& profiles, SimFileSystem& files)
      : registry_(registry), privilegeCheck_(registry.privilegeCheck()) {
    for (FaultGate* gate : {&registry.faults(), &profiles.faults(), &files.faults()}) {
      saved_.emplace_back(gate, *gate);
      *gate = FaultGate();
    }
    // The system loads a logon's hive with its own rights, not the program's.
    registry.SetPrivilegeCheck({});
  }
  WindowsOwnCalls(const WindowsOwnCalls&) = delete;
  WindowsOwnCalls& operator=(const WindowsOwnCalls&) = delete;
  ~WindowsOwnCalls() {
    for (auto& [gate, saved] : saved_) *gate = saved;
    registry_.SetPrivilegeCheck(privilegeCheck_);
  }

 private:
  SimRegistry& registry_;
  std::function<bool(TextView)> privilegeCheck_;
  std::vector<std::pair<FaultGate*, FaultGate>> saved_;
};

// What a logon reads on the machine.
struct LogonMachine {
  SimAccounts& accounts;
  platform::Registry& registry;
  platform::UserProfiles& profiles;
  platform::FileSystem& files;
};

// The account's hive while its logon reads it: the loaded one, or its
// profile's NTUSER.DAT loaded for as long as this object lives. No root
// when the profile has no hive yet.
class LogonHive {
 public:
  LogonHive(const LogonMachine& machine, TextView sid, TextView profile)
      : registry_(machine.registry), sid_(sid) {
    auto open = registry_.OpenKey(platform::kUsers, sid, platform::kKeyAllAccess);
    const Text file = Text(profile) + u"\\NTUSER.DAT";
    if (!open && !profile.empty() &&
        machine.files.GetAttributes(file) != platform::kInvalidFileAttributes) {
      error_ = registry_.LoadHive(platform::kUsers, sid, file);
      loaded_ = error_ == kErrorSuccess;
      if (loaded_) open = registry_.OpenKey(platform::kUsers, sid, platform::kKeyAllAccess);
    }
    if (open) root_ = *open;
  }
  LogonHive(const LogonHive&) = delete;
  LogonHive& operator=(const LogonHive&) = delete;
  ~LogonHive() {
    if (root_) registry_.CloseKey(*root_);
    if (loaded_) (void)registry_.UnloadHive(platform::kUsers, sid_);
  }

  [[nodiscard]] WinError error() const { return error_; }
  [[nodiscard]] std::optional<RegKey> root() const { return root_; }

 private:
  platform::Registry& registry_;
  Text sid_;
  std::optional<RegKey> root_;
  bool loaded_ = false;
  WinError error_ = kErrorSuccess;
};

// The values of `path` below `root`, in their order.
std::vector<std::pair<Text, platform::RegValue>> ValuesOf(platform::Registry& registry, RegKey root,
                                                          TextView path) {
  std::vector<std::pair<Text, platform::RegValue>> values;
  platform::ScopedKey key = platform::ScopedKey::Open(registry, root, path, platform::kKeyRead);
  if (!key) return values;
  for (uint32_t i = 0;; ++i) {
    auto value = registry.EnumValue(key.get(), i);
    if (!value) return values;
    values.push_back(std::move(*value));
  }
}

// The profile the profile list names for `sid`; before the first logon, the
// folder the logon would make for it.
Text ProfileFolderOf(const LogonMachine& machine, const Variables& variables, TextView sid,
                     TextView name) {
  platform::ScopedKey key =
      platform::ScopedKey::Open(machine.registry, platform::kLocalMachine,
                                Text(kProfileListKey) + u"\\" + Text(sid), platform::kKeyRead);
  if (key) {
    auto path = machine.registry.QueryValue(key.get(), u"ProfileImagePath");
    if (path && !path->AsText().empty()) return Expand(variables, path->AsText());
  }
  auto folder = machine.profiles.ProfilesDirectory();
  return folder ? Expand(variables, *folder) + u"\\" + Text(name) : Text();
}

// The account's own Environment values; its Path follows the system's.
void PutHiveVariables(Variables& variables, platform::Registry& registry, RegKey hive) {
  for (const auto& [name, value] : ValuesOf(registry, hive, u"Environment")) {
    Text text = value.AsText();
    if (value.type == platform::kRegExpandSz) text = Expand(variables, text);
    const auto system = variables.find(Text(name));
    if (EqualsIgnoreCase(name, u"Path") && system != variables.end() && !system->second.empty()) {
      text = system->second + u";" + text;
    }
    Put(variables, name, text);
  }
}

// The variables `user`'s logon gives it; the error of a hive that can't load.
Result<Variables> LogonVariables(const LogonMachine& machine, const SimUser& user) {
  auto system = machine.profiles.CreateEnvironmentBlock(false);
  if (!system) return Result<Variables>::Failure(system.error());
  Variables variables;
  for (const auto& entry : platform::ParseEnvironmentBlock(*system).value_or(
           std::vector<platform::EnvironmentEntry>{})) {
    Put(variables, entry.name, entry.value);
  }
  const Text sid = machine.accounts.UserSid(user.rid).ToText();
  const Text profile = ProfileFolderOf(machine, variables, sid, user.info.name);
  const Text computer = machine.accounts.ComputerName();
  Put(variables, u"USERPROFILE", profile);
  Put(variables, u"USERNAME", user.info.name);
  Put(variables, u"USERDOMAIN", computer);
  Put(variables, u"LOGONSERVER", u"\\\\" + computer);
  const Text home = user.info.homeDir.empty() ? profile : Expand(variables, user.info.homeDir);
  Put(variables, u"HOMEDRIVE", TextView(home).substr(0, std::min<size_t>(2, home.size())));
  Put(variables, u"HOMEPATH", home.size() > 2 ? TextView(home).substr(2) : TextView(u"\\"));
  const LogonHive hive(machine, sid, profile);
  if (hive.error() != kErrorSuccess) return Result<Variables>::Failure(hive.error());
  // Where a Windows 10 profile keeps them.
  Put(variables, u"APPDATA", profile + u"\\AppData\\Roaming");
  Put(variables, u"LOCALAPPDATA", profile + u"\\AppData\\Local");
  if (hive.root()) PutHiveVariables(variables, machine.registry, *hive.root());
  return variables;
}

bool IsAdministrator(const SimAccounts& accounts, const SimUser& user) {
  const SimGroup* group = accounts.FindGroupByRid(kRidAdministrators);
  return group != nullptr &&
         std::ranges::find(group->members, accounts.UserSid(user.rid)) != group->members.end();
}

}  // namespace

Result<platform::EnvironmentBlock> SimProcesses::LogonEnvironment(
    const platform::LogonCredentials& logon) {
  if (auto e = faults_.Check(CallKind::kEnvironmentBlock)) return e;
  if (logonCheck_) {
    if (const WinError refused = logonCheck_(logon)) {
      return Result<platform::EnvironmentBlock>::Failure(refused);
    }
  }
  const SimUser* user = accounts_.FindUser(logon.name);
  if (user == nullptr || !accounts_.IsLocal(logon.domain) || user->password != logon.password) {
    return Result<platform::EnvironmentBlock>::Failure(platform::kErrorLogonFailure);
  }
  const WindowsOwnCalls quiet(registry_, profiles_, files_);
  auto variables = LogonVariables({accounts_, registry_, profiles_, files_}, *user);
  if (!variables) return Result<platform::EnvironmentBlock>::Failure(variables.error());
  return platform::BuildEnvironmentBlock(*variables);
}

Result<LogonOutcome> SimProcesses::SimulateLogon(TextView name, bool approveElevation) {
  const SimUser* user = accounts_.FindUser(name);
  if (user == nullptr) return Result<LogonOutcome>::Failure(platform::kErrorLogonFailure);
  const WindowsOwnCalls quiet(registry_, profiles_, files_);
  const LogonMachine machine{accounts_, registry_, profiles_, files_};
  auto variables = LogonVariables(machine, *user);
  if (!variables) return Result<LogonOutcome>::Failure(variables.error());
  const platform::EnvironmentBlock block = platform::BuildEnvironmentBlock(*variables);
  const LogonHive hive(machine, accounts_.UserSid(user->rid).ToText(),
                       variables->at(u"USERPROFILE"));
  if (hive.error() != kErrorSuccess) return Result<LogonOutcome>::Failure(hive.error());

  LogonOutcome outcome;
  const auto run = [&](RegKey root, TextView path, bool once) {
    platform::ScopedKey key =
        platform::ScopedKey::Open(registry_, root, path, platform::kKeyAllAccess);
    if (!key) return;
    for (const auto& [valueName, value] : ValuesOf(registry_, root, path)) {
      const Text command = value.type == platform::kRegExpandSz ? Expand(*variables, value.AsText())
                                                                : value.AsText();
      const bool deleteAfter = once && valueName.starts_with(u'!');
      if (once && !deleteAfter) (void)registry_.DeleteValue(key.get(), valueName);
      const std::optional<SimProgram> program = FindProgram(command);
      if (program && (!program->requiresElevation || (once && approveElevation))) {
        StartAtLogon(command, user->info.name, block, *program);
        outcome.started.push_back(command);
      } else {
        outcome.notStarted.push_back(command);
      }
      if (deleteAfter) (void)registry_.DeleteValue(key.get(), valueName);
    }
  };
  // Only who may delete the machine's RunOnce values has them run.
  if (IsAdministrator(accounts_, *user)) run(platform::kLocalMachine, kRunOnceKey, true);
  run(platform::kLocalMachine, kRunKey, false);
  if (hive.root()) {
    run(*hive.root(), kRunKey, false);
    run(*hive.root(), kRunOnceKey, true);
  }
  return outcome;
}

}  // namespace tarn::sim
