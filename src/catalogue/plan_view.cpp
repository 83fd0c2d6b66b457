#include "catalogue/plan_view.h"

#include <cstdio>
#include <optional>
#include <unordered_map>
#include <unordered_set>

#include "app/startup_variables.h"
#include "catalogue/catalogue_navigation.h"
#include "catalogue/catalogue_rows.h"

namespace tarn::catalogue {
namespace {

std::string Field(TextView value) {
  return PlanField(value);
}

std::string JsonString(TextView value) {
  return PlanJsonString(value);
}

std::string OptionalField(const std::optional<Text>& value) {
  return value ? Field(TextView(*value)) : "";
}

// What each flag means to a person reading the plan, in the order shown.
struct FlagWord {
  uint32_t flag;
  const char* word;
};
constexpr FlagWord kFlagWords[] = {
    {EF_NO_COMMAND, "heading"},
    {EF_LOCKED, "locked"},
    {EF_DISABLED, "disabled"},
    {EF_HIDDEN, "hidden"},
    {EF_COLLAPSED, "collapsed"},
    {EF_GROUP, "radio group"},
    {EF_BOLD, "bold"},
    {EF_ITALIC, "italic"},
    {EF_UNDERLINE, "underlined"},
    {EF_STRIKED, "struck out"},
    {EF_SELECTED_INHERIT, "children selected"},
    {EF_UNSELECTED_INHERIT, "children unselected"},
    {EF_LOCKED_INHERIT, "children locked"},
    {EF_UNLOCKED_INHERIT, "children unlocked"},
    {EF_DISABLED_INHERIT, "children disabled"},
    {EF_ENABLED_INHERIT, "children enabled"},
    {EF_GROUP_INHERIT, "children radio groups"},
    {EF_NOGROUP_INHERIT, "children no radio groups"},
    {EF_DIMMED_INHERIT, "children dimmed"},
    {EF_UNHIDDEN_INHERIT, "children shown"},
    {EF_EXPANDED_INHERIT, "children expanded"},
};

std::string StateWords(const SoftwareEntry& e) {
  std::string words = (e.State & ES_MIXED) != 0 ? "partly selected"
                      : e.IsSelected()          ? "selected"
                                                : "unselected";
  if ((e.State & ES_DIMMED) != 0) words += ", dimmed";
  for (const FlagWord& f : kFlagWords) {
    if (e.Has(f.flag)) words += std::string(", ") + f.word;
  }
  if (e.Condition) words += *e.Condition ? ", condition true" : ", condition false";
  return words;
}

std::string OptionalJson(const std::optional<Text>& value) {
  return value ? JsonString(TextView(*value)) : "null";
}

std::string EntryJson(const SoftwareEntry& e, bool hasRow) {
  return "{\"level\":" + std::to_string(e.Level) + ",\"flags\":" + std::to_string(e.Flags) +
         ",\"state\":" + std::to_string(e.State) + ",\"description\":" + JsonString(e.Description) +
         ",\"command\":" + OptionalJson(e.Command) + ",\"workdir\":" + OptionalJson(e.WorkDir) +
         ",\"help\":" + OptionalJson(e.HelpFile) + ",\"helptext\":" + OptionalJson(e.HelpText) +
         ",\"hasRow\":" + (hasRow ? "true" : "false") +
         ",\"snapshotState\":" + std::to_string(e.SnapshotState) +
         ",\"initialState\":" + std::to_string(e.InitialState) +
         ",\"rememberedState\":" + std::to_string(e.RememberedState) +
         ",\"condition\":" + (e.Condition ? (*e.Condition ? "true" : "false") : "null") + "}";
}

}  // namespace

std::string PlanField(TextView value) {
  Text shown(value);
  for (char16_t& c : shown) {
    if (c < 0x20 || c == 0x7F) c = u'?';
  }
  return ToUtf8(shown);
}

std::string PlanJsonString(TextView value) {
  std::string out = "\"";
  for (char c : ToUtf8(value)) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (byte < 0x20) {
      char buffer[8];
      std::snprintf(buffer, sizeof buffer, "\\u%04x", byte);
      out += buffer;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

std::vector<const SoftwareEntry*> SelectedCommands(const SoftwareCatalogue& catalogue) {
  std::vector<const SoftwareEntry*> order;
  for (const SoftwareEntry* e = NextChecked(catalogue.FirstEntry()); e; e = NextChecked(e->Next)) {
    if (e->Command) order.push_back(e);
  }
  return order;
}

std::vector<PlannedCommand> PlanCommands(const SoftwareCatalogue& catalogue,
                                         platform::Environment& environment, TextView programFolder,
                                         const CommandLineResolver& resolveCommand) {
  std::vector<PlannedCommand> plan;
  for (const SoftwareEntry* e : SelectedCommands(catalogue)) {
    PlannedCommand p;
    p.entry = e;
    p.command = *e->Command;
    p.expandedCommand = platform::ExpandWhole(environment, p.command);
    p.commandLine = resolveCommand ? resolveCommand(p.command) : p.expandedCommand;
    if (e->WorkDir) {
      p.workDir = *e->WorkDir;
      p.expandedWorkDir = app::WorkingFolderFor(environment, programFolder, e->WorkDir);
    }
    plan.push_back(std::move(p));
  }
  return plan;
}

std::string PlanText(const SoftwareCatalogue& catalogue, platform::Environment& environment,
                     TextView programFolder, const CommandLineResolver& resolveCommand) {
  std::string out = "catalogue " + std::to_string(catalogue.EntryCount()) + " entries\n";
  for (const SoftwareEntry* e = catalogue.FirstEntry(); e; e = e->Next) {
    out += std::to_string(e->Level) + " " + StateWords(*e) + "\t" + Field(e->Description) + "\t" +
           OptionalField(e->Command) + "\t" + OptionalField(e->WorkDir) + "\t" +
           OptionalField(e->HelpFile) + "\t" + OptionalField(e->HelpText) + "\n";
  }
  const std::vector<PlannedCommand> plan =
      PlanCommands(catalogue, environment, programFolder, resolveCommand);
  out += "commands " + std::to_string(plan.size()) + "\n";
  for (const PlannedCommand& p : plan) {
    out += Field(p.command) + "\t" + Field(p.commandLine) + "\t" + Field(p.workDir) + "\t" +
           Field(p.expandedWorkDir) + "\n";
  }
  return out;
}

std::string PlanJson(const SoftwareCatalogue& catalogue, platform::Environment& environment,
                     TextView programFolder, const CommandLineResolver& resolveCommand,
                     std::string_view moreMembers) {
  const std::vector<SoftwareEntry*> rows = InitialRows(catalogue);
  const std::unordered_set<const SoftwareEntry*> withRow(rows.begin(), rows.end());
  std::unordered_map<const SoftwareEntry*, size_t> index;
  std::string out = "{\"entries\":[";
  for (const SoftwareEntry* e = catalogue.FirstEntry(); e; e = e->Next) {
    if (!index.empty()) out += ",";
    index.emplace(e, index.size());
    out += EntryJson(*e, withRow.contains(e));
  }
  out += "],\"commands\":[";
  bool first = true;
  for (const PlannedCommand& p :
       PlanCommands(catalogue, environment, programFolder, resolveCommand)) {
    if (!first) out += ",";
    first = false;
    const bool hasWorkDir = p.entry->WorkDir.has_value();
    out += "{\"entry\":" + std::to_string(index[p.entry]) +
           ",\"command\":" + JsonString(p.command) +
           ",\"expanded\":" + JsonString(p.expandedCommand) +
           ",\"commandLine\":" + JsonString(p.commandLine) +
           ",\"workdir\":" + (hasWorkDir ? JsonString(p.workDir) : "null") +
           ",\"expandedWorkdir\":" + (hasWorkDir ? JsonString(p.expandedWorkDir) : "null") + "}";
  }
  out += "]";
  if (!moreMembers.empty()) out += "," + std::string(moreMembers);
  return out + "}\n";
}

}  // namespace tarn::catalogue
