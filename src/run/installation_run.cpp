#include "run/installation_run.h"

#include <optional>
#include <utility>

#include "accounts/user_account.h"
#include "app/app_context.h"
#include "app/startup_variables.h"
#include "base/paths.h"
#include "catalogue/catalogue_navigation.h"
#include "platform/environment.h"
#include "platform/system_info.h"
#include "run/entry_detection.h"
#include "run/launch_entry.h"
#include "run/relaxed_policy.h"
#include "run/restart_rules.h"
#include "run/run_restarts.h"
#include "run/run_steps.h"
#include "run/system_identity_settings.h"

namespace tarn::run {
namespace {

using catalogue::SoftwareEntry;

// What the run changed temporarily, undone exactly once on every way out.
class RunRestorer {
 public:
  RunRestorer(RunContext& context, RunSignals* signals)
      : context_(context),
        signals_(signals),
        policy_(context.relaxedPolicy != nullptr ? *context.relaxedPolicy : ownPolicy_) {}
  RunRestorer(const RunRestorer&) = delete;
  RunRestorer& operator=(const RunRestorer&) = delete;
  ~RunRestorer() { Restore(); }

  void PolicyRelaxed(std::optional<SavedBlankPasswordPolicy> saved) {
    if (saved) policy_.Hold(*saved);
  }
  void EnvironmentEntered() { environment_ = true; }

  // Restores a relaxed policy now: its error, or success; none when it was
  // not relaxed, or the end of the session has put it back already.
  [[nodiscard]] SettingOutcome RestorePolicy() {
    const std::optional<SavedBlankPasswordPolicy> saved = policy_.Take();
    if (!saved) return std::nullopt;
    return RestoreBlankPasswordPolicy(context_.app, *saved);
  }

  // Wipes the passwords, leaves the run environment, restores the policy.
  void Restore() {
    if (done_) return;
    done_ = true;
    // Nothing after the run needs a password: neither the settings' nor the
    // records' (the accounts are made, every command has been started).
    context_.app.config.WipePasswords();
    for (accounts::UserAccount& account : context_.accounts) account.Password.Wipe();
    if (environment_) context_.variables.Leave();
    (void)RestorePolicy();
    if (signals_ != nullptr && signals_->finished) signals_->finished->Set();
  }

