#include "platform/win32/win32_system_library.h"

#include <string>

namespace tarn::win32 {

void RestrictLibrarySearch() {
  (void)SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
  (void)SetDllDirectoryW(L"");
  (void)SetSearchPathMode(BASE_SEARCH_PATH_ENABLE_SAFE_SEARCHMODE | BASE_SEARCH_PATH_PERMANENT);
}

HMODULE LoadSystemLibrary(const wchar_t* name) {
  if (HMODULE module = LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) return module;
  // Without the search flags the system refuses the call as invalid; any
  // other refusal (a missing library) is the answer.
  if (GetLastError() != ERROR_INVALID_PARAMETER) return nullptr;
  wchar_t folder[MAX_PATH] = {};
  const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return nullptr;
  std::wstring path(folder, length);
  path += L'\\';
  path += name;
  return LoadLibraryExW(path.c_str(), nullptr, 0);
}

SystemLibrary::SystemLibrary(const wchar_t* name) : module_(LoadSystemLibrary(name)) {
  if (!module_) {
    const DWORD error = GetLastError();
    error_ = error != 0 ? error : ERROR_MOD_NOT_FOUND;
  }
}

}  // namespace tarn::win32
