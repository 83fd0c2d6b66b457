// Hostile .reg files: any bytes are decoded and imported into a fresh
// simulated registry without crashing, hanging or leaking handles.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "platform/reg_file.h"
#include "platform/sim/sim_file_system.h"
#include "platform/sim/sim_registry.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  tarn::sim::SimFileSystem files;
  tarn::sim::SimRegistry registry(files);
  const std::span<const uint8_t> bytes(data, size);
  (void)tarn::platform::DecodeRegFileText(bytes);
  (void)tarn::platform::ImportRegFile(registry, bytes);
  if (registry.OpenHandleCount() != 0) std::abort();
  return 0;
}
