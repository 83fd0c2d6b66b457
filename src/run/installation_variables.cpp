#include "run/installation_variables.h"

#include <array>

#include "accounts/shell_folder_table.h"
#include "accounts/user_environment.h"
#include "catalogue/installation_tests.h"
#include "platform/accounts.h"
#include "platform/environment.h"
#include "platform/expand_text.h"
#include "platform/registry.h"
#include "platform/registry_text.h"
#include "platform/system_info.h"
#include "platform/user_profiles.h"

namespace tarn::run {

namespace {

using platform::ScopedKey;

constexpr uint32_t kSectionValueCapacity = 261;
constexpr uint32_t kVariableCapacity = 256;
constexpr uint32_t kFolderCapacity = 261;
constexpr uint32_t kRegistryValueBytes = 522;
constexpr uint32_t kOwnerBytes = 260;
constexpr uint32_t kUserEnvironmentBytes = 512;
constexpr size_t kUserNameCapacity = 20;
constexpr char16_t kCurrentVersionKey[] = u"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";

// ERROR_ENVVAR_NOT_FOUND: removing a variable that isn't there.
constexpr WinError kErrorEnvironmentVariableNotFound = 203;

class Variables {
 public:
  explicit Variables(const VariableContext& context)
      : environment_(context.services.platform.environment), log_(context.log) {}
  void Set(TextView name, TextView value) {
    if (environment_) Warn(environment_->Set(name, value), name);
  }
  [[nodiscard]] Text Get(TextView name) {
    return environment_ ? environment_->Get(name).value_or(Text()) : Text();
  }
  void Remove(TextView name) {
    if (!environment_) return;
    const WinError error = environment_->Set(name, std::nullopt);
    if (error != kErrorEnvironmentVariableNotFound) Warn(error, name);
  }
  Text Expand(TextView text, uint32_t capacity) {
    return platform::ExpandIntoBuffer(environment_, text, capacity);
  }

 private:
  void Warn(WinError error, TextView name) {
    if (error == kErrorSuccess || log_ == nullptr) return;
    log_->WriteFormat(app::kLogWarning, static_cast<int32_t>(error), u"Can't set the variable '%s'",
                      {name});
  }

