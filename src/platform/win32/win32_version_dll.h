// The version information functions of version.dll, loaded from the system
// folder when first asked for.
#pragma once

#include "platform/win32/win32_windows.h"

namespace tarn::win32 {

// version.dll's functions the program calls. Every member is callable: a
// function the system lacks answers 0 (FALSE) with the last error
// ERROR_PROC_NOT_FOUND.
struct VersionDll {
  decltype(&::GetFileVersionInfoSizeW) infoSize = nullptr;
  decltype(&::GetFileVersionInfoW) info = nullptr;
  decltype(&::VerQueryValueW) queryValue = nullptr;
};

// The table, looked up once; version.dll stays loaded until the process
// ends.
[[nodiscard]] const VersionDll& VersionDllFunctions();

}  // namespace tarn::win32
