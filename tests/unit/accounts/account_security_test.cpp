#include "accounts/account_security.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "accounts/user_account.h"
#include "unit/accounts/account_test_machine.h"

namespace tarn::accounts {
namespace {

class AccountSecurityTest : public ::testing::Test {
 protected:
  // A local account with privilege `privilege`, a member of `group` (a
  // built-in RID) when not 0; returns its SID.
  platform::Sid Add(TextView name, uint32_t privilege, uint32_t groupRid) {
    platform::UserInfo info;
    info.name = Text(name);
    info.privilege = privilege;
    const platform::Sid sid = m.machine.accounts().UserSid(m.machine.accounts().PutUser(info));
    if (groupRid != 0) {
      const Text group = m.machine.accounts().FindGroupByRid(groupRid)->displayName;
      EXPECT_EQ(m.machine.accounts().AddLocalGroupMember(u"", group, sid), kErrorSuccess);
    }
    return sid;
  }

  // "A" when `sid` is in Administrators, "U" when in Users, "AU" in both.
  std::string Memberships(const platform::Sid& sid) {
    std::string answer;
    for (const auto& [rid, letter] :
         {std::pair{sim::kRidAdministrators, "A"}, std::pair{sim::kRidUsers, "U"}}) {
      const auto& members = m.machine.accounts().FindGroupByRid(rid)->members;
      if (std::find(members.begin(), members.end(), sid) != members.end()) answer += letter;
    }
    return answer;
  }

  uint32_t Privilege(TextView name) { return m.machine.accounts().FindUser(name)->info.privilege; }

