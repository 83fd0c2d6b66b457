// The win32 backend's enumeration of local users page by page: a stand-in
// NetUserEnum answers one account per call with ERROR_MORE_DATA, so the
// resume handle, the filter and the handling of a failing page are seen.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/win32/win32_accounts.h"
#include "platform/win32/win32_text.h"

namespace tarn::win32 {
namespace {

struct Paging {
  std::vector<std::wstring> names = {L"anna", L"ben", L"carl"};
  // The call number (from 0) that fails; none when past the names.
  size_t failingCall = 99;
  size_t calls = 0;
  bool normalFilter = true;
};
Paging paging;

NET_API_STATUS NET_API_FUNCTION OnePerPage(LPCWSTR, DWORD level, DWORD filter, LPBYTE* buffer,
                                           DWORD, LPDWORD read, LPDWORD total, PDWORD resume) {
  const size_t call = paging.calls++;
  paging.normalFilter = paging.normalFilter && filter == FILTER_NORMAL_ACCOUNT;
  if (level != 1 || resume == nullptr) return ERROR_INVALID_LEVEL;
  if (call == paging.failingCall) return ERROR_ACCESS_DENIED;
  const size_t at = *resume;
  const std::wstring& name = paging.names[at];
  void* memory = nullptr;
  const DWORD size = static_cast<DWORD>(sizeof(USER_INFO_1) + (name.size() + 1) * sizeof(wchar_t));
  if (NetApiBufferAllocate(size, &memory) != NERR_Success) return ERROR_NOT_ENOUGH_MEMORY;
  std::memset(memory, 0, size);
  auto* one = static_cast<USER_INFO_1*>(memory);
  one->usri1_name = reinterpret_cast<LPWSTR>(one + 1);
  std::memcpy(one->usri1_name, name.c_str(), (name.size() + 1) * sizeof(wchar_t));
  one->usri1_flags = at == 1 ? UF_ACCOUNTDISABLE : 0;
  *buffer = static_cast<LPBYTE>(memory);
  *read = 1;
  *total = static_cast<DWORD>(paging.names.size() - at);
  *resume = static_cast<DWORD>(at + 1);
  return at + 1 < paging.names.size() ? ERROR_MORE_DATA : NERR_Success;
}

std::string Names(const std::vector<platform::UserInfo>& users) {
  std::string text;
  for (const auto& user : users) text += ToUtf8(user.name) + "/" + std::to_string(user.flags) + " ";
  return text;
}

TEST(NetUserEnumWin32, PagesAreFollowedUntilTheLastOrAFailure) {
  Win32Accounts accounts;
  NetGroupCalls calls;
  calls.enumUsers = OnePerPage;
  accounts.ReplaceGroupCalls(calls);

  paging = {};
  std::vector<platform::UserInfo> users;
  EXPECT_EQ(accounts.EnumerateUsers(u"", users), kErrorSuccess);
  EXPECT_EQ(Names(users), "anna/0 ben/2 carl/0 ");
  EXPECT_EQ(paging.calls, 3u);
  EXPECT_TRUE(paging.normalFilter);

  paging = {};
  paging.failingCall = 1;
  users.clear();
  EXPECT_EQ(accounts.EnumerateUsers(u"", users), static_cast<WinError>(ERROR_ACCESS_DENIED));
  EXPECT_EQ(Names(users), "anna/0 ") << "the first page is kept";
}

}  // namespace
}  // namespace tarn::win32
