// Stand-ins for the network management functions Wine fakes: a small
// account database that reads each call as the documented API does and
// records it as one line. A password shows only as whether it is the one
// the test gave. Answered buffers come from NetApiBufferAllocate.
#pragma once

#include <cstring>
#include <cwchar>
#include <set>
#include <string>
#include <vector>

#include "platform/win32/win32_accounts.h"
#include "platform/win32/win32_text.h"

namespace tarn::win32::testing {

struct NetStandIn {
  std::vector<std::string> calls;
  std::set<std::wstring> users;
  std::wstring password;  // the one the test gave
};
inline NetStandIn netStandIn;

inline std::string Narrow(LPCWSTR text) {
  return text == nullptr ? "(null)" : ToUtf8(FromWide(text));
}

inline std::string Secret(LPCWSTR text) {
  if (text == nullptr) return "(null)";
  return netStandIn.password == text ? "(given)" : "(other)";
}

inline NET_API_STATUS NET_API_FUNCTION StandInAdd(LPCWSTR server, DWORD level, LPBYTE buffer,
                                                  LPDWORD) {
  if (level != 4) return ERROR_INVALID_LEVEL;
  const auto* four = reinterpret_cast<const USER_INFO_4*>(buffer);
  if (four->usri4_name == nullptr) return ERROR_INVALID_PARAMETER;
  if (!netStandIn.users.insert(four->usri4_name).second) return NERR_UserExists;
  netStandIn.calls.push_back(
      "add " + Narrow(server) + " " + Narrow(four->usri4_name) + " " +
      Secret(four->usri4_password) + " priv=" + std::to_string(four->usri4_priv) +
      " flags=" + std::to_string(four->usri4_flags) + " comment=" + Narrow(four->usri4_comment) +
      " full=" + Narrow(four->usri4_full_name) +
      " expires=" + std::to_string(four->usri4_acct_expires == TIMEQ_FOREVER) +
      " group=" + std::to_string(four->usri4_primary_group_id) + " expired=" +
      std::to_string(four->usri4_password_expired) + " logon=" + Narrow(four->usri4_logon_server));
  return NERR_Success;
}

inline NET_API_STATUS NET_API_FUNCTION StandInSetInfo(LPCWSTR, LPCWSTR name, DWORD level,
                                                      LPBYTE buffer, LPDWORD) {
  if (!netStandIn.users.contains(name)) return NERR_UserNotFound;
  std::string value;
  if (level == 1003) {
    value = Secret(reinterpret_cast<USER_INFO_1003*>(buffer)->usri1003_password);
  } else if (level == 1008) {
    value = std::to_string(reinterpret_cast<USER_INFO_1008*>(buffer)->usri1008_flags);
  } else if (level == 1005) {
    value = std::to_string(reinterpret_cast<USER_INFO_1005*>(buffer)->usri1005_priv);
  } else {
    // Levels 0, 1006, 1007, 1009, 1011 and 1052 hold one text pointer.
    value = Narrow(reinterpret_cast<USER_INFO_0*>(buffer)->usri0_name);
    if (level == 0) {
      netStandIn.users.erase(name);
      netStandIn.users.insert(reinterpret_cast<USER_INFO_0*>(buffer)->usri0_name);
    }
  }
  netStandIn.calls.push_back("set " + Narrow(name) + " " + std::to_string(level) + " " + value);
  return NERR_Success;
}

// Level 1 of a known account: an administrator with comment "Sales".
inline NET_API_STATUS NET_API_FUNCTION StandInGetInfo(LPCWSTR, LPCWSTR name, DWORD level,
                                                      LPBYTE* buffer) {
  netStandIn.calls.push_back("get " + Narrow(name) + " " + std::to_string(level));
  if (!netStandIn.users.contains(name)) return NERR_UserNotFound;
  if (level != 1) return ERROR_INVALID_LEVEL;
  static wchar_t comment[] = L"Sales";
  const size_t nameBytes = (std::wcslen(name) + 1) * sizeof(wchar_t);
  if (NetApiBufferAllocate(static_cast<DWORD>(sizeof(USER_INFO_1) + nameBytes),
                           reinterpret_cast<LPVOID*>(buffer)) != 0) {
    return ERROR_NOT_ENOUGH_MEMORY;
  }
  auto* one = reinterpret_cast<USER_INFO_1*>(*buffer);
  *one = USER_INFO_1{};
  // The strings live in the same buffer, after the structure.
  one->usri1_name = reinterpret_cast<LPWSTR>(one + 1);
  std::memcpy(one->usri1_name, name, nameBytes);
  one->usri1_priv = USER_PRIV_ADMIN;
  one->usri1_comment = comment;
  return NERR_Success;
}

inline NET_API_STATUS NET_API_FUNCTION StandInDelete(LPCWSTR server, LPCWSTR name) {
  netStandIn.calls.push_back("delete " + Narrow(server) + " " + Narrow(name));
  return netStandIn.users.erase(name) == 1 ? NERR_Success : NERR_UserNotFound;
}

inline NET_API_STATUS NET_API_FUNCTION StandInMembers(LPCWSTR, LPCWSTR group, DWORD level, LPBYTE,
                                                      DWORD count) {
  netStandIn.calls.push_back("member " + Narrow(group) + " " + std::to_string(level) + " " +
                             std::to_string(count));
  return NERR_Success;
}

// No group has members, and there are no groups to list.
inline NET_API_STATUS NET_API_FUNCTION StandInNoMembers(LPCWSTR, LPCWSTR, DWORD, LPBYTE* buffer,
                                                        DWORD, LPDWORD read, LPDWORD total,
                                                        PDWORD_PTR) {
  *buffer = nullptr;
  *read = *total = 0;
  return NERR_Success;
}
inline NET_API_STATUS NET_API_FUNCTION StandInNoGroups(LPCWSTR, DWORD, LPBYTE* buffer, DWORD,
                                                       LPDWORD read, LPDWORD total, PDWORD_PTR) {
  *buffer = nullptr;
  *read = *total = 0;
  return NERR_Success;
}

// A fresh database that knows `password`, and the table that reaches it.
inline NetGroupCalls StandInNetCalls(TextView password) {
  netStandIn = NetStandIn{};
  netStandIn.password = Wide(password);
  return NetGroupCalls{&StandInSetInfo, &StandInMembers, &StandInMembers,   &StandInAdd,
                       &StandInGetInfo, &StandInDelete,  &StandInNoMembers, &StandInNoGroups};
}

}  // namespace tarn::win32::testing
