// A plain-text and a JSON picture of a loaded catalogue and of the commands
// an installation run would start with the selection as loaded. The text form
// is an interface for black-box tests and stays stable:
//
//   catalogue <N> entries
//   <level> <flags, 8 hex digits> <state, 2 hex digits>\t<description>\t
//       <command>\t<workdir>\t<help>\t<helptext>          (one line per entry)
//   commands <M>
//   <command>\t<expanded command>\t<workdir>\t<expanded workdir>
//
// Fields that are none are empty; values appear unexpanded except in the
// "expanded" columns: the command expanded as the launch expands it (before
// its program is looked up) and the folder the command would run in.
// Control characters inside a value are shown as '?'. Lines end with "\n".
#pragma once

#include <string>
#include <vector>

#include "catalogue/software_catalogue.h"
#include "platform/environment.h"

namespace tarn::catalogue {

// The entries whose commands a run would start, in order: the chain walked
// once from its first entry, an unselected entry passed over with its whole
// subtree, a selected entry with a Command taken, every other entry passed
// over (its children are still considered).
[[nodiscard]] std::vector<const SoftwareEntry*> SelectedCommands(
    const SoftwareCatalogue& catalogue);

// One command as a run would start it.
struct PlannedCommand {
  const SoftwareEntry* entry = nullptr;
  Text command;
  Text expandedCommand;
  Text workDir;  // empty when the entry has none
  Text expandedWorkDir;
};

// The selected commands with their expansions through `environment`, as the
// launch makes them: commands expanded whole, uncut; working folders expanded
// whole, made absolute to `programFolder` and canonicalised (an empty
// `programFolder` leaves a relative folder relative).
[[nodiscard]] std::vector<PlannedCommand> PlanCommands(const SoftwareCatalogue& catalogue,
                                                       platform::Environment& environment,
                                                       TextView programFolder = {});

// The text form described above, UTF-8; `programFolder` as for PlanCommands.
[[nodiscard]] std::string PlanText(const SoftwareCatalogue& catalogue,
                                   platform::Environment& environment, TextView programFolder = {});

// The same facts as one JSON object, UTF-8:
// {"entries":[{"level":0,"flags":16384,"state":4,"description":"...",
//   "command":null,"workdir":null,"help":null,"helptext":null},...],
//  "commands":[{"entry":3,"command":"...","expanded":"...","workdir":null,
//   "expandedWorkdir":null},...]}
// where "entry" is the index of the entry in "entries".
// `programFolder` is as for PlanCommands.
[[nodiscard]] std::string PlanJson(const SoftwareCatalogue& catalogue,
                                   platform::Environment& environment, TextView programFolder = {});

}  // namespace tarn::catalogue
