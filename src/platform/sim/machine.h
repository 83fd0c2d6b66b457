// A simulated Windows machine for native tests and the Linux build.
#pragma once

#include "platform/platform.h"

namespace tarn::sim {

class Machine {
 public:
  Machine();
  ~Machine();
  Machine(const Machine&) = delete;
  Machine& operator=(const Machine&) = delete;

  // The services of this machine, as the core sees them.
  [[nodiscard]] platform::Platform platform();
};

}  // namespace tarn::sim
