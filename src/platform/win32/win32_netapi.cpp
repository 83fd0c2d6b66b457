#include "platform/win32/win32_netapi.h"

#include "platform/win32/win32_system_library.h"

namespace tarn::win32 {

const NetApi& NetApiFunctions() {
  static const SystemLibrary library(L"netapi32.dll");
  static const NetApi functions = [] {
    constexpr NET_API_STATUS kMissing = ERROR_PROC_NOT_FOUND;
    NetApi table;
    BindFunction<kMissing>(library, table.bufferFree, "NetApiBufferFree");
    BindFunction<kMissing>(library, table.getJoinInformation, "NetGetJoinInformation");
    BindFunction<kMissing>(library, table.userSetInfo, "NetUserSetInfo");
    BindFunction<kMissing>(library, table.localGroupAddMembers, "NetLocalGroupAddMembers");
    BindFunction<kMissing>(library, table.localGroupDelMembers, "NetLocalGroupDelMembers");
    BindFunction<kMissing>(library, table.userAdd, "NetUserAdd");
    BindFunction<kMissing>(library, table.userGetInfo, "NetUserGetInfo");
    BindFunction<kMissing>(library, table.userDel, "NetUserDel");
    BindFunction<kMissing>(library, table.localGroupGetMembers, "NetLocalGroupGetMembers");
    BindFunction<kMissing>(library, table.localGroupEnum, "NetLocalGroupEnum");
    BindFunction<kMissing>(library, table.userEnum, "NetUserEnum");
    return table;
  }();
  return functions;
}

}  // namespace tarn::win32
