// Bytes already in memory, read through the interface of an opened file, so
// that a reader written for files also serves images held in memory.
#pragma once

#include <algorithm>
#include <cstdint>
#include <span>

#include "platform/file_system.h"

namespace tarn::platform {

class BytesFile : public ReadableFile {
 public:
  // `bytes` must outlive the object.
  explicit BytesFile(std::span<const uint8_t> bytes) : bytes_(bytes) {}
  [[nodiscard]] uint64_t Size() const override { return bytes_.size(); }
  Result<size_t> ReadAt(uint64_t offset, std::span<uint8_t> buffer) override {
    if (offset >= bytes_.size()) return size_t{0};
    const size_t count = std::min<uint64_t>(buffer.size(), bytes_.size() - offset);
    std::copy_n(bytes_.begin() + static_cast<std::ptrdiff_t>(offset), count, buffer.begin());
    return count;
  }

 private:
  std::span<const uint8_t> bytes_;
};

}  // namespace tarn::platform
