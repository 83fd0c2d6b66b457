#include "run/result_file.h"

#include <algorithm>
#include <cstdio>

#include "app/app_context.h"
#include "app/file_trust.h"
#include "app/program_version.h"
#include "base/paths.h"
#include "platform/file_system.h"
#include "platform/file_time.h"
#include "platform/system_info.h"
#include "run/file_replacement.h"
#include "run/json_text.h"

namespace tarn::run {
namespace {

// Writes the fields of one JSON object, each but the first after
// `separator`, so that no caller keeps count of commas.
class JsonFields {
 public:
  JsonFields(std::string& out, const char* separator) : out_(out), separator_(separator) {}

  JsonFields& Text(const char* key, TextView value) {
    Key(key);
    AppendJsonString(out_, value);
    return *this;
  }
  JsonFields& Number(const char* key, std::optional<uint64_t> value) {
    Key(key);
    out_ += value ? std::to_string(*value) : "null";
    return *this;
  }
  JsonFields& Bool(const char* key, bool value) {
    Key(key);
    out_ += value ? "true" : "false";
    return *this;
  }
  JsonFields& OptionalBool(const char* key, std::optional<bool> value) {
    if (!value) return Null(key);
    return Bool(key, *value);
  }
  JsonFields& OptionalText(const char* key, std::optional<TextView> value) {
    if (!value) return Null(key);
    return Text(key, *value);
  }
  JsonFields& Time(const char* key, std::optional<int64_t> unixMs) {
    if (!unixMs) return Null(key);
    return Text(key, FromUtf8(IsoUtcText(*unixMs)));
  }

 private:
  JsonFields& Null(const char* key) {
    Key(key);
    out_ += "null";
    return *this;
  }
  void Key(const char* key) {
    if (!first_) out_ += separator_;
    first_ = false;
    out_ += '"';
    out_ += key;
    out_ += "\":";
  }

