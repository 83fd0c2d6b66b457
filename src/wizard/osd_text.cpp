#include "wizard/osd_text.h"

#include "base/format.h"

namespace tarn::wizard {

Text OsdFormatOrDefault(TextView configured, TextView fallback) {
  return Text(configured.empty() ? fallback : configured);
}

Text OsdText(TextView format, uint32_t seconds) {
  // A signed argument, so that "%d" and "%i" take it as written.
  Text text = Format(format, {static_cast<long long>(seconds)});
  if (text.size() > kOsdTextCapacity) text.resize(kOsdTextCapacity);
  return text;
}

}  // namespace tarn::wizard
