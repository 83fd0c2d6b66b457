// The environment an account gets from its own logon, for commands the
// program starts as that account.
#include "platform/win32/win32_userenv.h"

#include <string>

#include "platform/environment_block.h"
#include "platform/win32/win32_handles.h"
#include "platform/win32/win32_processes.h"
#include "platform/win32/win32_text.h"

namespace tarn::win32 {
namespace {

// The account's profile, loaded for as long as this object lives: the
// user-specific variables of CreateEnvironmentBlock come only from a loaded
// profile.
class LoadedProfile {
 public:
  LoadedProfile(HANDLE token, std::wstring& name) : token_(token) {
    PROFILEINFOW profile{};
    profile.dwSize = sizeof(profile);
    profile.dwFlags = PI_NOUI;
    profile.lpUserName = name.data();
    if (UserEnvFunctions().loadUserProfile(token, &profile)) {
      hive_ = profile.hProfile;
    } else {
      error_ = GetLastError();
    }
  }
  LoadedProfile(const LoadedProfile&) = delete;
  LoadedProfile& operator=(const LoadedProfile&) = delete;
  ~LoadedProfile() {
    if (hive_ != nullptr) UserEnvFunctions().unloadUserProfile(token_, hive_);
  }
  [[nodiscard]] DWORD error() const { return error_; }

 private:
  HANDLE token_;
  HANDLE hive_ = nullptr;
  DWORD error_ = ERROR_SUCCESS;
};

Result<platform::EnvironmentBlock> Failure(DWORD error) {
  return Result<platform::EnvironmentBlock>::Failure(error != 0 ? error : ERROR_GEN_FAILURE);
}

// An interactive logon of the account, as CreateProcessWithLogonW makes one.
Result<UniqueHandle> LogOn(const platform::LogonCredentials& logon, std::wstring& name) {
  const std::wstring domain = logon.domain.empty() ? std::wstring(L".") : Wide(logon.domain);
  std::wstring password = Wide(logon.password);
  UniqueHandle token;
  const BOOL done =
      LogonUserW(name.c_str(), domain.c_str(), password.c_str(), LOGON32_LOGON_INTERACTIVE,
                 LOGON32_PROVIDER_DEFAULT, token.receive());
  const DWORD error = GetLastError();
  SecureZeroMemory(password.data(), password.size() * sizeof(wchar_t));
  if (!done) return Result<UniqueHandle>::Failure(error != 0 ? error : ERROR_GEN_FAILURE);
  return token;
}

}  // namespace

Result<platform::EnvironmentBlock> Win32Processes::LogonEnvironment(
    const platform::LogonCredentials& logon) {
  std::wstring name = Wide(logon.name);
  Result<UniqueHandle> token = LogOn(logon, name);
  if (!token) return Failure(token.error());
  const LoadedProfile profile(token->get(), name);
  if (profile.error() != ERROR_SUCCESS) return Failure(profile.error());
  void* created = nullptr;
  if (!UserEnvFunctions().createEnvironmentBlock(&created, token->get(), FALSE)) {
    return Failure(GetLastError());
  }
  const UniqueSystemPointer<void, DestroyUserEnvironment> block(created);
  const auto* text = static_cast<const wchar_t*>(block.get());
  return FromWide(text, platform::EnvironmentBlockLength(text));
}

}  // namespace tarn::win32
