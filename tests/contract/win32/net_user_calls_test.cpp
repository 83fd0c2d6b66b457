// What the win32 backend passes to the network management user functions,
// seen through a stand-in table: under Wine NetUserAdd and NetUserDel work
// on a fake database, NetUserGetInfo knows only the current user at levels
// above 1 and NetUserSetInfo crashes, so the structure levels, the members
// and the order of the calls are checked as the documented API reads them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "contract/win32/net_stand_ins.h"

namespace tarn::win32 {
namespace {

using testing::netStandIn;

TEST(NetUserCallsWin32, CreateChangeRenameAndDeleteReachTheSystemAsDocumented) {
  Win32Accounts accounts;
  accounts.ReplaceGroupCalls(testing::StandInNetCalls(u"Pw-anna-1"));

  platform::UserInfo info;
  info.name = u"anna";
  info.privilege = platform::kUserPrivUser;
  info.comment = u"Sales";
  info.fullName = u"Anna A";
  info.flags = 0x10221;
  EXPECT_EQ(accounts.CreateUser(u"", info, u"Pw-anna-1"), kErrorSuccess);
  const auto read = accounts.GetUserInfo(u"", u"anna", 1);
  ASSERT_TRUE(read.ok());
  EXPECT_EQ(read->privilege, platform::kUserPrivAdmin);
  EXPECT_EQ(read->comment, u"Sales");
  EXPECT_EQ(accounts.GetUserInfo(u"", u"nobody", 3).error(), NERR_UserNotFound);
  EXPECT_EQ(accounts.GetUserInfo(u"", u"anna", 2).error(), ERROR_INVALID_LEVEL);
  EXPECT_EQ(accounts.SetUserText(u"", u"anna", platform::kUserLevelPassword, u"Pw-anna-1"),
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
  EXPECT_EQ(netStandIn.calls, expected);
}

}  // namespace
}  // namespace tarn::win32
