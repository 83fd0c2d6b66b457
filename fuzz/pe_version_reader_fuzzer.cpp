// Hostile PE files for the portable version reader: truncated headers,
// sections and directories pointing anywhere, resource directories that
// point back at themselves, oversized entries, damaged version blocks. The
// reader must fail or answer, never read out of bounds or hang.
//
// Each input is read twice: as a file of its own, and as patches to a valid
// image with a version resource (three bytes per patch: offset, offset,
// value; a final odd byte cuts the image), so the search starts deep inside
// the resource directory without a seed corpus.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>

#include "../tests/support/pe_image_builder.h"
#include "platform/bytes_file.h"
#include "platform/pe_version_reader.h"

namespace {

using namespace tarn::platform;
using tarn::TextView;

// The same bytes read through the file interface and as a whole image: the
// paged reading of files must answer as the reading of images does.
void Read(std::span<const uint8_t> bytes) {
  const auto resource = ReadPeVersionResource(bytes);
  BytesFile file(bytes);
  const auto fromFile = ReadPeVersionResource(file);
  if (resource.ok() != fromFile.ok() || resource.error() != fromFile.error()) __builtin_trap();
  if (!resource) return;
  const TextView company = u"\\StringFileInfo\\040904b0\\CompanyName";
  if ((*resource)->Fixed() != (*fromFile)->Fixed() ||
      (*resource)->Translations() != (*fromFile)->Translations() ||
      (*resource)->String(company) != (*fromFile)->String(company)) {
    __builtin_trap();
  }
  (void)(*resource)->String(u"\\");
}

const std::vector<uint8_t>& SampleImage() {
  static const std::vector<uint8_t> image = tarn::testing::BuildPeImage(
      tarn::testing::BuildVersionBlock(tarn::testing::SampleVersionSpec()));
  return image;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const uint8_t> bytes(data, size);
  Read(bytes);
  const auto block = ParseVersionBlock(bytes);
  if (block) {
    ParsedVersionResource parsed(*block);
    (void)parsed.Fixed();
    (void)parsed.Translations();
    (void)parsed.String(u"\\VarFileInfo\\Translation");
  }

  std::vector<uint8_t> image = SampleImage();
  size_t at = 0;
  for (; at + 3 <= size; at += 3) {
    image[(data[at] | (data[at + 1] << 8)) % image.size()] = data[at + 2];
  }
  if (at < size) image.resize(data[at] * image.size() / 256);
  Read(image);
  return 0;
}
