// Hostile version texts: reading, normalising and comparing never fail, and
// a normalised text reads back as the same version.
#include <cstddef>
#include <cstdint>

#include "catalogue/version_compare.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  tarn::Text text;
  for (size_t i = 0; i < size; ++i) text.push_back(static_cast<char16_t>(data[i]));
  using namespace tarn::catalogue;
  const VersionParts parts = ParseVersionText(text);
  if (CompareVersions(parts, parts) != 0) __builtin_trap();
  const tarn::Text normalised = NormaliseVersionString(text);
  if (!normalised.empty()) {
    const VersionParts again = ParseVersionText(normalised);
    if (CompareVersions(again, ParseVersionText(NormaliseVersionString(normalised))) != 0) {
      __builtin_trap();
    }
  }
  const tarn::Text half = text.substr(0, text.size() / 2);
  const int ab = CompareVersions(parts, ParseVersionText(half));
  const int ba = CompareVersions(ParseVersionText(half), parts);
  if ((ab > 0) != (ba < 0)) __builtin_trap();
  return 0;
}
