#include "run/account_plan.h"

#include <gtest/gtest.h>

#include <string>

#include "accounts/users_section.h"
#include "unit/accounts/account_test_machine.h"

namespace tarn::run {
namespace {

constexpr char16_t kFile[] = u"C:\\tarn\\install.ini";

// A users section with one account to create, one to change, the built-in
// Administrator renamed and one account deleted, on a machine that has
// "ben" and "carl".
struct PlanFixture {
  PlanFixture() {
    for (const char16_t* name : {u"ben", u"carl"}) {
      platform::UserInfo info;
      info.name = name;
      const Text sid = m.AddAccount(info);
      m.AddProfileListEntry(sid, Text(u"C:\\Users\\") + name, u"", std::nullopt);
    }
    m.WriteIni(kFile,
               "[users]\n"
               "User.0=anna\nPassword.0=Pw-anna-1\nGroup.0=1\nComment.0=Sales\n"
               "Personal.0=D:\\Docs\\%ThisUser%\nFavorites.0=%Undefined%\\Fav\n"
               "User.1=ben\nPassword.1=*\nGroup.1=2\n"
               "User.2=Boss\nOldName.2=Administrator\nPassword.2=Pw-boss-2\n"
               "User.3=carl\ndeleted.3=1\n"
               "[environment.0]\nTEAM=blue\n");
    accounts::AccountStore store;
    EXPECT_EQ(accounts::ReadUsersSection(m.services(), kFile, &store), 4u);
    plan = PlanAccounts(m.services(), store.list);
  }
  accounts::testing::AccountMachine m;
  std::vector<PlannedAccount> plan;
};

TEST(AccountPlanTest, TextShowsEachAccountsStepsAndNoPassword) {
  PlanFixture f;
  const std::string text = AccountPlanText(f.plan);
  // Records come last-read first, as the worker meets them.
  const char* expected[] = {
      "accounts 4\n"
      "delete\tcarl\n"
      "  profile\tremoved after the account\n"
      "change\tBoss\tAdministrator -> Boss\n"
      "  password\tset\n",
      "change\tben\n"
      "  password\tkept\n"
      "  flags\t00000201\tcomment\t\tfull name\t\n"
      "  group\tunchanged\n"
      "  deny-logon\tunchanged\n"
      "  profile\texisting\tC:\\Users\\ben\n",
      "create\tanna\n"
      "  password\tset\n"
      "  flags\t00010221\tcomment\tSales\tfull name\t\n"
      "  group\t+S-1-5-32-544 Administrators\t-S-1-5-32-545 Users\n"
      "  deny-logon\tunchanged\n"
      "  profile\tnew\tC:\\Users\\anna\tfrom\tC:\\Users\\Default\n"
      "  home\tC:\\Users\\anna\n",
      "  folder\tFavorites\t(refused)\n",
      "  folder\tPersonal\tD:\\Docs\\anna\n",
      "  variable\tTEAM\tblue\n"};
  for (const char* part : expected) EXPECT_NE(text.find(part), std::string::npos) << part << text;
  for (const char* secret : {"Pw-anna-1", "Pw-boss-2"}) {
    EXPECT_EQ(text.find(secret), std::string::npos) << text;
  }
}

TEST(AccountPlanTest, JsonCarriesTheSameFacts) {
  PlanFixture f;
  const std::string json = AccountPlanJson(f.plan);
  const char* expected[] = {
      R"([{"action":"delete","name":"carl","oldName":"carl","renamed":false},)",
      R"({"action":"change","name":"Boss","oldName":"Administrator","renamed":true,"password":true,)",
      R"("group":{"privilege":2,"join":"S-1-5-32-544","joinName":"Administrators",)",
      R"("leave":"S-1-5-32-545","leaveName":"Users"},"dropsDenyLogon":false,)",
      R"("profile":{"new":true,"folder":"C:\\Users\\anna","source":"C:\\Users\\Default"},)",
      R"({"name":"Favorites","asked":"%Undefined%\\Fav","path":null})",
      R"({"name":"Personal","asked":"D:\\Docs\\%ThisUser%","path":"D:\\Docs\\anna"})",
      R"("variables":[{"name":"TEAM","value":"blue"}]}])"};
  for (const char* part : expected) EXPECT_NE(json.find(part), std::string::npos) << part << json;
  for (const char* secret : {"Pw-anna-1", "Pw-boss-2"}) {
    EXPECT_EQ(json.find(secret), std::string::npos) << json;
  }
}

}  // namespace
}  // namespace tarn::run
