// Keeping an account's shell folders nested while one of them is retyped:
// a folder that lies directly in its parent follows the parent when the
// parent moves, and a retyped folder is a child exactly when it lies
// directly in its parent.
#pragma once

#include <cstddef>

#include "accounts/user_account.h"
#include "base/text.h"

namespace tarn::wizard {

// True when `parent` is the whole folder part of `path` (everything before
// its last backslash), ignoring case; false for a path without folder part.
[[nodiscard]] bool LiesDirectlyIn(TextView path, TextView parent);

// Folder `index` was typed as `text`: the path is stored as typed, its child
// bit in its parent's mask follows LiesDirectlyIn, and its own children (two
// levels) move along under its new path. A child whose moved path would not
// fit stays where it is and stops being a child.
void RetypeShellFolder(accounts::UserAccount& account, size_t index, TextView text);

}  // namespace tarn::wizard
