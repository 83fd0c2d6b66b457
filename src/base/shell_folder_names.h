// The names of the shell folders the program manages. The order is fixed:
// a folder's index is its bit in the shell folder masks, and the names are
// registry value names, configuration keys and variable names at once.
#pragma once

#include <array>
#include <cstddef>
#include <optional>

#include "base/text.h"

namespace tarn {

inline constexpr size_t kShellFolderCount = 22;

// The 22 names, "My Music" (index 0) to "Templates" (index 21).
[[nodiscard]] const std::array<TextView, kShellFolderCount>& ShellFolderNames();

// The index of the folder called `name`, compared ignoring case; nullopt for
// any other name (blanks are significant).
[[nodiscard]] std::optional<size_t> FindShellFolder(TextView name);

}  // namespace tarn
