// Walks arbitrary bytes as a dialog template: no read outside the bytes, and
// never more items than the header announces.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "ui/dialog_template.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto items = tarn::ui::ReadDialogTemplateItems(std::span<const uint8_t>(data, size));
  if (items.identifiers.size() > 0xFFFF) std::abort();
  // Each item needs at least 24 bytes, so a small template holds few items.
  if (items.identifiers.size() * 24 > size) std::abort();
  return 0;
}
