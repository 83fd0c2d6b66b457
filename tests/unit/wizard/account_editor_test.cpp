// The account sheet's rules on the simulated machine: the working copy stays
// out of the list until OK, OK's enabling, the flag interplay, the folder
// tree and the buffered variable edits.
#include "wizard/account_editor.h"

#include <gtest/gtest.h>

#include "accounts/shell_folder_table.h"
#include "app/install_config.h"
#include "platform/sim/machine.h"
#include "resource.h"
#include "wizard/account_folder_tree.h"

namespace tarn::wizard {
namespace {

using accounts::UserAccount;

class AccountEditorTest : public ::testing::Test {
 protected:
  UserAccount& Add(TextView name, int32_t primary = 0) {
    UserAccount& record = store.list.AddBlank();
    record.Name = name;
    record.OldName = name;
    record.Primary = primary;
    return record;
  }
  [[nodiscard]] Text Names() {
    Text names;
    for (const UserAccount& record : store.list) {
      names += record.Name.view();
      names += record.Primary != 0 ? u"*;" : u";";
    }
    return names;
  }

  sim::Machine machine;
  accounts::AccountServices services{machine.platform(), {}};
  accounts::AccountStore store;
  app::InstallConfig config;
};

TEST_F(AccountEditorTest, CancelLeavesTheListAsItWas) {
  UserAccount& anna = Add(u"anna", 1);
  Add(u"bert");
  const Text before = Names();
  for (UserAccount* record : {static_cast<UserAccount*>(nullptr), &anna}) {
    AccountEditor editor(services, store, config, record);
    EXPECT_EQ(Names(), before) << "opening the sheet changed the list";
    editor.ChangeField(AccountField::kName, u"carl");
    (void)editor.SetBox(AccountBox::kPrimary, BoxState::kChecked);
    editor.Discard();
    EXPECT_EQ(ToUtf8(Names()), ToUtf8(before));
  }
}

TEST_F(AccountEditorTest, OkAddsANewRecordAtTheHeadAndMovesPrimary) {
  Add(u"anna", 1);
  AccountEditor editor(services, store, config, nullptr);
  editor.ChangeField(AccountField::kName, u"carl");
  EXPECT_EQ(editor.copy().OldName.str(), u"carl") << "a new record's old name follows its name";
  (void)editor.SetBox(AccountBox::kPrimary, BoxState::kChecked);
  EXPECT_EQ(ToUtf8(Names()), "anna*;") << "Primary takes effect only on OK";
  UserAccount* result = editor.Commit();
  ASSERT_EQ(result, store.list.AccountAt(0));
  EXPECT_EQ(ToUtf8(Names()), "carl*;anna;");
  EXPECT_EQ(result->EditPending, 0);
}

TEST_F(AccountEditorTest, OkOnAnExistingRecordKeepsItsOldName) {
  UserAccount& anna = Add(u"anna");
  AccountEditor editor(services, store, config, &anna);
  editor.ChangeField(AccountField::kName, u"annabel");
  EXPECT_EQ(anna.Name.str(), u"anna") << "the record changed before OK";
  EXPECT_EQ(editor.Commit(), &anna);
  EXPECT_EQ(ToUtf8(anna.Name.str()), "annabel");
  EXPECT_EQ(ToUtf8(anna.OldName.str()), "anna") << "the run renames the account";
  EXPECT_EQ(store.list.count(), 1u);
}

TEST_F(AccountEditorTest, ASecondRecordOfTheSameAccountIsRefused) {
  Add(u"anna");
  AccountEditor editor(services, store, config, nullptr);
  editor.ChangeField(AccountField::kName, u"ANNA");
  const auto refusal = editor.Refusal();
  ASSERT_TRUE(refusal.has_value());
  EXPECT_EQ(refusal->control, IDC_NAME_EDIT);
  EXPECT_EQ(editor.Commit(), nullptr);
  EXPECT_EQ(store.list.count(), 1u);
}

struct OkRow {
  const char16_t* name;
  const char16_t* password;
  const char16_t* confirm;
  bool expected;
};

TEST_F(AccountEditorTest, OkNeedsANameAndEqualPasswords) {
  const OkRow rows[] = {
      {u"anna", u"pw", u"pw", true}, {u"", u"pw", u"pw", false},  {u"anna", u"pw", u"PW", false},
      {u"anna", u"*", u"", true},    {u"an*na", u"", u"", false}, {u"anna.", u"", u"", false},
      {u"anna", u"", u"x", false},
  };
  for (const OkRow& row : rows) {
    AccountEditor editor(services, store, config, nullptr);
    editor.ChangeField(AccountField::kName, row.name);
    editor.ChangeField(AccountField::kPassword, row.password);
    editor.ChangeField(AccountField::kConfirm, row.confirm);
    EXPECT_EQ(editor.Validate().okEnabled, row.expected)
        << ToUtf8(row.name) << " / " << ToUtf8(row.password) << " / " << ToUtf8(row.confirm);
  }
}

TEST_F(AccountEditorTest, KeepingThePasswordKeepsItWhateverWasTyped) {
  UserAccount& anna = Add(u"anna");
  anna.Exists = 1;
  anna.Password = accounts::kKeepPassword;
  AccountEditor editor(services, store, config, &anna);
  (void)editor.SetBox(AccountBox::kKeepPassword, BoxState::kUnchecked);
  editor.ChangeField(AccountField::kPassword, u"typed-1");
  editor.ChangeField(AccountField::kConfirm, u"typed-1");
  const AccountView view = editor.SetBox(AccountBox::kKeepPassword, BoxState::kChecked);
  EXPECT_TRUE(view.keepChecked && !view.passwordsEnabled);
  EXPECT_TRUE(editor.Validate().okEnabled);
  ASSERT_EQ(editor.Commit(), &anna);
  EXPECT_EQ(ToUtf8(anna.Password.view()), "*") << "the run would set the typed password";
  EXPECT_EQ(anna.PasswordGiven, 0);

  // Clearing the box again asks for a new password in empty fields.
  AccountEditor again(services, store, config, &anna);
  (void)again.SetBox(AccountBox::kKeepPassword, BoxState::kUnchecked);
  EXPECT_TRUE(again.copy().Password.empty() && again.confirmation().empty());
  EXPECT_EQ(again.copy().PasswordGiven, 1);
}

TEST_F(AccountEditorTest, FieldsKeepTheirCapacity) {
  AccountEditor editor(services, store, config, nullptr);
  editor.ChangeField(AccountField::kName, Text(30, u'n'));
  editor.ChangeField(AccountField::kDomain, Text(30, u'd'));
  EXPECT_EQ(editor.copy().Name.size(), FieldCapacity(AccountField::kName));
  EXPECT_EQ(editor.copy().Domain.size(), 15u);
}

TEST_F(AccountEditorTest, NeverExpiresAndCantChangeLockMustChange) {
  AccountEditor editor(services, store, config, nullptr);
  (void)editor.SetBox(AccountBox::kNeverExpires, BoxState::kUnchecked);
  AccountView view = editor.SetBox(AccountBox::kMustChange, BoxState::kChecked);
  EXPECT_TRUE(view.mustChange && view.mustChangeEnabled);
  view = editor.SetBox(AccountBox::kNeverExpires, BoxState::kChecked);
  EXPECT_FALSE(view.mustChange || view.mustChangeEnabled);
  view = editor.SetBox(AccountBox::kCantChange, BoxState::kChecked);
  view = editor.SetBox(AccountBox::kNeverExpires, BoxState::kUnchecked);
  EXPECT_FALSE(view.mustChangeEnabled) << "still locked by \"can't change\"";
  view = editor.SetBox(AccountBox::kCantChange, BoxState::kUnchecked);
  EXPECT_TRUE(view.mustChangeEnabled);
  EXPECT_FALSE(view.mustChange) << "unlocking does not check it again";
}

TEST_F(AccountEditorTest, DisablingTheLoggedOnAccountIsAskedOnlyWhenItIsTheMainOne) {
  UserAccount& admin = Add(u"Admin");
  AccountEditor editor(services, store, config, &admin);
  EXPECT_TRUE(editor.DisablingOwnAccount(u"ADMIN")) << "no record is primary";
  EXPECT_FALSE(editor.DisablingOwnAccount(u"other"));
  Add(u"bert", 1);
  EXPECT_FALSE(editor.DisablingOwnAccount(u"admin")) << "another record is primary";
  (void)editor.SetBox(AccountBox::kPrimary, BoxState::kChecked);
  EXPECT_TRUE(editor.DisablingOwnAccount(u"admin"));
}

struct FolderRow {
  size_t folder;
  const char16_t* typed;
  const char16_t* musicAfter;  // where My Music is afterwards
  bool musicIsChild;
};

TEST_F(AccountEditorTest, RetypedFoldersAndTheirChildren) {
  const FolderRow rows[] = {
      // Personal moves, My Music moves along.
      {accounts::kFolderPersonal, u"D:\\Docs", u"D:\\Docs\\My Music", true},
      // My Music typed directly in Personal (other case): a child, as typed.
      {accounts::kFolderMyMusic, u"c:\\DOCS\\Tunes", u"c:\\DOCS\\Tunes", true},
      // Deeper inside Personal is not directly in it.
      {accounts::kFolderMyMusic, u"C:\\Docs\\a\\Tunes", u"C:\\Docs\\a\\Tunes", false},
      // Only the whole folder part counts, not a prefix.
      {accounts::kFolderMyMusic, u"C:\\Docs2\\Tunes", u"C:\\Docs2\\Tunes", false},
      {accounts::kFolderMyMusic, u"Tunes", u"Tunes", false},
  };
  for (const FolderRow& row : rows) {
    UserAccount account;
    account.ShellFolders[accounts::kFolderPersonal] = u"C:\\Docs";
    account.ShellFolders[accounts::kFolderMyMusic] = u"C:\\Docs\\My Music";
    account.ShellFolderChildren[accounts::kFolderPersonal] = 1u << accounts::kFolderMyMusic;
    RetypeShellFolder(account, row.folder, row.typed);
    EXPECT_EQ(ToUtf8(account.ShellFolders[row.folder].str()), ToUtf8(row.typed));
    EXPECT_EQ(ToUtf8(account.ShellFolders[accounts::kFolderMyMusic].str()), ToUtf8(row.musicAfter));
    EXPECT_EQ((account.ShellFolderChildren[accounts::kFolderPersonal] & 1u) != 0, row.musicIsChild)
        << "typed " << ToUtf8(row.typed);
  }
}

TEST_F(AccountEditorTest, StartMenuMovesProgramsAndStartup) {
  UserAccount account;
  account.ShellFolders[accounts::kFolderStartMenu] = u"C:\\P\\Start Menu";
  account.ShellFolders[accounts::kFolderPrograms] = u"C:\\P\\Start Menu\\Programs";
  account.ShellFolders[accounts::kFolderStartup] = u"C:\\P\\Start Menu\\Programs\\Startup";
  account.ShellFolderChildren[accounts::kFolderStartMenu] = 1u << accounts::kFolderPrograms;
  account.ShellFolderChildren[accounts::kFolderPrograms] = 1u << accounts::kFolderStartup;
  RetypeShellFolder(account, accounts::kFolderStartMenu, u"E:\\Menu");
  EXPECT_EQ(ToUtf8(account.ShellFolders[accounts::kFolderStartup].str()),
            "E:\\Menu\\Programs\\Startup");
}

TEST_F(AccountEditorTest, UnformattedDriveBalloons) {
  machine.files().AddVolume(u"C:");
  machine.files().AddUnformattedVolume(u"E:");
  AccountEditor editor(services, store, config, nullptr);
  editor.ChangeField(AccountField::kHome, u"C:\\Home");
  EXPECT_FALSE(editor.DriveBalloon(AccountField::kHome).has_value());
  editor.ChangeField(AccountField::kProfile, u"E:\\Profiles\\anna");
  const auto balloon = editor.DriveBalloon(AccountField::kProfile);
  ASSERT_TRUE(balloon.has_value());
  EXPECT_EQ(ToUtf8(balloon->argument), "E:");
  const FolderChange change = editor.SetFolderPath(accounts::kFolderDesktop, u"%ThisProfile%\\D");
  ASSERT_TRUE(change.balloon.has_value());
  EXPECT_EQ(ToUtf8(change.balloon->argument), "E:\\Profiles\\anna\\D");
  EXPECT_EQ(editor.SetFolderPath(accounts::kFolderDesktop, u"").balloon->title,
            static_cast<uint32_t>(IDS_EMPTY_PATH_TITLE));
}

TEST_F(AccountEditorTest, VariableEditsWaitForTheDialogsOk) {
  AccountEditor editor(services, store, config, nullptr);
  VariableDraft draft = editor.BeginVariable(std::nullopt);
  EXPECT_FALSE(draft.okEnabled());
  draft.name = Text(200, u'n');
  draft.value = u"v";
  EXPECT_TRUE(editor.copy().Environment.empty()) << "a draft reached the list";
  ASSERT_TRUE(editor.ApplyVariable(draft));
  ASSERT_EQ(editor.copy().Environment.size(), 1u);
  EXPECT_EQ(editor.copy().Environment.front().name.size(), 127u);
  VariableDraft change = editor.BeginVariable(size_t{0});
  change.value = u"w";
  ASSERT_TRUE(editor.ApplyVariable(change));
  EXPECT_EQ(ToUtf8(editor.copy().Environment.front().value.str()), "w");
  editor.RemoveVariableAt(0);
  EXPECT_TRUE(editor.copy().Environment.empty());
}

}  // namespace
}  // namespace tarn::wizard
