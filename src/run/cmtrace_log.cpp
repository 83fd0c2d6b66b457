#include "run/cmtrace_log.h"

#include <algorithm>
#include <cstdio>

#include "app/app_context.h"
#include "app/file_trust.h"
#include "base/format.h"
#include "base/paths.h"
#include "platform/file_system.h"
#include "platform/file_time.h"
#include "platform/system_info.h"

namespace tarn::run {
namespace {

constexpr TextView kExtension = u".cmtrace.log";
constexpr TextView kMessageEnd = u"]LOG]!>";
constexpr uint8_t kUtf8Mark[] = {0xEF, 0xBB, 0xBF};

platform::SystemTime UtcCalendar(int64_t unixMs) {
  constexpr int64_t kTicksPerMs = 10'000;
  const int64_t ticks = static_cast<int64_t>(platform::FileTimeFromUnixSeconds(0)) +
                        std::max<int64_t>(unixMs, 0) * kTicksPerMs;
  return platform::FileTimeToCalendar(static_cast<uint64_t>(ticks))
      .value_or(platform::SystemTime{});
}

Text MessageText(TextView message) {
  Text text(message);
  std::replace_if(
      text.begin(), text.end(), [](char16_t c) { return c == u'\r' || c == u'\n'; }, u' ');
  for (size_t at = text.find(kMessageEnd); at != Text::npos; at = text.find(kMessageEnd, at)) {
    text.insert(at + 5, u" ");
  }
  return text;
}

// ", exit code 1 (success)": the code and, when the command's own, its class.
Text ExitCodePart(const app::StepRecord& step) {
  if (!step.exitCode) return {};
  Text part = Format(u", exit code %u", {*step.exitCode});
  if (step.exitClass) part += Format(u" (%s)", {app::ExitClassName(*step.exitClass)});
  return part;
}

Text DetectionPart(const app::StepRecord& step) {
  if (step.detectedBefore == true) return u", already present: not started";
  if (step.detectedAfter == false) return u", not detected after installation";
  if (step.detectedAfter == true) return u", detected after installation";
  return {};
}

}  // namespace

Text CmtraceLogPathFor(TextView logPath) {
  const TextView name = PathFindFileName(logPath);
  const size_t dot = name.rfind(u'.');
  const size_t keep =
      dot == TextView::npos || dot == 0 ? logPath.size() : logPath.size() - (name.size() - dot);
  return Text(logPath.substr(0, keep)) + Text(kExtension);
}

std::string CmtraceLine(TextView message, int64_t unixMs, TextView component, CmtraceType type) {
  const platform::SystemTime t = UtcCalendar(unixMs);
  char stamp[80];
  (void)std::snprintf(stamp, sizeof stamp,
                      "time=\"%02u:%02u:%02u.%03u+000\" date=\"%02u-%02u-%04u\"", unsigned{t.hour},
                      unsigned{t.minute}, unsigned{t.second}, unsigned{t.milliseconds},
                      unsigned{t.month}, unsigned{t.day}, unsigned{t.year});
  Text safeComponent(component);
  std::replace(safeComponent.begin(), safeComponent.end(), u'"', u'\'');
  std::string line = "<![LOG[" + ToUtf8(MessageText(message)) + "]LOG]!><" + stamp +
                     " component=\"" + ToUtf8(safeComponent) + "\" context=\"\" type=\"" +
                     std::to_string(static_cast<int32_t>(type)) + "\" thread=\"\" file=\"\">\r\n";
  return line;
}

Text DescribeStep(const app::StepRecord& step) {
  Text text = Format(u"%s \"%s\"", {app::StepKindLogWord(step.kind), step.name});
  if (step.kind != app::StepKind::kEntry && !step.action.empty()) {
    text += Format(u" (%s)", {step.action});
  }
  text += Format(u": %s", {app::OutcomeName(step.outcome)});
  text += ExitCodePart(step);
  text += DetectionPart(step);
  if (step.tries > 1) text += Format(u", started %u times", {step.tries});
  text += u".";
  return text;
}

CmtraceType StepType(const app::StepRecord& step) {
  switch (step.outcome) {
    case app::Outcome::kError:
    case app::Outcome::kAborted:
      return CmtraceType::kError;
    case app::Outcome::kWarning:
    case app::Outcome::kPending:
      return CmtraceType::kWarning;
    default:
      return CmtraceType::kInformation;
  }
}

CmtraceLog::CmtraceLog(AppContext& app, TextView path, bool append, TextView configuration)
    : app_(app) {
  platform::FileSystem& files = *app.platform.files;
  (void)app::MakeAdministrationOnlyFolders(files, PathRemoveFileSpec(path));
  auto opened = append
                    ? files.OpenToAppend(path, /*writeThrough=*/true)
                    : Result<std::unique_ptr<platform::WritableFile>>::Failure(kErrorFileNotFound);
  if (!opened && opened.error() == kErrorFileNotFound) {
    opened = files.CreateAlways(path, /*writeThrough=*/true);
    if (opened) (void)(*opened)->Write(kUtf8Mark);
  }
  if (!opened) {
    app.log.WriteFormat(app::kLogWarning, static_cast<int32_t>(opened.error()),
                        u"The CMTrace log \"%s\" could not be opened.", {path});
    return;
  }
  file_ = std::move(*opened);
  Write(Format(u"The run of \"%s\" starts.", {configuration}), kCmtraceRunComponent,
        CmtraceType::kInformation);
}

CmtraceLog::~CmtraceLog() = default;

void CmtraceLog::StepFinished(const app::StepRecord& step) {
  Write(DescribeStep(step), step.key, StepType(step));
}

void CmtraceLog::RunFinished(const app::RunTotals& totals) {
  Text text = totals.finished ? Text(u"The run has ended") : Text(u"The run was cancelled");
  text += Format(u"; failed steps: %u", {totals.failed});
  if (totals.endedByError) text += u", it stopped on an error of its own";
  if (totals.restartNeeded) text += u", Windows must restart to complete it";
  text += u".";
  CmtraceType type = CmtraceType::kInformation;
  if (!totals.finished) type = CmtraceType::kWarning;
  if (totals.failed > 0 || totals.endedByError) type = CmtraceType::kError;
  Write(text, kCmtraceRunComponent, type);
}

void CmtraceLog::Write(TextView message, TextView component, CmtraceType type) {
  if (!file_) return;
  const std::string line =
      CmtraceLine(message, app_.platform.system->UnixTimeMs(), component, type);
  (void)file_->Write({reinterpret_cast<const uint8_t*>(line.data()), line.size()});
}

}  // namespace tarn::run
