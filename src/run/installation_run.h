// The installation run: applies the settings and the accounts, sets the
// installation variables, walks the software catalogue running the command of
// every checked entry, and finally restores what it changed for the run.
#pragma once

#include <cstdint>

#include "resource.h"
#include "run/relaxed_policy.h"
#include "run/run_services.h"
#include "run/run_status.h"

namespace tarn {
struct AppContext;
}
namespace tarn::catalogue {
struct SoftwareEntry;
}
namespace tarn::accounts {
struct UserAccount;
}

namespace tarn::run {

// Translator text shown and logged when the run has ended.
inline constexpr uint32_t kTextRunFinished = IDS_RUN_FINISHED;

// Everything one run uses; all of it outlives the run.
struct RunContext {
  AppContext& app;
  accounts::UserAccountList& accounts;
  // The first entry of the software catalogue, or none.
  catalogue::SoftwareEntry* firstEntry = nullptr;
  RunStatus& status;
  AccountWorker& accountWorker;
  RunVariables& variables;
  // Where the relaxed blank-password policy is kept, when another thread
  // must be able to put it back (the end of the session); none keeps it
  // within the run.
  RelaxedPolicy* relaxedPolicy = nullptr;
};

// Commands started as an account with an empty password need the
// blank-password policy relaxed: Windows refuses such a logon otherwise. The
// policy is part of the settings, left alone when they are skipped, and
// only commands need it.
[[nodiscard]] bool BlankPasswordPolicyNeeded(const AppContext& app,
                                             const accounts::UserAccount* primary);

// The number of checked entries the walk from `first` visits: an unchecked
// entry hides its subtree.
[[nodiscard]] uint32_t CountCheckedEntries(const catalogue::SoftwareEntry* first);

// The progress bar's maximum: positions run from 0 for the first checked entry
// to the maximum for the last one.
[[nodiscard]] uint32_t ProgressMaximum(const catalogue::SoftwareEntry* first);

// The whole run, on the calling thread (the installation worker). The run's
// signals are handed to `status` before anything is changed; whichever way
// the run ends (to the end, or through RunSignals::RequestCancel), the
// passwords of InstallConfig and of the account records are wiped, the run
// environment is left and the blank-password policy is restored before the
// signals' `finished` event is set. The policy is relaxed only while the
// commands run as a primary account with an empty password, and restored
// right after them (a `setting` step). Every setting applied is a `setting`
// step. An exception inside the run, or events that can't be made, end it
// as failed (RunTotals::endedByError), never as cancelled. Every account record and entry handled
// is reported to `app.runObserver` (one an interrupted earlier run had done is passed over), and
// `app.runTotals` tells how the run ended. A primary account that is to end as a standard user is
// lowered after the commands, on every run that applies the accounts, as a step of its own: pending
// when the run was cancelled or had to stop before. Returns 0.
uint32_t RunInstallation(RunContext& context);

}  // namespace tarn::run
