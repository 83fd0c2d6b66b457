#include "wizard/settings_page_model.h"

#include <gtest/gtest.h>

#include "accounts/user_account.h"
#include "app/install_config.h"
#include "platform/sim/machine.h"
#include "resource.h"

namespace tarn::wizard {
namespace {

struct NameRow {
  const char16_t* name;
  NameCheck expected;
};

const char* Describe(NameCheck check) {
  switch (check) {
    case NameCheck::kValid:
      return "valid";
    case NameCheck::kEmpty:
      return "empty";
    case NameCheck::kBadCharacters:
      return "bad characters";
  }
  return "?";
}

TEST(SettingsPageModel, UserNameRule) {
  const NameRow rows[] = {
      {u"Anna", NameCheck::kValid},
      {u"Anna Berg", NameCheck::kValid},  // a blank inside is fine
      {u"a.b", NameCheck::kValid},
      {u"", NameCheck::kEmpty},
      {u"Anna.", NameCheck::kBadCharacters},
      {u"a+b", NameCheck::kBadCharacters},
      {u"a\tb", NameCheck::kBadCharacters},
      {u"a*", NameCheck::kBadCharacters},
      {u"do,main", NameCheck::kBadCharacters},
      {u"say\"hi", NameCheck::kBadCharacters},
      {u"   ", NameCheck::kBadCharacters},
      {u" . .x", NameCheck::kValid},
      {u". .", NameCheck::kBadCharacters},
  };
  for (const NameRow& row : rows) {
    const NameCheck actual = CheckUserName(row.name);
    EXPECT_EQ(actual, row.expected) << "\"" << ToUtf8(row.name) << "\" was " << Describe(actual);
  }
}

TEST(SettingsPageModel, ComputerNameAlphabet) {
  const NameRow rows[] = {
      {u"PC-01_a", NameCheck::kValid},
      {u"pc{1}~!@#$%^&'().", NameCheck::kValid},
      {u"", NameCheck::kEmpty},
      {u"my pc", NameCheck::kBadCharacters},
      {u"pc*", NameCheck::kBadCharacters},
      {u"pc/1", NameCheck::kBadCharacters},
      {u"b\u00fcro", NameCheck::kBadCharacters},
  };
  for (const NameRow& row : rows) {
    const NameCheck actual = CheckComputerName(row.name);
    EXPECT_EQ(actual, row.expected) << "\"" << ToUtf8(row.name) << "\" was " << Describe(actual);
  }
}

class SettingsPage : public ::testing::Test {
 protected:
  SettingsPage() {
    config_.Computer = u"PC1";
    config_.Workgroup = u"WORKGROUP";
  }
  accounts::UserAccount& AddAccount(TextView name, bool primary, bool settingsAccount) {
    accounts::UserAccount& account = store_.list.AddBlank();
    account.Name = name;
    account.Primary = primary ? 1 : 0;
    account.SettingsAccount = settingsAccount ? 1 : 0;
    return account;
  }

