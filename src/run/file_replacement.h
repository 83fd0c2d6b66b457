// Files the program replaces whole (the result file, the resume journal):
// the new text goes to a temporary file of a name nobody prepared, which
// then takes the file's place in one move.
#pragma once

#include <cstdint>
#include <span>

#include "base/result.h"
#include "base/text.h"
#include "platform/file_system.h"

namespace tarn::run {

// Writes `bytes` with write-through to a new temporary file beside `path`
// ("<path>.<stamp>-<n>.tmp", created new, never one that was there), then
// moves it over `path` (MoveFileEx, replacing). A temporary file that could
// not be written or moved is removed. `stamp` makes the name unlikely to be
// taken (the clock's milliseconds); a taken name is passed over.
[[nodiscard]] WinError ReplaceFileWhole(platform::FileSystem& files, TextView path,
                                        std::span<const uint8_t> bytes, uint64_t stamp);

}  // namespace tarn::run
