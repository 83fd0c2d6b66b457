// Profile folders and environment blocks through userenv.
#pragma once

#include "platform/user_profiles.h"

namespace tarn::win32 {

class Win32UserProfiles : public platform::UserProfiles {
 public:
  [[nodiscard]] Result<Text> ProfilesDirectory() override;
  [[nodiscard]] Result<Text> DefaultUserProfileDirectory() override;
  [[nodiscard]] Result<Text> CurrentUserProfileDirectory() override;
  [[nodiscard]] Result<platform::EnvironmentBlock> CreateEnvironmentBlock(bool inherit) override;
  [[nodiscard]] WinError DeleteUserProfile(TextView sidText) override;
};

}  // namespace tarn::win32
