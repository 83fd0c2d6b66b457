// The rows of the [machines] section: which machine (by serial number,
// SMBIOS UUID, MAC address or present computer name) gets which computer
// name, workgroup, owner, organisation and selection.
//
//   [machines]
//   File=machines.ini
//   serial:5CG1234XYZ = Computer=ACC-01; Workgroup=ACCOUNTS; Owner=Jane Doe
//   mac:00-1A-2B-3C-4D-5E = Computer=LAB-%SERIAL:~-6%; Selection=lab
#pragma once

#include <optional>
#include <span>
#include <vector>

#include "app/machine_pattern.h"
#include "base/text.h"

namespace tarn::app {

inline constexpr char16_t kMachinesSection[] = u"machines";
// The key of [machines] that names a file whose own [machines] rows count too.
inline constexpr char16_t kMachinesFileKey[] = u"File";
// Selections are sections named "machines.<name>".
inline constexpr char16_t kSelectionSectionPrefix[] = u"machines.";

// What a row's key matches.
enum class MachineMatch { kSerial, kUuid, kMac, kName };

// The words before ':' in a row's key, and the fields of its value.
inline constexpr std::array<TextView, 4> kMachineMatchWords = {u"serial", u"uuid", u"mac", u"name"};
inline constexpr std::array<TextView, 5> kMachineFieldNames = {u"Computer", u"Workgroup", u"Owner",
                                                               u"Org", u"Selection"};

struct MachineRow {
  MachineMatch match = MachineMatch::kSerial;
  Text id;  // as written after ':'
  Text computer, workgroup, owner, org, selection;
};

// A row read from "key=value", or why it cannot be: an unknown word before
// ':', an empty id, a field without '=' or of an unknown name. Fields are
// "Name=value" separated by ';', blanks and one pair of quotes around a
// value removed; a field given twice keeps its first value.
struct RowReading {
  std::optional<MachineRow> row;
  Text problem;
};
[[nodiscard]] RowReading ReadMachineRow(TextView key, TextView value);

// The first row for this machine, trying serial rows, then UUID, MAC and
// name rows, each in file order. Serial numbers and names compare ignoring
// case; UUIDs and MAC addresses by their hexadecimal digits alone, so
// "001A2B3C4D5E" finds "00-1a-2b-3c-4d-5e". Empty facts match nothing.
[[nodiscard]] const MachineRow* FindMachineRow(std::span<const MachineRow> rows,
                                               const MachineFacts& facts, TextView computerName);

}  // namespace tarn::app
