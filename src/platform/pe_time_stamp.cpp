#include "platform/pe_time_stamp.h"

#include <array>
#include <span>

#include "platform/pe_version_reader.h"

namespace tarn::platform {
namespace {

constexpr uint64_t kPeOffsetField = 0x3C;
constexpr uint32_t kMzSignature = 0x5A4D;
constexpr uint32_t kPeSignature = 0x00004550;  // "PE\0\0"

uint32_t LittleEndian(const uint8_t* bytes, size_t count) {
  uint32_t value = 0;
  for (size_t i = count; i-- > 0;) value = (value << 8) | bytes[i];
  return value;
}

// Reads exactly `buffer.size()` bytes at `offset`; a short read is a bad image.
WinError ReadExactly(ReadableFile& file, uint64_t offset, std::span<uint8_t> buffer) {
  const Result<size_t> read = file.ReadAt(offset, buffer);
  if (!read) return read.error();
  return *read == buffer.size() ? kErrorSuccess : kErrorBadExeFormat;
}

}  // namespace

Result<uint32_t> ReadPeTimeStamp(ReadableFile& image) {
  std::array<uint8_t, 64> dos{};
  if (const WinError error = ReadExactly(image, 0, dos); error != kErrorSuccess) {
    return Result<uint32_t>::Failure(error);
  }
  if (LittleEndian(dos.data(), 2) != kMzSignature) {
    return Result<uint32_t>::Failure(kErrorBadExeFormat);
  }
  // Signature (4), machine (2), section count (2), then the time stamp.
  std::array<uint8_t, 12> header{};
  const uint64_t peOffset = LittleEndian(dos.data() + kPeOffsetField, 4);
  if (const WinError error = ReadExactly(image, peOffset, header); error != kErrorSuccess) {
    return Result<uint32_t>::Failure(error);
  }
  if (LittleEndian(header.data(), 4) != kPeSignature) {
    return Result<uint32_t>::Failure(kErrorBadExeFormat);
  }
  return LittleEndian(header.data() + 8, 4);
}

}  // namespace tarn::platform
