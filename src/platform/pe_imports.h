// A portable reader of the libraries a PE image (32- or 64-bit) imports, as
// its import and delay-load import directories name them, so that the
// program's own build can be checked for libraries the loader would look
// for outside the system folder. Every read is bounds-checked: a damaged
// directory fails the read, never reads out of bounds or loops.
#pragma once

#include <vector>

#include "base/result.h"
#include "base/text.h"
#include "platform/file_system.h"

namespace tarn::platform {

// The library names as the image spells them, in directory order.
struct PeImports {
  // The import directory: loaded with the image, before its entry point.
  std::vector<Text> imported;
  // The delay-load import directory: loaded at the first call.
  std::vector<Text> delayLoaded;
};

// Reads both directories; an image without one has an empty list.
// kErrorBadExeFormat when the bytes are not a PE image or a directory is
// damaged (a descriptor or name outside the image, a name longer than 255
// characters or holding a byte outside printable ASCII, no terminating
// descriptor); the file's error when it cannot be read.
[[nodiscard]] Result<PeImports> ReadPeImports(ReadableFile& image);

}  // namespace tarn::platform
