// A profile (INI) file read once into memory, answering exactly as the
// system's profile functions answer for the same file. It serves the sim
// backend's ProfileFiles and every reader that needs many keys of one file
// (a key-by-key read through the profile functions rescans the file per key).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "base/text.h"
#include "platform/profile_files.h"

namespace tarn::platform {

class ProfileDocument {
 public:
  ProfileDocument();
  ~ProfileDocument();
  ProfileDocument(ProfileDocument&&) noexcept;
  ProfileDocument& operator=(ProfileDocument&&) noexcept;

  // Parses the bytes of a file: UTF-16 LE with byte-order mark, UTF-8 with
  // byte-order mark, or ANSI (Windows-1252). Never fails; any bytes give a
  // document.
  [[nodiscard]] static ProfileDocument Parse(std::span<const uint8_t> bytes);

  // The same answers, for the same arguments, as the ProfileFiles operations
  // of the same name on the file the document was parsed from.
  [[nodiscard]] ProfileBuffer GetString(TextView section, TextView key, TextView defaultValue,
                                        uint32_t capacity) const;
  [[nodiscard]] int32_t GetInt(TextView section, TextView key, int32_t defaultValue) const;
  [[nodiscard]] ProfileBuffer GetSection(TextView section, uint32_t capacity) const;
  [[nodiscard]] ProfileBuffer GetSectionNames(uint32_t capacity) const;
  [[nodiscard]] std::optional<std::vector<uint8_t>> GetStruct(TextView section, TextView key,
                                                              uint32_t size) const;

  // Fast lookups without buffer rules: the value of the first key of that
  // name in the first section of that name, as GetString would give it with
  // an unlimited buffer; nullopt when the section or key is missing.
  [[nodiscard]] std::optional<Text> FindValue(TextView section, TextView key) const;
  [[nodiscard]] bool HasSection(TextView section) const;

  // Edits with WritePrivateProfileStringW semantics, and the file's bytes
  // after them, in the encoding the file was read in.
  void WriteString(TextView section, std::optional<TextView> key, std::optional<TextView> value);
  [[nodiscard]] std::vector<uint8_t> Serialize() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace tarn::platform
