// The names Windows accepts for a local account, a computer and a
// workgroup, as the settings page and the checker of configurations both
// judge them.
#pragma once

#include "base/text.h"

namespace tarn::app {

// Why a name is not accepted.
enum class NameCheck {
  kValid,
  kEmpty,          // Next stays off without a balloon
  kBadCharacters,  // Next stays off and the field's balloon shows
};

// A user name: not empty, no control character, none of /,\[]:|<>+=;?*",
// not ending with a period and not made only of blanks and periods.
[[nodiscard]] NameCheck CheckUserName(TextView name);
// A computer or workgroup name: not empty, only letters, digits and
// !@#$%^&')(.-_{}~ (no blank).
[[nodiscard]] NameCheck CheckComputerName(TextView name);

// The longest computer or workgroup name (a NetBIOS name) and account name.
inline constexpr size_t kComputerNameMaxLength = 15;
inline constexpr size_t kUserNameMaxLength = 20;

}  // namespace tarn::app
