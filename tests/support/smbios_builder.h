// Builds the bytes GetSystemFirmwareTable('RSMB') hands out (the raw SMBIOS
// header and its structures) from readable parts, for tests, fuzz seeds and
// benchmarks.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace tarn::testing {

class SmbiosBuilder {
 public:
  using Uuid = std::array<uint8_t, 16>;

  // A structure of `type` whose formatted area after the 4-byte header is
  // `fields`, followed by `strings` (numbered from 1).
  SmbiosBuilder& Add(uint8_t type, const std::vector<uint8_t>& fields,
                     const std::vector<std::string>& strings) {
    table_.push_back(type);
    table_.push_back(static_cast<uint8_t>(4 + fields.size()));
    table_.push_back(static_cast<uint8_t>(handle_ & 0xFF));
    table_.push_back(static_cast<uint8_t>(handle_++ >> 8));
    table_.insert(table_.end(), fields.begin(), fields.end());
    for (const std::string& text : strings) {
      table_.insert(table_.end(), text.begin(), text.end());
      table_.push_back(0);
    }
    if (strings.empty()) table_.push_back(0);
    table_.push_back(0);
    return *this;
  }
  // System information (type 1) as SMBIOS 2.4 and later lay it out: an
  // empty text has no string; `uuid` as stored in the table.
  SmbiosBuilder& System(const std::string& maker, const std::string& model,
                        const std::string& serial, const Uuid& uuid) {
    Strings strings;
    std::vector<uint8_t> fields = {strings.Number(maker), strings.Number(model), 0,
                                   strings.Number(serial)};
    fields.insert(fields.end(), uuid.begin(), uuid.end());
    fields.insert(fields.end(), {6, 0, 0});  // wake-up type, SKU, family
    return Add(1, fields, strings.texts);
  }
  // Baseboard (type 2) or enclosure (type 3) with only a serial number.
  SmbiosBuilder& Board(uint8_t type, const std::string& serial) {
    Strings strings;
    return Add(type, {0, 0, 0, strings.Number(serial)}, strings.texts);
  }
  SmbiosBuilder& EndOfTable() { return Add(127, {}, {}); }

  // The header (calling method 0, version 3.4, DMI revision 0, the table's
  // length) and the table.
  [[nodiscard]] std::vector<uint8_t> Bytes() const {
    const auto length = static_cast<uint32_t>(table_.size());
    std::vector<uint8_t> bytes = {0,
                                  3,
                                  4,
                                  0,
                                  static_cast<uint8_t>(length),
                                  static_cast<uint8_t>(length >> 8),
                                  static_cast<uint8_t>(length >> 16),
                                  static_cast<uint8_t>(length >> 24)};
    bytes.insert(bytes.end(), table_.begin(), table_.end());
    return bytes;
  }

 private:
  struct Strings {
    std::vector<std::string> texts;
    uint8_t Number(const std::string& text) {
      if (text.empty()) return 0;
      texts.push_back(text);
      return static_cast<uint8_t>(texts.size());
    }
  };

  std::vector<uint8_t> table_;
  uint16_t handle_ = 0;
};

// The UUID {00112233-4455-6677-8899-AABBCCDDEEFF} as the table stores it.
inline constexpr SmbiosBuilder::Uuid kStoredUuid = {0x33, 0x22, 0x11, 0x00, 0x55, 0x44, 0x77, 0x66,
                                                    0x88, 0x99, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF};

}  // namespace tarn::testing
