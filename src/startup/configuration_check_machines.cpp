// The configuration check: the rows of [machines], read as the start-up
// reads them, their names judged by the computer-name rules.
#include "app/machine_pattern.h"
#include "app/machine_table.h"
#include "app/name_rules.h"
#include "base/format.h"
#include "base/paths.h"
#include "startup/configuration_check_parts.h"

namespace tarn::startup::check {
namespace {

// A name a row gives must be one Windows takes; a computer name pattern is
// fitted at the run instead.
void CheckRowName(const KnownKey& key, TextView field, TextView name, bool pattern,
                  Findings& findings) {
  if (name.empty() || (pattern && app::UsesMachineVariables(name))) return;
  if (name.size() > app::kComputerNameMaxLength ||
      app::CheckComputerName(name) != app::NameCheck::kValid) {
    findings.Error(key.line->valueAt,
                   Format(u"%s %s is refused: at most %u letters, digits and !@#$%^&')(.-_{}~",
                          {field, Quoted(name), app::kComputerNameMaxLength}));
  }
}

}  // namespace

void CheckMachines(const std::vector<KnownKey>& keys, const Variables& variables,
                   const std::vector<Text>& selections, Findings& findings) {
  for (const KnownKey& key : keys) {
    if (key.match.rule->form != app::KeyForm::kMachineRow) {
      const TextView file = TrimBlanks(key.value());
      if (!file.empty()) {
        const Text named = PathIsRelative(file) ? u"%INIDIR%\\" + Text(file) : Text(file);
        CheckNamedFile(*key.line, named, variables, findings);
      }
      continue;
    }
    const app::RowReading reading = app::ReadMachineRow(key.line->name, key.value());
    if (!reading.row) {
      findings.Error(key.line->at, reading.problem);
      continue;
    }
    CheckRowName(key, u"Computer", reading.row->computer, true, findings);
    CheckRowName(key, u"Workgroup", reading.row->workgroup, false, findings);
    const Text& selection = reading.row->selection;
    if (selection.empty()) continue;
    bool found = false;
    for (const Text& name : selections) found = found || EqualsIgnoreCase(name, selection);
    if (!found) {
      findings.Warning(key.line->valueAt, Format(u"the selection %s has no section [machines.%s]",
                                                 {Quoted(selection), selection}));
    }
  }
}

}  // namespace tarn::startup::check
