// Built-in groups, local group membership and account rights: both
// backends answer these cases the same way. Wine's local group calls have
// no effect, its account-rights calls are stubs and NetUserSetInfo is a stub
// that crashes, so those cases skip there without calling them.
#include <gtest/gtest.h>

#include <algorithm>

#include "contract/backend.h"
#include "platform/accounts.h"
#include "platform/security.h"
#include "platform/system_info.h"

namespace tarn::contract {
namespace {

class GroupsRightsContract : public ::testing::Test {
 protected:
  void SetUp() override {
    backend_ = MakeContractBackend();
    platform_ = backend_->platform();
  }

  // The display name of a well-known group, as the system spells it.
  Text NameOf(const platform::Sid& sid) {
    auto lookup = platform_.security->LookupSid(u"", sid);
    EXPECT_TRUE(lookup.ok()) << ToUtf8(sid.ToText()) << " error " << lookup.error();
    return lookup.ok() ? lookup->name : Text();
  }

  std::unique_ptr<ContractBackend> backend_;
  platform::Platform platform_;
};

TEST_F(GroupsRightsContract, BuiltinGroupsAreAliasesThatResolveBack) {
  for (const platform::Sid& sid : {platform::AdministratorsSid(), platform::UsersSid()}) {
    auto lookup = platform_.security->LookupSid(u"", sid);
    ASSERT_TRUE(lookup.ok()) << ToUtf8(sid.ToText()) << " error " << lookup.error();
    EXPECT_EQ(lookup->use, platform::kSidTypeAlias) << ToUtf8(lookup->name);
    EXPECT_EQ(ToUtf8(lookup->domain), "BUILTIN");
    auto back = platform_.security->LookupName(u"", lookup->name);
    ASSERT_TRUE(back.ok()) << ToUtf8(lookup->name) << " error " << back.error();
    EXPECT_EQ(ToUtf8(back->sid.ToText()), ToUtf8(sid.ToText()));
  }
}

TEST_F(GroupsRightsContract, MembershipRoundTrip) {
  if (backend_->UnderWine()) GTEST_SKIP() << "Wine's local group calls have no effect";
  auto& accounts = *platform_.accounts;
  auto user = platform_.system->UserName();
  ASSERT_TRUE(user.ok());
  auto self = platform_.security->LookupName(u"", *user);
  ASSERT_TRUE(self.ok()) << "error " << self.error();
  const Text users = NameOf(platform::UsersSid());
  auto isMember = [&] {
    auto members = accounts.GetLocalGroupMembers(u"", users);
    EXPECT_TRUE(members.ok()) << "error " << members.error();
    return members.ok() && std::find(members->begin(), members->end(), self->sid) != members->end();
  };
  const bool wasMember = isMember();
  if (wasMember) {
    ASSERT_EQ(accounts.RemoveLocalGroupMember(u"", users, self->sid), kErrorSuccess);
  }
  EXPECT_EQ(accounts.RemoveLocalGroupMember(u"", users, self->sid),
            platform::kErrorMemberNotInAlias);
  EXPECT_EQ(accounts.AddLocalGroupMember(u"", users, self->sid), kErrorSuccess);
  EXPECT_TRUE(isMember());
  EXPECT_EQ(accounts.AddLocalGroupMember(u"", users, self->sid), platform::kErrorMemberInAlias);
  if (!wasMember) {
    EXPECT_EQ(accounts.RemoveLocalGroupMember(u"", users, self->sid), kErrorSuccess);
  }
  EXPECT_EQ(isMember(), wasMember) << "membership restored";
}

TEST_F(GroupsRightsContract, GroupsAreListedByTheirDisplayNames) {
  if (backend_->UnderWine()) GTEST_SKIP() << "Wine's local group calls have no effect";
  auto groups = platform_.accounts->EnumerateLocalGroups(u"");
  ASSERT_TRUE(groups.ok()) << "error " << groups.error();
  for (const platform::Sid& sid : {platform::AdministratorsSid(), platform::UsersSid()}) {
    const Text name = NameOf(sid);
    EXPECT_TRUE(std::any_of(groups->begin(), groups->end(), [&](const Text& one) {
      return EqualsIgnoreCase(one, name);
    })) << ToUtf8(name);
  }
  auto unknown = platform_.accounts->GetLocalGroupMembers(u"", u"tarn-no-such-group-x");
  ASSERT_FALSE(unknown.ok());
  EXPECT_EQ(unknown.error(), platform::kNerrGroupNotFound);
}

TEST_F(GroupsRightsContract, PrivilegeOfAnUnknownUserIsNotSet) {
  if (backend_->UnderWine()) GTEST_SKIP() << "Wine's NetUserSetInfo is a stub that crashes";
  EXPECT_EQ(
      platform_.accounts->SetUserPrivilege(u"", u"tarn-no-such-account-x", platform::kUserPrivUser),
      kNerrUserNotFound);
}

TEST_F(GroupsRightsContract, ANewAccountIsAUserAndItsLevelFollowsItsMembership) {
  if (backend_->UnderWine()) {
    GTEST_SKIP() << "Wine keeps new accounts in-process, its local group calls have no effect "
                    "and its NetUserSetInfo is a stub that crashes";
  }
  auto& accounts = *platform_.accounts;
  constexpr TextView kName = u"tarn-ct-member";
  platform::UserInfo info;
  info.name = Text(kName);
  info.flags = 0x10201;
  ASSERT_EQ(accounts.CreateUser(u"", info, u"Ct-Pw-4711!x"), kErrorSuccess);
  // Gone again however the case ends, so a real machine keeps no test account.
  struct Scratch {
    platform::Accounts& accounts;
    ~Scratch() { (void)accounts.DeleteUser(u"", kName); }
  } scratch{accounts};
  auto self = platform_.security->LookupName(u"", kName);
  ASSERT_TRUE(self.ok()) << "error " << self.error();
  auto isMember = [&](const platform::Sid& group) {
    auto members = accounts.GetLocalGroupMembers(u"", NameOf(group));
    return members.ok() && std::find(members->begin(), members->end(), self->sid) != members->end();
  };
  auto level = [&] {
    auto read = accounts.GetUserInfo(u"", kName, 1);
    return read.ok() ? read->privilege : 99u;
  };
  EXPECT_TRUE(isMember(platform::UsersSid()));
  EXPECT_FALSE(isMember(platform::AdministratorsSid()));
  EXPECT_EQ(level(), platform::kUserPrivUser);
  // The level can only be set to the one the membership gives.
  EXPECT_EQ(accounts.SetUserPrivilege(u"", kName, platform::kUserPrivAdmin),
            kErrorInvalidParameter);
  EXPECT_EQ(accounts.SetUserPrivilege(u"", kName, platform::kUserPrivUser), kErrorSuccess);
  ASSERT_EQ(accounts.AddLocalGroupMember(u"", NameOf(platform::AdministratorsSid()), self->sid),
            kErrorSuccess);
  EXPECT_EQ(level(), platform::kUserPrivAdmin);
  EXPECT_EQ(accounts.SetUserPrivilege(u"", kName, platform::kUserPrivUser), kErrorInvalidParameter);
  EXPECT_EQ(accounts.SetUserPrivilege(u"", kName, platform::kUserPrivAdmin), kErrorSuccess);
}

TEST_F(GroupsRightsContract, RightsRoundTripOnAnUnusedSid) {
  if (backend_->UnderWine()) GTEST_SKIP() << "Wine's account-rights calls are stubs";
  auto& security = *platform_.security;
  // A SID no account uses, so a real machine's policy is left as it was.
  const auto sid = platform::Sid::FromText(u"S-1-5-21-1-2-3-4242");
  ASSERT_TRUE(sid);
  auto none = security.EnumerateAccountRights(u"", *sid);
  ASSERT_FALSE(none.ok());
  EXPECT_EQ(none.error(), kErrorFileNotFound);
  ASSERT_EQ(
      security.AddAccountRights(u"", *sid, {u"SeDenyInteractiveLogonRight", u"SeBatchLogonRight"}),
      kErrorSuccess);
  ASSERT_EQ(security.RemoveAccountRights(u"", *sid, {u"SeDenyInteractiveLogonRight"}),
            kErrorSuccess);
  auto left = security.EnumerateAccountRights(u"", *sid);
  ASSERT_TRUE(left.ok()) << "error " << left.error();
  ASSERT_EQ(left->size(), 1u);
  EXPECT_EQ(ToUtf8(left->front()), "SeBatchLogonRight");
  EXPECT_EQ(security.RemoveAccountRights(u"", *sid, {u"SeBatchLogonRight"}), kErrorSuccess);
}

}  // namespace
}  // namespace tarn::contract
