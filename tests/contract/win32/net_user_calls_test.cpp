// What the win32 backend passes to the network management user functions,
// seen through a stand-in table: under Wine NetUserAdd and NetUserDel work
// on a fake database, NetUserGetInfo knows only the current user at levels
// above 1 and NetUserSetInfo crashes, so the structure levels, the members
// and the order of the calls are checked as the documented API reads them.
#include <gtest/gtest.h>

#include <cwchar>
#include <string>
#include <vector>

#include "platform/win32/win32_accounts.h"
#include "platform/win32/win32_text.h"

namespace tarn::win32 {
namespace {

constexpr wchar_t kSecret[] = L"Pw-anna-1";

// One line per call; a password shows only as whether it is the one given.
std::vector<std::string> calls;

std::string Narrow(LPCWSTR text) {
  return text == nullptr ? "(null)" : ToUtf8(FromWide(text));
}

std::string Secret(LPCWSTR text) {
  if (text == nullptr) return "(null)";
  return std::wcscmp(text, kSecret) == 0 ? "(given)" : "(other)";
}

NET_API_STATUS NET_API_FUNCTION StandInAdd(LPCWSTR server, DWORD level, LPBYTE buffer, LPDWORD) {
  if (level != 4) {
    calls.push_back("add level " + std::to_string(level));
    return ERROR_INVALID_LEVEL;
  }
  const auto* four = reinterpret_cast<const USER_INFO_4*>(buffer);
  calls.push_back("add " + Narrow(server) + " " + Narrow(four->usri4_name) + " " +
                  Secret(four->usri4_password) + " priv=" + std::to_string(four->usri4_priv) +
                  " flags=" + std::to_string(four->usri4_flags) + " comment=" +
                  Narrow(four->usri4_comment) + " full=" + Narrow(four->usri4_full_name) +
                  " expires=" + std::to_string(four->usri4_acct_expires == TIMEQ_FOREVER) +
                  " group=" + std::to_string(four->usri4_primary_group_id) +
                  " expired=" + std::to_string(four->usri4_password_expired) +
                  " logon=" + Narrow(four->usri4_logon_server));
  return NERR_Success;
}

NET_API_STATUS NET_API_FUNCTION StandInSetInfo(LPCWSTR, LPCWSTR name, DWORD level, LPBYTE buffer,
                                               LPDWORD) {
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
  }
  calls.push_back("set " + Narrow(name) + " " + std::to_string(level) + " " + value);
  return NERR_Success;
}

// Answers level 1 of "anna" from a buffer of its own, as the system does.
NET_API_STATUS NET_API_FUNCTION StandInGetInfo(LPCWSTR, LPCWSTR name, DWORD level, LPBYTE* buffer) {
  calls.push_back("get " + Narrow(name) + " " + std::to_string(level));
  if (std::wcscmp(name, L"anna") != 0) return NERR_UserNotFound;
  static wchar_t annaName[] = L"anna";
  static wchar_t comment[] = L"Sales";
  if (NetApiBufferAllocate(sizeof(USER_INFO_1), reinterpret_cast<LPVOID*>(buffer)) != 0) {
    return ERROR_NOT_ENOUGH_MEMORY;
  }
  auto* one = reinterpret_cast<USER_INFO_1*>(*buffer);
  *one = USER_INFO_1{};
  one->usri1_name = annaName;
  one->usri1_priv = USER_PRIV_ADMIN;
  one->usri1_comment = comment;
  one->usri1_flags = UF_NORMAL_ACCOUNT | UF_SCRIPT;
  return NERR_Success;
}

NET_API_STATUS NET_API_FUNCTION StandInDelete(LPCWSTR server, LPCWSTR name) {
  calls.push_back("delete " + Narrow(server) + " " + Narrow(name));
  return NERR_Success;
}

TEST(NetUserCallsWin32, CreateChangeRenameAndDeleteReachTheSystemAsDocumented) {
  calls.clear();
  Win32Accounts accounts;
  NetGroupCalls table;
  table.setInfo = &StandInSetInfo;
  table.addUser = &StandInAdd;
  table.getInfo = &StandInGetInfo;
  table.deleteUser = &StandInDelete;
  accounts.ReplaceGroupCalls(table);

  platform::UserInfo info;
  info.name = u"anna";
  info.privilege = platform::kUserPrivUser;
  info.comment = u"Sales";
  info.fullName = u"Anna A";
  info.flags = 0x10221;
  EXPECT_EQ(accounts.CreateUser(u"", info, FromWide(kSecret)), kErrorSuccess);
  const auto read = accounts.GetUserInfo(u"", u"anna", 1);
  ASSERT_TRUE(read.ok());
  EXPECT_EQ(read->privilege, platform::kUserPrivAdmin);
  EXPECT_EQ(read->comment, u"Sales");
  EXPECT_EQ(accounts.GetUserInfo(u"", u"nobody", 3).error(), NERR_UserNotFound);
  EXPECT_EQ(accounts.GetUserInfo(u"", u"anna", 2).error(), ERROR_INVALID_LEVEL);
  EXPECT_EQ(accounts.SetUserText(u"", u"anna", platform::kUserLevelPassword, FromWide(kSecret)),
            kErrorSuccess);
  EXPECT_EQ(accounts.SetUserText(u"", u"anna", platform::kUserLevelComment, u"Team"),
            kErrorSuccess);
  EXPECT_EQ(accounts.SetUserFlags(u"", u"anna", 0x10203), kErrorSuccess);
  EXPECT_EQ(accounts.SetUserText(u"", u"anna", platform::kUserLevelName, u"anne"), kErrorSuccess);
  EXPECT_EQ(accounts.SetUserText(u"", u"anne", 1010, u"x"), ERROR_INVALID_LEVEL);
  EXPECT_EQ(accounts.DeleteUser(u"\\\\DESK", u"anne"), kErrorSuccess);

  const std::vector<std::string> expected = {
      "add (null) anna (given) priv=1 flags=66081 comment=Sales full=Anna A expires=1 group=513 "
      "expired=0 logon=\\\\*",
      "get anna 1",
      "get nobody 3",
      "set anna 1003 (given)",
      "set anna 1007 Team",
      "set anna 1008 66051",
      "set anna 0 anne",
      "delete \\\\DESK anne"};
  EXPECT_EQ(calls, expected);
}

}  // namespace
}  // namespace tarn::win32
