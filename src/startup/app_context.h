// The program-wide objects of one run, handed down explicitly.
#pragma once

#include "platform/platform.h"

namespace tarn {

struct AppContext {
  platform::Platform platform;
};

}  // namespace tarn
