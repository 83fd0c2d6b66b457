#include "run/resume_journal.h"

#include <string_view>
#include <vector>

#include "app/app_context.h"
#include "run/json_text.h"

namespace tarn::run {
namespace {

constexpr TextView kJournalMark = u"TARN resume journal 1";

std::string LineOf(std::initializer_list<TextView> items) {
  std::string line = "[";
  for (const TextView item : items) {
    if (line.size() > 1) line += ',';
    AppendJsonString(line, item);
  }
  line += "]\n";
  return line;
}

// The configuration as it is now: a changed file is another configuration.
std::string HeaderFor(platform::FileSystem& files, TextView configuration) {
  const Result<platform::FileInfo> info = files.GetInfo(configuration);
  const uint64_t size = info ? info->size : 0;
  const uint64_t written = info ? info->lastWriteTime : 0;
  return LineOf({kJournalMark, configuration, FromUtf8(std::to_string(size)),
                 FromUtf8(std::to_string(written))});
}

bool CountsAsDone(TextView outcome) {
  return outcome == app::OutcomeName(app::Outcome::kSuccess) ||
         outcome == app::OutcomeName(app::Outcome::kSuccessRestart) ||
         outcome == app::OutcomeName(app::Outcome::kWarning);
}

}  // namespace

Text JournalPathFor(TextView logPath, TextView configurationPath) {
  Text path(logPath.empty() ? configurationPath : logPath);
  path += u".journal";
  return path;
}

ResumeJournal::ResumeJournal(AppContext& app, TextView path, TextView configuration)
    : app_(app), path_(path) {
  platform::FileSystem& files = *app_.platform.files;
  const std::string header = HeaderFor(files, configuration);
  Load(header);
  auto file = files.CreateAlways(path_, /*writeThrough=*/true);
  if (file) file_ = std::move(*file);
  Append(header);
  for (const auto& [step, outcome] : done_) {
    Append(LineOf({app::StepKindName(step.first), step.second, outcome}));
  }
}

void ResumeJournal::Load(const std::string& header) {
  const auto bytes = app_.platform.files->ReadAll(path_);
  if (!bytes) return;
  const std::string_view text(reinterpret_cast<const char*>(bytes->data()), bytes->size());
  if (!text.starts_with(header)) return;
  size_t at = header.size();
  while (at < text.size()) {
    size_t end = text.find('\n', at);
    // A line without its end was cut off by the interruption.
    if (end == std::string_view::npos) break;
    const auto items = ParseJsonStringArray(text.substr(at, end - at));
    at = end + 1;
    if (!items || items->size() != 3 || !CountsAsDone((*items)[2])) continue;
    // A kind this program doesn't know is nobody's step.
    const std::optional<app::StepKind> kind = app::StepKindNamed((*items)[0]);
    if (!kind) continue;
    done_.insert({{*kind, (*items)[1]}, (*items)[2]});
    if ((*items)[2] == app::OutcomeName(app::Outcome::kSuccessRestart)) earlierRestart_ = true;
  }
}

void ResumeJournal::Append(const std::string& line) {
  const WinError error =
      file_ ? file_->Write({reinterpret_cast<const uint8_t*>(line.data()), line.size()})
            : kErrorAccessDenied;
  if (error == kErrorSuccess || reportedFailure_) return;
  reportedFailure_ = true;
  app_.log.WriteFormat(app::kLogWarning, static_cast<int32_t>(error),
                       u"The resume journal \"%s\" could not be written.", {path_});
}

bool ResumeJournal::AlreadyDone(app::StepKind kind, TextView key) {
  return done_.contains({kind, Text(key)});
}

void ResumeJournal::StepFinished(const app::StepRecord& step) {
  if (AlreadyDone(step.kind, step.key)) return;
  Append(LineOf({app::StepKindName(step.kind), step.key, app::OutcomeName(step.outcome)}));
}

void ResumeJournal::RunFinished(const app::RunTotals& totals) {
  if (!totals.finished) return;
  file_.reset();
  (void)app_.platform.files->DeleteFile(path_);
}

}  // namespace tarn::run
