#include "wizard/account_list_model.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/install_config.h"
#include "resource.h"
#include "unit/accounts/account_test_machine.h"

namespace tarn::wizard {
namespace {

using accounts::UserAccount;

constexpr char16_t kOther[] = u"C:\\setup\\other.ini";

struct RecordSpec {
  const char16_t* name;
  int primary = 0;
  int settings = 0;
  int exists = 0;
  uint32_t status = 0;
  int deleted = 0;
};

class AccountList : public ::testing::Test {
 protected:
  // Records in list order, the first at the head.
  void Fill(std::initializer_list<RecordSpec> specs) {
    std::vector<RecordSpec> all(specs);
    for (auto it = all.rbegin(); it != all.rend(); ++it) {
      UserAccount& record = store.list.AddBlank();
      record.Name = it->name;
      record.OldName = it->name;
      record.Primary = it->primary;
      record.SettingsAccount = it->settings;
      record.Exists = it->exists;
      record.Status = it->status;
      record.Deleted = it->deleted;
    }
    model.Rebuild();
  }
  std::string Shown() const {
    std::string shown;
    for (const AccountRow& row : model.rows()) {
      shown += ToUtf8(row.name) + ":" + std::to_string(row.image) + " ";
    }
    return shown;
  }
  // Answers every question with `answer` and notes the text numbers asked.
  ConfirmLockOut Answer(bool answer) {
    return [this, answer](const LockOutQuestion& question) {
      asked.push_back(question.text);
      return answer;
    };
  }