 private:
  RunContext& context_;
  RunSignals* signals_;
  RelaxedPolicy ownPolicy_;
  RelaxedPolicy& policy_;
  bool environment_ = false;
  bool done_ = false;
};

void FillUserFromProgramAccount(AppContext& app) {
  if (!app.config.User.empty()) return;
  if (const auto name = app.platform.system->UserName()) {
    app.config.User = *name;
  }
}

void LogPrimary(AppContext& app, const accounts::UserAccount* primary) {
  if (!(app.config.Verbose & 1) || primary == nullptr) return;
  app.log.WriteFormat(
      app::kLogInfo, 0, u"Default User is '%s', User Domain is '%s' as Group %d (Flags = %x)",
      {primary->Name.view(), primary->Domain.view(), primary->Group, primary->Status});
}

// Reports one setting the run applied as a step of its own; a setting
// nobody asked for is none.
void FinishSetting(RunSteps& steps, TextView key, TextView name, TextView action,
                   SettingOutcome outcome, int64_t started) {
  if (!outcome) return;
  app::StepRecord step;
  step.kind = app::StepKind::kSetting;
  step.key = Text(key);
  step.name = Text(name);
  step.action = Text(action);
  step.startUnixMs = started;
  step.tries = 1;
  if (*outcome != kErrorSuccess) {
    step.outcome = app::Outcome::kError;
    step.exitCode = *outcome;
  }
  steps.Finish(step);
}

// Automatic logon is removed at the end of the run, not at its start, when a
// restart may come in between: the start after it may need a logged-on account.
bool KeepAutomaticLogonForNow(const RunContext& context) {
  return context.app.config.AutoLogon == app::AutoLogonMode::kRemove &&
         RestartsPossible(context.app.config, context.firstEntry);
}

void ApplyAutomaticLogon(AppContext& app, RunSteps& steps, const accounts::UserAccount* primary) {
  const int64_t started = steps.Now();
  const app::InstallConfig& config = app.config;
  const TextView logonAction = config.AutoLogon == app::AutoLogonMode::kOn ? u"set" : u"remove";
  FinishSetting(steps, u"AutoLogon", config.User, logonAction, ApplyAutoLogon(app, primary),
                started);
}

// The removal of automatic logon that KeepAutomaticLogonForNow held back.
void RemoveAutomaticLogonKept(RunContext& context, RunSteps& steps,
                              const accounts::UserAccount* primary) {
  if (KeepAutomaticLogonForNow(context)) ApplyAutomaticLogon(context.app, steps, primary);
}

// `accountsMade`: a start after a restart, whose earlier start made the accounts.
void ApplySystemSettings(RunContext& context, RunSteps& steps, const accounts::UserAccount* primary,
                         bool accountsMade) {
  AppContext& app = context.app;
  const app::InstallConfig& config = app.config;
  if (!accountsMade) context.accountWorker.CreateUsers(context.accounts, steps);
  if (!KeepAutomaticLogonForNow(context)) ApplyAutomaticLogon(app, steps, primary);
  int64_t started = steps.Now();
  bool restart = false;
  FinishSetting(steps, u"ComputerName", config.Computer, u"set", ApplyComputerName(app, restart),
                started);
  if (restart) steps.NeedRestart();
  started = steps.Now();
  FinishSetting(steps, u"RegisteredOwner", config.Owner, u"set", ApplyOwner(app), started);
  started = steps.Now();
  FinishSetting(steps, u"RegisteredOrganization", config.Org, u"set", ApplyOrganization(app),
                started);
  started = steps.Now();
  FinishSetting(steps, u"Workgroup", config.Workgroup, u"set", ApplyWorkgroup(app), started);
}

// Restores what was relaxed for the commands, as a step: a policy left
// relaxed is a failure of the run.
void RestorePolicyAfterCommands(RunRestorer& restorer, RunSteps& steps) {
  const int64_t started = steps.Now();
  FinishSetting(steps, kLimitBlankPasswordUse, kLimitBlankPasswordUse, u"restore",
                restorer.RestorePolicy(), started);
}

bool Cancelled(const RunSignals* signals) {
  return signals != nullptr && signals->cancelled;
}

// Runs the command of `entry` unless an earlier run did it; the entry to go
// on with, as LaunchEntry gives it. `record` tells how it ended (skipped when
// passed over). An entry with a detection test is judged by it rather than by
// the journal: what is present is not started, what is missing runs.
SoftwareEntry* RunEntry(LaunchContext& launch, RunSteps& steps, SoftwareEntry& entry,
                        app::StepRecord& record) {
  const Text name = DisplayNameOf(*launch.app.platform.environment, entry);
  record.outcome = app::Outcome::kSkipped;
  record.startUnixMs = steps.Now();
  if (entry.Detect) {
    if (FoundPresentBefore(launch.app, steps, entry, name, record)) {
      steps.Finish(record);
      return entry.Next;
    }
  } else if (steps.PassOver(app::StepKind::kEntry, entry.Key, name)) {
    return entry.Next;
  }
  SoftwareEntry* next = LaunchEntry(launch, entry, record);
  if (entry.Detect) ConfirmPresentAfter(launch.app, entry, name, record);
  steps.Finish(record);
  return next;
}

// How the walk of the catalogue ended.
struct SoftwareEnd {
  // A command's end could not be known (it may still run).
  bool commandLeftRunning = false;
  // Windows is to restart and the run to go on after it.
  bool restarting = false;
};

// Walks the catalogue from the first entry after `startAfter` (from the start
// when none), stopping for a restart an entry asks for.
SoftwareEnd RunSoftware(RunContext& context, RunSignals& signals, RunSteps& steps,
                        accounts::UserAccount* primary, const SoftwareEntry* startAfter) {
  const ResultTexts texts = LoadResultTexts(context.app);
  const Text programFolder = app::ProgramFolder(*context.app.platform.system);
  LaunchContext launch{context.app, context.status, signals, primary, texts, programFolder};
  RunRestarts restarts(context.app, steps);
  SoftwareEnd end;
  uint32_t position = 0;
  SoftwareEntry* entry = catalogue::NextChecked(context.firstEntry);
  while (entry != nullptr && !signals.cancelled) {
    context.status.SetProgressPosition(position++);
    if (startAfter != nullptr) {
      if (entry->Command)
        steps.ReportDoneBeforeRestart(entry->Key,
                                      DisplayNameOf(*context.app.platform.environment, *entry));
      if (entry == startAfter) startAfter = nullptr;
      entry = entry->Next;
    } else if (entry->Command) {
      SoftwareEntry& ran = *entry;
      app::StepRecord record;
      entry = RunEntry(launch, steps, ran, record);
      if (RestartDueAfter(context.app.config, ran, record) &&
          restarts.Request(ran.Key, record.name, ran.Key)) {
        end.restarting = true;
        break;
      }
      (void)signals.resume->Wait(platform::kWaitForever);
    } else {
      entry = entry->Next;
    }
    entry = catalogue::NextChecked(entry);
  }
  end.commandLeftRunning = launch.commandLeftRunning;
  return end;
}

// A primary account that is to end as a standard user is an administrator
// while the run lasts, so that the commands started as it have its rights.
bool DowngradeDue(const AppContext& app, const accounts::UserAccount* primary) {
  return primary != nullptr && primary->Group == accounts::kGroupUsers && !app.config.SkipSettings;
}

// Lowers the primary account once nothing needs its rights any more. The run
// does it itself: Windows starts no program that asks for elevation from a
// logon, and the user could remove whatever was left for one. A run that
// ended early leaves it pending, for the next run of the configuration.
void LowerPrimary(RunContext& context, RunSteps& steps, const accounts::UserAccount& primary,
                  bool endedEarly) {
  AppContext& app = context.app;
  app::StepRecord step;
  step.kind = app::StepKind::kDowngrade;
  step.key = primary.Name.str();
  step.name = primary.Name.str();
  step.action = u"downgrade";
  step.startUnixMs = steps.Now();
  if (endedEarly) {
    step.outcome = app::Outcome::kPending;
    app.log.WriteFormat(app::kLogWarning, 0,
                        u"The run ended before '%s' was made a standard user; it stays an "
                        u"administrator until a run of this configuration finishes",
                        {primary.Name.view()});
  } else {
    step.tries = 1;
    const WinError error = context.accountWorker.LowerToStandardUser(primary);
    if (error == kErrorSuccess) {
      app.log.WriteFormat(app::kLogInfo, 0, u"'%s' is now a standard user", {primary.Name.view()});
    } else {
      step.outcome = app::Outcome::kError;
      step.exitCode = error;
      app.log.WriteFormat(app::kLogError, static_cast<int32_t>(error),
                          u"'%s' could not be made a standard user and stays an administrator",
                          {primary.Name.view()});
    }
  }
  steps.Finish(step);
}

void OfferFinish(RunContext& context) {
  AppContext& app = context.app;
  context.status.HideProgress();
  const Text closing = app.translator.Translate(kTextRunFinished);
  context.status.SetCurrentText(closing);
  app.log.Write(closing, app::kLogInfo, 0);
  context.status.OfferFinish(
      app.config.AutoInstallEnabled ? std::optional<uint32_t>(kAutoFinishDelayMs) : std::nullopt);
}

}  // namespace

bool BlankPasswordPolicyNeeded(const AppContext& app, const accounts::UserAccount* primary) {
  return primary != nullptr && primary->Password.empty() && !app.config.SkipSettings &&
         !app.config.SkipSoftware;
}

uint32_t CountCheckedEntries(const SoftwareEntry* first) {
  uint32_t count = 0;
  for (const SoftwareEntry* e = catalogue::NextChecked(first); e != nullptr;
       e = catalogue::NextChecked(e->Next)) {
    ++count;
  }
  return count;
}

uint32_t ProgressMaximum(const SoftwareEntry* first) {
  const uint32_t count = CountCheckedEntries(first);
  return count == 0 ? 0 : count - 1;
}

namespace {

// The checked entry a start after a restart goes on after; none when the
// restart came before any entry, or the entry is not in the catalogue any
// more (then every entry runs, with a warning).
const SoftwareEntry* ContinuePoint(AppContext& app, const SoftwareEntry* first) {
  const auto& place = app.config.Continue;
  if (!place || place->afterEntry.empty()) return nullptr;
  for (const SoftwareEntry* e = catalogue::NextChecked(first); e != nullptr;
       e = catalogue::NextChecked(e->Next)) {
    if (e->Key == place->afterEntry) return e;
  }
  ReportWarning(app, Format(u"The run was to go on after \"%s\", which is not a selected entry "
                            u"any more: every entry runs.",
                            {place->afterEntry}));
  return nullptr;
}

// Restarts before anything is done when Windows already waits for a restart
// and the configuration asks for it; true when the run is to stop for it.
bool RestartFirstIfPending(RunContext& context, RunSteps& steps) {
  AppContext& app = context.app;
  const std::vector<Text> reasons =
      PendingRestartReasons(*app.platform.registry, app.config.RestartIfPending);
  if (reasons.empty()) return false;
  Text why;
  for (const Text& reason : reasons) why += why.empty() ? reason : u"; " + reason;
  app.log.WriteFormat(app::kLogInfo, 0, u"Windows waits for a restart: %s.", {why});
  RunRestarts restarts(app, steps);
  return restarts.Request(u"pending", u"pending restart", u"");
}

// Everything between the start and the restoring; true when the run was
// cancelled.
bool RunWithin(RunContext& context, RunSignals* signals, RunRestorer& restorer, RunSteps& steps) {
  AppContext& app = context.app;
  // A start after a restart that came after an entry has its accounts made
  // already; one that came first has done nothing yet.
  const SoftwareEntry* continueAfter = ContinuePoint(app, context.firstEntry);
  if (continueAfter == nullptr && !Cancelled(signals) && RestartFirstIfPending(context, steps)) {
    return false;
  }
  // The worker's lines are in the wizard's language: selecting the language
  // code again would give English whenever the wizard took its language from
  // the user's locale rather than from "/language=".
  app.translator.ApplyDisplayLanguage();
  accounts::UserAccount* primary = context.accounts.FindPrimary();
  FillUserFromProgramAccount(app);
  LogPrimary(app, primary);
  if (!app.config.SkipSettings && !Cancelled(signals)) {
    ApplySystemSettings(context, steps, primary, continueAfter != nullptr);
  }
  if (primary != nullptr) {
    if (context.variables.EnterForAccount(*primary)) restorer.EnvironmentEntered();
  } else {
    context.variables.SetLoggedOnUser();
  }
  context.status.SetProgressRange(ProgressMaximum(context.firstEntry));
  SoftwareEnd end;
  if (!app.config.SkipSoftware && signals != nullptr && !signals->cancelled) {
    const bool relax = BlankPasswordPolicyNeeded(app, primary);
    if (relax) restorer.PolicyRelaxed(RelaxBlankPasswordPolicy(app));
    end = RunSoftware(context, *signals, steps, primary, continueAfter);
    if (relax) RestorePolicyAfterCommands(restorer, steps);
  }
  const bool cancelled = Cancelled(signals);
  const bool endedEarly = cancelled || end.commandLeftRunning || end.restarting;
  if (!end.restarting && !app.config.SkipSettings)
    RemoveAutomaticLogonKept(context, steps, primary);
  if (DowngradeDue(app, primary)) LowerPrimary(context, steps, *primary, endedEarly);
  return cancelled;
}

}  // namespace

uint32_t RunInstallation(RunContext& context) {
  AppContext& app = context.app;
  std::shared_ptr<RunSignals> signals = MakeRunSignals(*app.platform.processes);
  if (signals) context.status.AttachSignals(signals);
  RunRestorer restorer(context, signals.get());
  RunSteps steps(app);
  if (!signals) {
    // Without its events the run can't be held, aborted or awaited: the
    // settings and accounts are still made, no command is started.
    app.log.Write(u"The run's events can't be made; no command is started.", app::kLogError, 0);
    steps.MarkEndedByError();
  }
  bool ended = false;
  try {
    ended = RunWithin(context, signals.get(), restorer, steps);
  } catch (...) {
    // Nothing may leave the worker; what was done is reported, and the run
    // counts as failed, not as cancelled.
    app.log.Write(u"The run stopped on an unexpected error.", app::kLogError, 0);
    steps.MarkEndedByError();
    ended = true;
  }
  // A run of a configuration that can restart may follow one that left its
  // continue task: whichever way it ends, nothing is to continue it now.
  if (!app.runTotals.continuesAfterRestart && RestartsPossible(app.config, context.firstEntry)) {
    RemoveContinueTask(app);
  }
  // A run that goes on after a restart has not reached its end: its journal stays.
  steps.End(!ended && !app.runTotals.continuesAfterRestart);
  restorer.Restore();
  if (!ended) OfferFinish(context);
  return 0;
}

}  // namespace tarn::run
