// The parts of a PE image (32- and 64-bit) its portable readers share: the
// file read a page at a time, bounds-checked little-endian reads, the
// section table and the data directories, and the mapping of addresses in
// the loaded image (RVAs) to places in the file. Nothing here reads past the
// file or a window of it: a damaged image makes a read answer nothing.
#pragma once

#include <algorithm>
#include <cstdint>
#include <map>
#include <optional>
#include <vector>

#include "base/result.h"
#include "platform/file_system.h"

namespace tarn::platform::pe {

// Indexes into the data directories of the optional header.
inline constexpr uint32_t kImportDirectory = 1;
inline constexpr uint32_t kResourceDirectory = 2;
inline constexpr uint32_t kDelayImportDirectory = 13;

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

  [[nodiscard]] std::optional<uint8_t> U8(uint64_t offset) const {
    if (offset >= length_) return std::nullopt;
    return image_->Byte(start_ + offset);
  }
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

// One entry of the optional header's data directories.
struct DataDirectory {
  uint32_t rva = 0;
  uint32_t size = 0;
};

// The section table and where the data directories lie.
struct ImageLayout {
  std::vector<Section> sections;
  uint64_t directoryTable = 0;
  uint32_t directoryCount = 0;
  // 64-bit image (PE32+): pointer-sized fields are eight bytes.
  bool pe32Plus = false;
};

// The headers and the section table; nullopt when the bytes are not a PE
// image or its headers are cut.
[[nodiscard]] std::optional<ImageLayout> ReadLayout(const Bytes& image);

// Data directory `index`: zero when the image has fewer directories,
// nullopt when its entry is cut off.
[[nodiscard]] std::optional<DataDirectory> ReadDataDirectory(const Bytes& image,
                                                             const ImageLayout& layout,
                                                             uint32_t index);

// The bytes of the file that hold the image from `rva` to the end of its
// section's raw data (never beyond the file); empty when no section holds it.
[[nodiscard]] Bytes MapRva(const Bytes& image, const ImageLayout& layout, uint32_t rva);

}  // namespace tarn::platform::pe
