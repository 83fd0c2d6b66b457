#include "platform/sim/machine.h"

namespace tarn::sim {

Machine::Machine() = default;
Machine::~Machine() = default;

platform::Platform Machine::platform() { return {}; }

}  // namespace tarn::sim
