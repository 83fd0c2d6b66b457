// Profile folders and environment blocks of users (userenv).
#pragma once

#include "base/result.h"
#include "base/text.h"
#include "platform/environment.h"

namespace tarn::platform {

class UserProfiles {
 public:
  virtual ~UserProfiles() = default;

  // GetProfilesDirectoryW, unexpanded as the system answers it.
  [[nodiscard]] virtual Result<Text> ProfilesDirectory() = 0;
  // GetDefaultUserProfileDirectoryW.
  [[nodiscard]] virtual Result<Text> DefaultUserProfileDirectory() = 0;
  // GetUserProfileDirectoryW for the program's own access token
  // (OpenProcessToken with TOKEN_QUERY | READ_CONTROL).
  [[nodiscard]] virtual Result<Text> CurrentUserProfileDirectory() = 0;
  // CreateEnvironmentBlock(no token, inherit): the system's variables and,
  // when `inherit`, the process's present ones. The block is released by
  // DestroyEnvironmentBlock inside; the caller owns the copy.
  [[nodiscard]] virtual Result<EnvironmentBlock> CreateEnvironmentBlock(bool inherit) = 0;
  // DeleteProfileW(`sidText`, no path, the local computer): removes the
  // profile folder and the profile-list entry of that SID's account, which
  // may be gone already. Fails while the profile is loaded.
  [[nodiscard]] virtual WinError DeleteUserProfile(TextView sidText) = 0;
};

}  // namespace tarn::platform
