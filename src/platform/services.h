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
};

}  // namespace tarn::platform
