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
#include "platform/ansi_code_pages.h"
#include "platform/profile_files.h"

namespace tarn::platform {

class ProfileDocument {
 public:
  ProfileDocument();
  ~ProfileDocument();
  ProfileDocument(ProfileDocument&&) noexcept;
  ProfileDocument& operator=(ProfileDocument&&) noexcept;

  // Parses the bytes of a file: UTF-16 LE with byte-order mark, UTF-8 with
  // byte-order mark, or ANSI in `ansiCodePage` (the system's answers come
  // only with the system's page, SystemInfo::AnsiCodePage). Never fails; any
  // bytes give a document. Lines break at CR LF, CR or LF. A header "[name]"
  // ends its name at the first "]" (text after it is ignored); lines before
  // the first header belong to no section; a key whose name starts with ";"
  // is a comment, never found and never listed. Names compare ignoring case
  // (hash lookups: one parse, then constant time per key).
  [[nodiscard]] static ProfileDocument Parse(std::span<const uint8_t> bytes,
                                             uint32_t ansiCodePage = kCodePageWindows1252);

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
  // an unlimited buffer; nullopt when the section or key is missing or the
  // key's line has no "=".
  [[nodiscard]] std::optional<Text> FindValue(TextView section, TextView key) const;
  [[nodiscard]] bool HasSection(TextView section) const;

  // Edits with WritePrivateProfileStringW semantics, made in place so that
  // every other line (comments, blanks, spelling) stays as it was: a key is
  // updated on its line keeping its name's spelling, a new key goes after
  // the last non-blank line of the first section of that name, a new section
  // at the end of the file. `key` nullopt deletes the first section of that
  // name with all its lines; `value` nullopt deletes the key's line.
  // Surrounding spaces of names and value are not written. A value holding a
  // line break is written as it is, as the system writes it.
  void WriteString(TextView section, std::optional<TextView> key, std::optional<TextView> value);
  // The file's bytes in the encoding (and ANSI code page) it was read in; a
  // default-constructed document (a new file) is Windows-1252, a new file
  // parsed from no bytes is ANSI in the page given, as the system creates
  // new profile files.
  [[nodiscard]] std::vector<uint8_t> Serialize() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace tarn::platform
