#include "platform/smbios_table.h"

#include <algorithm>
#include <array>
#include <optional>
#include <vector>

namespace tarn::platform {
namespace {

constexpr size_t kRawHeaderSize = 8;
constexpr size_t kStructureHeaderSize = 4;
constexpr uint8_t kTypeSystem = 1;
constexpr uint8_t kTypeBaseboard = 2;
constexpr uint8_t kTypeEnclosure = 3;
constexpr uint8_t kTypeEndOfTable = 127;
// Offsets in the formatted area of the structures read.
constexpr size_t kManufacturerOffset = 4;
constexpr size_t kProductOffset = 5;
constexpr size_t kSerialOffset = 7;  // system, baseboard and enclosure alike
constexpr size_t kUuidOffset = 8;
constexpr size_t kUuidSize = 16;

// One structure: its formatted area and its strings, both inside the table.
struct Structure {
  uint8_t type = 0;
  std::span<const uint8_t> formatted;
  std::vector<std::span<const uint8_t>> strings;

  [[nodiscard]] std::optional<uint8_t> Byte(size_t offset) const {
    if (offset >= formatted.size()) return std::nullopt;
    return formatted[offset];
  }
  // The string a byte of the formatted area numbers (1 the first, 0 none).
  [[nodiscard]] Text String(size_t offset) const {
    const std::optional<uint8_t> number = Byte(offset);
    if (!number || *number == 0 || *number > strings.size()) return Text();
    Text text;
    for (const uint8_t byte : strings[*number - 1]) {
      if (byte >= 0x20 && byte < 0x7F) text.push_back(static_cast<char16_t>(byte));
    }
    return Text(TrimBlanks(text));
  }
};

// Walks the structures from `table`'s start; the walk ends at the
// end-of-table structure or at the first structure that does not fit.
class StructureWalk {
 public:
  explicit StructureWalk(std::span<const uint8_t> table) : table_(table) {}

  [[nodiscard]] std::optional<Structure> Next() {
    if (ended_ || table_.size() - position_ < kStructureHeaderSize) return std::nullopt;
    const uint8_t type = table_[position_];
    const size_t length = table_[position_ + 1];
    if (length < kStructureHeaderSize || length > table_.size() - position_) return End();
    Structure structure{type, table_.subspan(position_, length), {}};
    const std::optional<size_t> next = ReadStrings(position_ + length, structure.strings);
    if (!next) return End();
    position_ = *next;
    if (type == kTypeEndOfTable) ended_ = true;
    return structure;
  }

 private:
  std::optional<Structure> End() {
    ended_ = true;
    return std::nullopt;
  }
  // The string set from `start`: strings each ended by a zero byte, the set
  // ended by one more (a set without strings is two zero bytes). The
  // position after it, or nullopt when the bytes end first.
  std::optional<size_t> ReadStrings(size_t start,
                                    std::vector<std::span<const uint8_t>>& strings) const {
    for (size_t begin = start;;) {
      const auto zero = std::find(table_.begin() + static_cast<ptrdiff_t>(begin), table_.end(), 0);
      if (zero == table_.end()) return std::nullopt;
      const size_t at = static_cast<size_t>(zero - table_.begin());
      if (at != begin) {
        strings.push_back(table_.subspan(begin, at - begin));
        begin = at + 1;
      } else if (at != start) {
        return at + 1;
      } else if (at + 1 < table_.size() && table_[at + 1] == 0) {
        return at + 2;
      } else {
        return std::nullopt;
      }
    }
  }

