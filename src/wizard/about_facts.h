// What the About dialog tells about the program file it runs from: its
// product version and when it was built.
#pragma once

#include <cstdint>

#include "base/text.h"
#include "platform/platform.h"

namespace tarn::wizard {

// The build date field holds at most this many units with its terminator.
inline constexpr uint32_t kBuildDateCapacity = 64;

struct AboutFacts {
  // The program file's product version; empty when it has none.
  Text version;
  // The time stamp of the program file's header in the thread locale's long
  // date and time, at most kBuildDateCapacity - 1 units; empty when the file
  // cannot be read as a program.
  Text buildDate;
};

// Reads both facts from the running program's file.
[[nodiscard]] AboutFacts ReadAboutFacts(const platform::Platform& platform);

}  // namespace tarn::wizard
