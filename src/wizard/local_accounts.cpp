#include "wizard/local_accounts.h"

#include "accounts/user_account.h"

namespace tarn::wizard {

std::vector<LocalAccountRow> ListLocalAccounts(platform::Accounts& system) {
  std::vector<platform::UserInfo> users;
  // The rows gathered before a failure still help the user pick.
  (void)system.EnumerateUsers(u"", users);
  std::vector<LocalAccountRow> rows;
  rows.reserve(users.size());
  for (platform::UserInfo& user : users) {
    const bool disabled = (user.flags & accounts::kUfAccountDisable) != 0;
    rows.push_back({std::move(user.name), disabled ? kDisabledAccountImage : kEnabledAccountImage,
                    user.comment.empty() ? Text(kNoComment) : std::move(user.comment)});
  }
  return rows;
}

}  // namespace tarn::wizard
