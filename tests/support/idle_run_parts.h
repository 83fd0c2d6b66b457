// Run parts that do nothing, for runs whose accounts and variables are not
// what a test or a benchmark looks at.
#pragma once

#include "run/run_services.h"

namespace tarn::run {

class NoAccounts : public AccountWorker {
 public:
  void CreateUsers(accounts::UserAccountList&, AccountProgress&) override {}
  WinError LowerToStandardUser(const accounts::UserAccount&) override { return kErrorSuccess; }
};

// Never enters an account's variables (the run then installs as the program's
// own user) and leaves nothing behind.
class NoVariables : public RunVariables {
 public:
  bool EnterForAccount(accounts::UserAccount&) override { return false; }
  void SetLoggedOnUser() override {}
  void Leave() override {}
};

}  // namespace tarn::run
