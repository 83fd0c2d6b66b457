// Writing the start of a path as the environment variable that names it, in
// the manner of PathUnExpandEnvStringsW, portably over any environment.
#pragma once

#include <cstdint>
#include <optional>

#include "base/text.h"
#include "platform/environment.h"

namespace tarn::platform {

// `path` with its longest leading folder that is the value of one of
// ALLUSERSPROFILE, APPDATA, USERPROFILE, ProgramFiles, SystemRoot or
// SystemDrive written as "%NAME%". The folder must end at a backslash or at
// the end of the path. nullopt when no variable matches or the result does
// not fit `capacity` units (terminator included).
[[nodiscard]] std::optional<Text> UnExpandPath(Environment& environment, TextView path,
                                               uint32_t capacity);

}  // namespace tarn::platform
