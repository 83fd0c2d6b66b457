// Locating RT_VERSION inside a PE image: DOS header, PE headers, section
// table, and the three levels of the resource directory (type, name,
// language). The directory is walked exactly three levels deep, so a
// directory that points back at itself cannot make the walk loop.
#include "platform/pe_version_reader.h"

#include <algorithm>

namespace tarn::platform {
namespace {

constexpr uint16_t kPe32Magic = 0x10B;
constexpr uint16_t kPe32PlusMagic = 0x20B;
constexpr uint32_t kResourceDirectoryIndex = 2;
constexpr uint32_t kSubdirectoryFlag = 0x80000000u;
constexpr uint32_t kNameIsStringFlag = 0x80000000u;
constexpr uint32_t kVersionResourceName = 1;
constexpr size_t kSectionHeaderSize = 40;
constexpr size_t kDirectoryHeaderSize = 16;
constexpr size_t kDirectoryEntrySize = 8;

// Little-endian reads that fail instead of reading past the end.
class Bytes {
 public:
  explicit Bytes(std::span<const uint8_t> bytes) : bytes_(bytes) {}

  [[nodiscard]] std::optional<uint16_t> U16(uint64_t offset) const {
    if (offset > bytes_.size() || bytes_.size() - offset < 2) return std::nullopt;
    return static_cast<uint16_t>(bytes_[offset] | (bytes_[offset + 1] << 8));
  }
  [[nodiscard]] std::optional<uint32_t> U32(uint64_t offset) const {
    const auto low = U16(offset);
    const auto high = U16(offset + 2);
    if (!low || !high) return std::nullopt;
    return static_cast<uint32_t>(*low) | (static_cast<uint32_t>(*high) << 16);
  }
  [[nodiscard]] size_t size() const { return bytes_.size(); }
  [[nodiscard]] std::span<const uint8_t> span() const { return bytes_; }

