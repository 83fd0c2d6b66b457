#include "platform/environment_block.h"

#include <algorithm>
#include <map>
#include <set>
#include <utility>

#include "base/wipe.h"

namespace tarn::platform {

std::optional<std::vector<EnvironmentEntry>> ParseEnvironmentBlock(TextView block) {
  std::vector<EnvironmentEntry> entries;
  size_t i = 0;
  while (true) {
    const size_t end = block.find(u'\0', i);
    if (end == TextView::npos) return std::nullopt;
    if (end == i) return entries;
    const TextView entry = block.substr(i, end - i);
    // Searching from the second character keeps a leading "=" in the name.
    const size_t equals = entry.find(u'=', 1);
    if (equals != TextView::npos) {
      entries.push_back({Text(entry.substr(0, equals)), Text(entry.substr(equals + 1))});
    }
    i = end + 1;
  }
}

std::vector<EnvironmentEntry> FirstOfEachName(std::vector<EnvironmentEntry> entries) {
  std::set<Text, EnvironmentNameLess> seen;
  std::vector<EnvironmentEntry> kept;
  kept.reserve(entries.size());
  for (auto& entry : entries) {
    if (seen.insert(entry.name).second) kept.push_back(std::move(entry));
  }
  return kept;
}

namespace {

using Variables = std::map<Text, Text, EnvironmentNameLess>;

Variables VariablesOf(TextView block) {
  Variables variables;
  for (auto& entry :
       FirstOfEachName(ParseEnvironmentBlock(block).value_or(std::vector<EnvironmentEntry>{}))) {
    variables.emplace(std::move(entry.name), std::move(entry.value));
  }
  return variables;
}

}  // namespace

EnvironmentBlock OverlayProgramVariables(TextView account, TextView inherited, TextView current) {
  Variables result = VariablesOf(account);
  const Variables before = VariablesOf(inherited);
  for (auto& [name, value] : VariablesOf(current)) {
    const auto was = before.find(name);
    if (result.contains(name) && was != before.end() && was->second == value) continue;
    // The program's spelling of the name goes with its value.
    result.erase(name);
    result.emplace(name, value);
  }
  return BuildEnvironmentBlock(result);
}

void AppendEnvironmentEntry(EnvironmentBlock& block, TextView name, TextView value) {
  block += name;
  block += u'=';
  block += value;
  block += u'\0';
}

bool SetBlockVariable(EnvironmentBlock& block, TextView name, TextView value) {
  auto entries = ParseEnvironmentBlock(block);
  if (!entries) return false;
  // The parsed copies may hold a secret (an earlier USERPASSWORD among them):
  // every one is wiped before it is forgotten.
  std::erase_if(*entries, [name](EnvironmentEntry& entry) {
    if (!EqualsIgnoreCase(entry.name, name)) return false;
    WipeText(entry.value);
    return true;
  });
  const auto place = std::find_if(entries->begin(), entries->end(), [name](const auto& entry) {
    return EnvironmentNameLess{}(name, entry.name);
  });
  EnvironmentBlock built;
  built.reserve(block.size() + name.size() + value.size() + 2);
  for (auto entry = entries->begin(); entry != entries->end(); ++entry) {
    if (entry == place) AppendEnvironmentEntry(built, name, value);
    AppendEnvironmentEntry(built, entry->name, entry->value);
  }
  if (place == entries->end()) AppendEnvironmentEntry(built, name, value);
  built += u'\0';
  for (EnvironmentEntry& entry : *entries) WipeText(entry.value);
  WipeText(block);
  block = std::move(built);
  return true;
}

}  // namespace tarn::platform
