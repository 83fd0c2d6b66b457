#include "platform/pe_image.h"

namespace tarn::platform::pe {
namespace {

constexpr uint16_t kPe32Magic = 0x10B;
constexpr uint16_t kPe32PlusMagic = 0x20B;
constexpr size_t kSectionHeaderSize = 40;
constexpr size_t kDirectoryEntrySize = 8;

}  // namespace

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
  layout.directoryTable = countOffset + 4;
  layout.directoryCount = *directoryCount;
  layout.pe32Plus = *magic == kPe32PlusMagic;
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

std::optional<DataDirectory> ReadDataDirectory(const Bytes& image, const ImageLayout& layout,
                                               uint32_t index) {
  if (index >= layout.directoryCount) return DataDirectory{};
  const uint64_t entry = layout.directoryTable + uint64_t{index} * kDirectoryEntrySize;
  const auto rva = image.U32(entry);
  const auto size = image.U32(entry + 4);
  if (!rva || !size) return std::nullopt;
  return DataDirectory{*rva, *size};
}

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

}  // namespace tarn::platform::pe
