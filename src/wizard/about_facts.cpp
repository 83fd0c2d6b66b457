#include "wizard/about_facts.h"

#include "catalogue/installation_tests.h"
#include "platform/file_system.h"
#include "platform/file_time.h"
#include "platform/pe_time_stamp.h"
#include "platform/system_info.h"

namespace tarn::wizard {
namespace {

Text BuildDate(const platform::Platform& platform, TextView programFile) {
  auto file = platform.files->OpenForReading(programFile);
  if (!file) return Text();
  const Result<uint32_t> stamp = platform::ReadPeTimeStamp(**file);
  if (!stamp) return Text();
  const auto local =
      platform.system->FileTimeToLocalTime(platform::FileTimeFromUnixSeconds(*stamp));
  if (!local) return Text();
  return platform.system->FormatLongDateTime(*local, kBuildDateCapacity);
}

}  // namespace

AboutFacts ReadAboutFacts(const platform::Platform& platform) {
  const Text programFile = platform.system->ModuleFileName();
  AboutFacts facts;
  facts.version =
      catalogue::ReadFileVersion(platform, programFile, catalogue::VersionKind::kProduct)
          .value_or(Text());
  facts.buildDate = BuildDate(platform, programFile);
  return facts;
}

}  // namespace tarn::wizard
