// Which build of the program this is: the project's one version and the time
// of the commit the program was built from, both fixed when it is built.
#pragma once

#include <cstdint>
#include <optional>

#include "base/text.h"

namespace tarn::app {

struct ProgramBuild {
  // "major.minor.patch", as the project declares it.
  Text version;
  // The commit's time in seconds since 1970 (UTC); nullopt when the build
  // knew none.
  std::optional<int64_t> sourceDate;
};

// The build this program is.
[[nodiscard]] ProgramBuild ThisProgramBuild();

// "TARN 1.0.0": the line "/version" prints and the help begins with.
[[nodiscard]] Text VersionLine(const ProgramBuild& build);

}  // namespace tarn::app
