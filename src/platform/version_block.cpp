// The VS_VERSIONINFO tree: each block is wLength, wValueLength, wType, a
// zero-terminated UTF-16 key, padding to 32 bits, the value, padding, and
// child blocks. Depth and the number of blocks are limited, so hostile data
// cannot exhaust the stack or memory.
#include "platform/pe_version_reader.h"

#include <algorithm>

namespace tarn::platform {
namespace {

constexpr size_t kHeaderSize = 6;
constexpr int kMaxDepth = 8;
constexpr size_t kFixedInfoSize = 52;
constexpr uint16_t kTextValue = 1;

uint16_t ReadU16(std::span<const uint8_t> bytes, size_t offset) {
  return static_cast<uint16_t>(bytes[offset] | (bytes[offset + 1] << 8));
}

size_t AlignTo4(size_t offset) {
  return (offset + 3) & ~size_t{3};
}

struct ParseBudget {
  size_t blocksLeft = 4096;
};

std::optional<VersionBlock> ParseBlock(std::span<const uint8_t> bytes, int depth,
                                       ParseBudget& budget) {
  if (bytes.size() < kHeaderSize || depth > kMaxDepth || budget.blocksLeft == 0) {
    return std::nullopt;
  }
  --budget.blocksLeft;
  const size_t length = std::min<size_t>(ReadU16(bytes, 0), bytes.size());
  if (length < kHeaderSize) return std::nullopt;
  const std::span<const uint8_t> block = bytes.first(length);
  VersionBlock result;
  result.type = ReadU16(block, 4);

  size_t offset = kHeaderSize;
  for (;; offset += 2) {
    if (offset + 2 > block.size()) return std::nullopt;  // key without its zero
    const char16_t c = ReadU16(block, offset);
    if (c == 0) break;
    result.key.push_back(c);
  }
  const size_t valueStart = std::min(AlignTo4(offset + 2), block.size());
  const size_t declared = ReadU16(block, 2) * size_t{result.type == kTextValue ? 2u : 1u};
  const size_t valueSize = std::min(declared, block.size() - valueStart);
  result.value.assign(block.begin() + valueStart, block.begin() + valueStart + valueSize);

  for (size_t child = AlignTo4(valueStart + valueSize); child + kHeaderSize <= block.size();) {
    const size_t childLength = ReadU16(block, child);
    if (childLength < kHeaderSize || childLength > block.size() - child) break;
    auto parsed = ParseBlock(block.subspan(child, childLength), depth + 1, budget);
    if (!parsed) break;
    result.children.push_back(std::move(*parsed));
    child = AlignTo4(child + childLength);
  }
  return result;
}

const VersionBlock* FindChild(const VersionBlock& parent, TextView key) {
  for (const VersionBlock& child : parent.children) {
    if (EqualsIgnoreCase(child.key, key)) return &child;
  }
  return nullptr;
}

uint32_t ReadU32(const std::vector<uint8_t>& bytes, size_t offset) {
  return static_cast<uint32_t>(bytes[offset]) | (static_cast<uint32_t>(bytes[offset + 1]) << 8) |
         (static_cast<uint32_t>(bytes[offset + 2]) << 16) |
         (static_cast<uint32_t>(bytes[offset + 3]) << 24);
}

}  // namespace

Result<VersionBlock> ParseVersionBlock(std::span<const uint8_t> bytes) {
  ParseBudget budget;
  auto root = ParseBlock(bytes, 0, budget);
  if (!root) return Result<VersionBlock>::Failure(kErrorResourceDataNotFound);
  return std::move(*root);
}

const VersionBlock* ParsedVersionResource::Find(TextView subBlock) const {
  const VersionBlock* block = &root_;
  while (!subBlock.empty()) {
    const size_t start = subBlock.find_first_not_of(u'\\');
    if (start == TextView::npos) break;
    subBlock.remove_prefix(start);
    const size_t end = std::min(subBlock.find(u'\\'), subBlock.size());
    block = FindChild(*block, subBlock.substr(0, end));
    if (!block) return nullptr;
    subBlock.remove_prefix(end);
  }
  return block;
}

std::optional<FixedVersions> ParsedVersionResource::Fixed() const {
  const std::vector<uint8_t>& value = root_.value;
  if (value.size() < kFixedInfoSize) return std::nullopt;
  FixedVersions versions;
  versions.fileVersion = (uint64_t{ReadU32(value, 8)} << 32) | ReadU32(value, 12);
  versions.productVersion = (uint64_t{ReadU32(value, 16)} << 32) | ReadU32(value, 20);
  return versions;
}

std::vector<Translation> ParsedVersionResource::Translations() const {
  std::vector<Translation> result;
  const VersionBlock* table = Find(u"\\VarFileInfo\\Translation");
  if (!table) return result;
  for (size_t at = 0; at + 4 <= table->value.size(); at += 4) {
    const auto pair = ReadU32(table->value, at);
    result.push_back({static_cast<uint16_t>(pair & 0xFFFF), static_cast<uint16_t>(pair >> 16)});
  }
  return result;
}

std::optional<Text> ParsedVersionResource::String(TextView subBlock) const {
  const VersionBlock* block = Find(subBlock);
  if (!block) return std::nullopt;
  return TextFromUtf16Le(block->value, /*stopAtZero=*/true);
}

}  // namespace tarn::platform
