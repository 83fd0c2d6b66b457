// The time stamp the linker writes into a program file's header: when the
// program was built, in seconds since 1970-01-01 UTC.
#pragma once

#include <cstdint>

#include "base/result.h"
#include "platform/file_system.h"

namespace tarn::platform {

// TimeDateStamp of the COFF file header of a PE image. Reads only the DOS
// header and the eight bytes at the PE signature; fails with
// kErrorBadExeFormat when they are not there or not a PE image, with the
// file's error when it cannot be read.
[[nodiscard]] Result<uint32_t> ReadPeTimeStamp(ReadableFile& image);

}  // namespace tarn::platform
