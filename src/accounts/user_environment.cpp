#include "accounts/user_environment.h"

#include <iterator>

#include "accounts/shell_folder_table.h"
#include "base/format.h"
#include "platform/registry_text.h"

namespace tarn::accounts {

namespace {

// Section text is read from files of any size; beyond this the answer is
// taken as it is rather than doubling without end.
constexpr uint32_t kMaxSectionCapacity = 1u << 24;
constexpr uint32_t kInitialSectionCapacity = 512;
constexpr uint32_t kHiveValueBytes = 522;

}  // namespace

UserVariable& AddVariable(UserAccount& account, TextView name, TextView value) {
  UserVariable& variable = account.Environment.emplace_front();
  variable.name = name;
  variable.value = value;
  return variable;
}

void RemoveVariable(UserAccount& account, const UserVariable* variable) {
  for (auto it = account.Environment.begin(); it != account.Environment.end(); ++it) {
    if (&*it == variable) {
      account.Environment.erase(it);
      return;
    }
  }
}

void ClearVariables(UserAccount& account) {
  account.Environment.clear();
}

bool HasVariable(const UserAccount& account, TextView name) {
  for (const auto& variable : account.Environment) {
    if (EqualsIgnoreCase(variable.name.view(), name)) return true;
  }
  return false;
}

void SyncVariables(UserAccount& target, const UserAccount& source) {
  auto to = target.Environment.begin();
  auto from = source.Environment.begin();
  for (; to != target.Environment.end() && from != source.Environment.end(); ++to, ++from) {
    to->name = from->name.view();
    to->value = from->value.view();
  }
  target.Environment.erase(to, target.Environment.end());
  for (; from != source.Environment.end(); ++from) {
    AddVariable(target, from->name.view(), from->value.view());
  }
}

std::vector<Text> ReadWholeSection(platform::ProfileFiles& profiles, TextView file,
                                   TextView section) {
  const platform::ProfileBuffer buffer = platform::ReadWholeList(
      [&](uint32_t capacity) { return profiles.GetSection(file, section, capacity); },
      kInitialSectionCapacity, kMaxSectionCapacity);
  std::vector<Text> lines;
  for (const TextView line : platform::SplitZeroList(buffer.data)) {
    if (!line.empty()) lines.emplace_back(line);
  }
  return lines;
}

void ReadVariableSection(platform::ProfileFiles& profiles, platform::Environment& environment,
                         TextView usersFile, UserAccount& account) {
  const Text section = Format(u"%s.%d", {TextView(u"environment"), account.Index});
  for (const Text& line : ReadWholeSection(profiles, usersFile, section)) {
    const size_t equals = line.find(u'=');
    if (equals == Text::npos) continue;
    const TextView name = TextView(line).substr(0, equals);
    const Text value =
        environment.Expand(TextView(line).substr(equals + 1), kVariableCapacity + 1).text;
    if (!HasVariable(account, name)) AddVariable(account, name, value);
  }
}

void ReadHiveVariables(platform::Registry& registry, platform::RegKey hiveRoot,
                       UserAccount& account) {
  platform::ScopedKey key =
      platform::ScopedKey::Open(registry, hiveRoot, u"environment", platform::kKeyRead);
  if (!key) return;
  for (uint32_t index = 0;; ++index) {
    auto entry = registry.EnumValue(key.get(), index);
    if (!entry) break;
    Text data = ValueText(entry->second, kHiveValueBytes);
    ToAccountPlaceholders(data, kPathCapacity);
    AddVariable(account, CutToCapacity(entry->first, kPathCapacity), data);
  }
}

}  // namespace tarn::accounts