  testing::AccountMachine m;
};

TEST_F(AccountSecurityTest, GroupNamesFollowTheSystemLanguage) {
  struct Case {
    const char16_t* language;
    platform::Sid sid;
    const char* name;
  };
  const Case cases[] = {
      {u"en", platform::AdministratorsSid(), "Administrators"},
      {u"en", platform::UsersSid(), "Users"},
      {u"de", platform::AdministratorsSid(), "Administratoren"},
      {u"de", platform::UsersSid(), "Benutzer"},
      {u"fr", platform::UsersSid(), "Users"},
  };
  for (const Case& c : cases) {
    m.machine.accounts().SetSystemLanguage(c.language);
    EXPECT_EQ(ToUtf8(GroupDisplayName(m.services(), u"", c.sid)), c.name)
        << ToUtf8(c.language) << " " << ToUtf8(c.sid.ToText());
  }
}

TEST_F(AccountSecurityTest, OnlyUserAccountsResolve) {
  const platform::Sid anna = Add(u"anna", platform::kUserPrivUser, 0);
  m.machine.system().SetComputerName(u"DESK");
  const platform::Sid desk = Add(u"desk", platform::kUserPrivUser, 0);
  m.machine.accounts().SetSystemLanguage(u"de");
  struct Case {
    const char16_t* name;
    std::optional<platform::Sid> sid;
  };
  const Case cases[] = {
      {u"anna", anna},           {u"DESK\\anna", anna},
      {u"desk", desk},           {u"Administratoren", std::nullopt},
      {u"SYSTEM", std::nullopt}, {u"Benutzer", std::nullopt},
      {u"nobody", std::nullopt},
  };
  for (const Case& c : cases) {
    const auto sid = ResolveAccountSid(m.services(), u"", c.name);
    EXPECT_EQ(sid, c.sid) << ToUtf8(c.name) << " gave "
                          << (sid ? ToUtf8(sid->ToText()) : std::string("nothing"));
  }
}

TEST_F(AccountSecurityTest, DowngradeOnAGermanSystemLeavesAPlainUser) {
  m.machine.accounts().SetSystemLanguage(u"de");
  const platform::Sid boss = Add(u"boss", platform::kUserPrivAdmin, sim::kRidAdministrators);
  EXPECT_EQ(DowngradeAccount(m.services(), u"boss"), kErrorSuccess);
  EXPECT_EQ(Memberships(boss), "U");
  EXPECT_EQ(Privilege(u"boss"), platform::kUserPrivUser);
  EXPECT_EQ(DowngradeAccount(m.services(), u"boss"), kErrorSuccess);
  EXPECT_EQ(Memberships(boss), "U") << "a second downgrade changes nothing";
}

TEST_F(AccountSecurityTest, DowngradeLeavesTheLastEnabledAdministrator) {
  ASSERT_EQ(m.machine.accounts().SetUserFlags(u"", u"Administrator", 0x10203), kErrorSuccess);
  const platform::Sid boss = Add(u"boss", platform::kUserPrivAdmin, sim::kRidAdministrators);
  EXPECT_EQ(DowngradeAccount(m.services(), u"boss"), kErrorAccessDenied);
  EXPECT_EQ(Memberships(boss), "A") << "nobody would be left to manage the computer";
}

TEST_F(AccountSecurityTest, DowngradeOfAGroupNameChangesNoMembership) {
  const auto before = m.machine.accounts().FindGroupByRid(sim::kRidUsers)->members;
  EXPECT_EQ(DowngradeAccount(m.services(), u"Administrators"), kErrorNoneMapped);
  EXPECT_EQ(m.machine.accounts().FindGroupByRid(sim::kRidUsers)->members, before);
  EXPECT_EQ(m.machine.accounts().FindGroupByRid(sim::kRidAdministrators)->members.size(), 1u);
}

TEST_F(AccountSecurityTest, GroupOfTheRecordDecidesTheMembership) {
  struct Case {
    int32_t group;
    bool primary;
    uint32_t startRid;
    const char* memberships;
    uint32_t privilege;
  };
  const Case cases[] = {
      {kGroupAdministrators, false, sim::kRidUsers, "A", platform::kUserPrivAdmin},
      {kGroupUsers, false, sim::kRidAdministrators, "U", platform::kUserPrivUser},
      {kGroupUsers, true, sim::kRidUsers, "A", platform::kUserPrivAdmin},
      {kGroupUnchanged, false, sim::kRidUsers, "U", platform::kUserPrivUser},
  };
  int n = 0;
  for (const Case& c : cases) {
    const Text name = Text(u"acct") + DecimalText(n++);
    const platform::Sid sid = Add(name, platform::kUserPrivUser, c.startRid);
    EXPECT_EQ(SetAccountGroup(m.services(), u"", name, sid, c.group, c.primary), kErrorSuccess);
    EXPECT_EQ(Memberships(sid), c.memberships) << "group " << c.group << " primary " << c.primary;
    EXPECT_EQ(Privilege(name), c.privilege) << "group " << c.group << " primary " << c.primary;
  }
}

TEST_F(AccountSecurityTest, RightHeldDirectlyOrThroughAGroup) {
  auto& security = m.machine.security();
  const platform::Sid direct = Add(u"direct", platform::kUserPrivUser, 0);
  const platform::Sid grouped = Add(u"grouped", platform::kUserPrivUser, sim::kRidGuests);
  ASSERT_EQ(security.AddAccountRights(u"", direct, {u"SeDenyInteractiveLogonRight"}),
            kErrorSuccess);
  ASSERT_EQ(security.AddAccountRights(u"", platform::Sid{1, {0, 0, 0, 0, 0, 5}, {32, 546}},
                                      {u"SeDenyInteractiveLogonRight"}),
            kErrorSuccess);
  (void)grouped;
  EXPECT_EQ(HasAccountRight(m.services(), u"", u"direct", u"sedenyinteractivelogonright"),
            kRightHeldDirectly);
  EXPECT_EQ(HasAccountRight(m.services(), u"", u"grouped", kDenyInteractiveLogonRight),
            kRightHeldThroughGroup);
  EXPECT_EQ(HasAccountRight(m.services(), u"", u"nobody", kDenyInteractiveLogonRight), 0u);
}

TEST_F(AccountSecurityTest, DroppingTwoRightsAtOnceKeepsTheOthers) {
  auto& security = m.machine.security();
  const platform::Sid anna = Add(u"anna", platform::kUserPrivUser, 0);
  ASSERT_EQ(security.AddAccountRights(u"", anna,
                                      {u"SeDenyInteractiveLogonRight", u"SeDenyNetworkLogonRight",
                                       u"SeServiceLogonRight"}),
            kErrorSuccess);
  EXPECT_TRUE(DropAccountRights(m.services(), u"", u"anna",
                                u"SeDenyInteractiveLogonRight,SeDenyNetworkLogonRight"));
  auto left = security.EnumerateAccountRights(u"", anna);
  ASSERT_TRUE(left.ok()) << "error " << left.error();
  ASSERT_EQ(left->size(), 1u);
  EXPECT_EQ(ToUtf8(left->front()), "SeServiceLogonRight");
  EXPECT_FALSE(DropAccountRights(m.services(), u"", u"Administrators", u"SeServiceLogonRight"));
}

}  // namespace
}  // namespace tarn::accounts
