// Service status through the service control manager, and token privileges.
#pragma once

#include "platform/services.h"

namespace tarn::win32 {

class Win32Services : public platform::Services {
 public:
  [[nodiscard]] std::optional<bool> IsServiceRunning(TextView serviceName) override;
  [[nodiscard]] WinError EnablePrivileges(const std::vector<Text>& names) override;
  [[nodiscard]] WinError DisablePrivileges(const std::vector<Text>& names) override;
  [[nodiscard]] WinError RegisterTask(TextView name, TextView xml, TextView userId,
                                      bool serviceAccount) override;
  [[nodiscard]] WinError DeleteTask(TextView name) override;
};

}  // namespace tarn::win32