  std::string& out_;
  const char* separator_;
  bool first_ = true;
};

// What decided an entry's outcome besides the run's own ends: the class of
// its exit code and what its detection found before and after the command.
void AppendJudgement(std::string& out, const app::StepRecord& step) {
  std::optional<TextView> exitClass;
  if (step.exitClass) exitClass = app::ExitClassName(*step.exitClass);
  out += ',';
  JsonFields(out, ",")
      .OptionalText("exitClass", exitClass)
      .OptionalBool("detectedBefore", step.detectedBefore)
      .OptionalBool("detectedAfter", step.detectedAfter);
}

void AppendStep(std::string& out, const app::StepRecord& step) {
  out += "    {";
  JsonFields(out, ",")
      .Text("kind", app::StepKindName(step.kind))
      .Text("key", step.key)
      .Text("name", step.name)
      .Text("action", step.action)
      .Number("exitCode", step.exitCode)
      .Text("outcome", app::OutcomeName(step.outcome))
      .Time("started", step.startUnixMs)
      .Number("durationMs", step.durationMs)
      .Number("tries", step.tries);
  AppendJudgement(out, step);
  out += '}';
}

}  // namespace

uint32_t ResultExitCode(const app::RunTotals& totals) {
  // The run goes on after the restart, whose start tells the run's outcome.
  if (totals.continuesAfterRestart && totals.restartStarted) return kExitRestartStarted;
  if (totals.failed > 0 || totals.endedByError) return kExitFailed;
  if (totals.continuesAfterRestart) return kExitRestartNeeded;
  if (!totals.started || !totals.finished) return kExitCancelled;
  if (totals.restartStarted) return kExitRestartStarted;
  if (totals.restartNeeded) return kExitRestartNeeded;
  return kExitAllSucceeded;
}

std::string IsoUtcText(int64_t unixMs) {
  // Before 1601 the calendar has no answer; no run starts then.
  constexpr int64_t kTicksPerMs = 10'000;
  const int64_t ticks = static_cast<int64_t>(platform::FileTimeFromUnixSeconds(0)) +
                        std::max<int64_t>(unixMs, -11'644'473'600'000) * kTicksPerMs;
  const platform::SystemTime time =
      platform::FileTimeToCalendar(static_cast<uint64_t>(ticks)).value_or(platform::SystemTime{});
  char text[64];
  (void)std::snprintf(text, sizeof text, "%04u-%02u-%02uT%02u:%02u:%02u.%03uZ", unsigned{time.year},
                      unsigned{time.month}, unsigned{time.day}, unsigned{time.hour},
                      unsigned{time.minute}, unsigned{time.second}, unsigned{time.milliseconds});
  return text;
}

ResultFile::ResultFile(AppContext& app, TextView path, TextView configuration)
    : app_(app),
      path_(path),
      configuration_(configuration),
      startedMs_(app.platform.system->UnixTimeMs()) {
  // A folder the program makes for its report is for the administrators alone.
  if (path_.empty()) return;
  (void)app::MakeAdministrationOnlyFolders(*app.platform.files, PathRemoveFileSpec(path_));
}

void ResultFile::StepFinished(const app::StepRecord& step) {
  steps_.push_back(step);
  Write();
}

void ResultFile::RunFinished(const app::RunTotals& totals) {
  totals_ = totals;
  endedMs_ = app_.platform.system->UnixTimeMs();
  Write();
}

void ResultFile::Close(const app::RunTotals& totals, uint32_t exitCode) {
  totals_ = totals;
  if (!endedMs_) endedMs_ = app_.platform.system->UnixTimeMs();
  exitCode_ = exitCode;
  Write();
}

std::string ResultFile::Json() const {
  std::string out = "{\n  ";
  JsonFields(out, ",\n  ")
      .Text("$schema", kResultSchemaId)
      .Number("version", 1)
      .Text("program", u"TARN")
      .Text("programVersion", app::ThisProgramBuild().version)
      .Text("configuration", configuration_)
      .Text("computer", Computer())
      .Time("started", startedMs_)
      .Time("ended", endedMs_)
      .Bool("finished", totals_.finished)
      .Bool("resumed", totals_.resumed)
      .Bool("restartNeeded", totals_.restartNeeded)
      .Bool("restartStarted", totals_.restartStarted)
      .Number("restarts", totals_.restarts)
      .Number("exitCode", exitCode_);
  out += ",\n  \"warnings\":[";
  for (size_t i = 0; i < app_.warnings.size(); ++i) {
    out += i == 0 ? "\n    " : ",\n    ";
    AppendJsonString(out, app_.warnings[i]);
  }
  out += app_.warnings.empty() ? "]" : "\n  ]";
  out += ",\n  \"steps\":[";
  for (size_t i = 0; i < steps_.size(); ++i) {
    out += i == 0 ? "\n" : ",\n";
    AppendStep(out, steps_[i]);
  }
  out += steps_.empty() ? "]\n}\n" : "\n  ]\n}\n";
  return out;
}

Text ResultFile::Computer() const {
  for (auto step = steps_.rbegin(); step != steps_.rend(); ++step) {
    if (step->kind == app::StepKind::kSetting && step->key == u"ComputerName" &&
        step->outcome == app::Outcome::kSuccess && !step->name.empty()) {
      return step->name;
    }
  }
  return app_.platform.system->ComputerName().value_or(Text());
}

void ResultFile::Write() {
  if (path_.empty()) return;
  const std::string json = Json();
  const WinError error = ReplaceFileWhole(
      *app_.platform.files, path_, {reinterpret_cast<const uint8_t*>(json.data()), json.size()},
      static_cast<uint64_t>(app_.platform.system->UnixTimeMs()));
  if (error == kErrorSuccess || reportedFailure_) return;
  reportedFailure_ = true;
  app_.log.WriteFormat(app::kLogWarning, static_cast<int32_t>(error),
                       u"The result file \"%s\" could not be written.", {path_});
}

}  // namespace tarn::run
