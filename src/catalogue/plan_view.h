// A plain-text and a JSON picture of a loaded catalogue and of the commands
// an installation run would start with the selection as loaded. The text form
// is an interface for black-box tests and stays stable:
//
//   catalogue <N> entries
//   <level> <state and flags in words>\t<description>\t
//       <command>\t<workdir>\t<help>\t<helptext>          (one line per entry)
//
// The words, separated by ", ": "selected", "partly selected" or
// "unselected", then as they apply "dimmed", "heading", "locked",
// "disabled", "hidden", "collapsed", "radio group", the text styles, what the
// entry hands down ("children selected", "children locked", ...) and, for an
// item with a test.eval expression, "condition true" or "condition false".
// The JSON form keeps the bits.
//   commands <M>
//   <command>\t<expanded command>\t<workdir>\t<expanded workdir>
//
// Fields that are none are empty; values appear unexpanded except in the
// "expanded" columns: the command line the launch would start (the command
// expanded whole, then, with a resolver, a document turned into the open
// command its type has registered) and the folder the command would run in.
// Control characters inside a value are shown as '?'. Lines end with "\n".
#pragma once

#include <functional>
#include <string>
#include <string_view>
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

// Turns a command as the configuration writes it into the command line the
// launch starts (expanded, a document given to its program). The launch's
// own rule lives above this layer, so its owner hands it in; none leaves the
// expanded command as it is.
using CommandLineResolver = std::function<Text(TextView command)>;

// One command as a run would start it.
struct PlannedCommand {
  const SoftwareEntry* entry = nullptr;
  Text command;
  Text expandedCommand;
  // What the resolver makes of the command.
  Text commandLine;
  Text workDir;  // empty when the entry has none
  Text expandedWorkDir;
};

// The selected commands with their expansions through `environment`, as the
// launch makes them: commands expanded whole, uncut, then given to
// `resolveCommand`; working folders expanded whole, made absolute to
// `programFolder` and canonicalised (an empty `programFolder` leaves a
// relative folder relative).
[[nodiscard]] std::vector<PlannedCommand> PlanCommands(
    const SoftwareCatalogue& catalogue, platform::Environment& environment,
    TextView programFolder = {}, const CommandLineResolver& resolveCommand = {});

// The text form described above, UTF-8; the rest as for PlanCommands.
[[nodiscard]] std::string PlanText(const SoftwareCatalogue& catalogue,
                                   platform::Environment& environment, TextView programFolder = {},
                                   const CommandLineResolver& resolveCommand = {});

// The same facts as one JSON object, UTF-8:
// {"entries":[{"level":0,"flags":16384,"state":4,"description":"...",
//   "command":null,"workdir":null,"help":null,"helptext":null,"hasRow":true,
//   "snapshotState":4,"initialState":4,"rememberedState":0,"condition":null},...],
//  "commands":[{"entry":3,"command":"...","expanded":"...","commandLine":"...",
//   "workdir":null,"expandedWorkdir":null},...]}
// where "entry" is the index of the entry in "entries", "hasRow" tells
// whether the freshly loaded list shows the entry (InitialRows), "condition"
// is what the item's test.eval gave (null without one), "expanded"
// is the whole expansion and "commandLine" what the launch would start.
// `moreMembers`, when given, are further members of the object in JSON form
// ("name":value,...), put after "commands". The rest as for PlanCommands.
[[nodiscard]] std::string PlanJson(const SoftwareCatalogue& catalogue,
                                   platform::Environment& environment, TextView programFolder = {},
                                   const CommandLineResolver& resolveCommand = {},
                                   std::string_view moreMembers = {});

// A value as the text form shows it: UTF-8, control characters as '?'.
[[nodiscard]] std::string PlanField(TextView value);
// A value as a JSON string, quotes included.
[[nodiscard]] std::string PlanJsonString(TextView value);

}  // namespace tarn::catalogue
