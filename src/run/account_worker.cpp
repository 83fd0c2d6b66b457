#include "run/account_worker.h"

#include "accounts/account_lookup.h"
#include "accounts/account_profiles.h"
#include "accounts/account_security.h"
#include "accounts/profile_setup.h"
#include "accounts/shell_folder_table.h"
#include "accounts/user_environment.h"
#include "platform/accounts.h"
#include "platform/environment.h"
#include "platform/file_system.h"
#include "platform/registry.h"
#include "platform/system_info.h"
#include "platform/unexpand_path.h"
#include "run/account_plan.h"
#include "run/installation_variables.h"

namespace tarn::run {

namespace {

using accounts::UserAccount;

constexpr char16_t kWorker[] = u"CreateUsers";
constexpr uint32_t kExpandCapacity = 512;
// ERROR_GEN_FAILURE: a step that answers only whether it worked.
constexpr WinError kErrorGenFailure = 31;
// Keeps the first failure of a sequence of calls: a later success must not
// hide that the password, say, was refused.
void KeepFirstFailure(WinError& kept, WinError result) {
  if (kept == kErrorSuccess) kept = result;
}

// The record as the users section names it: a renamed account keeps the
// name it had, so a later run of the same file finds the same key.
TextView AccountKey(const UserAccount& account) {
  return account.OldName.empty() ? account.Name.view() : account.OldName.view();
}

TextView ActionName(const UserAccount& account, AccountAction action) {
  switch (action) {
    case AccountAction::kDelete:
      return u"delete";
    case AccountAction::kCreate:
      return u"create";
    case AccountAction::kChange:
    case AccountAction::kLeave:
      break;
  }
  return RenamesAccount(account) ? u"rename" : u"change";
}

}  // namespace

SystemAccountWorker::SystemAccountWorker(AppContext& app, app::Prompter& prompter,
                                         uint32_t volumeTimeoutSeconds)
    : app_(app),
      services_{app.platform, [&app](uint32_t id) { return app.translator.Translate(id); }},
      prompter_(prompter),
      volumeTimeoutSeconds_(volumeTimeoutSeconds) {}

void SystemAccountWorker::Verbose(TextView format, std::initializer_list<FormatArg> args,
                                  int32_t code) {
  if (verbose()) app_.log.WriteFormat(app::kLogInfo, code, format, args);
}

Text SystemAccountWorker::ExpandText(TextView text, uint32_t capacity) {
  return app_.platform.environment->Expand(text, capacity).text;
}

void SystemAccountWorker::SetVariable(TextView name, TextView value) {
  WarnIfFailed(app_.platform.environment->Set(name, value), u"set the variable", name);
}

void SystemAccountWorker::WarnIfFailed(WinError error, TextView step, TextView name) {
  if (error == kErrorSuccess) return;
  app_.log.WriteFormat(app::kLogWarning, static_cast<int32_t>(error), u"%s: Can't %s for '%s'",
                       {kWorker, step, name});
}

void SystemAccountWorker::CreateUsers(accounts::UserAccountList& accounts,
                                      AccountProgress& progress) {
  accounts::VolumeChecker volumes(*app_.platform.files, prompter_, volumeTimeoutSeconds_);
  for (UserAccount& account : accounts) {
    const AccountAction action = ActionOf(account);
    if (action == AccountAction::kLeave) continue;
    if (progress.AlreadyDone(AccountKey(account), account.Name.view())) continue;
    app::StepRecord step;
    step.kind = app::StepKind::kAccount;
    step.key = AccountKey(account);
    step.name = account.Name.str();
    step.action = ActionName(account, action);
    step.startUnixMs = app_.platform.system->UnixTimeMs();
    step.outcome =
        action == AccountAction::kDelete ? DeleteAccount(account) : ApplyAccount(account, volumes);
    step.tries = 1;
    progress.AccountFinished(step);
  }
}

bool SystemAccountWorker::Protected(TextView server, TextView name, bool deleting) {
  accounts::Protection protection = accounts::Protection::kNone;
  if (const auto sid =
          accounts::ResolveAccountSid(services_, server, name, platform::kSidTypeUser)) {
    protection = accounts::ProtectionOf(services_, server, *sid, deleting);
  } else if (app_.platform.accounts->GetUserInfo(server, name, 0).ok()) {
    protection = accounts::Protection::kUnknown;
  }
  const TextView outcome =
      deleting ? u"it is not deleted" : u"it is not made a standard user and is left as it is";
  switch (protection) {
    case accounts::Protection::kNone:
      return false;
    case accounts::Protection::kOwnAccount:
      app_.log.WriteFormat(app::kLogError, 0,
                           u"%s: '%s' is the account this program runs under; %s",
                           {kWorker, name, outcome});
      return true;
    case accounts::Protection::kLastAdministrator:
      app_.log.WriteFormat(app::kLogError, 0, u"%s: '%s' is the last enabled administrator; %s",
                           {kWorker, name, outcome});
      return true;
    case accounts::Protection::kUnknown:
      break;
  }
  app_.log.WriteFormat(app::kLogError, 0,
                       u"%s: Can't tell whether '%s' is the last enabled administrator or the "
                       u"account this program runs under; %s",
                       {kWorker, name, outcome});
  return true;
}

WinError SystemAccountWorker::LowerToStandardUser(const UserAccount& account) {
  return accounts::DowngradeAccount(services_, account.Name.view());
}

app::Outcome SystemAccountWorker::DeleteAccount(const UserAccount& account) {
  Verbose(u"Deleting user: '%s'", {account.OldName.view()});
  if (Protected(platform::kLocalComputer, account.OldName.view(), true))
    return app::Outcome::kError;
  // The SID is taken first: once the account is gone its name no longer
  // leads to the profile, and a profile must not go while its account stays.
  const auto sid = accounts::ResolveAccountSid(services_, platform::kLocalComputer,
                                               account.OldName.view(), platform::kSidTypeUser);
  const WinError deleted =
      app_.platform.accounts->DeleteUser(platform::kLocalComputer, account.OldName.view());
  if (deleted != kErrorSuccess) {
    app_.log.WriteFormat(app::kLogError, static_cast<int32_t>(deleted),
                         u"%s: Can't delete user '%s'; its profile is kept",
                         {kWorker, account.OldName.view()});
    return app::Outcome::kError;
  }
  WinError profile = kErrorSuccess;
  if (!sid) {
    profile = kErrorNoneMapped;
  } else if (!accounts::DeleteProfileOf(services_, *sid)) {
    profile = kErrorGenFailure;
  }
  WarnIfFailed(profile, u"delete the profile", account.OldName.view());
  return profile == kErrorSuccess ? app::Outcome::kSuccess : app::Outcome::kWarning;
}

WinError SystemAccountWorker::CreateOrChange(const UserAccount& account, bool& created,
                                             bool& isNew) {
  platform::Accounts& system = *app_.platform.accounts;
  const TextView server = platform::kLocalComputer;
  const TextView name = account.Name.view();
  platform::UserInfo info;
  info.name = account.Name.str();
  info.privilege = platform::kUserPrivUser;
  info.comment = account.Comment.str();
  info.flags = AccountFlags(account);
  info.scriptPath = account.Script.str();
  info.fullName = account.FullName.str();
  const WinError added = system.CreateUser(server, info, account.Password.view());
  created = added == kErrorSuccess;
  isNew = created;
  if (added != kNerrUserExists) return added;
  created = true;
  // Level 1 carries the privilege level, which is all that is read back.
  const auto present = system.GetUserInfo(server, name, 1);
  if (!present.ok()) return added;
  WinError result = kErrorSuccess;
  if (account.PasswordGiven != 0) {
    KeepFirstFailure(result, system.SetUserText(server, name, platform::kUserLevelPassword,
                                                account.Password.view()));
  }
  KeepFirstFailure(result, system.SetUserPrivilege(server, name, present->privilege));
  KeepFirstFailure(result, system.SetUserText(server, name, platform::kUserLevelComment,
                                              account.Comment.view()));
  KeepFirstFailure(result, system.SetUserFlags(server, name, AccountFlags(account)));
  KeepFirstFailure(
      result, system.SetUserText(server, name, platform::kUserLevelScript, account.Script.view()));
  KeepFirstFailure(result, system.SetUserText(server, name, platform::kUserLevelFullName,
                                              account.FullName.view()));
  return result;
}

void SystemAccountWorker::ApplyWelcomeScreen(const UserAccount& account, bool renamed) {
  platform::Registry& registry = *app_.platform.registry;
  // The setting is stored under the account's name: a renamed account
  // keeps what it had under its old one unless the record changes it.
  const int32_t show = WelcomeScreenOf(registry, account, renamed);
  WarnIfFailed(accounts::SetWelcomeScreen(registry, account.Name.view(), show),
               u"set the welcome screen entry", account.Name.view());
  if (!DropsDenyLogon(account, show)) return;
  const uint32_t held =
      accounts::HasAccountRight(services_, platform::kLocalComputer, account.Name.view(),
                                accounts::kDenyInteractiveLogonRight);
  // A right that comes through a group is the group's business.
  if ((held & accounts::kRightHeldDirectly) != 0) {
    const bool dropped =
        accounts::DropAccountRights(services_, platform::kLocalComputer, account.Name.view(),
                                    accounts::kDenyInteractiveLogonRight);
    WarnIfFailed(dropped ? kErrorSuccess : kErrorGenFailure, u"allow the logon",
                 account.Name.view());
  }
}

app::Outcome SystemAccountWorker::ApplyAccount(UserAccount& account,
                                               accounts::VolumeChecker& volumes) {
  platform::Environment& environment = *app_.platform.environment;
  platform::Accounts& system = *app_.platform.accounts;
  const TextView server = platform::kLocalComputer;
  if (account.Exists != 0) {
    Verbose(u"Modifying user: %s", {account.OldName.view()});
  } else {
    Verbose(u"Creating user: '%s'", {account.Name.view()});
  }
  // An account that is already there is never given a new profile, nor
  // loses the details the record leaves empty.
  (void)accounts::FillFromExistingAccount(services_, account);

  // Checked before anything changes, so a refused record leaves the account
  // as it was. A record for a new account may still name one that exists,
  // and an earlier run may have renamed an existing one already.
  if (LeavesAdministrators(account) &&
      (Protected(server, account.Exists != 0 ? account.OldName.view() : account.Name.view(),
                 false) ||
       (RenamesAccount(account) && Protected(server, account.Name.view(), false)))) {
    return app::Outcome::kError;
  }

  EnterAccountVariables(services_, &app_.config, account, &app_.log);

  const Text home = ExpandText(account.Home.view(), kExpandCapacity);
  SetVariable(u"ThisHome", home);
  Verbose(u"Unexpanded Homepath is \"%s\"", {account.Home.view()});
  account.Home = home;
  account.Profile = ExpandText(account.Profile.view(), kExpandCapacity);
  SetVariable(u"ThisProfile", account.Profile.view());
  account.Script = ExpandText(account.Script.view(), kExpandCapacity);

  bool renamed = false;
  if (account.Exists != 0) {
    Verbose(u"%s: Rename user from '%s' to '%s'",
            {kWorker, account.OldName.view(), account.Name.view()});
    const WinError rename = system.SetUserText(server, account.OldName.view(),
                                               platform::kUserLevelName, account.Name.view());
    const bool otherName = RenamesAccount(account);
    // Going on would change the other account that holds the name.
    if (otherName && rename == kNerrUserExists) {
      app_.log.WriteFormat(app::kLogError, static_cast<int32_t>(rename),
                           u"%s: Can't rename user '%s' to '%s': the name belongs to another "
                           u"account; the account is skipped",
                           {kWorker, account.OldName.view(), account.Name.view()});
      return app::Outcome::kError;
    }
    // An old name that is gone was renamed before; any other refusal leaves
    // the account under its old name, and going on would make a second one.
    if (otherName && rename != kErrorSuccess && rename != kNerrUserNotFound) {
      app_.log.WriteFormat(app::kLogError, static_cast<int32_t>(rename),
                           u"%s: Can't rename user '%s' to '%s'; the account is skipped",
                           {kWorker, account.OldName.view(), account.Name.view()});
      return app::Outcome::kError;
    }
    renamed = otherName && rename == kErrorSuccess;
  }

  account.PasswordGiven = SetsPassword(account) ? 1 : 0;
  if (account.PasswordGiven == 0) account.Password.Wipe();
  if (account.PasswordGiven != 0) {
    Verbose(u"%s: Set a new password for '%s'", {kWorker, account.Name.view()});
  } else {
    Verbose(u"%s: The password of '%s' stays as it is", {kWorker, account.Name.view()});
  }

  bool created = false;
  bool isNew = false;
  const WinError result = CreateOrChange(account, created, isNew);
  if (!created) {
    app_.log.WriteFormat(app::kLogError, static_cast<int32_t>(result),
                         u"%s: Can't create user '%s'; the account is skipped",
                         {kWorker, account.Name.view()});
    return app::Outcome::kError;
  }
  // A record for a new account must not take over an account that is
  // already there without saying so.
  const bool takenOver = !isNew && account.Exists == 0;
  if (takenOver) {
    app_.log.WriteFormat(app::kLogWarning, static_cast<int32_t>(kNerrUserExists),
                         u"%s: User '%s' already exists; the existing account is changed",
                         {kWorker, account.Name.view()});
  }
  // The account is there, but some of its details may not be.
  WarnIfFailed(result, u"set every detail", account.Name.view());
  ApplyWelcomeScreen(account, renamed);
  Verbose(u"%s: Add/Modify user '%s'", {kWorker, account.Name.view()},
          static_cast<int32_t>(result));

  const auto sid =
      accounts::ResolveAccountSid(services_, server, account.Name.view(), platform::kSidTypeUser);
  if (!sid) {
    app_.log.WriteFormat(app::kLogError, 0,
                         u"%s: '%s' can't be found as a user account; the account is skipped",
                         {kWorker, account.Name.view()});
    return app::Outcome::kError;
  }
  const Text sidText = sid->ToText();
  Verbose(u"%s: SID of '%s' is %s", {kWorker, account.Name.view(), sidText});
  WarnIfFailed(accounts::SetAccountGroup(services_, server, account.Name.view(), *sid,
                                         account.Group, account.Primary != 0),
               u"set the group", account.Name.view());

  const auto access = accounts::ProfileAccessList(*sid);
  if (account.Profile.empty()) {
    Text folder;
    WinError secured = kErrorSuccess;
    if (accounts::MakeProfileFolder(services_, account.Name.view(), access, folder, &secured) !=
        kErrorSuccess) {
      app_.log.WriteFormat(app::kLogError, 0, u"%s: No profile folder for '%s'",
                           {kWorker, account.Name.view()});
      DropNewAccount(account, isNew);
      return app::Outcome::kError;
    }
    account.Profile = folder;
    WarnIfFailed(secured, u"secure the profile folder", account.Name.view());
  } else {
    Text folder = account.Profile.str();
    const bool usable = volumes.CheckVolume(folder);
    account.Profile = folder;
    if (!usable) {
      app_.log.WriteFormat(app::kLogWarning, 0,
                           u"%s: The drive of the profile folder of '%s' is not available "
                           u"('%s'); the account is skipped",
                           {kWorker, account.Name.view(), account.Profile.view()});
      DropNewAccount(account, isNew);
      return app::Outcome::kError;
    }
  }
  // A shell folder the record moves gets the Default User's part of it in
  // its new place, not a copy left behind in the profile.
  const accounts::LeafSecurity leafSecurity = MadeFolderSecurity(*sid);
  const accounts::ProfileCopy copy = [this, &volumes, &account, &leafSecurity](TextView source,
                                                                               TextView target) {
    return accounts::CopyDefaultUserProfile(services_, volumes, source, target, account,
                                            leafSecurity);
  };
  if (!ProfileReady(account,
                    accounts::SetUpLocalProfile(services_, *sid, account.Profile.view(), copy))) {
    return app::Outcome::kError;
  }

  if (account.Home.empty()) {
    account.Home = account.Profile.str();
  } else {
    account.Home = ExpandText(account.Home.view(), accounts::kPathCapacity);
  }
  WarnIfFailed(system.SetUserText(server, account.Name.view(), platform::kUserLevelHomeDir,
                                  account.Home.view()),
               u"set the home folder", account.Name.view());
  SetVariable(u"ThisHome", account.Home.view());
  Verbose(u"Homepath is \"%s\"", {account.Home.view()});

  if (!account.RoamingProfile.empty()) SetUpRoamingProfile(account, *sid, copy);
  if (!accounts::SetProcessVariables(environment, account)) {
    WarnIfFailed(kErrorGenFailure, u"set the private variables", account.Name.view());
  }
  const app::Outcome hive = SetUpHive(account, *sid, volumes);
  return result == kErrorSuccess && !takenOver ? hive : app::Outcome::kWarning;
}

void SystemAccountWorker::SetUpRoamingProfile(UserAccount& account, const platform::Sid& sid,
                                              const accounts::ProfileCopy& copy) {
  const Text expanded = ExpandText(account.RoamingProfile.view(), accounts::kPathCapacity);
  // The account keeps the path as written with variables where it can, so
  // that it follows a changed system drive or profiles folder.
  const Text unexpanded =
      platform::UnExpandPath(*app_.platform.environment, expanded, accounts::kPathCapacity + 1)
          .value_or(expanded);
  account.RoamingProfile = expanded;
  WarnIfFailed(app_.platform.accounts->SetUserText(platform::kLocalComputer, account.Name.view(),
                                                   platform::kUserLevelProfile, unexpanded),
               u"set the roaming profile path", account.Name.view());
  const accounts::ProfileSetup roaming = accounts::SetUpRoamingProfile(
      services_, sid, expanded, static_cast<uint32_t>(account.HasRoamingProfile), copy);
  WarnIfFailed(roaming.details, u"set up the roaming profile", account.Name.view());
  WarnIfFailed(roaming.copy, u"copy the default profile into the roaming profile",
               account.Name.view());
}

bool SystemAccountWorker::ProfileReady(const UserAccount& account,
                                       const accounts::ProfileSetup& setup) {
  if (setup.details == kErrorAccessDenied && setup.copy == kErrorSuccess) {
    app_.log.WriteFormat(app::kLogError, static_cast<int32_t>(setup.details),
                         u"%s: '%s' can't be the profile folder of '%s'; the account is skipped",
                         {kWorker, account.Profile.view(), account.Name.view()});
    return false;
  }
  WarnIfFailed(setup.details, u"set up the profile", account.Name.view());
  // An account whose profile starts empty would meet a desktop without any
  // of the system's settings at its first logon.
  if (setup.copy == kErrorSuccess) return true;
  app_.log.WriteFormat(app::kLogError, static_cast<int32_t>(setup.copy),
                       u"%s: The default profile can't be copied into '%s'; the profile of '%s' "
                       u"is incomplete",
                       {kWorker, account.Profile.view(), account.Name.view()});
  return false;
}

accounts::LeafSecurity SystemAccountWorker::MadeFolderSecurity(const platform::Sid& sid) {
  // Folders made for the account are the account's, with its profile's
  // access list, as the profile folder itself is.
  return [this, sid, access = accounts::ProfileAccessList(sid)](TextView folder) {
    platform::FileSystem& files = *app_.platform.files;
    WarnIfFailed(files.SetAccessList(folder, access), u"secure the folder", folder);
    WarnIfFailed(files.SetOwner(folder, sid), u"give the folder to its account", folder);
  };
}

void SystemAccountWorker::DropNewAccount(const UserAccount& account, bool isNew) {
  // An account that was there before the run is never destroyed for want of
  // a profile folder: it is only left without the remaining steps.
  if (isNew) {
    WarnIfFailed(app_.platform.accounts->DeleteUser(platform::kLocalComputer, account.Name.view()),
                 u"remove the unfinished account", account.Name.view());
  }
}

app::Outcome SystemAccountWorker::SetUpHive(UserAccount& account, const platform::Sid& sid,
                                            accounts::VolumeChecker& volumes) {
  platform::Registry& registry = *app_.platform.registry;
  const auto hive = accounts::LoadUserHive(services_, sid, account.Profile.view());
  if (!hive) {
    app_.log.WriteFormat(app::kLogError, 0, u"%s's profile (%s) can't be loaded.",
                         {account.Name.view(), account.Profile.view()});
    return app::Outcome::kWarning;
  }
  const auto folders =
      registry.CreateKey(*hive, accounts::kUserShellFoldersKey, platform::kKeyAllAccess);
  if (!folders.ok()) {
    app_.log.WriteFormat(
        app::kLogError, static_cast<int32_t>(folders.error()),
        u"%s's profile settings can't be changed. (Profile: %s [hKey = %.8x])",
        {account.Name.view(), account.Profile.view(), static_cast<uint32_t>(*hive)});
    WarnIfFailed(accounts::UnloadUserHive(services_, sid, *hive), u"unload the profile",
                 account.Name.view());
    return app::Outcome::kWarning;
  }
  const accounts::LeafSecurity leafSecurity = MadeFolderSecurity(sid);
  accounts::ApplyShellFolders(services_, volumes, account,
                              {*hive, *folders, app_.log, verbose(), leafSecurity});
  registry.CloseKey(*folders);
  app::Outcome outcome = app::Outcome::kSuccess;
  if (!accounts::WriteUserEnvironment(registry, *hive, account)) {
    app_.log.Write(u"Can't store user environment.", app::kLogWarning, 0);
    outcome = app::Outcome::kWarning;
  }
  WarnIfFailed(accounts::UnloadUserHive(services_, sid, *hive), u"unload the profile",
               account.Name.view());
  return outcome;
}

}  // namespace tarn::run
