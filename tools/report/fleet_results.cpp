#include "report/fleet_results.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>
#include <map>
#include <nlohmann/json.hpp>
#include <sstream>

namespace tarn::report {
namespace {

using nlohmann::json;

// Days since 1970-01-01 of a date of the proleptic Gregorian calendar.
int64_t DaysFromCivil(int64_t year, int64_t month, int64_t day) {
  year -= month <= 2 ? 1 : 0;
  const int64_t era = (year >= 0 ? year : year - 399) / 400;
  const int64_t yearOfEra = year - era * 400;
  const int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468;
}

std::optional<int64_t> Digits(std::string_view text, size_t at, size_t count) {
  int64_t value = 0;
  for (size_t i = at; i < at + count; ++i) {
    if (!std::isdigit(static_cast<unsigned char>(text[i]))) return std::nullopt;
    value = value * 10 + (text[i] - '0');
  }
  return value;
}

std::string TextMember(const json& object, const char* name) {
  const auto found = object.find(name);
  return found != object.end() && found->is_string() ? found->get<std::string>() : std::string();
}

bool BoolMember(const json& object, const char* name) {
  const auto found = object.find(name);
  return found != object.end() && found->is_boolean() && found->get<bool>();
}

std::optional<int64_t> NumberMember(const json& object, const char* name) {
  const auto found = object.find(name);
  if (found == object.end() || !found->is_number_integer()) return std::nullopt;
  return found->get<int64_t>();
}

StepFacts ReadStep(const json& step) {
  StepFacts facts;
  facts.kind = TextMember(step, "kind");
  facts.key = TextMember(step, "key");
  facts.name = TextMember(step, "name");
  facts.outcome = TextMember(step, "outcome");
  facts.exitCode = NumberMember(step, "exitCode");
  facts.durationMs = NumberMember(step, "durationMs").value_or(0);
  return facts;
}

bool Failed(const StepFacts& step) {
  return step.outcome == "error" || step.outcome == "aborted";
}

std::string Folded(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

bool LaterRun(const RunFacts& a, const RunFacts& b) {
  if (a.started != b.started) return a.started > b.started;
  return a.file > b.file;
}

}  // namespace

std::optional<int64_t> ParseUtcTime(std::string_view text) {
  // 2026-12-01T07:13:42.005Z
  if (text.size() != 24 || text[4] != '-' || text[7] != '-' || text[10] != 'T' || text[13] != ':' ||
      text[16] != ':' || text[19] != '.' || text[23] != 'Z') {
    return std::nullopt;
  }
  const auto year = Digits(text, 0, 4), month = Digits(text, 5, 2), day = Digits(text, 8, 2);
  const auto hour = Digits(text, 11, 2), minute = Digits(text, 14, 2);
  const auto second = Digits(text, 17, 2), ms = Digits(text, 20, 3);
  if (!year || !month || !day || !hour || !minute || !second || !ms) return std::nullopt;
  if (*month < 1 || *month > 12 || *day < 1 || *day > 31 || *hour > 23 || *minute > 59 ||
      *second > 60) {
    return std::nullopt;
  }
  const int64_t days = DaysFromCivil(*year, *month, *day);
  return ((days * 24 + *hour) * 60 + *minute) * 60'000 + *second * 1000 + *ms;
}

std::string RunOutcome(const RunFacts& run) {
  if (std::any_of(run.steps.begin(), run.steps.end(), Failed)) return "failed";
  const bool stoppedForRestart = !run.finished && !run.steps.empty() &&
                                 run.steps.back().kind == "restart" &&
                                 run.steps.back().outcome == "success";
  if (stoppedForRestart) return "restarting";
  if (run.ended.empty()) return "running";
  if (!run.finished) return "cancelled";
  const bool warned =
      !run.warnings.empty() || std::any_of(run.steps.begin(), run.steps.end(),
                                           [](const auto& s) { return s.outcome == "warning"; });
  return warned ? "warning" : "success";
}

std::string RestartState(const RunFacts& run) {
  std::string state = run.restartStarted ? "started" : run.restartNeeded ? "needed" : "";
  if (run.restarts > 0) {
    if (!state.empty()) state += ", ";
    state += std::to_string(run.restarts) + " in the run";
  }
  return state;
}

std::optional<int64_t> DurationMs(const RunFacts& run) {
  const auto started = ParseUtcTime(run.started), ended = ParseUtcTime(run.ended);
  if (!started || !ended || *ended < *started) return std::nullopt;
  return *ended - *started;
}

std::string ComputerFromFileName(std::string_view file) {
  const size_t dot = file.rfind('.');
  const std::string_view stem = dot == std::string_view::npos ? file : file.substr(0, dot);
  // "-20261209T071500Z": a dash, 8 digits, T, 6 digits, Z.
  constexpr size_t kTimeSize = 17;
  if (stem.size() > kTimeSize) {
    const std::string_view time = stem.substr(stem.size() - kTimeSize);
    const bool isTime = time[0] == '-' && time[9] == 'T' && time[16] == 'Z' && Digits(time, 1, 8) &&
                        Digits(time, 10, 6);
    if (isTime) return std::string(stem.substr(0, stem.size() - kTimeSize));
  }
  return std::string(stem);
}

std::variant<RunFacts, std::string> ReadRun(std::string_view file, std::string_view text) {
  const json document = json::parse(text.begin(), text.end(), nullptr, /*allow_exceptions=*/false);
  if (document.is_discarded()) return std::string("not JSON");
  if (!document.is_object() || TextMember(document, "program") != "TARN") {
    return std::string("not a TARN result file");
  }
  const auto version = NumberMember(document, "version");
  if (version != 1) return std::string("result file version not known");
  RunFacts run;
  run.file = std::string(file);
  run.computer = TextMember(document, "computer");
  if (run.computer.empty()) run.computer = ComputerFromFileName(file);
  run.started = TextMember(document, "started");
  run.ended = TextMember(document, "ended");
  run.finished = BoolMember(document, "finished");
  run.restartNeeded = BoolMember(document, "restartNeeded");
  run.restartStarted = BoolMember(document, "restartStarted");
  run.restarts = NumberMember(document, "restarts").value_or(0);
  run.exitCode = NumberMember(document, "exitCode");
  if (const auto warnings = document.find("warnings");
      warnings != document.end() && warnings->is_array()) {
    for (const json& warning : *warnings) {
      if (warning.is_string()) run.warnings.push_back(warning.get<std::string>());
    }
  }
  if (const auto steps = document.find("steps"); steps != document.end() && steps->is_array()) {
    for (const json& step : *steps) {
      if (step.is_object()) run.steps.push_back(ReadStep(step));
    }
  }
  return run;
}

Fleet GatherFleet(std::vector<RunFacts> runs, std::vector<UnreadableFile> unreadable) {
  std::map<std::string, MachineFacts> byName;
  for (RunFacts& run : runs) {
    MachineFacts& machine = byName[Folded(run.computer)];
    if (machine.computer.empty()) machine.computer = run.computer;
    machine.runs.push_back(std::move(run));
  }
  Fleet fleet;
  std::map<std::string, FailedEntry> failures;
  for (auto& [folded, machine] : byName) {
    std::sort(machine.runs.begin(), machine.runs.end(), LaterRun);
    for (const StepFacts& step : machine.latest().steps) {
      if (!Failed(step)) continue;
      FailedEntry& entry = failures[step.kind + "\n" + step.key];
      entry.key = step.key;
      if (entry.name.empty()) entry.name = step.name;
      entry.machines.emplace_back(machine.latest().computer, step.exitCode);
    }
    fleet.machines.push_back(std::move(machine));
  }
  for (auto& [id, entry] : failures) fleet.failures.push_back(std::move(entry));
  std::stable_sort(fleet.failures.begin(), fleet.failures.end(), [](const auto& a, const auto& b) {
    return a.machines.size() > b.machines.size();
  });
  std::sort(unreadable.begin(), unreadable.end(),
            [](const auto& a, const auto& b) { return a.file < b.file; });
  fleet.unreadable = std::move(unreadable);
  return fleet;
}

std::optional<Fleet> ReadFleet(const std::filesystem::path& folder) {
  std::error_code error;
  std::filesystem::directory_iterator listing(folder, error);
  if (error) return std::nullopt;
  std::vector<RunFacts> runs;
  std::vector<UnreadableFile> unreadable;
  std::string text;
  for (const auto& item : listing) {
    const std::filesystem::path& path = item.path();
    if (path.extension() != ".json" || !item.is_regular_file(error)) continue;
    const std::string name = reinterpret_cast<const char*>(path.filename().u8string().c_str());
    std::ifstream in(path, std::ios::binary);
    if (!in) {
      unreadable.push_back({name, "cannot be opened"});
      continue;
    }
    text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    auto read = ReadRun(name, text);
    if (auto* run = std::get_if<RunFacts>(&read)) {
      runs.push_back(std::move(*run));
    } else {
      unreadable.push_back({name, std::get<std::string>(read)});
    }
  }
  return GatherFleet(std::move(runs), std::move(unreadable));
}

}  // namespace tarn::report
