#include "run/restart_rules.h"

#include "app/exit_class.h"
#include "catalogue/software_entry.h"
#include "platform/registry.h"

namespace tarn::run {
namespace {

constexpr TextView kServicingPendingKey =
    u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Component Based Servicing\\RebootPending";
constexpr TextView kUpdateRequiredKey =
    u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\WindowsUpdate\\Auto Update\\RebootRequired";
constexpr TextView kActiveNameKey =
    u"SYSTEM\\CurrentControlSet\\Control\\ComputerName\\ActiveComputerName";
constexpr TextView kPendingNameKey =
    u"SYSTEM\\CurrentControlSet\\Control\\ComputerName\\ComputerName";
constexpr TextView kSessionManagerKey = u"SYSTEM\\CurrentControlSet\\Control\\Session Manager";

bool KeyExists(platform::Registry& registry, TextView key) {
  return static_cast<bool>(
      platform::ScopedKey::Open(registry, platform::kLocalMachine, key, platform::kKeyRead));
}

std::optional<platform::RegValue> MachineValue(platform::Registry& registry, TextView key,
                                               TextView name) {
  const platform::ScopedKey opened =
      platform::ScopedKey::Open(registry, platform::kLocalMachine, key, platform::kKeyRead);
  if (!opened) return std::nullopt;
  Result<platform::RegValue> value = registry.QueryValue(opened.get(), name);
  if (!value) return std::nullopt;
  return std::move(*value);
}

// The name the computer takes at the next start differs from the one it has.
bool RenamePending(platform::Registry& registry) {
  const auto active = MachineValue(registry, kActiveNameKey, u"ComputerName");
  const auto pending = MachineValue(registry, kPendingNameKey, u"ComputerName");
  return active && pending && !EqualsIgnoreCase(active->AsText(), pending->AsText());
}

// Any name at all in the list of files to be moved or deleted at the next start.
bool FileRenamesPending(platform::Registry& registry) {
  const auto value = MachineValue(registry, kSessionManagerKey, u"PendingFileRenameOperations");
  if (!value) return false;
  for (const uint8_t byte : value->data) {
    if (byte != 0) return true;
  }
  return false;
}

// The digits at the start of `text`, and what follows the comma after them.
std::optional<uint32_t> TakeNumber(TextView& text) {
  const size_t comma = text.find(u',');
  if (comma == 0 || comma == TextView::npos) return std::nullopt;
  const TextView digits = text.substr(0, comma);
  for (const char16_t c : digits) {
    if (c < u'0' || c > u'9') return std::nullopt;
  }
  text.remove_prefix(comma + 1);
  return static_cast<uint32_t>(ParseDecimalPrefix(digits));
}

}  // namespace

bool EndedNeedingRestart(const app::StepRecord& record) {
  return app::EndedInRestartClass(record);
}

bool RestartDueAfter(const app::InstallConfig& config, const catalogue::SoftwareEntry& entry,
                     const app::StepRecord& record) {
  if (record.outcome != app::Outcome::kSuccess && record.outcome != app::Outcome::kSuccessRestart) {
    return false;
  }
  return entry.RestartAfter || (config.RestartOnRequest && EndedNeedingRestart(record));
}

bool RestartsPossible(const app::InstallConfig& config, const catalogue::SoftwareEntry* first) {
  if (config.RestartOnRequest || config.Continue ||
      config.RestartIfPending != app::PendingRestartCheck::kOff) {
    return true;
  }
  for (const catalogue::SoftwareEntry* e = first; e != nullptr; e = e->Next) {
    if (e->RestartAfter && e->Command) return true;
  }
  return false;
}

std::vector<Text> PendingRestartReasons(platform::Registry& registry,
                                        app::PendingRestartCheck check) {
  std::vector<Text> reasons;
  if (check == app::PendingRestartCheck::kOff) return reasons;
  if (KeyExists(registry, kServicingPendingKey)) {
    reasons.push_back(u"component servicing waits for a restart");
  }
  if (KeyExists(registry, kUpdateRequiredKey)) {
    reasons.push_back(u"Windows Update waits for a restart");
  }
  if (RenamePending(registry)) reasons.push_back(u"the computer takes a new name at the restart");
  if (check == app::PendingRestartCheck::kSystemAndRenames && FileRenamesPending(registry)) {
    reasons.push_back(u"files are to be replaced at the restart");
  }
  return reasons;
}

Text ContinueOptionValue(const app::InstallConfig::ContinuePlace& place) {
  return DecimalText(place.restarts) + u"," + DecimalText(place.failed) + u"," + place.afterEntry;
}

std::optional<app::InstallConfig::ContinuePlace> ParseContinueOption(TextView value) {
  app::InstallConfig::ContinuePlace place;
  const auto restarts = TakeNumber(value);
  if (!restarts) return std::nullopt;
  const auto failed = TakeNumber(value);
  if (!failed) return std::nullopt;
  place.restarts = *restarts;
  place.failed = *failed;
  place.afterEntry = Text(value);
  return place;
}

}  // namespace tarn::run
