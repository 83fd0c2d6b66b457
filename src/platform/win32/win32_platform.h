// The real Windows services behind the platform interfaces.
#pragma once

#include <memory>

#include "platform/platform.h"
#include "platform/win32/win32_accounts.h"
#include "platform/win32/win32_desktop.h"
#include "platform/win32/win32_environment.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_identity.h"
#include "platform/win32/win32_processes.h"
#include "platform/win32/win32_profile_files.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_security.h"
#include "platform/win32/win32_services.h"
#include "platform/win32/win32_system_info.h"
#include "platform/win32/win32_user_profiles.h"
#include "platform/win32/win32_version_resources.h"

namespace tarn::win32 {

// Owns one implementation of every interface for the running process.
class Win32Platform {
 public:
  Win32Platform();
  ~Win32Platform();
  Win32Platform(const Win32Platform&) = delete;
  Win32Platform& operator=(const Win32Platform&) = delete;

  // The services, as the core sees them.
  [[nodiscard]] platform::Platform platform();

 private:
  // One member per service, constructed in this order (later ones may refer
  // to earlier ones). A new service is one member here and one line in
  // platform().
  std::unique_ptr<Win32FileSystem> files_ = std::make_unique<Win32FileSystem>();
  std::unique_ptr<Win32Registry> registry_ = std::make_unique<Win32Registry>();
  std::unique_ptr<Win32Environment> environment_ = std::make_unique<Win32Environment>();
  std::unique_ptr<Win32SystemInfo> system_ = std::make_unique<Win32SystemInfo>();
  std::unique_ptr<Win32Desktop> desktop_ = std::make_unique<Win32Desktop>();
  std::unique_ptr<Win32Services> services_ = std::make_unique<Win32Services>();
  std::unique_ptr<Win32Accounts> accounts_ = std::make_unique<Win32Accounts>();
  std::unique_ptr<Win32Security> security_ = std::make_unique<Win32Security>();
  std::unique_ptr<Win32UserProfiles> userProfiles_ = std::make_unique<Win32UserProfiles>();
  std::unique_ptr<Win32ProfileFiles> profiles_ = std::make_unique<Win32ProfileFiles>();
  std::unique_ptr<Win32VersionResources> versions_ = std::make_unique<Win32VersionResources>();
  std::unique_ptr<Win32Processes> processes_ = std::make_unique<Win32Processes>();
  std::unique_ptr<Win32Identity> identity_ = std::make_unique<Win32Identity>();
};

}  // namespace tarn::win32
