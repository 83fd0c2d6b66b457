#include "startup/machine_data.h"

#include "base/paths.h"
#include "platform/environment.h"
#include "platform/file_system.h"
#include "platform/profile_files.h"
#include "platform/profile_snapshot.h"
#include "platform/smbios_table.h"
#include "platform/system_info.h"
#include "startup/settings.h"

namespace tarn::startup {
namespace {

// A fleet's table of a thousand rows fits at the first read.
constexpr uint32_t kSectionInitial = 256 * 1024;
constexpr uint32_t kSectionLimit = 16 * 1024 * 1024;
// A pattern may be longer than the name it makes.
constexpr uint32_t kPatternCapacity = 261;

Text SectionText(platform::ProfileFiles& profiles, TextView file) {
  return platform::ReadWholeList(
             [&](uint32_t capacity) {
               return profiles.GetSection(file, app::kMachinesSection, capacity);
             },
             kSectionInitial, kSectionLimit)
      .data;
}

// Adds the rows of one file's section, read from one copy of the file; the
// value of its File= key.
Text AddRows(const platform::Platform& platform, TextView file, app::LogFile* log,
             std::vector<app::MachineRow>& rows) {
  platform::ProfileSnapshot snapshot(*platform.profiles, *platform.files, file,
                                     platform.system->AnsiCodePage());
  const Text section = SectionText(snapshot, file);
  Text named;
  for (const TextView line : platform::SplitZeroList(section)) {
    const size_t equals = line.find(u'=');
    const TextView key = TrimBlanks(line.substr(0, equals));
    const TextView value = equals == TextView::npos ? TextView() : line.substr(equals + 1);
    if (key.empty()) continue;
    if (EqualsIgnoreCase(key, app::kMachinesFileKey)) {
      if (named.empty()) named = Text(TrimBlanks(value));
      continue;
    }
    app::RowReading reading = app::ReadMachineRow(key, value);
    if (reading.row) {
      rows.push_back(std::move(*reading.row));
    } else if (log != nullptr) {
      log->WriteFormat(app::kLogWarning, 0, u"[machines] %s: %s passed over",
                       {key, reading.problem.c_str()});
    }
  }
  return named;
}

// A name from a pattern, fitted; the change and the cut are logged.
Text NameFromPattern(AppContext& app, TextView pattern, const app::MachineFacts& facts) {
  const Text expanded = app::ExpandMachinePattern(pattern, facts);
  const app::FittedName fitted = app::FitComputerName(expanded);
  if (fitted.changed || fitted.cut) {
    app.log.WriteFormat(app::kLogWarning, 0,
                        u"The computer name '%s' made from '%s' became '%s'%s%s",
                        {expanded.c_str(), pattern, fitted.name.c_str(),
                         fitted.changed ? u": characters Windows refuses were dropped" : u"",
                         fitted.cut ? u": cut to 15 characters" : u""});
  }
  return fitted.name;
}

void SetMachineVariables(platform::Environment& environment, const app::MachineFacts& facts) {
  for (const TextView name : app::kMachineVariableNames) {
    const Text* fact = app::MachineFact(facts, name);
    if (!fact->empty()) (void)environment.Set(name, *fact);
  }
}

void ApplyRow(AppContext& app, const app::MachineRow& row, const app::MachineFacts& facts,
              const IdentityGiven& given) {
  app::InstallConfig& config = app.config;
  app.log.WriteFormat(app::kLogInfo, 0, u"[machines]: this machine is %s:%s",
                      {app::kMachineMatchWords[static_cast<size_t>(row.match)], row.id.c_str()});
  if (!given.computer && !row.computer.empty()) {
    config.Computer = NameFromPattern(app, row.computer, facts);
  }
  if (!given.workgroup && !row.workgroup.empty()) config.Workgroup = row.workgroup;
  if (!given.owner && !row.owner.empty()) config.Owner = row.owner;
  if (!given.org && !row.org.empty()) config.Org = row.org;
  config.MachineSelection = row.selection;
}

}  // namespace

IdentityGiven IdentityFromCommandLine(const app::InstallConfig& config) {
  return {!config.Computer.empty(), !config.Workgroup.empty(), !config.Owner.empty(),
          !config.Org.empty()};
}

app::MachineFacts ReadMachineFacts(platform::SystemInfo& system) {
  app::MachineFacts facts;
  const Result<std::vector<uint8_t>> table =
      system.FirmwareTable(platform::kFirmwareProviderRsmb, 0);
  if (table) {
    platform::FirmwareIdentity identity = platform::ReadFirmwareIdentity(*table);
    facts.serial = std::move(identity.serial);
    facts.uuid = std::move(identity.uuid);
    facts.maker = std::move(identity.maker);
    facts.model = std::move(identity.model);
  }
  if (const auto address = system.FirstAdapterAddress()) {
    facts.mac = platform::FormatMacAddress(*address);
  }
  return facts;
}

std::vector<app::MachineRow> ReadMachineRows(const platform::Platform& platform, TextView iniPath,
                                             app::LogFile* log) {
  std::vector<app::MachineRow> rows;
  const Text named = AddRows(platform, iniPath, log, rows);
  if (named.empty()) return rows;
  const Text expanded = platform::ExpandWhole(*platform.environment, named);
  const Text path = PathIsRelative(expanded)
                        ? PathCanonicalize(PathAppend(PathRemoveFileSpec(iniPath), expanded))
                        : expanded;
  if (!platform.files->Exists(path) && log != nullptr) {
    log->WriteFormat(app::kLogWarning, 0, u"[machines] File=%s: the file is not there",
                     {path.c_str()});
  }
  (void)AddRows(platform, path, log, rows);
  return rows;
}

void ApplyMachineData(AppContext& app, const IdentityGiven& given) {
  const Text pattern =
      app.platform.profiles
          ->GetString(app.config.IniPath, kSettingsSection, u"Computer", u"", kPatternCapacity)
          .data;
  const bool patterned = app::UsesMachineVariables(pattern);
  // Two small questions decide whether the file is read whole.
  constexpr uint32_t kAnyLine = 4;
  const bool hasSection =
      !app.platform.profiles->GetSection(app.config.IniPath, app::kMachinesSection, kAnyLine)
           .data.empty();
  if (!hasSection && !patterned) return;
  std::vector<app::MachineRow> rows = ReadMachineRows(app.platform, app.config.IniPath, &app.log);
  if (rows.empty() && !patterned) return;
  const app::MachineFacts facts = ReadMachineFacts(*app.platform.system);
  app.log.WriteFormat(app::kLogInfo, 0,
                      u"This machine: serial '%s', UUID '%s', MAC '%s', maker '%s', model '%s'",
                      {facts.serial.c_str(), facts.uuid.c_str(), facts.mac.c_str(),
                       facts.maker.c_str(), facts.model.c_str()});
  SetMachineVariables(*app.platform.environment, facts);
  const Result<Text> current = app.platform.system->ComputerName();
  const app::MachineRow* row = app::FindMachineRow(rows, facts, current ? *current : Text());
  if (row != nullptr) ApplyRow(app, *row, facts, given);
  if (!given.computer && patterned && (row == nullptr || row->computer.empty())) {
    app.config.Computer = NameFromPattern(app, pattern, facts);
  }
}

}  // namespace tarn::startup
