// Hostile PE files for the portable import reader: truncated headers,
// directories and names pointing anywhere, lists without a terminator,
// names without an end. The reader must fail or answer, never read out of
// bounds or hang.
//
// Each input is read twice: as a file of its own, and as patches to a valid
// image with imports and delay-loaded imports (three bytes per patch:
// offset, offset, value; a final odd byte cuts the image), so the search
// starts inside the descriptor lists without a seed corpus.
#include <cstddef>
#include <cstdint>
#include <span>

#include "../tests/support/pe_image_builder.h"
#include "platform/bytes_file.h"
#include "platform/pe_imports.h"

namespace {

using namespace tarn::platform;

void Read(std::span<const uint8_t> bytes) {
  BytesFile file(bytes);
  const auto imports = ReadPeImports(file);
  if (!imports) return;
  for (const auto* list : {&imports->imported, &imports->delayLoaded}) {
    for (const tarn::Text& name : *list) {
      if (name.empty() || name.size() > 255) __builtin_trap();
    }
  }
}

const std::vector<uint8_t>& SampleImage() {
  static const std::vector<uint8_t> image =
      tarn::testing::BuildImportImage({"KERNEL32.dll", "USER32.dll"}, {"VERSION.dll"});
  return image;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Read(std::span<const uint8_t>(data, size));
  std::vector<uint8_t> image = SampleImage();
  size_t at = 0;
  for (; at + 3 <= size; at += 3) {
    image[(data[at] | (data[at + 1] << 8)) % image.size()] = data[at + 2];
  }
  if (at < size) image.resize(data[at] * image.size() / 256);
  Read(image);
  return 0;
}
