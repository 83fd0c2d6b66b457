#include "run/resume_journal.h"

#include <string_view>
#include <vector>

#include "app/app_context.h"
#include "app/file_trust.h"
#include "base/paths.h"
#include "platform/environment.h"
#include "platform/registry.h"
#include "platform/system_info.h"
#include "run/file_replacement.h"
#include "run/json_text.h"

namespace tarn::run {
namespace {

constexpr TextView kJournalMark = u"TARN resume journal 2";
constexpr size_t kMachineItems = 2;
constexpr size_t kHeaderItems = 6;
constexpr uint32_t kExpandCapacity = 260;

std::string LineOf(const std::vector<Text>& items) {
  std::string line = "[";
  for (const Text& item : items) {
    if (line.size() > 1) line += ',';
    AppendJsonString(line, item);
  }
  line += "]\n";
  return line;
}

// The configuration as it is now (a changed file is another configuration)
// and the machine it runs on.
std::vector<Text> HeaderFor(const platform::Platform& platform, TextView configuration) {
  const Result<platform::FileInfo> info = platform.files->GetInfo(configuration);
  const uint64_t size = info ? info->size : 0;
  const uint64_t written = info ? info->lastWriteTime : 0;
  const MachineIdentity machine = ReadMachineIdentity(platform);
  return {Text(kJournalMark),
          Text(configuration),
          FromUtf8(std::to_string(size)),
          FromUtf8(std::to_string(written)),
          machine.computerName,
          machine.machineGuid};
}

bool CountsAsDone(TextView outcome) {
  return outcome == app::OutcomeName(app::Outcome::kSuccess) ||
         outcome == app::OutcomeName(app::Outcome::kSuccessRestart) ||
         outcome == app::OutcomeName(app::Outcome::kWarning) ||
         outcome == app::OutcomeName(app::Outcome::kPresent);
}

Text RegistryText(platform::Registry& registry, TextView key, TextView name) {
  platform::ScopedKey opened =
      platform::ScopedKey::Open(registry, platform::kLocalMachine, key, platform::kKeyRead);
  if (!opened) return {};
  const Result<platform::RegValue> value = registry.QueryValue(opened.get(), name);
  return value ? value->AsText() : Text();
}

}  // namespace

MachineIdentity ReadMachineIdentity(const platform::Platform& platform) {
  MachineIdentity identity;
  identity.computerName = platform.system->ComputerName().value_or(Text());
  identity.machineGuid =
      RegistryText(*platform.registry, u"SOFTWARE\\Microsoft\\Cryptography", u"MachineGuid");
  return identity;
}

Text MachineRecordsFolder(const platform::Platform& platform) {
  Text data =
      RegistryText(*platform.registry,
                   u"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList", u"ProgramData");
  if (data.empty()) data = u"%ProgramData%";
  data = platform.environment->Expand(data, kExpandCapacity).text;
  if (PathIsRelative(data)) data = u"C:\\ProgramData";
  return PathAppend(data, u"TARN");
}

Text JournalPathFor(const platform::Platform& platform, TextView configurationPath) {
  Text name(PathFindFileName(configurationPath));
  name += u".journal";
  return PathAppend(MachineRecordsFolder(platform), name);
}

ResumeJournal::ResumeJournal(AppContext& app, TextView path, TextView configuration)
    : app_(app), path_(path) {
  const std::vector<Text> header = HeaderFor(app_.platform, configuration);
  Load(header);
  std::string text = LineOf(header);
  for (const auto& [step, outcome] : done_) {
    text += LineOf({Text(app::StepKindName(step.first)), step.second, outcome});
  }
  Start(text);
}

Text ResumeJournal::Distrust() {
  platform::FileSystem& files = *app_.platform.files;
  if (auto link = app::ReparsePointOnTheWay(files, path_)) {
    return Format(u"is reached through the junction or link \"%s\"", {*link});
  }
  const Result<platform::Sid> owner = files.GetOwner(path_);
  if (!owner) return u"has an owner that cannot be read";
  if (!app::IsAdministratorsOrSystem(*owner)) {
    return Format(u"is owned by %s, not by the administrators", {owner->ToText()});
  }
  return {};
}

void ResumeJournal::Load(const std::vector<Text>& header) {
  const auto bytes = app_.platform.files->ReadAll(path_);
  if (!bytes) return;
  const std::string_view text(reinterpret_cast<const char*>(bytes->data()), bytes->size());
  size_t at = text.find('\n');
  if (at == std::string_view::npos) return;
  const auto first = ParseJsonStringArray(text.substr(0, at));
  // Another or a changed configuration: its journal is simply started afresh.
  if (!first || first->size() != kHeaderItems ||
      !std::equal(header.begin(), header.end() - kMachineItems, first->begin())) {
    return;
  }
  Text why = Distrust();
  if (why.empty() &&
      !std::equal(header.end() - kMachineItems, header.end(), first->end() - kMachineItems)) {
    why = Format(u"belongs to the computer \"%s\"", {(*first)[kHeaderItems - kMachineItems]});
  }
  if (!why.empty()) {
    ReportWarning(app_, Format(u"The resume journal \"%s\" %s: it is not used and every step "
                               u"runs.",
                               {path_, why}));
    return;
  }
  ++at;
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
    // A restart has given the steps before it the restart they asked for.
    if (*kind == app::StepKind::kRestart) earlierRestart_ = false;
    done_.insert({{*kind, (*items)[1]}, (*items)[2]});
    if ((*items)[2] == app::OutcomeName(app::Outcome::kSuccessRestart)) earlierRestart_ = true;
  }
}

void ResumeJournal::Start(const std::string& text) {
  platform::FileSystem& files = *app_.platform.files;
  (void)app::MakeAdministrationOnlyFolders(files, PathRemoveFileSpec(path_));
  WinError error =
      ReplaceFileWhole(files, path_, {reinterpret_cast<const uint8_t*>(text.data()), text.size()},
                       static_cast<uint64_t>(app_.platform.system->UnixTimeMs()));
  if (error == kErrorSuccess) {
    // Where policy makes the creator the owner of what an administrator
    // creates, the next run would distrust its own journal.
    (void)files.SetOwner(path_, platform::AdministratorsSid());
    auto file = files.OpenToAppend(path_, /*writeThrough=*/true);
    if (file) file_ = std::move(*file);
    error = file ? kErrorSuccess : file.error();
  }
  if (error != kErrorSuccess) ReportWriteFailure(error);
}

void ResumeJournal::Append(const std::string& line) {
  const WinError error =
      file_ ? file_->Write({reinterpret_cast<const uint8_t*>(line.data()), line.size()})
            : kErrorAccessDenied;
  if (error != kErrorSuccess) ReportWriteFailure(error);
}

void ResumeJournal::ReportWriteFailure(WinError error) {
  if (reportedFailure_) return;
  reportedFailure_ = true;
  app_.log.WriteFormat(app::kLogWarning, static_cast<int32_t>(error),
                       u"The resume journal \"%s\" could not be written.", {path_});
}

bool ResumeJournal::AlreadyDone(app::StepKind kind, TextView key) {
  return done_.contains({kind, Text(key)});
}

void ResumeJournal::StepFinished(const app::StepRecord& step) {
  if (AlreadyDone(step.kind, step.key)) return;
  Append(
      LineOf({Text(app::StepKindName(step.kind)), step.key, Text(app::OutcomeName(step.outcome))}));
}

void ResumeJournal::RunFinished(const app::RunTotals& totals) {
  if (!totals.finished) return;
  file_.reset();
  (void)app_.platform.files->DeleteFile(path_);
}

}  // namespace tarn::run
