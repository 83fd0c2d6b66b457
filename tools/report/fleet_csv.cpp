#include "report/fleet_pages.h"

namespace tarn::report {
namespace {

std::string Code(const std::optional<int64_t>& code) {
  return code ? std::to_string(*code) : std::string();
}

void AppendRow(std::string& out, std::initializer_list<std::string_view> fields) {
  bool first = true;
  for (const std::string_view field : fields) {
    if (!first) out += ',';
    first = false;
    out += CsvField(field);
  }
  out += "\r\n";
}

}  // namespace

std::string CsvField(std::string_view text) {
  std::string field;
  if (!text.empty() && std::string_view("=+-@\t\r").find(text.front()) != std::string_view::npos) {
    field += '\'';
  }
  field += text;
  if (field.find_first_of(",\"\r\n") == std::string::npos) return field;
  std::string quoted = "\"";
  for (const char c : field) {
    quoted += c;
    if (c == '"') quoted += '"';
  }
  return quoted + "\"";
}

std::string FleetCsv(const Fleet& fleet) {
  std::string out = "\xEF\xBB\xBF";
  AppendRow(out, {"computer", "runs", "run outcome", "restart", "run started", "run exit code",
                  "file", "kind", "key", "name", "outcome", "exit code", "duration ms"});
  for (const MachineFacts& machine : fleet.machines) {
    const RunFacts& run = machine.latest();
    const std::string runs = std::to_string(machine.runs.size());
    const std::string outcome = RunOutcome(run), restart = RestartState(run);
    const std::string runCode = Code(run.exitCode);
    if (run.steps.empty()) {
      AppendRow(out, {machine.computer, runs, outcome, restart, run.started, runCode, run.file, "",
                      "", "", "", "", ""});
    }
    for (const StepFacts& step : run.steps) {
      const std::string code = Code(step.exitCode), duration = std::to_string(step.durationMs);
      AppendRow(out, {machine.computer, runs, outcome, restart, run.started, runCode, run.file,
                      step.kind, step.key, step.name, step.outcome, code, duration});
    }
  }
  return out;
}

}  // namespace tarn::report
