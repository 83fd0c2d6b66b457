#include "platform/expand_text.h"

namespace tarn::platform {

Text ExpandIntoBuffer(platform::Environment* environment, TextView text, uint32_t bufferCapacity) {
  if (environment == nullptr) return CutToBuffer(text, bufferCapacity);
  return environment->Expand(text, bufferCapacity).text;
}

}  // namespace tarn::platform
