// The work of other subsystems that the installation run calls: the account
// worker and the installation variables. The run sees them only through
// these interfaces, so it can be driven with recording doubles in tests and
// with the real workers in the program.
#pragma once

#include "app/run_record.h"
#include "base/result.h"
#include "base/text.h"

namespace tarn::accounts {
struct UserAccount;
class UserAccountList;
}  // namespace tarn::accounts

namespace tarn::run {

// What the account worker tells the run about each record it handles.
class AccountProgress {
 public:
  virtual ~AccountProgress() = default;
  // Whether an earlier, interrupted run did the record with `key` (an
  // account's name as the users section gives it); such a record is left
  // alone and reported by the run, not by the worker.
  [[nodiscard]] virtual bool AlreadyDone(TextView key, TextView name) = 0;
  // One record has ended, whichever way; `step` holds no password and its
  // start, and the receiver gives it its duration.
  virtual void AccountFinished(app::StepRecord& step) = 0;
};

// Brings the accounts of the list onto the computer (create, change, rename,
// delete); reports its own failures to the log and each record's end to
// `progress`.
class AccountWorker {
 public:
  virtual ~AccountWorker() = default;
  virtual void CreateUsers(accounts::UserAccountList& accounts, AccountProgress& progress) = 0;
  // Makes the account of `account` a standard user: member of Users, no
  // longer of Administrators. The first failure; nothing is logged here.
  [[nodiscard]] virtual WinError LowerToStandardUser(const accounts::UserAccount& account) = 0;
};

// The installation variables for the account that installs.
class RunVariables {
 public:
  virtual ~RunVariables() = default;
  // Swaps in the run's own environment block and sets the account's variables
  // in it (home and profile included). Returns true when the block was
  // swapped in and must be left again; commands under the account get their
  // own block either way (AccountCommandBlock).
  [[nodiscard]] virtual bool EnterForAccount(accounts::UserAccount& primary) = 0;
  // Sets the variables of the account the program runs under.
  virtual void SetLoggedOnUser() = 0;
  // Makes the previous environment current again and releases the run's block.
  // Called only after EnterForAccount returned true.
  virtual void Leave() = 0;
};

}  // namespace tarn::run
