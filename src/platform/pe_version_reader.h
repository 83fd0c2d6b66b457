// A portable reader of the version resource of PE files (32- and 64-bit), so
// version tests work on the simulated machine and on Linux against real
// installer files. Every read is bounds-checked: truncated images, resource
// directories that point outside their section or back at themselves, and
// entries larger than the file make the read fail, never read out of bounds.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "base/result.h"
#include "base/text.h"
#include "platform/file_system.h"
#include "platform/version_resources.h"

namespace tarn::platform {

// ERROR_BAD_EXE_FORMAT: the bytes are not a PE image.
inline constexpr WinError kErrorBadExeFormat = 193;
// ERROR_RESOURCE_DATA_NOT_FOUND: the image has no resources, or they are damaged.
inline constexpr WinError kErrorResourceDataNotFound = 1812;
// ERROR_RESOURCE_TYPE_NOT_FOUND: the image has resources but no RT_VERSION.
inline constexpr WinError kErrorResourceTypeNotFound = 1813;

// The resource type number of version resources (RT_VERSION).
inline constexpr uint32_t kResourceTypeVersion = 16;

// One block of a VS_VERSIONINFO tree: its key, its value bytes (text values
// are UTF-16LE) and its children.
struct VersionBlock {
  Text key;
  // wType: 1 for text values, 0 for binary values.
  uint16_t type = 0;
  std::vector<uint8_t> value;
  std::vector<VersionBlock> children;
};

// A version resource parsed into its tree; answers as VerQueryValueW does.
class ParsedVersionResource final : public VersionResource {
 public:
  explicit ParsedVersionResource(VersionBlock root) : root_(std::move(root)) {}

  [[nodiscard]] std::optional<FixedVersions> Fixed() const override;
  [[nodiscard]] std::vector<Translation> Translations() const override;
  [[nodiscard]] std::optional<Text> String(TextView subBlock) const override;

  // The block at a sub-block path ("\" is the root); nullptr when missing.
  [[nodiscard]] const VersionBlock* Find(TextView subBlock) const;

 private:
  VersionBlock root_;
};

// Parses the bytes of an RT_VERSION resource (a VS_VERSIONINFO block). A block
// longer than the bytes is cut to them; a damaged child ends its parent's
// list of children. Fails when not even the root's header and key are there.
[[nodiscard]] Result<VersionBlock> ParseVersionBlock(std::span<const uint8_t> bytes);

// Locates the RT_VERSION resource of a PE image (name 1 when present, else the
// first name; its first language) and returns its bytes as a view into `image`.
[[nodiscard]] Result<std::span<const uint8_t>> FindVersionResource(std::span<const uint8_t> image);
// The same for an image in a file. Reads only the headers, the section table,
// the directories on the way and the resource itself, so a large program
// costs about what a small one does. A read error of the file is its answer.
[[nodiscard]] Result<std::vector<uint8_t>> FindVersionResource(ReadableFile& image);

// FindVersionResource followed by ParseVersionBlock.
[[nodiscard]] Result<std::unique_ptr<VersionResource>> ReadPeVersionResource(
    std::span<const uint8_t> image);
[[nodiscard]] Result<std::unique_ptr<VersionResource>> ReadPeVersionResource(ReadableFile& image);

}  // namespace tarn::platform
