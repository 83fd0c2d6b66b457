// The work of other subsystems that the installation run calls: the account
// worker and the installation variables. The run sees them only through
// these interfaces, so it can be driven with recording doubles in tests and
// with the real workers in the program.
#pragma once

namespace tarn::accounts {
struct UserAccount;
class UserAccountList;
}  // namespace tarn::accounts

namespace tarn::run {

// Brings the accounts of the list onto the computer (create, change, rename,
// delete); reports its own failures to the log.
class AccountWorker {
 public:
  virtual ~AccountWorker() = default;
  virtual void CreateUsers(accounts::UserAccountList& accounts) = 0;
};

// The installation variables for the account that installs.
class RunVariables {
 public:
  virtual ~RunVariables() = default;
  // Swaps in the run's own environment block and sets the account's variables
  // in it (home and profile included). Returns true when a run environment
  // block was made: commands under the account then get that block.
  [[nodiscard]] virtual bool EnterForAccount(accounts::UserAccount& primary) = 0;
  // Sets the variables of the account the program runs under.
  virtual void SetLoggedOnUser() = 0;
  // Makes the previous environment current again and releases the run's block.
  // Called only after EnterForAccount returned true.
  virtual void Leave() = 0;
};

}  // namespace tarn::run
