// An account's private environment variables: the list operations, reading
// them from the account's section of the users file and from its hive.
#pragma once

#include "accounts/user_account.h"
#include "base/text.h"
#include "platform/environment.h"
#include "platform/profile_files.h"
#include "platform/registry.h"

namespace tarn::accounts {

// Capacity of an expanded private variable (characters).
inline constexpr size_t kVariableCapacity = 255;

// Puts a new variable at the head of the record's list and returns it; the
// name and value are cut to their capacities.
UserVariable& AddVariable(UserAccount& account, TextView name, TextView value);
// Unlinks and releases `variable` (a no-op when it is not in the list).
void RemoveVariable(UserAccount& account, const UserVariable* variable);
void ClearVariables(UserAccount& account);
// True when a variable of that name (ignoring case) is in the list.
[[nodiscard]] bool HasVariable(const UserAccount& account, TextView name);

// Makes the target's list hold the source's variables: target entries are
// overwritten in list order, extra source entries are added at the target's
// head, extra target entries are removed.
void SyncVariables(UserAccount& target, const UserAccount& source);

// Reads the section "environment.<Index>" of `usersFile`: each line
// name=value, the value expanded (255 characters), is added unless a
// variable of that name is already present. A line without "=" is ignored.
void ReadVariableSection(platform::ProfileFiles& profiles, platform::Environment& environment,
                         TextView usersFile, UserAccount& account);

// Adds every value of `hiveRoot`'s key "environment" as a variable, in the
// record's placeholder form, without a test for duplicates.
void ReadHiveVariables(platform::Registry& registry, platform::RegKey hiveRoot,
                       UserAccount& account);

// Reads a whole profile section, doubling the buffer (from 512 characters)
// while the answer fills it. Each element is one line.
[[nodiscard]] std::vector<Text> ReadWholeSection(platform::ProfileFiles& profiles, TextView file,
                                                 TextView section);

}  // namespace tarn::accounts