 private:
  std::span<const uint8_t> bytes_;
};

struct Section {
  uint32_t virtualAddress = 0;
  uint32_t virtualSize = 0;
  uint32_t rawSize = 0;
  uint32_t rawOffset = 0;
};

struct ImageLayout {
  std::vector<Section> sections;
  uint32_t resourceRva = 0;
  uint32_t resourceSize = 0;
};

// The headers up to the resource data directory and the section table.
std::optional<ImageLayout> ReadLayout(const Bytes& image) {
  if (image.U16(0) != 0x5A4D) return std::nullopt;  // "MZ"
  const auto peOffset = image.U32(0x3C);
  if (!peOffset || image.U32(*peOffset) != 0x00004550u) return std::nullopt;  // "PE\0\0"
  const uint64_t fileHeader = uint64_t{*peOffset} + 4;
  const auto sectionCount = image.U16(fileHeader + 2);
  const auto optionalSize = image.U16(fileHeader + 16);
  const uint64_t optional = fileHeader + 20;
  const auto magic = image.U16(optional);
  if (!sectionCount || !optionalSize || !magic) return std::nullopt;
  if (*magic != kPe32Magic && *magic != kPe32PlusMagic) return std::nullopt;
  const uint64_t countOffset = optional + (*magic == kPe32Magic ? 92 : 108);
  const auto directoryCount = image.U32(countOffset);
  if (!directoryCount) return std::nullopt;

  ImageLayout layout;
  if (*directoryCount > kResourceDirectoryIndex) {
    const uint64_t entry = countOffset + 4 + kResourceDirectoryIndex * 8;
    const auto rva = image.U32(entry);
    const auto size = image.U32(entry + 4);
    if (!rva || !size) return std::nullopt;
    layout.resourceRva = *rva;
    layout.resourceSize = *size;
  }
  const uint64_t table = optional + *optionalSize;
  for (uint32_t i = 0; i < *sectionCount; ++i) {
    const uint64_t header = table + uint64_t{i} * kSectionHeaderSize;
    const auto virtualSize = image.U32(header + 8);
    const auto virtualAddress = image.U32(header + 12);
    const auto rawSize = image.U32(header + 16);
    const auto rawOffset = image.U32(header + 20);
    if (!virtualSize || !virtualAddress || !rawSize || !rawOffset) return std::nullopt;
    layout.sections.push_back({*virtualAddress, *virtualSize, *rawSize, *rawOffset});
  }
  return layout;
}

// The bytes of the file that hold the image from `rva` to the end of its
// section's raw data (never beyond the file); empty when no section holds it.
std::span<const uint8_t> MapRva(const Bytes& image, const ImageLayout& layout, uint32_t rva) {
  for (const Section& s : layout.sections) {
    const uint64_t extent = std::max(s.virtualSize, s.rawSize);
    if (rva < s.virtualAddress || rva - s.virtualAddress >= extent) continue;
    const uint64_t delta = rva - s.virtualAddress;
    if (delta >= s.rawSize) return {};
    const uint64_t start = uint64_t{s.rawOffset} + delta;
    const uint64_t end = std::min<uint64_t>(uint64_t{s.rawOffset} + s.rawSize, image.size());
    if (start >= end) return {};
    return image.span().subspan(start, end - start);
  }
  return {};
}

struct DirectoryEntry {
  uint32_t name = 0;
  uint32_t target = 0;
};

// The entries of the directory at `offset` in the resource region.
std::optional<std::vector<DirectoryEntry>> ReadDirectory(const Bytes& region, uint32_t offset) {
  const auto named = region.U16(uint64_t{offset} + 12);
  const auto ids = region.U16(uint64_t{offset} + 14);
  if (!named || !ids) return std::nullopt;
  const uint64_t count = uint64_t{*named} + *ids;
  const uint64_t first = uint64_t{offset} + kDirectoryHeaderSize;
  if (first + count * kDirectoryEntrySize > region.size()) return std::nullopt;
  std::vector<DirectoryEntry> entries;
  entries.reserve(count);
  for (uint64_t i = 0; i < count; ++i) {
    const uint64_t at = first + i * kDirectoryEntrySize;
    entries.push_back({*region.U32(at), *region.U32(at + 4)});
  }
  return entries;
}

// The subdirectory an entry points at; nullopt for a data entry.
std::optional<uint32_t> Subdirectory(const DirectoryEntry& entry) {
  if ((entry.target & kSubdirectoryFlag) == 0) return std::nullopt;
  return entry.target & ~kSubdirectoryFlag;
}

std::optional<DirectoryEntry> FindId(const std::vector<DirectoryEntry>& entries, uint32_t id) {
  for (const DirectoryEntry& e : entries) {
    if ((e.name & kNameIsStringFlag) == 0 && e.name == id) return e;
  }
  return std::nullopt;
}

// Type -> name -> language; the offset of the IMAGE_RESOURCE_DATA_ENTRY.
Result<uint32_t> FindVersionDataEntry(const Bytes& region) {
  const auto types = ReadDirectory(region, 0);
  if (!types) return Result<uint32_t>::Failure(kErrorResourceDataNotFound);
  const auto type = FindId(*types, kResourceTypeVersion);
  if (!type) return Result<uint32_t>::Failure(kErrorResourceTypeNotFound);
  const auto namesAt = Subdirectory(*type);
  const auto names = namesAt ? ReadDirectory(region, *namesAt) : std::nullopt;
  if (!names || names->empty()) return Result<uint32_t>::Failure(kErrorResourceDataNotFound);
  const DirectoryEntry name = FindId(*names, kVersionResourceName).value_or(names->front());
  const auto languagesAt = Subdirectory(name);
  const auto languages = languagesAt ? ReadDirectory(region, *languagesAt) : std::nullopt;
  if (!languages || languages->empty() || Subdirectory(languages->front())) {
    return Result<uint32_t>::Failure(kErrorResourceDataNotFound);
  }
  return languages->front().target;
}

}  // namespace

Result<std::span<const uint8_t>> FindVersionResource(std::span<const uint8_t> bytes) {
  using R = Result<std::span<const uint8_t>>;
  const Bytes image(bytes);
  const auto layout = ReadLayout(image);
  if (!layout) return R::Failure(kErrorBadExeFormat);
  if (layout->resourceRva == 0 || layout->resourceSize == 0) {
    return R::Failure(kErrorResourceDataNotFound);
  }
  const Bytes region(MapRva(image, *layout, layout->resourceRva));
  const auto entry = FindVersionDataEntry(region);
  if (!entry) return R::Failure(entry.error());
  const auto dataRva = region.U32(*entry);
  const auto dataSize = region.U32(uint64_t{*entry} + 4);
  if (!dataRva || !dataSize) return R::Failure(kErrorResourceDataNotFound);
  const std::span<const uint8_t> data = MapRva(image, *layout, *dataRva);
  if (*dataSize == 0 || data.size() < *dataSize) return R::Failure(kErrorResourceDataNotFound);
  return data.first(*dataSize);
}

Result<std::unique_ptr<VersionResource>> ReadPeVersionResource(std::span<const uint8_t> image) {
  using R = Result<std::unique_ptr<VersionResource>>;
  const auto bytes = FindVersionResource(image);
  if (!bytes) return R::Failure(bytes.error());
  auto root = ParseVersionBlock(*bytes);
  if (!root) return R::Failure(root.error());
  return R(std::make_unique<ParsedVersionResource>(std::move(*root)));
}

}  // namespace tarn::platform
