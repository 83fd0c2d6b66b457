// Accounts, name look-ups and profile folders: both backends answer these
// cases the same way. Under Wine the account database is faked beyond the
// current user, so cases that need other accounts skip there.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "contract/backend.h"
#include "platform/accounts.h"
#include "platform/environment.h"
#include "platform/security.h"
#include "platform/system_info.h"
#include "platform/user_profiles.h"

namespace tarn::contract {
namespace {

class AccountsContract : public ::testing::Test {
 protected:
  void SetUp() override {
    backend_ = MakeContractBackend();
    platform_ = backend_->platform();
    ASSERT_NE(platform_.accounts, nullptr);
    ASSERT_NE(platform_.security, nullptr);
    ASSERT_NE(platform_.userProfiles, nullptr);
    ASSERT_NE(platform_.system, nullptr);
    auto user = platform_.system->UserName();
    ASSERT_TRUE(user.ok());
    user_ = *user;
  }

  std::unique_ptr<ContractBackend> backend_;
  platform::Platform platform_;
  Text user_;
};

TEST_F(AccountsContract, CurrentUserResolvesToAUserSidAndBack) {
  auto lookup = platform_.security->LookupName(u"", user_);
  ASSERT_TRUE(lookup.ok()) << "error " << lookup.error();
  EXPECT_EQ(lookup->use, platform::kSidTypeUser);
  ASSERT_GE(lookup->sid.subAuthorities.size(), 5u) << ToUtf8(lookup->sid.ToText());
  EXPECT_EQ(lookup->sid.subAuthorities[0], 21u);
  auto back = platform_.security->LookupSid(u"", lookup->sid);
  ASSERT_TRUE(back.ok()) << "error " << back.error();
  EXPECT_TRUE(EqualsIgnoreCase(back->name, user_)) << ToUtf8(back->name);
  EXPECT_TRUE(EqualsIgnoreCase(back->domain, lookup->domain));
  const auto text = lookup->sid.ToText();
  EXPECT_EQ(platform::Sid::FromText(text), std::optional<platform::Sid>(lookup->sid));
  EXPECT_EQ(platform::Sid::FromBytes(lookup->sid.ToBytes()),
            std::optional<platform::Sid>(lookup->sid));
}

TEST_F(AccountsContract, QualifiedNameResolvesLikeThePlainOne) {
  auto plain = platform_.security->LookupName(u"", user_);
  ASSERT_TRUE(plain.ok());
  auto qualified = platform_.security->LookupName(u"", plain->domain + u"\\" + user_);
  ASSERT_TRUE(qualified.ok()) << "error " << qualified.error();
  EXPECT_EQ(qualified->sid, plain->sid);
}

TEST_F(AccountsContract, NameComesBackAsTheSystemSpellsIt) {
  Text swapped = user_;
  for (char16_t& c : swapped) {
    if (c >= u'a' && c <= u'z') {
      c = static_cast<char16_t>(c - u'a' + u'A');
    } else if (c >= u'A' && c <= u'Z') {
      c = static_cast<char16_t>(c - u'A' + u'a');
    }
  }
  auto lookup = platform_.security->LookupName(u"", swapped);
  if (backend_->UnderWine() && !lookup.ok() && lookup.error() == kErrorNoneMapped) {
    GTEST_SKIP() << "Wine matches account names case-sensitively";
  }
  ASSERT_TRUE(lookup.ok()) << "error " << lookup.error();
  auto back = platform_.security->LookupSid(u"", lookup->sid);
  ASSERT_TRUE(back.ok()) << "error " << back.error();
  EXPECT_EQ(ToUtf8(lookup->name), ToUtf8(back->name));
}

TEST_F(AccountsContract, UnknownNameIsNotMapped) {
  auto lookup = platform_.security->LookupName(u"", u"tarn-no-such-account-x");
  ASSERT_FALSE(lookup.ok());
  EXPECT_EQ(lookup.error(), kErrorNoneMapped);
}

TEST_F(AccountsContract, CurrentUserHasLevelZeroInfo) {
  auto info = platform_.accounts->GetUserInfo(u"", user_, 0);
  ASSERT_TRUE(info.ok()) << "error " << info.error();
  EXPECT_TRUE(EqualsIgnoreCase(info->name, user_));
}

TEST_F(AccountsContract, EnumerationListsTheCurrentUserAsGetInfoSeesIt) {
  std::vector<platform::UserInfo> users;
  ASSERT_EQ(platform_.accounts->EnumerateUsers(u"", users), kErrorSuccess);
  const auto own = std::find_if(users.begin(), users.end(), [&](const platform::UserInfo& one) {
    return EqualsIgnoreCase(one.name, user_);
  });
  ASSERT_NE(own, users.end()) << ToUtf8(user_) << " missing among " << users.size();
  auto info = platform_.accounts->GetUserInfo(u"", user_, 1);
  ASSERT_TRUE(info.ok()) << "error " << info.error();
  EXPECT_EQ(own->flags, info->flags);
  EXPECT_EQ(ToUtf8(own->comment), ToUtf8(info->comment));
}

TEST_F(AccountsContract, UnknownUserIsNotFound) {
  auto info = platform_.accounts->GetUserInfo(u"", u"tarn-no-such-account-x", 0);
  ASSERT_FALSE(info.ok());
  EXPECT_EQ(info.error(), kNerrUserNotFound);
}

TEST_F(AccountsContract, LevelThreeGivesFlagsAndPrivilege) {
  if (backend_->UnderWine()) GTEST_SKIP() << "Wine fails NetUserGetInfo above level 1 (2140)";
  auto info = platform_.accounts->GetUserInfo(u"", user_, 3);
  ASSERT_TRUE(info.ok()) << "error " << info.error();
  EXPECT_NE(info->flags & 0x200u, 0u) << "a normal account";
}

TEST_F(AccountsContract, JoinInformationNamesAWorkgroupOrDomain) {
  auto join = platform_.accounts->GetJoinInformation(u"");
  ASSERT_TRUE(join.ok()) << "error " << join.error();
  EXPECT_FALSE(join->name.empty());
  EXPECT_TRUE(join->status == platform::kNetSetupWorkgroupName ||
              join->status == platform::kNetSetupDomainName)
      << join->status;
}

TEST_F(AccountsContract, OwnProfileLiesInTheProfilesDirectory) {
  auto profiles = platform_.userProfiles->ProfilesDirectory();
  ASSERT_TRUE(profiles.ok()) << "error " << profiles.error();
  auto own = platform_.userProfiles->CurrentUserProfileDirectory();
  ASSERT_TRUE(own.ok()) << "error " << own.error();
  EXPECT_TRUE(StartsWithIgnoreCase(*own, *profiles + u"\\"))
      << ToUtf8(*own) << " in " << ToUtf8(*profiles);
}

TEST_F(AccountsContract, DefaultUserProfileLiesInTheProfilesDirectory) {
  if (backend_->UnderWine()) GTEST_SKIP() << "GetDefaultUserProfileDirectoryW fails under Wine";
  auto profiles = platform_.userProfiles->ProfilesDirectory();
  auto defaultUser = platform_.userProfiles->DefaultUserProfileDirectory();
  ASSERT_TRUE(profiles.ok() && defaultUser.ok());
  EXPECT_TRUE(StartsWithIgnoreCase(*defaultUser, *profiles + u"\\")) << ToUtf8(*defaultUser);
}

bool BlockHas(const Text& block, TextView entry) {
  size_t start = 0;
  while (start < block.size()) {
    const size_t end = block.find(u'\0', start);
    if (end == start || end == Text::npos) break;
    if (EqualsIgnoreCase(TextView(block).substr(start, end - start), entry)) return true;
    start = end + 1;
  }
  return false;
}

TEST_F(AccountsContract, EnvironmentBlockInheritsThePresentVariablesOnRequest) {
  ASSERT_NE(platform_.environment, nullptr);
  ASSERT_EQ(platform_.environment->Set(u"TARN_CT_BLOCK", u"in block"), kErrorSuccess);
  auto inherited = platform_.userProfiles->CreateEnvironmentBlock(true);
  auto clean = platform_.userProfiles->CreateEnvironmentBlock(false);
  (void)platform_.environment->Set(u"TARN_CT_BLOCK", std::nullopt);
  ASSERT_TRUE(inherited.ok() && clean.ok());
  EXPECT_TRUE(BlockHas(*inherited, u"TARN_CT_BLOCK=in block"));
  EXPECT_FALSE(BlockHas(*clean, u"TARN_CT_BLOCK=in block"));
  ASSERT_GE(inherited->size(), 2u);
  EXPECT_EQ(inherited->substr(inherited->size() - 2), Text(2, u'\0')) << "ends in two zeros";
}

}  // namespace
}  // namespace tarn::contract
