#include "platform/environment.h"

namespace tarn::platform {
namespace {

// Enough for nearly every command line; longer ones take a second pass.
constexpr uint32_t kFirstExpandCapacity = 522;

}  // namespace

Text ExpandWhole(Environment& environment, TextView text) {
  Expansion expansion = environment.Expand(text, kFirstExpandCapacity);
  if (!expansion.complete() && expansion.required > kFirstExpandCapacity) {
    expansion = environment.Expand(text, expansion.required);
  }
  return expansion.text;
}

}  // namespace tarn::platform
