// Reads arbitrary bytes as a chocolatey package list: see package_import_oracle.h.
#include "package_import_oracle.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  tarn::import::fuzzing::CheckImport(tarn::import::Manager::kChocolatey, data, size);
  return 0;
}
