// The network management functions of netapi32, loaded from the system
// folder when first asked for.
#pragma once

#include "platform/win32/win32_windows.h"
// windows.h first: the network management headers need its types.
#include <lm.h>

namespace tarn::win32 {

// netapi32's functions the program calls. Every member is callable: a
// function the system lacks answers ERROR_PROC_NOT_FOUND.
struct NetApi {
  decltype(&NetApiBufferFree) bufferFree = nullptr;
  decltype(&NetGetJoinInformation) getJoinInformation = nullptr;
  decltype(&NetUserSetInfo) userSetInfo = nullptr;
  decltype(&NetLocalGroupAddMembers) localGroupAddMembers = nullptr;
  decltype(&NetLocalGroupDelMembers) localGroupDelMembers = nullptr;
  decltype(&NetUserAdd) userAdd = nullptr;
  decltype(&NetUserGetInfo) userGetInfo = nullptr;
  decltype(&NetUserDel) userDel = nullptr;
  decltype(&NetLocalGroupGetMembers) localGroupGetMembers = nullptr;
  decltype(&NetLocalGroupEnum) localGroupEnum = nullptr;
  decltype(&NetUserEnum) userEnum = nullptr;
};

// The table, looked up once; netapi32 stays loaded until the process ends.
[[nodiscard]] const NetApi& NetApiFunctions();

}  // namespace tarn::win32