  sim::Machine machine_;
  app::InstallConfig config_;
  accounts::AccountStore store_;
  SettingsPageModel model_{config_, store_};
};

TEST_F(SettingsPage, DifferingPasswordsAreInvalidWithoutBalloon) {
  AddAccount(u"Anna", true, true);
  (void)model_.Init(machine_.platform());
  model_.ChangeField(SettingsField::kPassword, u"secret");
  model_.ChangeField(SettingsField::kConfirm, u"Secret");
  const SettingsValidation result = model_.Validate();
  EXPECT_FALSE(result.valid);
  EXPECT_FALSE(result.balloon.has_value());
  model_.ChangeField(SettingsField::kConfirm, u"secret");
  EXPECT_TRUE(model_.Validate().valid);
  EXPECT_EQ(store_.list.FindPrimary()->Password.str(), u"secret");
}

TEST_F(SettingsPage, BadNamesShowTheirFieldsBalloon) {
  AddAccount(u"Anna", true, true);
  (void)model_.Init(machine_.platform());
  model_.ChangeField(SettingsField::kUser, u"Anna.");
  auto balloon = model_.Validate().balloon;
  ASSERT_TRUE(balloon.has_value());
  EXPECT_EQ(balloon->control, IDC_NEW_USER_EDIT);
  EXPECT_EQ(balloon->title, static_cast<uint32_t>(IDS_USER_NAME_INVALID_TITLE));
  model_.ChangeField(SettingsField::kUser, u"Anna");
  model_.ChangeField(SettingsField::kWorkgroup, u"WORK GROUP");
  balloon = model_.Validate().balloon;
  ASSERT_TRUE(balloon.has_value());
  EXPECT_EQ(balloon->control, IDC_WORKGROUP_EDIT);
  EXPECT_EQ(balloon->text, static_cast<uint32_t>(IDS_WORKGROUP_INVALID_TEXT));
}

TEST_F(SettingsPage, UseCurrentDisablesAndSkipsTheUserName) {
  accounts::UserAccount& anna = AddAccount(u"Anna", true, true);
  (void)model_.Init(machine_.platform());
  model_.ChangeField(SettingsField::kUser, u"bad|name");
  EXPECT_FALSE(model_.Validate().valid);

  const SettingsView view = model_.SetUseCurrent(true);
  EXPECT_TRUE(view.useCurrent);
  EXPECT_FALSE(view.accountControlsEnabled);
  EXPECT_EQ(anna.Primary, 0);
  EXPECT_TRUE(model_.Validate().valid) << "the user name is not looked at";

  const SettingsView back = model_.SetUseCurrent(false);
  EXPECT_FALSE(back.useCurrent);
  EXPECT_TRUE(back.accountControlsEnabled);
  EXPECT_EQ(anna.Primary, 1);
  EXPECT_EQ(config_.User.str(), u"bad|name") << "the account's name comes back to the field";
}

TEST_F(SettingsPage, WithoutAnAccountOfThePageUseCurrentStaysChecked) {
  const SettingsView init = model_.Init(machine_.platform());
  EXPECT_TRUE(init.useCurrent);
  EXPECT_FALSE(init.accountControlsEnabled);
  EXPECT_TRUE(model_.SetUseCurrent(false).useCurrent);
}

TEST_F(SettingsPage, InitTakesTheComputerNameAndGivesTheFieldsToThePrimaryAccount) {
  machine_.system().SetComputerName(u"SIMULATED-PC");
  config_.Computer = u"";
  config_.User = u"Bert";
  config_.UserPwd = u"pw";
  accounts::UserAccount& anna = AddAccount(u"Anna", true, true);
  anna.Group = accounts::kGroupAdministrators;
  const SettingsView view = model_.Init(machine_.platform());
  EXPECT_EQ(config_.Computer.str(), u"SIMULATED-PC");
  EXPECT_EQ(anna.Name.str(), u"Bert");
  EXPECT_EQ(anna.Password.str(), u"pw");
  EXPECT_EQ(config_.UserPwdConfirm.str(), u"pw");
  EXPECT_TRUE(view.adminRights);
  model_.SetAdminRights(false);
  EXPECT_EQ(anna.Group, accounts::kGroupUsers);
}

TEST_F(SettingsPage, AutomaticStartWithEmptyUserLetsTheLoggedOnUserInstall) {
  accounts::UserAccount& anna = AddAccount(u"Anna", true, true);
  (void)model_.Init(machine_.platform());
  model_.ChangeField(SettingsField::kUser, u"");
  config_.AutoInstallDelay = 5000;
  config_.SkipSoftware = true;
  const AutomaticStart start = model_.ApplyAutomaticStart(u"Administrator");
  EXPECT_EQ(config_.User.str(), u"Administrator");
  EXPECT_EQ(anna.Primary, 0);
  EXPECT_EQ(config_.AutoInstallDelay, 0);
  EXPECT_EQ(start.nextPage, IDD_STATUS_PAGE);
  config_.SkipSoftware = false;
  EXPECT_EQ(model_.ApplyAutomaticStart(u"Administrator").nextPage, IDD_SOFTWARE_PAGE);
}

TEST_F(SettingsPage, AutoLogonBoxMapsToTheSetting) {
  const struct {
    BoxState box;
    app::AutoLogonMode mode;
    uint32_t tip;
  } rows[] = {
      {BoxState::kChecked, app::AutoLogonMode::kOn, IDS_AUTO_LOGON_TIP},
      {BoxState::kIndeterminate, app::AutoLogonMode::kUnchanged, IDS_AUTO_LOGON_UNCHANGED_TIP},
      {BoxState::kUnchecked, app::AutoLogonMode::kRemove, IDS_AUTO_LOGON_TIP},
  };
  for (const auto& row : rows) {
    model_.SetAutoLogon(row.box);
    EXPECT_EQ(static_cast<int>(config_.AutoLogon), static_cast<int>(row.mode));
    EXPECT_EQ(model_.TipNumber(IDC_AUTO_LOGON_CHECK), row.tip);
  }
  config_.AutoLogon = app::AutoLogonMode::kOn;
  EXPECT_EQ(model_.Init(machine_.platform()).autoLogon, BoxState::kChecked);
}

TEST_F(SettingsPage, FieldsAreCutToTheirCapacity) {
  accounts::UserAccount& anna = AddAccount(u"Anna", true, true);
  (void)model_.Init(machine_.platform());
  const Text longText(300, u'x');
  const struct {
    SettingsField field;
    size_t capacity;
  } rows[] = {
      {SettingsField::kUser, 20},      {SettingsField::kPassword, 100},
      {SettingsField::kConfirm, 100},  {SettingsField::kOwner, 260},
      {SettingsField::kOrg, 260},      {SettingsField::kComputer, 15},
      {SettingsField::kWorkgroup, 15},
  };
  for (const auto& row : rows) {
    model_.ChangeField(row.field, longText);
    EXPECT_EQ(model_.FieldText(row.field).size(), row.capacity)
        << "field " << static_cast<int>(row.field);
  }
  EXPECT_EQ(anna.Name.size(), 20u);
  EXPECT_EQ(anna.Password.size(), 100u);
}

TEST(SettingsPageLayout, BoxesStackFromTheBottom) {
  const BoxStack stack = StackBoxes(300, {10, 12, 14});
  EXPECT_EQ(stack.tops[0], 290);
  EXPECT_EQ(stack.tops[1], 278);
  EXPECT_EQ(stack.tops[2], 264);
}

}  // namespace
}  // namespace tarn::wizard
