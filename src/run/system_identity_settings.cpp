#include "run/system_identity_settings.h"

#include "accounts/user_account.h"
#include "app/app_context.h"
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
void WarnIfFailed(AppContext& app, WinError error, TextView what, TextView name) {
  if (error == kErrorSuccess) return;
  app.log.WriteFormat(app::kLogWarning, static_cast<int32_t>(error), u"Can't %s '%s'.",
                      {what, name});
}

ScopedKey OpenMachineKey(AppContext& app, TextView path) {
  WinError error = kErrorSuccess;
  ScopedKey key = ScopedKey::Open(*app.platform.registry, platform::kLocalMachine, path,
                                  platform::kKeyRead | platform::kKeyWrite, &error);
  // A key the system doesn't have is left alone, as before; any other
  // refusal is news.
  if (!key && error != kErrorFileNotFound) WarnIfFailed(app, error, u"open the key", path);
  return key;
}

void SetValue(AppContext& app, const ScopedKey& key, TextView name, const RegValue& value) {
  WarnIfFailed(app, app.platform.registry->SetValue(key.get(), name, value), u"set the value",
               name);
}

void SetText(AppContext& app, const ScopedKey& key, TextView name, TextView value) {
  SetValue(app, key, name, RegValue::FromText(value));
}

// A value that is not there is already as wanted.
void Remove(AppContext& app, const ScopedKey& key, TextView name) {
  const WinError error = app.platform.registry->DeleteValue(key.get(), name);
  if (error != kErrorFileNotFound) WarnIfFailed(app, error, u"remove the value", name);
}

bool RunsAsSystem(AppContext& app) {
  const auto name = app.platform.system->UserName();
  return name && EqualsIgnoreCase(CutToCapacity(*name, kUserNameCapacity), u"system");
}

void SetAutoLogon(AppContext& app, const ScopedKey& key, const accounts::UserAccount* primary) {
  SetText(app, key, u"DefaultUserName", app.config.User);
  SetText(app, key, u"AutoAdminLogon", u"1");
  SetText(app, key, u"DefaultDomainName", app.config.Computer);
  Remove(app, key, u"AutoLogonCount");
  Remove(app, key, u"DefaultPassword");
  // Only in the local policy, whatever domain the account names; Winlogon
  // reads it there.
  if (primary != nullptr) {
    const uint32_t status =
        app.platform.identity->StorePrivateData(kDefaultPasswordSecret, app.config.UserPwd.view());
    WarnIfFailed(app, status, u"store the secret", kDefaultPasswordSecret);
  }
}

// Automatic logon off: the password it would have used goes too.
void RemoveAutoLogonSecret(AppContext& app) {
  const uint32_t status = app.platform.identity->StorePrivateData(kDefaultPasswordSecret, {});
  if (status == platform::kStatusObjectNameNotFound) return;
  WarnIfFailed(app, status, u"remove the secret", kDefaultPasswordSecret);
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
  SetValue(app, key, kLimitBlankPasswordUse, RegValue::FromDword(0));
  return saved;
}

namespace {

WinError TryRestore(AppContext& app, const SavedBlankPasswordPolicy& saved) {
  WinError error = kErrorSuccess;
  const ScopedKey key = ScopedKey::Open(*app.platform.registry, platform::kLocalMachine, kLsaKey,
                                        platform::kKeyRead | platform::kKeyWrite, &error);
  if (!key) return error;
  platform::Registry& registry = *app.platform.registry;
  if (saved.value) {
    return registry.SetValue(key.get(), kLimitBlankPasswordUse, RegValue::FromDword(*saved.value));
  }
  error = registry.DeleteValue(key.get(), kLimitBlankPasswordUse);
  return error == kErrorFileNotFound ? kErrorSuccess : error;
}

}  // namespace

void RestoreBlankPasswordPolicy(AppContext& app, const SavedBlankPasswordPolicy& saved) {
  // A relaxed policy left behind weakens the machine: one more try before
  // giving up.
  WinError error = TryRestore(app, saved);
  if (error != kErrorSuccess) {
    app.log.WriteFormat(app::kLogWarning, static_cast<int32_t>(error),
                        u"Can't restore '%s' at the first try.",
                        {TextView(kLimitBlankPasswordUse)});
    error = TryRestore(app, saved);
  }
  if (error != kErrorSuccess) {
    app.log.WriteFormat(app::kLogError, static_cast<int32_t>(error),
                        u"Can't restore '%s'; blank passwords may stay allowed.",
                        {TextView(kLimitBlankPasswordUse)});
  }
}

void ApplyAutoLogon(AppContext& app, const accounts::UserAccount* primary) {
  if (RunsAsSystem(app)) return;
  const app::AutoLogonMode mode = app.config.AutoLogon;
  if (mode == app::AutoLogonMode::kUnchanged) return;
  const ScopedKey key = OpenMachineKey(app, kWinlogonKey);
  if (!key) return;
  if (mode == app::AutoLogonMode::kOn) {
    SetAutoLogon(app, key, primary);
    return;
  }
  Remove(app, key, u"AutoAdminLogon");
  Remove(app, key, u"DefaultPassword");
  Remove(app, key, u"AutoLogonCount");
  RemoveAutoLogonSecret(app);
}

bool ApplyComputerName(AppContext& app) {
  const Result<Text> current = app.platform.system->ComputerName();
  const WinError renamed = app.platform.identity->RenameComputer(app.config.Computer);
  // An empty name asks for nothing, so its refusal is no news.
  if (!app.config.Computer.empty()) {
    WarnIfFailed(app, renamed, u"set the computer name", app.config.Computer);
  }
  if (const ScopedKey key = OpenMachineKey(app, kTcpipParametersKey)) {
    SetText(app, key, u"NV Hostname", app.config.Computer);
  }
  if (app.config.Verbose & 1) {
    app.log.WriteFormat(app::kLogInfo, 0, u"Setting Computer name to '%s'.",
                        {app.config.Computer.view()});
  }
  return !app.config.Computer.empty() && renamed == kErrorSuccess &&
         !(current.ok() && EqualsIgnoreCase(*current, app.config.Computer.view()));
}

void ApplyOwner(AppContext& app) {
  const ScopedKey key = OpenMachineKey(app, kCurrentVersionKey);
  if (!key) return;
  SetText(app, key, u"RegisteredOrganization", app.config.Org);
  SetText(app, key, u"RegisteredOwner", app.config.Owner);
}

void ApplyWorkgroup(AppContext& app) {
  const WinError joined = app.platform.identity->JoinWorkgroup(app.config.Workgroup);
  if (!app.config.Workgroup.empty()) {
    WarnIfFailed(app, joined, u"join the workgroup", app.config.Workgroup);
  }
  if (app.config.Verbose & 1) {
    app.log.WriteFormat(app::kLogInfo, 0, u"Setting Workgroup name to '%s'.",
                        {app.config.Workgroup.view()});
  }
}

}  // namespace tarn::run
