#include "base/wipe.h"

namespace tarn {

void SecureZero(void* data, size_t size) {
  auto* p = static_cast<volatile unsigned char*>(data);
  for (size_t i = 0; i < size; ++i) p[i] = 0;
}

}  // namespace tarn
