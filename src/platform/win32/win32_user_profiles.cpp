#include "platform/win32/win32_user_profiles.h"

#include "platform/win32/win32_windows.h"
// windows.h first: userenv needs its types.
#include <userenv.h>

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
  return FolderQuery(
      [](wchar_t* buffer, DWORD* size) { return GetProfilesDirectoryW(buffer, size); });
}

Result<Text> Win32UserProfiles::DefaultUserProfileDirectory() {
  return FolderQuery(
      [](wchar_t* buffer, DWORD* size) { return GetDefaultUserProfileDirectoryW(buffer, size); });
}

Result<Text> Win32UserProfiles::CurrentUserProfileDirectory() {
  UniqueHandle token;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY | READ_CONTROL, token.receive())) {
    return Result<Text>::Failure(GetLastError());
  }
  return FolderQuery([&token](wchar_t* buffer, DWORD* size) {
    return GetUserProfileDirectoryW(token.get(), buffer, size);
  });
}

Result<platform::EnvironmentBlock> Win32UserProfiles::CreateEnvironmentBlock(bool inherit) {
  void* created = nullptr;
  if (!::CreateEnvironmentBlock(&created, nullptr, inherit ? TRUE : FALSE)) {
    return Result<platform::EnvironmentBlock>::Failure(GetLastError());
  }
  const UniqueSystemPointer<void, DestroyEnvironmentBlock> block(created);
  const auto* text = static_cast<const wchar_t*>(block.get());
  return FromWide(text, platform::EnvironmentBlockLength(text));
}

WinError Win32UserProfiles::DeleteUserProfile(TextView sidText) {
  const std::wstring sid = Wide(sidText);
  if (!::DeleteProfileW(sid.c_str(), nullptr, nullptr)) return GetLastError();
  return kErrorSuccess;
}

}  // namespace tarn::win32
