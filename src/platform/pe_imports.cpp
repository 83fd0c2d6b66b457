// Walking IMAGE_IMPORT_DESCRIPTOR (20 bytes each) and
// IMAGE_DELAYLOAD_DESCRIPTOR (32 bytes each) lists up to their all-zero
// terminator. A list can be no longer than the section that holds it, so a
// damaged image ends the walk at the section's end.
#include "platform/pe_imports.h"

#include <optional>

#include "platform/pe_image.h"
#include "platform/pe_version_reader.h"

namespace tarn::platform {
namespace {

using pe::Bytes;

constexpr size_t kLongestName = 255;

// The shape of one kind of descriptor list.
struct DescriptorShape {
  uint32_t directory;
  uint64_t size;
  uint64_t nameField;
};
constexpr DescriptorShape kImports{pe::kImportDirectory, 20, 12};
constexpr DescriptorShape kDelayImports{pe::kDelayImportDirectory, 32, 4};

// The ASCII name at `rva`; nullopt when it is not wholly inside the image.
std::optional<Text> ReadName(const Bytes& image, const pe::ImageLayout& layout, uint32_t rva) {
  const Bytes bytes = pe::MapRva(image, layout, rva);
  Text name;
  for (uint64_t at = 0; at <= kLongestName; ++at) {
    const auto byte = bytes.U8(at);
    if (!byte) return std::nullopt;
    if (*byte == 0) return name.empty() ? std::nullopt : std::optional<Text>(name);
    if (*byte < 0x20 || *byte > 0x7E) return std::nullopt;
    name.push_back(static_cast<char16_t>(*byte));
  }
  return std::nullopt;
}

// The names of the list `shape` describes; an image without it has none.
Result<std::vector<Text>> ReadList(const Bytes& image, const pe::ImageLayout& layout,
                                   const DescriptorShape& shape) {
  using R = Result<std::vector<Text>>;
  const auto directory = pe::ReadDataDirectory(image, layout, shape.directory);
  if (!directory) return R::Failure(kErrorBadExeFormat);
  std::vector<Text> names;
  if (directory->rva == 0 || directory->size == 0) return names;
  const Bytes list = pe::MapRva(image, layout, directory->rva);
  for (uint64_t at = 0; at + shape.size <= list.size(); at += shape.size) {
    bool empty = true;
    for (uint64_t word = 0; word < shape.size && empty; word += 4) {
      const auto value = list.U32(at + word);
      if (!value) return R::Failure(kErrorBadExeFormat);
      empty = *value == 0;
    }
    if (empty) return names;
    const auto nameRva = list.U32(at + shape.nameField);
    const auto name = nameRva ? ReadName(image, layout, *nameRva) : std::nullopt;
    if (!name) return R::Failure(kErrorBadExeFormat);
    names.push_back(*name);
  }
  return R::Failure(kErrorBadExeFormat);
}

Result<PeImports> ReadAll(pe::PagedImage& paged) {
  using R = Result<PeImports>;
  const Bytes image(paged);
  const auto layout = pe::ReadLayout(image);
  if (!layout) return R::Failure(kErrorBadExeFormat);
  auto imported = ReadList(image, *layout, kImports);
  if (!imported) return R::Failure(imported.error());
  auto delayed = ReadList(image, *layout, kDelayImports);
  if (!delayed) return R::Failure(delayed.error());
  return PeImports{std::move(*imported), std::move(*delayed)};
}

}  // namespace

Result<PeImports> ReadPeImports(ReadableFile& image) {
  pe::PagedImage paged(image);
  auto imports = ReadAll(paged);
  if (paged.error() != kErrorSuccess) return Result<PeImports>::Failure(paged.error());
  return imports;
}

}  // namespace tarn::platform
