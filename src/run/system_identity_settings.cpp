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

ScopedKey OpenMachineKey(AppContext& app, TextView path) {
  return ScopedKey::Open(*app.platform.registry, platform::kLocalMachine, path,
                         platform::kKeyRead | platform::kKeyWrite);
}

void SetText(AppContext& app, const ScopedKey& key, TextView name, TextView value) {
  (void)app.platform.registry->SetValue(key.get(), name, RegValue::FromText(value));
}

void Remove(AppContext& app, const ScopedKey& key, TextView name) {
  (void)app.platform.registry->DeleteValue(key.get(), name);
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
  if (primary != nullptr) {
    (void)app.platform.identity->StorePrivateData(primary->Domain, kDefaultPasswordSecret,
                                                  app.config.UserPwd);
  }
}

}  // namespace

std::optional<SavedBlankPasswordPolicy> RelaxBlankPasswordPolicy(AppContext& app) {
  const ScopedKey key = OpenMachineKey(app, kLsaKey);
  if (!key) return std::nullopt;
  SavedBlankPasswordPolicy saved;
  const auto value = app.platform.registry->QueryValue(key.get(), kLimitBlankPasswordUse);
  if (value) saved.value = value->AsDword().value_or(0);
  (void)app.platform.registry->SetValue(key.get(), kLimitBlankPasswordUse, RegValue::FromDword(0));
  return saved;
}

void RestoreBlankPasswordPolicy(AppContext& app, const SavedBlankPasswordPolicy& saved) {
  const ScopedKey key = OpenMachineKey(app, kLsaKey);
  if (!key) return;
  if (saved.value) {
    (void)app.platform.registry->SetValue(key.get(), kLimitBlankPasswordUse,
                                          RegValue::FromDword(*saved.value));
  } else {
    Remove(app, key, kLimitBlankPasswordUse);
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
}

bool ApplyComputerName(AppContext& app) {
  const Result<Text> current = app.platform.system->ComputerName();
  const bool renamed = app.platform.identity->RenameComputer(app.config.Computer) == kErrorSuccess;
  if (const ScopedKey key = OpenMachineKey(app, kTcpipParametersKey)) {
    SetText(app, key, u"NV Hostname", app.config.Computer);
  }
  if (app.config.Verbose & 1) {
    app.log.WriteFormat(app::kLogInfo, 0, u"Setting Computer name to '%s'.",
                        {app.config.Computer.view()});
  }
  return renamed && !(current.ok() && EqualsIgnoreCase(*current, app.config.Computer.view()));
}

void ApplyOwner(AppContext& app) {
  const ScopedKey key = OpenMachineKey(app, kCurrentVersionKey);
  if (!key) return;
  SetText(app, key, u"RegisteredOrganization", app.config.Org);
  SetText(app, key, u"RegisteredOwner", app.config.Owner);
}

void ApplyWorkgroup(AppContext& app) {
  (void)app.platform.identity->JoinWorkgroup(app.config.Workgroup);
  if (app.config.Verbose & 1) {
    app.log.WriteFormat(app::kLogInfo, 0, u"Setting Workgroup name to '%s'.",
                        {app.config.Workgroup.view()});
  }
}

}  // namespace tarn::run
