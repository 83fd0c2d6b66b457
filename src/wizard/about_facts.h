// What the About dialog tells about the program: its version and when it was
// built. The build date is the time of the commit the program was built
// from, compiled in: the same sources give the same program, so the date
// cannot be the moment of the build.
#pragma once

#include <cstdint>

#include "app/program_version.h"
#include "base/text.h"
#include "platform/platform.h"

namespace tarn::wizard {

// The build date field holds at most this many units with its terminator.
inline constexpr uint32_t kBuildDateCapacity = 64;

struct AboutFacts {
  // The program's version.
  Text version;
  // The commit's time in the thread locale's long date and time, local
  // time, at most kBuildDateCapacity - 1 units; empty when the build knew
  // no commit time.
  Text buildDate;
};

// The facts of `build`, its date written by `platform`'s system.
[[nodiscard]] AboutFacts AboutFactsOf(const platform::Platform& platform,
                                      const app::ProgramBuild& build);

}  // namespace tarn::wizard
