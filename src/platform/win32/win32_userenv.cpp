#include "platform/win32/win32_userenv.h"

#include "platform/win32/win32_system_library.h"

namespace tarn::win32 {

const UserEnv& UserEnvFunctions() {
  static const SystemLibrary library(L"userenv.dll");
  static const UserEnv functions = [] {
    UserEnv table;
    BindFunction<FALSE>(library, table.createEnvironmentBlock, "CreateEnvironmentBlock");
    BindFunction<FALSE>(library, table.destroyEnvironmentBlock, "DestroyEnvironmentBlock");
    BindFunction<FALSE>(library, table.deleteProfile, "DeleteProfileW");
    BindFunction<FALSE>(library, table.defaultUserProfileDirectory,
                        "GetDefaultUserProfileDirectoryW");
    BindFunction<FALSE>(library, table.profilesDirectory, "GetProfilesDirectoryW");
    BindFunction<FALSE>(library, table.userProfileDirectory, "GetUserProfileDirectoryW");
    BindFunction<FALSE>(library, table.loadUserProfile, "LoadUserProfileW");
    BindFunction<FALSE>(library, table.unloadUserProfile, "UnloadUserProfile");
    return table;
  }();
  return functions;
}

}  // namespace tarn::win32
