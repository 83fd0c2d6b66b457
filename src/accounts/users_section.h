// The users section of the users file: the unnumbered default keys, the
// primary selector and one family of numbered keys per account.
#pragma once

#include <cstddef>
#include <cstdint>

#include "accounts/account_services.h"
#include "accounts/user_account.h"
#include "base/text.h"

namespace tarn::accounts {

inline constexpr char16_t kUsersSection[] = u"users";
// At most this many accounts are counted.
inline constexpr int32_t kMaxAccounts = 65535;
// Texts of the section are read into buffers of this many characters.
inline constexpr uint32_t kUsersTextCapacity = 512;

// Reads the section of `file` into `store`: the defaults first, then one new
// record per "User.<n>" up to the first gap, each put at the head (so account
// 0 ends up last). Returns the number of accounts read; 0 without a store.
size_t ReadUsersSection(const AccountServices& services, TextView file, AccountStore* store);

// Restores the record defaults (not the folder defaults) and removes every
// record.
void ResetUsers(AccountStore& store);

}  // namespace tarn::accounts
