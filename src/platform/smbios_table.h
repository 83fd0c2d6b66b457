// A portable reader of the firmware's SMBIOS table as the system hands it
// out (GetSystemFirmwareTable with the provider 'RSMB'): the maker, model,
// serial number and UUID an administrator names a machine by. Every read is
// bounds-checked: a damaged or cut table gives what was read before the
// damage, never a read past the bytes or an endless walk.
#pragma once

#include <cstdint>
#include <span>

#include "base/text.h"

namespace tarn::platform {

// The provider signature of the raw SMBIOS table, as the call spells it.
inline constexpr uint32_t kFirmwareProviderRsmb = 0x52534D42;  // 'RSMB'

// What the table says about the machine; a field the firmware leaves out
// or fills with a placeholder is empty.
struct FirmwareIdentity {
  Text maker;   // system information: manufacturer
  Text model;   // system information: product name
  Text serial;  // system information, else baseboard, else enclosure
  Text uuid;    // "XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX", upper case
};

// Reads `raw`: the 8-byte header (calling method, major and minor version,
// DMI revision, table length) and the structures after it, up to the
// table's own length or the end of the bytes, whichever comes first, and up
// to the end-of-table structure. Strings keep printable ASCII only, without
// blanks around them. The UUID's first three fields are stored
// little-endian (the byte order of firmware tables from version 2.6 on,
// which Windows reads too); all zero or all 0xFF bytes mean none.
[[nodiscard]] FirmwareIdentity ReadFirmwareIdentity(std::span<const uint8_t> raw);

// True for the texts firmware puts where a vendor left a serial number
// unset ("To be filled by O.E.M.", "Default string", "0", ...), compared
// ignoring case.
[[nodiscard]] bool IsPlaceholderSerial(TextView serial);

// Six bytes of an adapter's physical address as "00-1A-2B-3C-4D-5E".
[[nodiscard]] Text FormatMacAddress(std::span<const uint8_t, 6> address);

}  // namespace tarn::platform
