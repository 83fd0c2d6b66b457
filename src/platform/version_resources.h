// Version resources of program files, as GetFileVersionInfoW and
// VerQueryValueW present them: the fixed information, the translation table
// and the string tables, looked up by sub-block path.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "base/result.h"
#include "base/text.h"

namespace tarn::platform {

// The two 64-bit versions of VS_FIXEDFILEINFO: the most significant 32-bit
// half in the upper bits (dwFileVersionMS << 32 | dwFileVersionLS).
struct FixedVersions {
  uint64_t fileVersion = 0;
  uint64_t productVersion = 0;
  friend bool operator==(const FixedVersions&, const FixedVersions&) = default;
};

// One entry of "\VarFileInfo\Translation".
struct Translation {
  uint16_t language = 0;
  uint16_t codePage = 0;
  friend bool operator==(const Translation&, const Translation&) = default;
};

// The version resource of one file.
class VersionResource {
 public:
  virtual ~VersionResource() = default;

  // VerQueryValueW(L"\\"): nullopt when the resource has no fixed
  // information of full size.
  [[nodiscard]] virtual std::optional<FixedVersions> Fixed() const = 0;
  // VerQueryValueW(L"\\VarFileInfo\\Translation"), in the resource's order;
  // empty when the table is missing or empty.
  [[nodiscard]] virtual std::vector<Translation> Translations() const = 0;
  // VerQueryValueW of a string such as "\StringFileInfo\040904b0\CompanyName"
  // (names compare ignoring case): the text up to its first zero, or nullopt
  // when there is no such value.
  [[nodiscard]] virtual std::optional<Text> String(TextView subBlock) const = 0;
};

class VersionResources {
 public:
  virtual ~VersionResources() = default;

  // GetFileVersionInfoSizeW + GetFileVersionInfoW of an expanded path; an
  // error when the file is missing, unreadable or has no version resource.
  [[nodiscard]] virtual Result<std::unique_ptr<VersionResource>> Read(TextView path) = 0;
};

}  // namespace tarn::platform
