#include "platform/win32/win32_iphlpapi.h"

#include "platform/win32/win32_system_library.h"

namespace tarn::win32 {

const IpHelperApi& IpHelperFunctions() {
  static const SystemLibrary library(L"iphlpapi.dll");
  static const IpHelperApi functions = [] {
    constexpr ULONG kMissing = ERROR_PROC_NOT_FOUND;
    IpHelperApi table;
    BindFunction<kMissing>(library, table.getAdaptersAddresses, "GetAdaptersAddresses");
    return table;
  }();
  return functions;
}

}  // namespace tarn::win32
