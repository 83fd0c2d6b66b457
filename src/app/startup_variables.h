// The environment variables start-up sets for configuration files and the
// commands they start (TARN, CURDIR, SRCPATH, SRCDRIVE, INIDIR), and the rule
// that makes the configuration file's path absolute.
#pragma once

#include <optional>

#include "base/text.h"
#include "platform/platform.h"

namespace tarn::app {

// The folder of the program file, without a trailing backslash.
[[nodiscard]] Text ProgramFolder(platform::SystemInfo& system);

// Sets TARN (program folder), CURDIR (current directory) and, when the key
// HKLM\SOFTWARE\Microsoft\Windows NT\CurrentVersion opens, SRCPATH (its
// SourcePath, or the current directory when that value cannot be read) and
// SRCDRIVE (the root of SRCPATH without its trailing backslash). Failures
// are ignored.
void SetStartupVariables(const platform::Platform& platform);

// A relative `path` is taken relative to `programFolder` (not the current
// directory); the result, like an absolute path, is canonicalised.
[[nodiscard]] Text MakeAbsoluteToProgram(TextView path, TextView programFolder);

// The folder a command runs in: `programFolder` when `workDir` is none or
// empty, otherwise `workDir` expanded whole through `environment` and made
// absolute to `programFolder`; canonicalised either way.
[[nodiscard]] Text WorkingFolderFor(platform::Environment& environment, TextView programFolder,
                                    const std::optional<Text>& workDir);

}  // namespace tarn::app