  std::span<const uint8_t> table_;
  size_t position_ = 0;
  bool ended_ = false;
};

Text HexByte(uint8_t byte) {
  constexpr char16_t kDigits[] = u"0123456789ABCDEF";
  return Text{kDigits[byte >> 4], kDigits[byte & 0xF]};
}

Text FormatUuid(std::span<const uint8_t> bytes) {
  const bool allZero = std::all_of(bytes.begin(), bytes.end(), [](uint8_t b) { return b == 0; });
  const bool allOnes = std::all_of(bytes.begin(), bytes.end(), [](uint8_t b) { return b == 0xFF; });
  if (allZero || allOnes) return Text();
  // time_low, time_mid and time_hi_and_version are little-endian.
  constexpr std::array<size_t, kUuidSize> kOrder = {3, 2, 1,  0,  5,  4,  7,  6,
                                                    8, 9, 10, 11, 12, 13, 14, 15};
  Text text;
  for (size_t i = 0; i < kUuidSize; ++i) {
    if (i == 4 || i == 6 || i == 8 || i == 10) text += u'-';
    text += HexByte(bytes[kOrder[i]]);
  }
  return text;
}

void ReadSystem(const Structure& structure, FirmwareIdentity& identity) {
  identity.maker = structure.String(kManufacturerOffset);
  identity.model = structure.String(kProductOffset);
  identity.serial = structure.String(kSerialOffset);
  if (structure.formatted.size() >= kUuidOffset + kUuidSize) {
    identity.uuid = FormatUuid(structure.formatted.subspan(kUuidOffset, kUuidSize));
  }
}

// The table's structures, as far as the header's length and the bytes go.
std::span<const uint8_t> TableOf(std::span<const uint8_t> raw) {
  if (raw.size() < kRawHeaderSize) return {};
  const uint32_t length = static_cast<uint32_t>(raw[4]) | static_cast<uint32_t>(raw[5]) << 8 |
                          static_cast<uint32_t>(raw[6]) << 16 | static_cast<uint32_t>(raw[7]) << 24;
  std::span<const uint8_t> table = raw.subspan(kRawHeaderSize);
  return table.first(std::min<size_t>(length, table.size()));
}

}  // namespace

FirmwareIdentity ReadFirmwareIdentity(std::span<const uint8_t> raw) {
  FirmwareIdentity identity;
  bool systemSeen = false;
  Text baseboardSerial, enclosureSerial;
  StructureWalk walk(TableOf(raw));
  while (const std::optional<Structure> structure = walk.Next()) {
    if (structure->type == kTypeSystem && !systemSeen) {
      ReadSystem(*structure, identity);
      systemSeen = true;
    } else if (structure->type == kTypeBaseboard && baseboardSerial.empty()) {
      baseboardSerial = structure->String(kSerialOffset);
      if (IsPlaceholderSerial(baseboardSerial)) baseboardSerial.clear();
    } else if (structure->type == kTypeEnclosure && enclosureSerial.empty()) {
      enclosureSerial = structure->String(kSerialOffset);
      if (IsPlaceholderSerial(enclosureSerial)) enclosureSerial.clear();
    }
  }
  if (IsPlaceholderSerial(identity.serial)) identity.serial.clear();
  if (identity.serial.empty()) identity.serial = baseboardSerial;
  if (identity.serial.empty()) identity.serial = enclosureSerial;
  return identity;
}

bool IsPlaceholderSerial(TextView serial) {
  static constexpr TextView kPlaceholders[] = {u"To be filled by O.E.M.",
                                               u"Default string",
                                               u"System Serial Number",
                                               u"Chassis Serial Number",
                                               u"Not Specified",
                                               u"Not Applicable",
                                               u"None",
                                               u"N/A",
                                               u"Base Board Serial Number",
                                               u"0123456789",
                                               u"Serial Number",
                                               u"INVALID"};
  const TextView trimmed = TrimBlanks(serial);
  if (trimmed.empty()) return true;
  // "0", "00000000", "........": one character over and over.
  if (trimmed.find_first_not_of(trimmed.front()) == TextView::npos &&
      (trimmed.front() == u'0' || trimmed.front() == u'.' || trimmed.front() == u' ')) {
    return true;
  }
  return std::any_of(std::begin(kPlaceholders), std::end(kPlaceholders),
                     [&](TextView placeholder) { return EqualsIgnoreCase(trimmed, placeholder); });
}

Text FormatMacAddress(std::span<const uint8_t, 6> address) {
  Text text;
  for (size_t i = 0; i < address.size(); ++i) {
    if (i != 0) text += u'-';
    text += HexByte(address[i]);
  }
  return text;
}

}  // namespace tarn::platform
