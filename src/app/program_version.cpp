#include "app/program_version.h"

#include "tarn_version.h"

namespace tarn::app {

ProgramBuild ThisProgramBuild() {
  ProgramBuild build;
  build.version = FromUtf8(TARN_VERSION_TEXT);
  constexpr int64_t kSourceDate = TARN_SOURCE_DATE;
  if (kSourceDate >= 0) build.sourceDate = kSourceDate;
  return build;
}

Text VersionLine(const ProgramBuild& build) {
  return u"TARN " + build.version;
}

}  // namespace tarn::app
