// Service status and process privileges, as start-up needs them.
#pragma once

#include <optional>
#include <vector>

#include "base/result.h"
#include "base/text.h"

namespace tarn::platform {

class Services {
 public:
  virtual ~Services() = default;

  // OpenSCManagerW / OpenServiceW / QueryServiceStatus: true only when the
  // service's current state is SERVICE_RUNNING; nullopt when a call failed.
  [[nodiscard]] virtual std::optional<bool> IsServiceRunning(TextView serviceName) = 0;

  // Enables the named privileges of the process token in one request; names
  // the system does not resolve are left out. Returns the request's outcome.
  [[nodiscard]] virtual WinError EnablePrivileges(const std::vector<Text>& names) = 0;
  // Disables the named privileges of the process token again (held, not
  // enabled); names the system does not resolve are left out.
  [[nodiscard]] virtual WinError DisablePrivileges(const std::vector<Text>& names) = 0;

  // ITaskFolder::RegisterTask in the Task Scheduler's root folder: creates
  // the task `name` from its XML definition, or replaces the one of that
  // name. It runs as `userId` (the one its definition names): a service
  // account such as SYSTEM when `serviceAccount`, else an account's own
  // interactive logon. No password is given or kept.
  [[nodiscard]] virtual WinError RegisterTask(TextView name, TextView xml, TextView userId,
                                              bool serviceAccount) = 0;
  // ITaskFolder::DeleteTask in the root folder; kErrorFileNotFound when no
  // task has that name.
  [[nodiscard]] virtual WinError DeleteTask(TextView name) = 0;
};

// The privileges that let a program read and write any file and load any
// hive. Enabled only for the calls that need them (loading and unloading an
// account's hive, its logon environment), never for the whole run.
inline const std::vector<Text>& HiveLoadingPrivileges() {
  static const std::vector<Text> names = {u"SeBackupPrivilege", u"SeRestorePrivilege"};
  return names;
}

// Enables `names` for its lifetime and disables them again at its end. One
// thread of the program loads hives at a time (the worker during the run),
// so scopes do not overlap.
class PrivilegeScope {
 public:
  PrivilegeScope(Services& services, const std::vector<Text>& names)
      : services_(services), names_(names), enabled_(services.EnablePrivileges(names)) {}
  ~PrivilegeScope() { (void)services_.DisablePrivileges(names_); }
  PrivilegeScope(const PrivilegeScope&) = delete;
  PrivilegeScope& operator=(const PrivilegeScope&) = delete;
  // The answer of the enabling request.
  [[nodiscard]] WinError enabled() const { return enabled_; }

 private:
  Services& services_;
  const std::vector<Text>& names_;
  WinError enabled_;
};

}  // namespace tarn::platform
