// Which program file a command starts when it names its program without a
// path. The system would look beside the running program and in the current
// directory first, folders that are often a download folder, a stick or a
// share; an elevated run looks only where administrators decide what lies.
#pragma once

#include <optional>

#include "base/result.h"
#include "base/text.h"
#include "platform/file_system.h"
#include "platform/system_info.h"

namespace tarn::run {

// ERROR_FILE_NOT_FOUND: no folder searched holds the program.
inline constexpr WinError kErrorProgramNotFound = 2;

// The program file to start `commandLine` with. A program named with a path
// (a drive, "\" or "/") is left to the system as before: the answer is
// empty. A bare name, with ".exe" added when it has no extension, is looked
// for as a file in the system folder, the Windows folder, the system
// folder's Wbem and then each absolute folder of `path` (the PATH value, its
// quotes dropped) in turn; relative entries, which would reach the current
// directory, are passed over. kErrorProgramNotFound when none holds it.
[[nodiscard]] Result<Text> FindCommandProgram(platform::FileSystem& files,
                                              platform::SystemInfo& system,
                                              const std::optional<Text>& path,
                                              TextView commandLine);

}  // namespace tarn::run
