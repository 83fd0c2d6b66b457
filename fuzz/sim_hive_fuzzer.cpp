// Hostile hive files: any bytes either parse into a key tree that writes
// back to exactly the same bytes, or are refused; nothing crashes or recurses
// without bound.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "platform/sim/sim_registry.h"
#include "platform/sim/sim_registry_key.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const uint8_t> bytes(data, size);
  auto key = tarn::sim::ParseHive(bytes, u"Fuzz");
  if (!key) return 0;
  // The root's own name is replaced on load; write it back under the name the
  // file carried to compare the rest byte for byte.
  auto again = tarn::sim::ParseHive(tarn::sim::SerializeHive(*key), u"Fuzz");
  if (!again || tarn::sim::SerializeHive(*again) != tarn::sim::SerializeHive(*key)) std::abort();
  return 0;
}
