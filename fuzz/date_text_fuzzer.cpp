// Hostile date texts: at most seven fields, and comparing with a time made of
// the same fields is equal.
#include <cstddef>
#include <cstdint>

#include "catalogue/date_compare.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  tarn::Text text;
  for (size_t i = 0; i < size; ++i) text.push_back(static_cast<char16_t>(data[i]));
  using namespace tarn::catalogue;
  const DateFields fields = ParseDateText(text);
  if (fields.count > fields.values.size()) __builtin_trap();
  bool fitsIn16Bits = true;
  for (size_t i = 0; i < fields.count; ++i) fitsIn16Bits &= fields.values[i] <= 0xFFFF;
  if (fitsIn16Bits) {
    tarn::platform::SystemTime same;
    uint16_t* slots[] = {&same.year,   &same.month,  &same.day,         &same.hour,
                         &same.minute, &same.second, &same.milliseconds};
    for (size_t i = 0; i < fields.count; ++i) *slots[i] = static_cast<uint16_t>(fields.values[i]);
    if (CompareDate(same, fields) != 0) __builtin_trap();
  }
  return 0;
}
