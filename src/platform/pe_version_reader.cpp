// Locating RT_VERSION inside a PE image: DOS header, PE headers, section
// table, and the three levels of the resource directory (type, name,
// language). The directory is walked exactly three levels deep, so a
// directory that points back at itself cannot make the walk loop.
#include "platform/pe_version_reader.h"

#include <algorithm>
#include <map>

#include "platform/bytes_file.h"
#include "platform/pe_image.h"

namespace tarn::platform {
namespace {

using pe::Bytes;
using pe::kResourceDirectory;
using pe::MapRva;
using pe::PagedImage;
using pe::ReadLayout;

constexpr uint32_t kSubdirectoryFlag = 0x80000000u;
constexpr uint32_t kNameIsStringFlag = 0x80000000u;
constexpr uint32_t kVersionResourceName = 1;
constexpr size_t kDirectoryHeaderSize = 16;
constexpr size_t kDirectoryEntrySize = 8;

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
    const auto name = region.U32(at);
    const auto target = region.U32(at + 4);
    if (!name || !target) return std::nullopt;
    entries.push_back({*name, *target});
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

// Where the version resource lies in the file.
struct Extent {
  uint64_t offset = 0;
  uint32_t size = 0;
};

Result<Extent> LocateVersionResource(PagedImage& paged) {
  using R = Result<Extent>;
  const Bytes image(paged);
  const auto layout = ReadLayout(image);
  if (!layout) return R::Failure(kErrorBadExeFormat);
  const auto resources = pe::ReadDataDirectory(image, *layout, kResourceDirectory);
  if (!resources) return R::Failure(kErrorBadExeFormat);
  if (resources->rva == 0 || resources->size == 0) return R::Failure(kErrorResourceDataNotFound);
  const Bytes region = MapRva(image, *layout, resources->rva);
  const auto entry = FindVersionDataEntry(region);
  if (!entry) return R::Failure(entry.error());
  const auto dataRva = region.U32(*entry);
  const auto dataSize = region.U32(uint64_t{*entry} + 4);
  if (!dataRva || !dataSize) return R::Failure(kErrorResourceDataNotFound);
  const Bytes data = MapRva(image, *layout, *dataRva);
  if (*dataSize == 0 || data.size() < *dataSize) return R::Failure(kErrorResourceDataNotFound);
  return Extent{data.start(), *dataSize};
}

// The walk's answer, unless the file failed on the way: then the file's error.
Result<Extent> Locate(PagedImage& paged) {
  auto extent = LocateVersionResource(paged);
  if (paged.error() != kErrorSuccess) return Result<Extent>::Failure(paged.error());
  return extent;
}

Result<std::unique_ptr<VersionResource>> Parse(std::span<const uint8_t> bytes) {
  using R = Result<std::unique_ptr<VersionResource>>;
  auto root = ParseVersionBlock(bytes);
  if (!root) return R::Failure(root.error());
  return R(std::make_unique<ParsedVersionResource>(std::move(*root)));
}

}  // namespace

Result<std::span<const uint8_t>> FindVersionResource(std::span<const uint8_t> image) {
  using R = Result<std::span<const uint8_t>>;
  BytesFile file(image);
  PagedImage paged(file);
  const auto extent = Locate(paged);
  if (!extent) return R::Failure(extent.error());
  return image.subspan(extent->offset, extent->size);
}

Result<std::vector<uint8_t>> FindVersionResource(ReadableFile& image) {
  using R = Result<std::vector<uint8_t>>;
  PagedImage paged(image);
  const auto extent = Locate(paged);
  if (!extent) return R::Failure(extent.error());
  std::vector<uint8_t> bytes(extent->size);
  const auto read = image.ReadAt(extent->offset, bytes);
  if (!read) return R::Failure(read.error());
  // A file cut since it was opened no longer holds the whole resource.
  if (*read != bytes.size()) return R::Failure(kErrorResourceDataNotFound);
  return bytes;
}

Result<std::unique_ptr<VersionResource>> ReadPeVersionResource(std::span<const uint8_t> image) {
  using R = Result<std::unique_ptr<VersionResource>>;
  const auto bytes = FindVersionResource(image);
  if (!bytes) return R::Failure(bytes.error());
  return Parse(*bytes);
}

Result<std::unique_ptr<VersionResource>> ReadPeVersionResource(ReadableFile& image) {
  using R = Result<std::unique_ptr<VersionResource>>;
  const auto bytes = FindVersionResource(image);
  if (!bytes) return R::Failure(bytes.error());
  return Parse(*bytes);
}

}  // namespace tarn::platform
