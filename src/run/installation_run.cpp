#include "run/installation_run.h"

#include <optional>

#include "accounts/user_account.h"
#include "app/app_context.h"
#include "app/startup_variables.h"
#include "base/paths.h"
#include "catalogue/catalogue_navigation.h"
#include "platform/environment.h"
#include "platform/system_info.h"
#include "run/launch_entry.h"
#include "run/run_steps.h"
#include "run/system_identity_settings.h"

namespace tarn::run {
namespace {

using catalogue::SoftwareEntry;

// What the run changed temporarily, undone exactly once on every way out.
class RunRestorer {
 public:
  RunRestorer(RunContext& context, RunSignals* signals) : context_(context), signals_(signals) {}
  RunRestorer(const RunRestorer&) = delete;
  RunRestorer& operator=(const RunRestorer&) = delete;
  ~RunRestorer() { Restore(); }

  void PolicyRelaxed(std::optional<SavedBlankPasswordPolicy> saved) { policy_ = saved; }
  void EnvironmentEntered() { environment_ = true; }

  // Wipes the passwords, leaves the run environment, restores the policy.
  void Restore() {
    if (done_) return;
    done_ = true;
    // Nothing after the run needs a password: neither the settings' nor the
    // records' (the accounts are made, every command has been started).
    context_.app.config.WipePasswords();
    for (accounts::UserAccount& account : context_.accounts) account.Password.Wipe();
    if (environment_) context_.variables.Leave();
    if (policy_) RestoreBlankPasswordPolicy(context_.app, *policy_);
    if (signals_ != nullptr && signals_->finished) signals_->finished->Set();
  }

 private:
  RunContext& context_;
  RunSignals* signals_;
  std::optional<SavedBlankPasswordPolicy> policy_;
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

void ApplySystemSettings(RunContext& context, RunRestorer& restorer, RunSteps& steps,
                         const accounts::UserAccount* primary) {
  restorer.PolicyRelaxed(RelaxBlankPasswordPolicy(context.app));
  context.accountWorker.CreateUsers(context.accounts, steps);
  ApplyAutoLogon(context.app, primary);
  if (ApplyComputerName(context.app)) steps.NeedRestart();
  ApplyOwner(context.app);
  ApplyWorkgroup(context.app);
}

bool Cancelled(const RunSignals* signals) {
  return signals != nullptr && signals->cancelled;
}

// Runs the command of `entry` unless an earlier run did it; the entry to go
// on with, as LaunchEntry gives it.
SoftwareEntry* RunEntry(LaunchContext& launch, RunSteps& steps, SoftwareEntry& entry) {
  const Text name = DisplayNameOf(*launch.app.platform.environment, entry);
  if (steps.PassOver(app::StepKind::kEntry, entry.Key, name)) return entry.Next;
  app::StepRecord record;
  record.startUnixMs = steps.Now();
  SoftwareEntry* next = LaunchEntry(launch, entry, record);
  steps.Finish(record);
  return next;
}

// Walks the catalogue; true when it had to stop because a command's end
// could not be known (it may still run).
bool RunSoftware(RunContext& context, RunSignals& signals, RunSteps& steps,
                 accounts::UserAccount* primary) {
  const ResultTexts texts = LoadResultTexts(context.app);
  const Text programFolder = app::ProgramFolder(*context.app.platform.system);
  LaunchContext launch{context.app, context.status, signals, primary, texts, programFolder};
  uint32_t position = 0;
  SoftwareEntry* entry = catalogue::NextChecked(context.firstEntry);
  while (entry != nullptr && !signals.cancelled) {
    context.status.SetProgressPosition(position++);
    if (entry->Command) {
      entry = RunEntry(launch, steps, *entry);
      (void)signals.resume->Wait(platform::kWaitForever);
    } else {
      entry = entry->Next;
    }
    entry = catalogue::NextChecked(entry);
  }
  return launch.commandLeftRunning;
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

uint32_t RunInstallation(RunContext& context) {
  AppContext& app = context.app;
  std::shared_ptr<RunSignals> signals = MakeRunSignals(*app.platform.processes);
  if (signals) {
    context.status.AttachSignals(signals);
  } else {
    // Without its events the run can't be held, aborted or awaited: the
    // settings and accounts are still made, no command is started.
    app.log.Write(u"The run's events can't be made; no command is started.", app::kLogError, 0);
  }
  RunRestorer restorer(context, signals.get());
  RunSteps steps(app);

  // The worker's lines are in the wizard's language: selecting the language
  // code again would give English whenever the wizard took its language from
  // the user's locale rather than from "/language=".
  app.translator.ApplyDisplayLanguage();
  accounts::UserAccount* primary = context.accounts.FindPrimary();
  FillUserFromProgramAccount(app);
  LogPrimary(app, primary);
  if (!app.config.SkipSettings && !Cancelled(signals.get())) {
    ApplySystemSettings(context, restorer, steps, primary);
  }
  bool runEnvironment = false;
  if (primary != nullptr) {
    runEnvironment = context.variables.EnterForAccount(*primary);
    if (runEnvironment) restorer.EnvironmentEntered();
  } else {
    context.variables.SetLoggedOnUser();
  }
  context.status.SetProgressRange(ProgressMaximum(context.firstEntry));
  bool stopped = false;
  if (!app.config.SkipSoftware && signals && !signals->cancelled) {
    stopped = RunSoftware(context, *signals, steps, primary);
  }
  const bool cancelled = Cancelled(signals.get());
  if (DowngradeDue(app, primary)) LowerPrimary(context, steps, *primary, cancelled || stopped);
  steps.End(!cancelled);
  restorer.Restore();
  if (!cancelled) OfferFinish(context);
  return 0;
}

}  // namespace tarn::run
