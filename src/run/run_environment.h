// The process environment of an installation run: a block of its own with
// the system's and the program's variables, swapped in for the run so that
// the account's variables set during the run reach the commands started
// under that account, and swapped out again at its end.
#pragma once

#include <optional>

#include "platform/environment.h"
#include "platform/processes.h"
#include "run/installation_variables.h"
#include "run/run_services.h"

namespace tarn {
struct AppContext;
}

namespace tarn::run {

// The environment block of a command started as the account of `logon`: the
// block its own logon gives it (its profile, TEMP, APPDATA and the variables
// of its hive), with every variable the program set or changed since it
// started laid over it (the configuration's environment section, the
// installation variables, the account's private variables). The error of
// the account's logon when its block can't be made.
[[nodiscard]] Result<platform::EnvironmentBlock> AccountCommandBlock(
    AppContext& app, const platform::LogonCredentials& logon);

// Also the installation run's variables (RunVariables).
class RunEnvironment final : public RunVariables {
 public:
  explicit RunEnvironment(VariableContext context) : context_(std::move(context)) {}
  RunEnvironment(const RunEnvironment&) = delete;
  RunEnvironment& operator=(const RunEnvironment&) = delete;
  // Restores the previous environment when the run's block is still current.
  ~RunEnvironment() { Leave(); }

  // Makes a new block (system variables plus the present ones) the current
  // environment, keeping the previous one, then sets the account's
  // variables in it. Returns true when the block was swapped in; the
  // variables are set either way.
  bool Enter(const accounts::UserAccount& primary);
  // Enter, as the run asks for it.
  [[nodiscard]] bool EnterForAccount(accounts::UserAccount& primary) override {
    return Enter(primary);
  }
  // Sets the variables of the account the program runs under.
  void SetLoggedOnUser() override;
  // Makes the previous environment current again; the run's block is
  // released. Does nothing when Enter did not swap.
  void Leave() override;
  [[nodiscard]] bool active() const { return previous_.has_value(); }

 private:
  // Logs `what` as a warning with `error`, unless it is success.
  void Warn(WinError error, TextView what);

  VariableContext context_;
  std::optional<platform::EnvironmentBlock> previous_;
};

}  // namespace tarn::run