  accounts::testing::AccountMachine m;
  accounts::AccountServices services = m.services();
  accounts::AccountStore store;
  app::InstallConfig config;
  AccountListModel model{services, store, config, u"Me"};
  std::vector<uint32_t> asked;
};

TEST(AccountListImages, ByState) {
  struct Row {
    int exists;
    uint32_t status;
    int deleted;
    int expected;
  } rows[] = {
      {0, accounts::kDefaultStatus, 0, kImageNewAccount},
      {0, accounts::kUfAccountDisable, 0, kImageNewDisabled},
      {1, 0, 0, kImageExistingAccount},
      {1, accounts::kUfAccountDisable, 0, kImageExistingDisabled},
      {1, accounts::kUfAccountDisable, 1, kImageDeletedAccount},
  };
  for (const Row& row : rows) {
    UserAccount account;
    account.Exists = row.exists;
    account.Status = row.status;
    account.Deleted = row.deleted;
    EXPECT_EQ(ImageOf(account), row.expected)
        << "exists " << row.exists << " status " << row.status << " deleted " << row.deleted;
  }
}

TEST(AccountListLayout, ButtonsOnTheBottomEdge) {
  const AccountPageLayout layout = LayOutAccountPage({500, 300}, {75, 23}, 96);
  EXPECT_EQ(layout.create.x, 425);
  EXPECT_EQ(layout.remove.x, 342);
  EXPECT_EQ(layout.properties.x, 259);
  EXPECT_EQ(layout.load.x, 0);
  EXPECT_EQ(layout.load.y, 277);
  EXPECT_EQ(layout.list.width, 500);
  EXPECT_EQ(layout.list.height, 267);
  // At 200 % the gaps between the buttons and above them are doubled.
  const AccountPageLayout scaled = LayOutAccountPage({1000, 600}, {150, 46}, 192);
  EXPECT_EQ(scaled.create.x - (scaled.remove.x + 150), 16);
  EXPECT_EQ(scaled.load.y - (scaled.list.y + scaled.list.height), 20);
}

TEST_F(AccountList, ShowsTheSettingsAccountOnlyWhilePrimary) {
  Fill({{u"anna", 0, 0, 0, accounts::kUfAccountDisable}, {u"Me", 0, 1}, {u"bert", 0, 0, 1}});
  EXPECT_EQ(Shown(), "anna:1 bert:2 ");
  store.list.SetPrimary(*store.list.FindSettingsAccount());
  model.Rebuild();
  EXPECT_EQ(Shown(), "anna:1 Me:0 bert:2 ");
}

TEST_F(AccountList, PrimaryExistsFollowsTheComputer) {
  platform::UserInfo bert;
  bert.name = u"bert";
  m.AddAccount(bert);
  Fill({{u"bert", 1}, {u"ghost", 0, 0, 1}});
  UserAccount* primary = store.list.FindByName(u"bert");
  EXPECT_EQ(primary->Exists, 1);
  EXPECT_EQ(primary->OldName.str(), u"bert");
  // Only the primary account is compared, and a vanished one only when it
  // is the settings account.
  EXPECT_EQ(store.list.FindByName(u"ghost")->Exists, 1);
  store.list.SetPrimary(*store.list.FindByName(u"ghost"));
  model.Rebuild();
  EXPECT_EQ(store.list.FindByName(u"ghost")->Exists, 1);
  store.list.FindByName(u"ghost")->SettingsAccount = 1;
  model.Rebuild();
  EXPECT_EQ(store.list.FindByName(u"ghost")->Exists, 0);
  EXPECT_TRUE(store.list.FindByName(u"ghost")->OldName.empty());
}

TEST_F(AccountList, MenuStates) {
  Fill({{u"anna", 0, 0, 0, 0, 1}, {u"bert", 1}, {u"carl"}});
  struct Row {
    std::optional<size_t> row, mark;
    bool anySelected;
    const char* expected;  // remove, delete, checked, properties
  } rows[] = {
      {0, std::nullopt, false, "1111"}, {2, 0, true, "1101"},
      {1, std::nullopt, false, "1001"},  // the primary can't be marked
      {std::nullopt, 0, true, "1110"},  {std::nullopt, 2, true, "1100"},
      {std::nullopt, 0, false, "0000"},
  };
  for (const Row& row : rows) {
    const AccountMenu menu = model.MenuFor(row.row, row.mark, row.anySelected);
    std::string actual;
    for (bool b :
         {menu.removeEnabled, menu.deleteEnabled, menu.deleteChecked, menu.propertiesEnabled}) {
      actual += b ? '1' : '0';
    }
    EXPECT_EQ(actual, row.expected) << "row " << row.row.value_or(99) << " mark "
                                    << row.mark.value_or(99) << " selected " << row.anySelected;
  }
  EXPECT_TRUE(AccountListModel::ButtonsFor(true).remove);
  EXPECT_FALSE(AccountListModel::ButtonsFor(false).properties);
}

TEST_F(AccountList, RemoveTakesSelectedRowsButKeepsThePrimary) {
  Fill({{u"anna"}, {u"bert", 1}, {u"carl"}, {u"dora"}});
  const std::vector<size_t> selected = {3, 0, 1};
  EXPECT_EQ(model.Remove(selected), 2u);
  EXPECT_EQ(Shown(), "bert:0 carl:0 ");
  EXPECT_EQ(store.list.count(), 2u);
  EXPECT_EQ(store.list.FindByName(u"dora"), nullptr);
}

TEST_F(AccountList, DeleteMarks) {
  Fill({{u"anna"}, {u"Me"}, {u"bert", 1}});
  const std::vector<size_t> all = {0, 1, 2};
  // With an installing account nobody is asked; it is not marked itself.
  model.ToggleDeleted(all, false, Answer(false));
  EXPECT_EQ(Shown(), "anna:4 Me:4 bert:0 ");
  EXPECT_TRUE(asked.empty());
  model.ToggleDeleted(all, true, Answer(false));
  EXPECT_EQ(Shown(), "anna:0 Me:0 bert:0 ");
  // Without one, the logged-on user's own account is asked about.
  store.list.FindByName(u"bert")->Primary = 0;
  model.ToggleDeleted(all, false, Answer(false));
  EXPECT_EQ(Shown(), "anna:4 Me:0 bert:4 ");
  EXPECT_EQ(asked, std::vector<uint32_t>{IDS_DELETE_OWN_ACCOUNT});
  model.ToggleDeleted(std::vector<size_t>{1}, false, Answer(true));
  EXPECT_EQ(Shown(), "anna:4 Me:4 bert:4 ");
}

TEST_F(AccountList, WarningsAtStartClearWhatIsDeclined) {
  Fill({{u"me", 1, 0, 1, accounts::kUfAccountDisable, 1}});
  model.WarnAtStart(Answer(false));
  EXPECT_EQ(asked, (std::vector<uint32_t>{IDS_DISABLE_OWN_ACCOUNT, IDS_DELETE_OWN_ACCOUNT}));
  UserAccount& me = *store.list.FindByName(u"Me");
  EXPECT_EQ(me.Status & accounts::kUfAccountDisable, 0u);
  EXPECT_EQ(me.Deleted, 0);
  // Another account installs: the logged-on user's record is left alone.
  asked.clear();
  me.Deleted = 1;
  UserAccount& other = store.list.AddBlank();
  other.Name = u"other";
  store.list.SetPrimary(other);
  model.WarnAtStart(Answer(false));
  EXPECT_TRUE(asked.empty());
  EXPECT_EQ(me.Deleted, 1);
}

TEST_F(AccountList, AfterEditDropsTheRowsTheSettingsAccountLeaves) {
  Fill({{u"anna"}, {u"Me", 1, 1}});
  UserAccount& anna = *store.list.FindByName(u"anna");
  store.list.SetPrimary(anna);
  anna.Comment = u"the new one";
  model.AfterEdit(0, false, Answer(true));
  EXPECT_EQ(Shown(), "anna:0 ");
  EXPECT_EQ(model.rows()[0].comment, u"the new one");
  EXPECT_TRUE(asked.empty());
}

TEST_F(AccountList, AfterEditAsksAboutTheOwnAccount) {
  Fill({{u"Me", 0, 0, 1}, {u"anna"}});
  store.list.FindByName(u"Me")->Status = accounts::kUfAccountDisable;
  store.list.FindByName(u"anna")->Deleted = 1;
  model.AfterEdit(1, false, Answer(false));
  EXPECT_EQ(asked, std::vector<uint32_t>{IDS_DISABLE_OWN_ACCOUNT});
  EXPECT_EQ(Shown(), "Me:2 anna:4 ");
}

TEST_F(AccountList, NewRecordNamingAnExistingAccount) {
  platform::UserInfo bert;
  bert.name = u"bert";
  bert.comment = u"from the computer";
  bert.fullName = u"Bert Berg";
  m.AddAccount(bert);
  UserAccount& typed = store.list.AddBlank();
  typed.Name = u"bert";
  typed.FullName = u"Typed Name";
  std::optional<ExistingAccountMatch> match = model.AfterCreate(typed);
  ASSERT_TRUE(match.has_value());
  EXPECT_EQ(match->name, u"bert");
  AccountListModel::MergeExisting(typed, *match);
  EXPECT_EQ(typed.FullName.str(), u"Typed Name");
  EXPECT_EQ(typed.Comment.str(), u"from the computer");
  EXPECT_EQ(typed.Password.str(), u"*");
  EXPECT_EQ(typed.Exists, 1);
  EXPECT_FALSE(model.AfterCreate(typed).has_value()) << "asked twice";

  UserAccount& unknown = store.list.AddBlank();
  unknown.Name = u"nobody";
  EXPECT_FALSE(model.AfterCreate(unknown).has_value());
  EXPECT_EQ(unknown.Exists, 0);
}

TEST_F(AccountList, LoadReplacesTheListOnlyWhenTheFileReads) {
  Fill({{u"anna"}, {u"Me", 1, 1}});
  EXPECT_EQ(model.LoadUsers(kOther, u"by TARN"), UsersLoadOutcome::kUnreadable);
  EXPECT_EQ(Shown(), "anna:0 Me:0 ");
  EXPECT_EQ(store.list.count(), 2u);

  m.WriteIni(kOther, "[users]\nComment=default text\nUser.0=x1\nUser.1=x2\nprimary=1\n");
  EXPECT_EQ(model.LoadUsers(kOther, u"by TARN"), UsersLoadOutcome::kLoaded);
  EXPECT_EQ(config.UsersPath.str(), kOther);
  // x2 was primary: it becomes the settings account and leaves the list.
  EXPECT_EQ(Shown(), "x1:0 ");
  UserAccount* settings = store.list.FindSettingsAccount();
  ASSERT_NE(settings, nullptr);
  EXPECT_EQ(settings->Name.str(), u"x2");
  EXPECT_EQ(settings->Primary, 0);
  EXPECT_EQ(store.defaults.Comment->str(), u"default text");

  m.WriteIni(kOther, "[other]\nkey=1\n");
  EXPECT_EQ(model.LoadUsers(kOther, u"by TARN"), UsersLoadOutcome::kLoaded);
  ASSERT_EQ(store.list.count(), 1u);
  // The defaults of the file before do not carry over.
  EXPECT_EQ(store.list.FindSettingsAccount()->Comment.str(), u"by TARN");
  EXPECT_EQ(store.list.FindSettingsAccount()->Status, accounts::kDefaultStatus);
}

}  // namespace
}  // namespace tarn::wizard
