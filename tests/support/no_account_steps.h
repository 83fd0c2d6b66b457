// Account steps for start-up tests whose configuration names no accounts:
// every step does nothing and the downgrade succeeds.
#pragma once

#include "startup/startup_hosts.h"

namespace tarn::testing {

class NoAccountSteps : public startup::AccountSteps {
 public:
  void ScramblePasswords(AppContext&, TextView) override {}
  void UnscramblePasswords(AppContext&, TextView) override {}
  WinError DowngradeAccount(AppContext&, TextView) override { return kErrorSuccess; }
  void PrepareInstallationVariables(AppContext&, TextView) override {}
  void ReadAccounts(AppContext&, TextView) override {}
  void MergeAdministratorAccount(AppContext&) override {}
  void MergeSettingsAccount(AppContext&) override {}
  void ReleaseAccounts(AppContext&) override {}
};

}  // namespace tarn::testing
