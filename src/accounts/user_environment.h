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
// record's placeholder form, without a test for duplicates, and marks the
// list as read from the hive (EnvironmentLoaded) when the key exists.
void ReadHiveVariables(platform::Registry& registry, platform::RegKey hiveRoot,
                       UserAccount& account);

// The text `value` (in the record's placeholder form) is stored with in the
// account's hive, in one left-to-right pass that never looks at inserted text
// again: the placeholders become the system's per-user variables, and the
// account's profile and home folders and its name become them too where they
// stand as whole paths or path components. Other variable references are left
// for the user's own logon to expand. Once a replacement would take the text
// beyond `capacity`, the rest is kept as it is.
[[nodiscard]] Text HiveVariableText(TextView value, const UserAccount& account,
                                    size_t capacity = kVariableCapacity - 1);

// Brings `hiveRoot`'s key "Environment" in line with the record's variables:
// a value the record holds as it was read from the hive is left untouched,
// names an existing account's record no longer has are deleted, and only
// added or edited values are written. False when the key can't be created or
// opened, or a value could not be written or deleted (the others still are).
[[nodiscard]] bool WriteUserEnvironment(platform::Registry& registry, platform::RegKey hiveRoot,
                                        const UserAccount& account);

// Sets each of the record's variables in the process environment, its value
// expanded (255 characters), so that commands started for the account see
// them. From the head: of two entries of one name the later one stays set.
// Variables read from the account's own hive are left out. False when one
// could not be set (the others still are).
[[nodiscard]] bool SetProcessVariables(platform::Environment& environment,
                                       const UserAccount& account);

// Reads a whole profile section, doubling the buffer (from 512 characters)
// while the answer fills it. Each element is one line.
[[nodiscard]] std::vector<Text> ReadWholeSection(platform::ProfileFiles& profiles, TextView file,
                                                 TextView section);

}  // namespace tarn::accounts
