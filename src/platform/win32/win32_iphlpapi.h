// The adapter functions of iphlpapi, loaded from the system folder when
// first asked for.
#pragma once

#include "platform/win32/win32_windows.h"
// windows.h first, then the sockets: the adapter header needs their types.
#include <winsock2.h>
// After both.
#include <iphlpapi.h>

namespace tarn::win32 {

// iphlpapi's functions the program calls. Every member is callable: a
// function the system lacks answers ERROR_PROC_NOT_FOUND.
struct IpHelperApi {
  decltype(&GetAdaptersAddresses) getAdaptersAddresses = nullptr;
};

// The table, looked up once; iphlpapi stays loaded until the process ends.
[[nodiscard]] const IpHelperApi& IpHelperFunctions();

}  // namespace tarn::win32
