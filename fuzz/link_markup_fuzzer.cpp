// Hostile link texts, as a translator's file may hold them: the shown text is
// a piece of the input (or all of it) and the target always fits the
// notification's field.
#include <cstddef>
#include <cstdint>

#include "wizard/link_markup.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  tarn::Text text;
  for (size_t i = 0; i + 1 < size; i += 2) {
    text.push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));
  }
  const tarn::wizard::LinkMarkup markup = tarn::wizard::ParseLinkMarkup(text);
  if (markup.target.size() >= tarn::wizard::kLinkTargetCapacity) __builtin_trap();
  if (text.find(markup.shown) == tarn::Text::npos) __builtin_trap();
  if (text.find(markup.target) == tarn::Text::npos) __builtin_trap();
  return 0;
}
