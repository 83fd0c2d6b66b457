#include "run/report_copy.h"

#include <cstdio>
#include <span>

#include "app/app_context.h"
#include "base/format.h"
#include "base/paths.h"
#include "platform/file_system.h"
#include "platform/file_time.h"
#include "platform/system_info.h"
#include "run/file_replacement.h"

namespace tarn::run {
namespace {

bool AllowedInFileName(char16_t c) {
  if (c < 0x20) return false;
  for (const char16_t refused : TextView(u"\\/:*?\"<>|")) {
    if (c == refused) return false;
  }
  return true;
}

// "20261209T071500Z".
Text CompactUtcTime(int64_t unixMs) {
  const uint64_t fileTime =
      platform::FileTimeFromUnixSeconds(unixMs < 0 ? 0 : static_cast<uint32_t>(unixMs / 1000));
  const platform::SystemTime time =
      platform::FileTimeToCalendar(fileTime).value_or(platform::SystemTime{});
  char text[64];
  (void)std::snprintf(text, sizeof text, "%04u%02u%02uT%02u%02u%02uZ", unsigned{time.year},
                      unsigned{time.month}, unsigned{time.day}, unsigned{time.hour},
                      unsigned{time.minute}, unsigned{time.second});
  return FromUtf8(text);
}

std::span<const uint8_t> Bytes(std::string_view text) {
  return {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
}

// One try: the result first, so a reader that finds a log finds its result too.
WinError CopyOnce(AppContext& app, TextView stem, std::string_view json) {
  platform::FileSystem& files = *app.platform.files;
  const auto stamp = static_cast<uint64_t>(app.platform.system->UnixTimeMs());
  if (const WinError error = ReplaceFileWhole(files, Text(stem) + u".json", Bytes(json), stamp)) {
    return error;
  }
  if (!app.log.IsOpen()) return kErrorSuccess;
  const Result<std::vector<uint8_t>> log = files.ReadAll(app.log.path());
  if (!log) return log.error();
  return ReplaceFileWhole(files, Text(stem) + u".log", *log, stamp);
}

}  // namespace

Text ReportCopyStem(TextView computer, int64_t unixMs) {
  Text stem;
  for (const char16_t c : computer) stem += AllowedInFileName(c) ? c : u'_';
  if (stem.empty()) stem = u"unknown";
  return stem + u"-" + CompactUtcTime(unixMs);
}

WinError CopyToReportFolder(AppContext& app, TextView folder, TextView computer,
                            std::string_view json) {
  const Text stem = PathAppend(folder, ReportCopyStem(computer, app.platform.system->UnixTimeMs()));
  WinError error = kErrorSuccess;
  for (uint32_t attempt = 1; attempt <= kReportCopyTries; ++attempt) {
    if (attempt > 1) app.platform.system->Sleep(kReportCopyPauseMs);
    error = CopyOnce(app, stem, json);
    if (error == kErrorSuccess) {
      app.log.WriteFormat(app::kLogInfo, 0, u"The result and the log were copied to \"%s\".",
                          {stem + u".json"});
      return error;
    }
  }
  return error;
}

}  // namespace tarn::run
