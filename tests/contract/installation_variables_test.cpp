// The installation variables over each backend's own environment, registry
// and profile folders: the run environment swap and the variables of the
// account the program runs as. The process environment is restored after
// each case.
#include <gtest/gtest.h>

#include "accounts/shell_folder_table.h"
#include "accounts/user_account.h"
#include "contract/backend.h"
#include "platform/environment.h"
#include "platform/registry.h"
#include "platform/user_profiles.h"
#include "run/installation_variables.h"
#include "run/run_environment.h"

namespace tarn::contract {
namespace {

class InstallationVariablesContract : public ::testing::Test {
 protected:
  void SetUp() override {
    backend_ = MakeContractBackend();
    platform_ = backend_->platform();
    ASSERT_NE(platform_.environment, nullptr);
    saved_ = platform_.environment->CurrentBlock();
  }
  void TearDown() override { (void)platform_.environment->ReplaceBlock(saved_); }

  run::VariableContext Context() {
    return run::VariableContext{{platform_, {}}, &config_, &defaults_};
  }
  std::optional<Text> Get(TextView name) { return platform_.environment->Get(name); }

  std::unique_ptr<ContractBackend> backend_;
  platform::Platform platform_;
  platform::EnvironmentBlock saved_;
  app::InstallConfig config_;
  accounts::UserDefaults defaults_;
};

TEST_F(InstallationVariablesContract, RunEnvironmentHoldsTheAccountAndIsLeftAgain) {
  ASSERT_EQ(platform_.environment->Set(u"TARN_CT_OUTSIDE", u"1"), kErrorSuccess);
  config_.Computer = u"TARNPC";
  config_.Workgroup = u"TEAM";
  config_.Owner = u"o";
  config_.Org = u"g";
  accounts::UserAccount account;
  account.Name = u"tarn-ct-anna";
  account.Home = u"D:\\Users\\anna";
  account.Profile = u"C:\\Profiles\\anna";
  {
    run::RunEnvironment run(Context());
    ASSERT_TRUE(run.Enter(account));
    EXPECT_EQ(Get(u"USERNAME"), std::optional<Text>(u"tarn-ct-anna"));
    EXPECT_EQ(Get(u"HOMEDRIVE"), std::optional<Text>(u"D:"));
    EXPECT_EQ(Get(u"HOMEPATH"), std::optional<Text>(u"\\Users\\anna"));
    EXPECT_EQ(Get(u"TARN_CT_OUTSIDE"), std::optional<Text>(u"1"));
    EXPECT_TRUE(Get(u"SystemRoot").has_value()) << "the block holds the system's variables";
    ASSERT_EQ(platform_.environment->Set(u"TARN_CT_DURING", u"2"), kErrorSuccess);
  }
  EXPECT_EQ(Get(u"TARN_CT_DURING"), std::nullopt) << "the run's block is gone";
  EXPECT_EQ(Get(u"TARN_CT_OUTSIDE"), std::optional<Text>(u"1"));
  EXPECT_NE(Get(u"USERNAME"), std::optional<Text>(u"tarn-ct-anna"));
}

TEST_F(InstallationVariablesContract, LoggedOnUserGetsItsProfileAndFolders) {
  ASSERT_NE(platform_.userProfiles, nullptr);
  auto own = platform_.userProfiles->CurrentUserProfileDirectory();
  ASSERT_TRUE(own.ok());
  // A fresh system has the Desktop folder in the user's shell folders; a
  // bare simulated machine is given it here.
  ASSERT_NE(platform_.registry, nullptr);
  Text present;
  if (!accounts::ReadShellFolder(*platform_.registry, platform::kCurrentUser,
                                 accounts::kFolderDesktop, present)) {
    platform::ScopedKey key =
        platform::ScopedKey::Create(*platform_.registry, platform::kCurrentUser,
                                    accounts::kUserShellFoldersKey, platform::kKeyAllAccess);
    ASSERT_TRUE(key.valid());
    ASSERT_EQ(platform_.registry->SetValue(
                  key.get(), u"Desktop",
                  platform::RegValue::FromText(u"%USERPROFILE%\\Desktop", platform::kRegExpandSz)),
              kErrorSuccess);
  }
  run::SetLoggedOnUserVariables(Context());
  EXPECT_EQ(Get(u"USERPROFILE"), std::optional<Text>(*own));
  EXPECT_EQ(Get(u"ThisProfile"), std::optional<Text>(*own));
  const auto desktop = Get(u"Desktop");
  ASSERT_TRUE(desktop.has_value());
  EXPECT_FALSE(desktop->empty());
  EXPECT_EQ(desktop->find(u'%'), Text::npos) << ToUtf8(*desktop);
}

}  // namespace
}  // namespace tarn::contract
