#include "run/system_identity_settings.h"

#include "accounts/user_account.h"
#include "app/app_context.h"
#include "platform/accounts.h"
#include "platform/identity.h"
#include "platform/registry.h"
#include "platform/system_info.h"

namespace tarn::run {
namespace {

using platform::RegValue;
using platform::ScopedKey;

// Capacity of the name read to recognise the SYSTEM account.
constexpr size_t kUserNameCapacity = 40;

// A setting that could not be made is a warning: the run goes on.
WinError WarnIfFailed(AppContext& app, WinError error, TextView what, TextView name) {
  if (error == kErrorSuccess) return error;
  app.log.WriteFormat(app::kLogWarning, static_cast<int32_t>(error), u"Can't %s '%s'.",
                      {what, name});
  return error;
}

// The first error of the writes one setting makes; each is logged anyway.
class FirstError {
 public:
  void Note(WinError error) {
    if (error_ == kErrorSuccess) error_ = error;
  }
  [[nodiscard]] WinError get() const { return error_; }

 private:
  WinError error_ = kErrorSuccess;
};

ScopedKey OpenMachineKey(AppContext& app, TextView path, WinError* error = nullptr) {
  WinError opened = kErrorSuccess;
  ScopedKey key = ScopedKey::Open(*app.platform.registry, platform::kLocalMachine, path,
                                  platform::kKeyRead | platform::kKeyWrite, &opened);
  // A key the system doesn't have is left alone, as before; any other
  // refusal is news.
  if (!key && opened != kErrorFileNotFound) WarnIfFailed(app, opened, u"open the key", path);
  if (error != nullptr) *error = key ? kErrorSuccess : opened;
  return key;
}

WinError SetValue(AppContext& app, const ScopedKey& key, TextView name, const RegValue& value) {
  return WarnIfFailed(app, app.platform.registry->SetValue(key.get(), name, value),
                      u"set the value", name);
}

WinError SetText(AppContext& app, const ScopedKey& key, TextView name, TextView value) {
  return SetValue(app, key, name, RegValue::FromText(value));
}

// A value that is not there is already as wanted.
WinError Remove(AppContext& app, const ScopedKey& key, TextView name) {
  const WinError error = app.platform.registry->DeleteValue(key.get(), name);
  if (error == kErrorFileNotFound) return kErrorSuccess;
  return WarnIfFailed(app, error, u"remove the value", name);
}

bool RunsAsSystem(AppContext& app) {
  const auto name = app.platform.system->UserName();
  return name && EqualsIgnoreCase(CutToCapacity(*name, kUserNameCapacity), u"system");
}

WinError SetAutoLogon(AppContext& app, const ScopedKey& key, const accounts::UserAccount* primary) {
  FirstError first;
  first.Note(SetText(app, key, u"DefaultUserName", app.config.User));
  first.Note(SetText(app, key, u"AutoAdminLogon", u"1"));
  first.Note(SetText(app, key, u"DefaultDomainName", app.config.Computer));
  first.Note(Remove(app, key, u"AutoLogonCount"));
  first.Note(Remove(app, key, u"DefaultPassword"));
  // Only in the local policy, whatever domain the account names; Winlogon
  // reads it there.
  if (primary != nullptr) {
    const uint32_t status =
        app.platform.identity->StorePrivateData(kDefaultPasswordSecret, app.config.UserPwd.view());
    first.Note(WarnIfFailed(app, status, u"store the secret", kDefaultPasswordSecret));
  }
  return first.get();
}

// The record of the policy as found, written through before the policy is
// touched.
WinError WriteRecord(AppContext& app, const SavedBlankPasswordPolicy& saved) {
  WinError error = kErrorSuccess;
  const ScopedKey key =
      ScopedKey::Create(*app.platform.registry, platform::kLocalMachine, kProgramKey,
                        platform::kKeyRead | platform::kKeyWrite, &error);
  if (!key) return error;
  platform::Registry& registry = *app.platform.registry;
  error = registry.SetValue(
      key.get(), kPolicyRecord,
      saved.value ? RegValue::FromDword(*saved.value) : RegValue::FromText(kAbsentRecord));
  return error != kErrorSuccess ? error : registry.FlushKey(key.get());
}

// The record, when there is one. One that is not a number stands for a
// value that did not exist: removing the value is the system's default.
Result<std::optional<SavedBlankPasswordPolicy>> ReadRecord(AppContext& app) {
  using Found = Result<std::optional<SavedBlankPasswordPolicy>>;
  WinError error = kErrorSuccess;
  const ScopedKey key = ScopedKey::Open(*app.platform.registry, platform::kLocalMachine,
                                        kProgramKey, platform::kKeyRead, &error);
  if (!key) return error == kErrorFileNotFound ? Found(std::nullopt) : Found::Failure(error);
  const auto value = app.platform.registry->QueryValue(key.get(), kPolicyRecord);
  if (!value) {
    return value.error() == kErrorFileNotFound ? Found(std::nullopt)
                                               : Found::Failure(value.error());
  }
  return Found(SavedBlankPasswordPolicy{value->AsDword()});
}

WinError RemoveRecord(platform::Registry& registry) {
  WinError error = kErrorSuccess;
  const ScopedKey key = ScopedKey::Open(registry, platform::kLocalMachine, kProgramKey,
                                        platform::kKeyRead | platform::kKeyWrite, &error);
  if (!key) return error == kErrorFileNotFound ? kErrorSuccess : error;
  error = registry.DeleteValue(key.get(), kPolicyRecord);
  return error == kErrorFileNotFound ? kErrorSuccess : error;
}

WinError TryRestore(platform::Registry& registry, const SavedBlankPasswordPolicy& saved) {
  WinError error = kErrorSuccess;
  const ScopedKey key = ScopedKey::Open(registry, platform::kLocalMachine, kLsaKey,
                                        platform::kKeyRead | platform::kKeyWrite, &error);
  if (!key) return error;
  if (saved.value) {
    error = registry.SetValue(key.get(), kLimitBlankPasswordUse, RegValue::FromDword(*saved.value));
  } else {
    error = registry.DeleteValue(key.get(), kLimitBlankPasswordUse);
    if (error == kErrorFileNotFound) error = kErrorSuccess;
  }
  return error != kErrorSuccess ? error : registry.FlushKey(key.get());
}

// Automatic logon off: the password it would have used goes too.
WinError RemoveAutoLogonSecret(AppContext& app) {
  const uint32_t status = app.platform.identity->StorePrivateData(kDefaultPasswordSecret, {});
  if (status == platform::kStatusObjectNameNotFound) return kErrorSuccess;
  return WarnIfFailed(app, status, u"remove the secret", kDefaultPasswordSecret);
}

}  // namespace

std::optional<SavedBlankPasswordPolicy> RelaxBlankPasswordPolicy(AppContext& app) {
  const ScopedKey key = OpenMachineKey(app, kLsaKey);
  if (!key) return std::nullopt;
  SavedBlankPasswordPolicy saved;
  const auto value = app.platform.registry->QueryValue(key.get(), kLimitBlankPasswordUse);
  if (value) {
    saved.value = value->AsDword().value_or(0);
  } else if (value.error() != kErrorFileNotFound) {
    // What is not known can't be put back: the policy stays as it is.
    WarnIfFailed(app, value.error(), u"read the value", kLimitBlankPasswordUse);
    return std::nullopt;
  }
  // Without the record a crash would leave the policy relaxed for good.
  if (WarnIfFailed(app, WriteRecord(app, saved), u"record the value", kPolicyRecord) !=
      kErrorSuccess) {
    return std::nullopt;
  }
  (void)SetValue(app, key, kLimitBlankPasswordUse, RegValue::FromDword(0));
  return saved;
}

WinError RestoreBlankPasswordPolicy(AppContext& app, const SavedBlankPasswordPolicy& saved) {
  // A relaxed policy left behind weakens the machine: one more try before
  // giving up.
  platform::Registry& registry = *app.platform.registry;
  WinError error = TryRestore(registry, saved);
  if (error != kErrorSuccess) {
    app.log.WriteFormat(app::kLogWarning, static_cast<int32_t>(error),
                        u"Can't restore '%s' at the first try.",
                        {TextView(kLimitBlankPasswordUse)});
    error = TryRestore(registry, saved);
  }
  if (error != kErrorSuccess) {
    app.log.WriteFormat(app::kLogError, static_cast<int32_t>(error),
                        u"Can't restore '%s'; blank passwords may stay allowed until a later run "
                        u"restores it.",
                        {TextView(kLimitBlankPasswordUse)});
    return error;
  }
  return WarnIfFailed(app, RemoveRecord(registry), u"remove the value", kPolicyRecord);
}

WinError PutBackBlankPasswordPolicy(platform::Registry& registry,
                                    const SavedBlankPasswordPolicy& saved) {
  const WinError error = TryRestore(registry, saved);
  return error != kErrorSuccess ? error : RemoveRecord(registry);
}

WinError RestoreLeftBlankPasswordPolicy(AppContext& app) {
  const auto record = ReadRecord(app);
  if (!record) {
    return WarnIfFailed(app, record.error(), u"read the value", kPolicyRecord);
  }
  if (!record->has_value()) return kErrorSuccess;
  const SavedBlankPasswordPolicy& saved = **record;
  const Text before = saved.value ? DecimalText(*saved.value) : Text(kAbsentRecord);
  app.log.WriteFormat(app::kLogWarning, 0,
                      u"An earlier run ended with '%s' relaxed; it is restored now (%s).",
                      {TextView(kLimitBlankPasswordUse), TextView(before)});
  return RestoreBlankPasswordPolicy(app, saved);
}

SettingOutcome ApplyAutoLogon(AppContext& app, const accounts::UserAccount* primary) {
  if (RunsAsSystem(app)) return std::nullopt;
  const app::AutoLogonMode mode = app.config.AutoLogon;
  if (mode == app::AutoLogonMode::kUnchanged) return std::nullopt;
  WinError error = kErrorSuccess;
  const ScopedKey key = OpenMachineKey(app, kWinlogonKey, &error);
  if (!key) return error;
  if (mode == app::AutoLogonMode::kOn) return SetAutoLogon(app, key, primary);
  FirstError first;
  first.Note(Remove(app, key, u"AutoAdminLogon"));
  first.Note(Remove(app, key, u"DefaultPassword"));
  first.Note(Remove(app, key, u"AutoLogonCount"));
  first.Note(RemoveAutoLogonSecret(app));
  return first.get();
}

SettingOutcome ApplyComputerName(AppContext& app, bool& restartNeeded) {
  const Result<Text> current = app.platform.system->ComputerName();
  const WinError renamed = app.platform.identity->RenameComputer(app.config.Computer);
  FirstError first;
  // An empty name asks for nothing, so its refusal is no news.
  if (!app.config.Computer.empty()) {
    first.Note(WarnIfFailed(app, renamed, u"set the computer name", app.config.Computer));
  }
  WinError opened = kErrorSuccess;
  if (const ScopedKey key = OpenMachineKey(app, kTcpipParametersKey, &opened)) {
    first.Note(SetText(app, key, u"NV Hostname", app.config.Computer));
  } else {
    first.Note(opened);
  }
  if (app.config.Verbose & 1) {
    app.log.WriteFormat(app::kLogInfo, 0, u"Setting Computer name to '%s'.",
                        {app.config.Computer.view()});
  }
  restartNeeded = !app.config.Computer.empty() && renamed == kErrorSuccess &&
                  !(current.ok() && EqualsIgnoreCase(*current, app.config.Computer.view()));
  if (app.config.Computer.empty()) return std::nullopt;
  return first.get();
}

SettingOutcome ApplyOwner(AppContext& app) {
  WinError error = kErrorSuccess;
  const ScopedKey key = OpenMachineKey(app, kCurrentVersionKey, &error);
  const bool asked = !app.config.Owner.empty();
  if (!key) return asked ? SettingOutcome(error) : std::nullopt;
  const WinError written = SetText(app, key, u"RegisteredOwner", app.config.Owner);
  return asked ? SettingOutcome(written) : std::nullopt;
}

SettingOutcome ApplyOrganization(AppContext& app) {
  WinError error = kErrorSuccess;
  const ScopedKey key = OpenMachineKey(app, kCurrentVersionKey, &error);
  const bool asked = !app.config.Org.empty();
  if (!key) return asked ? SettingOutcome(error) : std::nullopt;
  const WinError written = SetText(app, key, u"RegisteredOrganization", app.config.Org);
  return asked ? SettingOutcome(written) : std::nullopt;
}

// A member of that workgroup already: joining again changes nothing.
bool InWorkgroup(AppContext& app, TextView workgroup) {
  const auto joined = app.platform.accounts->GetJoinInformation(u"");
  return joined && joined->status == platform::kNetSetupWorkgroupName &&
         EqualsIgnoreCase(joined->name, workgroup);
}

SettingOutcome ApplyWorkgroup(AppContext& app) {
  if (app.config.Verbose & 1) {
    app.log.WriteFormat(app::kLogInfo, 0, u"Setting Workgroup name to '%s'.",
                        {app.config.Workgroup.view()});
  }
  if (!app.config.Workgroup.empty() && InWorkgroup(app, app.config.Workgroup)) {
    return std::nullopt;
  }
  const WinError joined = app.platform.identity->JoinWorkgroup(app.config.Workgroup);
  if (app.config.Workgroup.empty()) return std::nullopt;
  return WarnIfFailed(app, joined, u"join the workgroup", app.config.Workgroup);
}

}  // namespace tarn::run
