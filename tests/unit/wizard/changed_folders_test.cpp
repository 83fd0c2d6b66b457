#include "wizard/changed_folders.h"

#include <gtest/gtest.h>

#include <cwctype>
#include <optional>
#include <string>
#include <vector>

#include "accounts/shell_folder_table.h"
#include "app/install_config.h"
#include "unit/accounts/account_test_machine.h"

namespace tarn::wizard {
namespace {

// One account of a case: its flags and the folders it moves.
struct AccountCase {
  const char16_t* name;
  bool primary = false;
  bool settingsAccount = false;
  // Folder index and the path it is given; -1 for none.
  int folder = -1;
  const char16_t* path = u"";
  // Its unchanged folders written in lower case.
  bool lowerCase = false;
};

struct Case {
  const char* what;
  std::vector<AccountCase> accounts;  // added in this order, so the last is the head
  const char* expected;
};

Text Lowered(Text text) {
  for (char16_t& unit : text) {
    if (unit < 0x80) unit = static_cast<char16_t>(std::towlower(unit));
  }
  return text;
}

std::string Render(const ChangedFolders& found) {
  std::string text;
  for (const ChangedAccount& account : found) {
    text += ToUtf8(account.name) + ":";
    for (const ChangedFolder& folder : account.folders) {
      text += " [" + ToUtf8(folder.name) + "=" + ToUtf8(folder.path) + "]";
    }
    text += "; ";
  }
  return text;
}

void Fill(accounts::UserAccount& record, const AccountCase& from) {
  record.Name = from.name;
  record.Primary = from.primary ? 1 : 0;
  record.SettingsAccount = from.settingsAccount ? 1 : 0;
  for (size_t i = 0; i < kShellFolderCount; ++i) {
    Text path = accounts::testing::kDefaultFolderValues[i];
    accounts::ToAccountPlaceholders(path);
    record.ShellFolders[i] = from.lowerCase ? Lowered(path) : path;
  }
  if (from.folder >= 0) record.ShellFolders[static_cast<size_t>(from.folder)] = from.path;
}

TEST(ChangedFolders, AccountsWithFoldersOffTheDefaults) {
  const Case cases[] = {
      {"all defaults", {{u"anna"}}, ""},
      {"defaults in another case", {{u"anna", false, false, -1, u"", true}}, ""},
      {"two accounts, two groups",
       {{u"anna", false, false, 8, u"D:\\%ThisUser%\\Desk"},
        {u"ben", true, false, 3, u"E:\\%thisuser%"}},
       "ben: [text 3103=E:\\ben]; anna: [text 3108=D:\\anna\\Desk]; "},
      {"settings account not primary", {{u"ben", true}, {u"set", false, true, 8, u"D:\\Desk"}}, ""},
      {"settings account primary",
       {{u"set", true, true, 8, u"D:\\Desk"}},
       "set: [text 3108=D:\\Desk]; "},
  };
  for (const Case& one : cases) {
    accounts::testing::AccountMachine m;
    (void)m.machine.environment().Set(u"USERNAME", u"me");
    accounts::AccountStore store;
    app::InstallConfig config;
    for (const AccountCase& account : one.accounts) Fill(store.list.AddBlank(), account);
    const run::VariableContext context{m.services(), &config, &store.defaults};
    EXPECT_EQ(Render(FindChangedSystemFolders(context, store.list)), one.expected) << one.what;
    EXPECT_EQ(m.machine.environment().Get(u"USERNAME"), std::optional<Text>(u"me")) << one.what;
  }
}

}  // namespace
}  // namespace tarn::wizard
