// Hostile firmware tables for the SMBIOS reader: headers claiming any
// length, structures whose length runs past the bytes or below their own
// header, string sets without their double zero, string numbers beyond the
// set. The reader must answer, never read out of bounds or loop.
//
// Each input is read twice: as a table of its own, and as patches to a
// valid table with system, baseboard and enclosure structures (two bytes
// per patch: offset, value; a final odd byte cuts the table), so the search
// starts inside the structures without a seed corpus.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "../tests/support/smbios_builder.h"
#include "platform/smbios_table.h"

namespace {

using namespace tarn::platform;

bool IsPrintable(const tarn::Text& text) {
  for (const char16_t c : text) {
    if (c < 0x20 || c >= 0x7F) return false;
  }
  return true;
}

void Read(std::span<const uint8_t> bytes) {
  const FirmwareIdentity identity = ReadFirmwareIdentity(bytes);
  for (const tarn::Text* text : {&identity.maker, &identity.model, &identity.serial}) {
    if (!IsPrintable(*text) || text->size() > bytes.size()) __builtin_trap();
  }
  if (!identity.uuid.empty() && identity.uuid.size() != 36) __builtin_trap();
}

const std::vector<uint8_t>& ValidTable() {
  static const std::vector<uint8_t> table =
      tarn::testing::SmbiosBuilder()
          .Add(0, {1, 2, 0, 0}, {"Vendor", "1.0"})
          .System("Maker", "Model", "SERIAL-1", tarn::testing::kStoredUuid)
          .Board(2, "BOARD-1")
          .Board(3, "CHASSIS-1")
          .EndOfTable()
          .Bytes();
  return table;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Read({data, size});
  std::vector<uint8_t> patched = ValidTable();
  for (size_t i = 0; i + 1 < size; i += 2) patched[data[i] % patched.size()] = data[i + 1];
  if (size % 2 == 1) patched.resize(data[size - 1] % (patched.size() + 1));
  Read(patched);
  return 0;
}
