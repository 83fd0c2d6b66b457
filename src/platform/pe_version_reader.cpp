// Locating RT_VERSION inside a PE image: DOS header, PE headers, section
// table, and the three levels of the resource directory (type, name,
// language). The directory is walked exactly three levels deep, so a
// directory that points back at itself cannot make the walk loop.
#include "platform/pe_version_reader.h"

#include <algorithm>
#include <map>

#include "platform/bytes_file.h"

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

// The image as the reader sees it: the file's bytes fetched a page at a time
// and kept, so the few scattered places the walk looks at cost a few reads
// of the file, not a read of the whole file.
class PagedImage {
 public:
  explicit PagedImage(ReadableFile& file) : file_(file), size_(file.Size()) {}

  [[nodiscard]] uint64_t size() const { return size_; }
  // The first error the file gave; the walk then fails with it.
  [[nodiscard]] WinError error() const { return error_; }

  [[nodiscard]] std::optional<uint8_t> Byte(uint64_t offset) {
    if (offset >= size_) return std::nullopt;
    const std::vector<uint8_t>* page = Page(offset / kPageSize);
    const uint64_t at = offset % kPageSize;
    if (page == nullptr || at >= page->size()) return std::nullopt;
    return (*page)[at];
  }

 private:
  static constexpr uint64_t kPageSize = 4096;

  const std::vector<uint8_t>* Page(uint64_t index) {
    auto found = pages_.find(index);
    if (found != pages_.end()) return &found->second;
    if (error_ != kErrorSuccess) return nullptr;
    std::vector<uint8_t> page(std::min(kPageSize, size_ - index * kPageSize));
    const auto read = file_.ReadAt(index * kPageSize, page);
    if (!read) {
      error_ = read.error();
      return nullptr;
    }
    page.resize(*read);
    return &pages_.emplace(index, std::move(page)).first->second;
  }

  ReadableFile& file_;
  uint64_t size_;
  WinError error_ = kErrorSuccess;
  std::map<uint64_t, std::vector<uint8_t>> pages_;
};

// Little-endian reads from a window of the image that fail instead of
// reading past the window's end.
class Bytes {
 public:
  Bytes(PagedImage& image, uint64_t start, uint64_t length)
      : image_(&image), start_(start), length_(length) {}
  explicit Bytes(PagedImage& image) : Bytes(image, 0, image.size()) {}

  [[nodiscard]] std::optional<uint16_t> U16(uint64_t offset) const {
    if (offset > length_ || length_ - offset < 2) return std::nullopt;
    const auto low = image_->Byte(start_ + offset);
    const auto high = image_->Byte(start_ + offset + 1);
    if (!low || !high) return std::nullopt;
    return static_cast<uint16_t>(*low | (*high << 8));
  }
  [[nodiscard]] std::optional<uint32_t> U32(uint64_t offset) const {
    const auto low = U16(offset);
    const auto high = U16(offset + 2);
    if (!low || !high) return std::nullopt;
    return static_cast<uint32_t>(*low) | (static_cast<uint32_t>(*high) << 16);
  }
  [[nodiscard]] uint64_t size() const { return length_; }
  [[nodiscard]] uint64_t start() const { return start_; }
  [[nodiscard]] PagedImage& image() const { return *image_; }

 private:
  PagedImage* image_;
  uint64_t start_;
  uint64_t length_;
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
Bytes MapRva(const Bytes& image, const ImageLayout& layout, uint32_t rva) {
  const Bytes none(image.image(), 0, 0);
  for (const Section& s : layout.sections) {
    const uint64_t extent = std::max(s.virtualSize, s.rawSize);
    if (rva < s.virtualAddress || rva - s.virtualAddress >= extent) continue;
    const uint64_t delta = rva - s.virtualAddress;
    if (delta >= s.rawSize) return none;
    const uint64_t start = uint64_t{s.rawOffset} + delta;
    const uint64_t end = std::min<uint64_t>(uint64_t{s.rawOffset} + s.rawSize, image.size());
    if (start >= end) return none;
    return Bytes(image.image(), start, end - start);
  }
  return none;
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
  if (layout->resourceRva == 0 || layout->resourceSize == 0) {
    return R::Failure(kErrorResourceDataNotFound);
  }
  const Bytes region = MapRva(image, *layout, layout->resourceRva);
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
