// The rows of the account chooser: the computer's local accounts as the
// system lists them.
#pragma once

#include <vector>

#include "base/text.h"
#include "platform/accounts.h"

namespace tarn::wizard {

// Image list indexes of the chooser's rows.
inline constexpr int kEnabledAccountImage = 2;
inline constexpr int kDisabledAccountImage = 3;

// What stands in the description column when the account has none.
inline constexpr char16_t kNoComment[] = u"?";

struct LocalAccountRow {
  Text name;
  int image = kEnabledAccountImage;
  Text comment;
};

// One row per normal local account, in the system's order. A failing
// enumeration gives the rows gathered before the failure, possibly none.
[[nodiscard]] std::vector<LocalAccountRow> ListLocalAccounts(platform::Accounts& system);

}  // namespace tarn::wizard
