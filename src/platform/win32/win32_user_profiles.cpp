#include "platform/win32/win32_user_profiles.h"

#include "platform/win32/win32_userenv.h"

#include "platform/environment_block.h"
#include "platform/win32/win32_handles.h"
#include "platform/win32/win32_text.h"

namespace tarn::win32 {

namespace {

constexpr DWORD kPathCharacters = 261;

// Calls a userenv folder query with a 260-character buffer.
template <class Query>
Result<Text> FolderQuery(Query query) {
  wchar_t buffer[kPathCharacters] = {};
  DWORD size = kPathCharacters;
  if (!query(buffer, &size)) return Result<Text>::Failure(GetLastError());
  return FromWide(buffer);
}

}  // namespace

Result<Text> Win32UserProfiles::ProfilesDirectory() {
  return FolderQuery([](wchar_t* buffer, DWORD* size) {
    return UserEnvFunctions().profilesDirectory(buffer, size);
  });
}

Result<Text> Win32UserProfiles::DefaultUserProfileDirectory() {
  return FolderQuery([](wchar_t* buffer, DWORD* size) {
    return UserEnvFunctions().defaultUserProfileDirectory(buffer, size);
  });
}

Result<Text> Win32UserProfiles::CurrentUserProfileDirectory() {
  UniqueHandle token;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY | READ_CONTROL, token.receive())) {
    return Result<Text>::Failure(GetLastError());
  }
  return FolderQuery([&token](wchar_t* buffer, DWORD* size) {
    return UserEnvFunctions().userProfileDirectory(token.get(), buffer, size);
  });
}

Result<platform::EnvironmentBlock> Win32UserProfiles::CreateEnvironmentBlock(bool inherit) {
  void* created = nullptr;
  if (!UserEnvFunctions().createEnvironmentBlock(&created, nullptr, inherit ? TRUE : FALSE)) {
    return Result<platform::EnvironmentBlock>::Failure(GetLastError());
  }
  const UniqueSystemPointer<void, DestroyUserEnvironment> block(created);
  const auto* text = static_cast<const wchar_t*>(block.get());
  return FromWide(text, platform::EnvironmentBlockLength(text));
}

WinError Win32UserProfiles::DeleteUserProfile(TextView sidText) {
  const std::wstring sid = Wide(sidText);
  if (!UserEnvFunctions().deleteProfile(sid.c_str(), nullptr, nullptr)) return GetLastError();
  return kErrorSuccess;
}

}  // namespace tarn::win32
