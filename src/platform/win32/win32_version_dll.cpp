#include "platform/win32/win32_version_dll.h"

#include "platform/win32/win32_system_library.h"

namespace tarn::win32 {

const VersionDll& VersionDllFunctions() {
  static const SystemLibrary library(L"version.dll");
  static const VersionDll functions = [] {
    VersionDll table;
    BindFunction<0>(library, table.infoSize, "GetFileVersionInfoSizeW");
    BindFunction<FALSE>(library, table.info, "GetFileVersionInfoW");
    BindFunction<FALSE>(library, table.queryValue, "VerQueryValueW");
    return table;
  }();
  return functions;
}

}  // namespace tarn::win32
