// Simulated profile folders and environment blocks: the profiles directory,
// the Default User profile, the program's own profile, and blocks made of the
// system's variables and the process's present ones.
#pragma once

#include <functional>

#include <optional>
#include <vector>

#include "platform/sim/fault_injection.h"
#include "platform/user_profiles.h"

namespace tarn::sim {

class SimEnvironment;

class SimUserProfiles : public platform::UserProfiles {
 public:
  // The machine's fault plan reaches this service through its gate.
  [[nodiscard]] FaultGate& faults() { return faults_; }

  // "C:\Users", its "Default" and "Administrator" folders, and the system
  // variables of a fresh Windows 10/11 machine. `environment` must outlive
  // this object.
  explicit SimUserProfiles(SimEnvironment& environment);

  // ---- Set-up for tests ----
  // nullopt makes the matching query fail with kErrorAccessDenied.
  void SetProfilesDirectory(std::optional<TextView> path);
  void SetDefaultUserProfileDirectory(std::optional<TextView> path);
  void SetCurrentUserProfileDirectory(std::optional<TextView> path);
  // The variables every new block starts from.
  [[nodiscard]] const std::vector<std::pair<Text, Text>>& systemVariables() const {
    return systemVariables_;
  }
  // The variables every new block starts from (replaces them).
  void SetSystemVariables(std::vector<std::pair<Text, Text>> variables) {
    systemVariables_ = std::move(variables);
  }

  // What DeleteUserProfile does; the machine hands in one that works on its
  // registry and files. Without one, DeleteUserProfile fails with
  // kErrorCallNotImplemented.
  void SetProfileDeleter(std::function<WinError(TextView sidText)> deleter) {
    deleter_ = std::move(deleter);
  }

  // ---- platform::UserProfiles ----
  [[nodiscard]] Result<Text> ProfilesDirectory() override;
  [[nodiscard]] Result<Text> DefaultUserProfileDirectory() override;
  [[nodiscard]] Result<Text> CurrentUserProfileDirectory() override;
  [[nodiscard]] Result<platform::EnvironmentBlock> CreateEnvironmentBlock(bool inherit) override;
  [[nodiscard]] WinError DeleteUserProfile(TextView sidText) override;

 private:
  SimEnvironment& environment_;
  std::optional<Text> profilesDirectory_;
  std::optional<Text> defaultUser_;
  std::optional<Text> currentUser_;
  std::vector<std::pair<Text, Text>> systemVariables_;
  std::function<WinError(TextView)> deleter_;
  FaultGate faults_;
};

}  // namespace tarn::sim