  platform::Environment* environment_;
  app::LogFile* log_;
};

// The value's text as a buffer of `bufferBytes` receives it; a value larger
// than the buffer is not read at all.
Text TextIfItFits(const platform::RegValue& value, uint32_t bufferBytes) {
  return value.data.size() > bufferBytes ? Text() : platform::ValueText(value, bufferBytes);
}

// "HKLM:" / "HKCU:" values: the registry value's text, or nullopt when the
// key can't be opened.
std::optional<Text> ReadRegistryReference(const platform::Platform& platform, Variables& variables,
                                          TextView value) {
  const platform::RegKey root =
      StartsWithIgnoreCase(value, u"HKLM:") ? platform::kLocalMachine : platform::kCurrentUser;
  const TextView reference = value.substr(5);
  const size_t split = reference.find_last_of(u"\\:");
  const TextView keyPath = split == TextView::npos ? TextView() : reference.substr(0, split);
  const TextView valueName = split == TextView::npos ? reference : reference.substr(split + 1);
  ScopedKey key =
      ScopedKey::Open(*platform.registry, root, variables.Expand(keyPath, kSectionValueCapacity),
                      platform::kKeyRead);
  if (!key) return std::nullopt;
  auto data = platform.registry->QueryValue(key.get(), valueName);
  return data ? TextIfItFits(*data, kRegistryValueBytes) : Text();
}

// The version look-ups; nullopt when the text asks for none.
std::optional<Text> ReadVersionReference(const platform::Platform& platform, TextView text) {
  const auto version = [&](size_t marker, catalogue::VersionKind kind) {
    auto answer = catalogue::ReadFileVersion(platform, text.substr(0, marker), kind);
    return answer ? *answer : Text();
  };
  constexpr TextView kNamed = u"?version.";
  if (const size_t at = text.find(kNamed); at != TextView::npos) {
    auto answer =
        catalogue::ReadVersionString(platform, text.substr(0, at), text.substr(at + kNamed.size()));
    return answer ? *answer : Text();
  }
  if (const size_t at = text.find(u"?version"); at != TextView::npos) {
    return version(at, catalogue::VersionKind::kProduct);
  }
  if (const size_t at = text.find(u"?productversion"); at != TextView::npos) {
    return version(at, catalogue::VersionKind::kProduct);
  }
  if (const size_t at = text.find(u"?fileversion"); at != TextView::npos) {
    return version(at, catalogue::VersionKind::kFile);
  }
  return std::nullopt;
}

void ApplyEnvironmentLine(const VariableContext& context, Variables& variables, TextView line) {
  const size_t equals = line.find(u'=');
  if (equals == TextView::npos) return;
  const TextView name = line.substr(0, equals);
  const TextView value = line.substr(equals + 1);
  const platform::Platform& platform = context.services.platform;
  if (StartsWithIgnoreCase(value, u"HKLM:") || StartsWithIgnoreCase(value, u"HKCU:")) {
    if (auto text = ReadRegistryReference(platform, variables, value)) variables.Set(name, *text);
    return;
  }
  const Text expanded = variables.Expand(value, kSectionValueCapacity);
  if (auto version = ReadVersionReference(platform, expanded)) {
    variables.Set(name, *version);
    return;
  }
  if (const auto folder = FindShellFolder(name)) {
    if (context.defaults) context.defaults->ShellFolders[*folder] = FixedText<260>(expanded);
    return;
  }
  variables.Set(name, expanded);
}

void SetHomeVariables(Variables& variables, TextView home) {
  const HomeSplit split = SplitHome(home);
  variables.Set(u"ThisHome", home);
  variables.Set(u"HOMEPATH", split.path);
  variables.Set(u"HOMEDRIVE", split.drive);
}

}  // namespace

HomeSplit SplitHome(TextView home) {
  HomeSplit split;
  split.drive = Text(home.substr(0, std::min<size_t>(2, home.size())));
  if (home.size() > 2) split.path = Text(home.substr(2));
  return split;
}

void LoadEnvironmentSection(const VariableContext& context, TextView iniPath) {
  Variables variables(context);
  for (TextView name : {u"ThisUser", u"ThisProfile", u"ThisHome", u"USERNAME", u"USERPROFILE",
                        u"HOMEDRIVE", u"HOMEPATH"}) {
    variables.Remove(name);
  }
  for (const Text& line : accounts::ReadWholeSection(*context.services.platform.profiles, iniPath,
                                                     kEnvironmentSection)) {
    ApplyEnvironmentLine(context, variables, line);
  }
}

bool SetAccountVariables(const VariableContext& context, const accounts::UserAccount& account,
                         bool nameOnly) {
  Variables variables(context);
  variables.Set(u"ThisUser", account.Name.view());
  if (!nameOnly) {
    variables.Set(u"ThisProfile", account.Profile.view());
    variables.Set(u"USERPROFILE", account.Profile.view());
    SetHomeVariables(variables, account.Home.view());
  }
  if (account.Home.empty()) {
    for (TextView name : {u"ThisHome", u"HOMEPATH", u"HOMEDRIVE"}) variables.Remove(name);
  }
  if (account.Profile.empty()) {
    for (TextView name : {u"ThisProfile", u"USERPROFILE"}) variables.Remove(name);
  }
  if (account.Domain.empty()) variables.Remove(u"USERDOMAIN");
  // The password reaches only the block of a command started as the account;
  // none is left from an account set before.
  variables.Remove(u"USERPASSWORD");
  variables.Set(u"USERNAME", account.Name.view());
  const TextView computer = context.config ? context.config->Computer.view() : TextView();
  variables.Set(u"USERDOMAIN", account.Domain.empty() ? computer : account.Domain.view());
  variables.Set(u"COMPUTERNAME", computer);
  for (const auto& variable : account.Environment) {
    // The account's own hive is not the program's to trust.
    if (variable.fromHive) continue;
    variables.Set(variable.name.view(), variables.Expand(variable.value.view(), kVariableCapacity));
  }
  for (size_t i = 0; i < kShellFolderCount; ++i) {
    variables.Set(ShellFolderNames()[i],
                  variables.Expand(account.ShellFolders[i].view(), kFolderCapacity));
  }
  SetIdentityVariables(context);
  return true;
}

namespace {

// The profile folder of the program's own account; nullopt when unknown.
std::optional<Text> OwnProfileFolder(const platform::Platform& platform, TextView userName) {
  auto folder = EqualsIgnoreCase(userName, u"system")
                    ? platform.userProfiles->DefaultUserProfileDirectory()
                    : platform.userProfiles->CurrentUserProfileDirectory();
  if (!folder) return std::nullopt;
  return CutToCapacity(*folder, 260);
}

// The user's PATH after the machine's, as the logon joins them. When the
// machine's already holds it as a run of whole entries (the program was
// started from such a logon, or an earlier call joined them) it is not added
// again, so the page may set the variables as often as it is shown.
Text JoinUserPath(TextView machine, TextView user) {
  if (user.empty()) return Text(machine);
  if (machine.empty()) return Text(user);
  for (size_t pos = FindIgnoreCase(machine, user); pos != TextView::npos;
       pos = FindIgnoreCase(machine, user, pos + 1)) {
    const size_t end = pos + user.size();
    if ((pos == 0 || machine[pos - 1] == u';') && (end == machine.size() || machine[end] == u';')) {
      return Text(machine);
    }
  }
  Text joined(machine);
  if (joined.back() != u';') joined += u';';
  return joined + Text(user);
}

void SetUserRegistryVariables(const platform::Platform& platform, Variables& variables) {
  ScopedKey key = ScopedKey::Open(*platform.registry, platform::kCurrentUser, u"environment",
                                  platform::kKeyRead);
  if (!key) return;
  for (uint32_t index = 0;; ++index) {
    auto entry = platform.registry->EnumValue(key.get(), index);
    if (!entry) break;
    // Too large for the buffer it is read into: setting it empty would
    // throw away the value the process already has.
    if (entry->second.data.size() > kUserEnvironmentBytes) continue;
    const Text name = CutToCapacity(entry->first, 260);
    Text value = variables.Expand(platform::ValueText(entry->second, kUserEnvironmentBytes),
                                  kVariableCapacity);
    // Replacing PATH by the user's part alone would hide System32 from
    // every command started afterwards.
    if (EqualsIgnoreCase(name, u"Path")) value = JoinUserPath(variables.Get(u"PATH"), value);
    variables.Set(name, value);
  }
}

}  // namespace

void SetLoggedOnUserVariables(const VariableContext& context) {
  const platform::Platform& platform = context.services.platform;
  Variables variables(context);
  Text name;
  if (platform.system)
    name = CutToCapacity(platform.system->UserName().value_or(Text()), kUserNameCapacity);
  variables.Set(u"ThisUser", name);
  variables.Set(u"USERNAME", name);
  variables.Remove(u"USERPASSWORD");
  const TextView computer = context.config ? context.config->Computer.view() : TextView();
  if (platform.accounts) {
    if (auto info = platform.accounts->GetUserInfo(platform::kLocalComputer, name, 1)) {
      SetHomeVariables(variables, CutToCapacity(info->homeDir, 260));
    }
  }
  variables.Set(u"USERDOMAIN", computer);
  variables.Set(u"COMPUTERNAME", computer);
  const Text profile = OwnProfileFolder(platform, name).value_or(Text());
  if (!profile.empty()) {
    variables.Set(u"USERPROFILE", profile);
    variables.Set(u"ThisProfile", profile);
  }
  SetUserRegistryVariables(platform, variables);
  SetShellFolderVariables(context, profile, name);
  SetIdentityVariables(context);
}

void SetShellFolderVariables(const VariableContext& context, TextView profile, TextView userName) {
  Variables variables(context);
  accounts::ShellFolderPaths folders =
      accounts::ReadShellFoldersOrDefaults(context.services, platform::kCurrentUser);
  for (size_t i = 0; i < kShellFolderCount; ++i) {
    Text& path = folders[i];
    ReplaceText(path, accounts::kPathCapacity, u"%USERPROFILE%", profile);
    ReplaceText(path, accounts::kPathCapacity, u"%USERNAME%", userName);
    variables.Set(ShellFolderNames()[i], variables.Expand(path, kFolderCapacity));
  }
}

bool FillWorkgroupFromSystem(const platform::Platform& platform, FixedText<15>& workgroup) {
  auto join = platform.accounts->GetJoinInformation(u"");
  if (!join) return false;
  workgroup = join->name;
  return true;
}

bool FillOwnerFromRegistry(const platform::Platform& platform, FixedText<260>* owner,
                           FixedText<260>* organisation) {
  ScopedKey key = ScopedKey::Open(*platform.registry, platform::kLocalMachine, kCurrentVersionKey,
                                  platform::kKeyRead);
  if (!key) return false;
  const auto read = [&](TextView name, FixedText<260>* field) {
    if (field == nullptr) return;
    auto value = platform.registry->QueryValue(key.get(), name);
    if (!value) return;
    // Text that overflows the buffer loses its last unit to the terminator.
    *field = platform::ValueText(*value,
                                 value->data.size() > kOwnerBytes ? kOwnerBytes - 2 : kOwnerBytes);
  };
  read(u"RegisteredOwner", owner);
  read(u"RegisteredOrganization", organisation);
  return true;
}

void SetIdentityVariables(const VariableContext& context) {
  if (context.config == nullptr) return;
  app::InstallConfig& config = *context.config;
  const platform::Platform& platform = context.services.platform;
  Variables variables(context);
  if (config.Workgroup.empty()) FillWorkgroupFromSystem(platform, config.Workgroup);
  variables.Set(u"WorkGroupName", config.Workgroup.view());
  FillOwnerFromRegistry(platform, config.Owner.empty() ? &config.Owner : nullptr,
                        config.Org.empty() ? &config.Org : nullptr);
  variables.Set(u"OwnerName", config.Owner.view());
  variables.Set(u"OrgName", config.Org.view());
}

}  // namespace tarn::run
