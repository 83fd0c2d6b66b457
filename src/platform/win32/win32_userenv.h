// The profile and environment functions of userenv, loaded from the system
// folder when first asked for.
#pragma once

#include "platform/win32/win32_windows.h"
// windows.h first: userenv needs its types.
#include <userenv.h>

namespace tarn::win32 {

// userenv's functions the program calls. Every member is callable: a
// function the system lacks answers FALSE with the last error
// ERROR_PROC_NOT_FOUND.
struct UserEnv {
  decltype(&::CreateEnvironmentBlock) createEnvironmentBlock = nullptr;
  decltype(&::DestroyEnvironmentBlock) destroyEnvironmentBlock = nullptr;
  decltype(&::DeleteProfileW) deleteProfile = nullptr;
  decltype(&::GetDefaultUserProfileDirectoryW) defaultUserProfileDirectory = nullptr;
  decltype(&::GetProfilesDirectoryW) profilesDirectory = nullptr;
  decltype(&::GetUserProfileDirectoryW) userProfileDirectory = nullptr;
  decltype(&::LoadUserProfileW) loadUserProfile = nullptr;
  decltype(&::UnloadUserProfile) unloadUserProfile = nullptr;
};

// The table, looked up once; userenv stays loaded until the process ends.
[[nodiscard]] const UserEnv& UserEnvFunctions();

// Hands an environment block back to userenv (a deleter for
// UniqueSystemPointer).
inline BOOL DestroyUserEnvironment(void* block) {
  return UserEnvFunctions().destroyEnvironmentBlock(block);
}

}  // namespace tarn::win32
