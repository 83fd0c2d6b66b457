// Parses arbitrary ShellFolderModify values: no crash, and a value without
// any item that begins with a digit only ever sets bits of the 22 folders.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "startup/settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  tarn::Text value(size / 2, u'\0');
  std::memcpy(value.data(), data, value.size() * 2);
  const uint32_t mask = tarn::startup::ParseShellFolderMask(value);
  bool hasNumber = false;
  for (size_t i = 0; i < value.size(); ++i) {
    if (value[i] >= u'0' && value[i] <= u'9') hasNumber = true;
  }
  if (!hasNumber && (mask >> 22) != 0) std::abort();
  return 0;
}
