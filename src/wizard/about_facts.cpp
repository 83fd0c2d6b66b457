#include "wizard/about_facts.h"

#include <limits>

#include "platform/file_time.h"
#include "platform/system_info.h"

namespace tarn::wizard {

AboutFacts AboutFactsOf(const platform::Platform& platform, const app::ProgramBuild& build) {
  AboutFacts facts;
  facts.version = build.version;
  const std::optional<int64_t> seconds = build.sourceDate;
  if (!seconds || *seconds < 0 || *seconds > std::numeric_limits<uint32_t>::max()) return facts;
  const auto local = platform.system->FileTimeToLocalTime(
      platform::FileTimeFromUnixSeconds(static_cast<uint32_t>(*seconds)));
  if (local) facts.buildDate = platform.system->FormatLongDateTime(*local, kBuildDateCapacity);
  return facts;
}

}  // namespace tarn::wizard
